// Device actions that send one command: start and halt the script, reboot,
// factory reset, the USB connection mode, the device clock and the hand-off
// to the firmware updater.

#include "zurovurazev.h"

#include "device_capabilities.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStatusBar>
#include <QtEndian>

namespace {

constexpr quint8 CmdMcuCfgCtrl = 0x06;
constexpr quint8 CmdMcuTime = 0x07;
constexpr quint8 CmdAsmCtrl = 0x23;

// Sub-commands of the configuration control command.
constexpr quint16 CfgCtrlFactoryReset = 0;
constexpr quint16 CfgCtrlUpgrade = 1;
constexpr quint16 CfgCtrlReboot = 2;
constexpr quint16 CfgCtrlUsbMode = 4;
// Sub-commands of the script control command.
constexpr quint16 AsmHalt = 0;
constexpr quint16 AsmStart = 1;
constexpr quint16 TimeSet = 1;

constexpr int BusyMessageMs = 10000;

// The transport name of links the bootloader cannot be reached over.
const char NetworkTransport[] = "network";

} // namespace

void ZuROVUrazev::on_actionLaunch_triggered()
{
    if (state != CS_IDLE) {
        statusBar()->showMessage(tr("Cannot start - device is busy"), BusyMessageMs);
        return;
    }
    bool sent;
    if (device.state == DS_Messaging) {
        logInfo(tr("Halting the virtual machine"));
        state = CS_ASM_HALT;
        sent = sendCfgPacket(CmdAsmCtrl, AsmHalt, QByteArray(), false);
    } else if (device.state == DS_Config) {
        logInfo(tr("Restarting the virtual machine"));
        state = CS_ASM_START;
        sent = sendCfgPacket(CmdAsmCtrl, AsmStart, QByteArray(), false);
    } else {
        return;
    }
    // The script starts or stops: what the window showed of the halted
    // machine or of the upload no longer holds.
    forgetMachinePosition();
    if (!sent)
        _write_error(tr("Communication error"));
}

void ZuROVUrazev::on_actionReboot_Device_triggered()
{
    state = CS_IDLE;
    logInfo(tr("Rebooting the device"));
    sendCfgPacket(CmdMcuCfgCtrl, CfgCtrlReboot, QByteArray(), false);
    // The device reboots without an answer.
    msgTimer.stop();
}

void ZuROVUrazev::on_actionUSB_ModeSwitch_triggered()
{
    state = CS_IDLE;
    logInfo(tr("Switching the device connection mode"));
    sendCfgPacket(CmdMcuCfgCtrl, CfgCtrlUsbMode, QByteArray(), false);
    msgTimer.stop();
}

void ZuROVUrazev::on_actionReset_Device_triggered()
{
    const QPointer<ZuROVUrazev> self(this);
    const QMessageBox::StandardButton answer = pageMessageBox(
        this, QMessageBox::Question, tr("Reset Device"),
        tr("Device configuration will be reset to the default state, device will be rebooted. Proceed?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (!self || answer != QMessageBox::Yes || !messenger)
        return;
    logInfo(tr("Resetting the configuration to the factory defaults"));
    state = CS_ERASE_REBOOT;
    if (!sendCfgPacket(CmdMcuCfgCtrl, CfgCtrlFactoryReset, QByteArray(), false))
        _write_error(tr("Communication error"));
}

void ZuROVUrazev::on_actionTime_Sync_triggered()
{
    if (state != CS_IDLE) {
        pageWarning(this, tr("Time Sync"), tr("The device is busy. Please try again later"));
        return;
    }
    sendTimeSyncPacket();
}

void ZuROVUrazev::sendTimeSyncPacket()
{
    const QDateTime now = m_clock().toUTC();
    QByteArray data(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(now.toSecsSinceEpoch()), data.data());
    logInfo(tr("Setting the device clock to %1 (UTC)").arg(now.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"))));
    sendCfgPacket(CmdMcuTime, TimeSet, data, false);
}

void ZuROVUrazev::on_actionFirmware_Update_triggered()
{
    if (!messenger)
        return;
    if (!(device.capabilities & DeviceCapability::Upgradable)) {
        pageWarning(this, tr("Firmware Update"), tr("This device does not support firmware update"));
        return;
    }
    // The updater talks to the bootloader over USB or a serial port only: a
    // device rebooted into it over the network could not be reached again.
    if (messenger->transport() == QLatin1String(NetworkTransport)) {
        pageWarning(this, tr("Firmware Update"), tr("Firmware update needs a USB or serial connection"));
        return;
    }
    // The window goes away with the hand-off: unsaved work is saved first,
    // or the hand-off is called off.
    const QPointer<ZuROVUrazev> self(this);
    if (ui->projectPage->modified() && !ui->projectPage->trySaveChanges())
        return;
    if (!self || !messenger)
        return;
    keepDfuHandOff();
    state = CS_IDLE;
    logInfo(tr("Rebooting the device into the firmware upgrade mode"));
    sendCfgPacket(CmdMcuCfgCtrl, CfgCtrlUpgrade, QByteArray(), false);
    msgTimer.stop();
    messenger->close();
    usb_disconnected();
    QCoreApplication::exit(FirmwareUpdateCode);
}

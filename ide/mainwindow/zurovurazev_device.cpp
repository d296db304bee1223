// The device connection: the Connect and Remote actions with the device
// selection, the transport and the local emulator, the first requests of
// the information chain, remote device discovery, the reply time-out and the
// return to the unconnected state.
//
// Every wait here (the selection dialog, the emulator start, the link coming
// up, the message boxes) runs a nested event loop in which the window may be
// closed or deleted and the transport may go: each is checked after the wait.

#include "zurovurazev.h"

#include "connectionwidget.h"
#include "kolmlocaldebugger.h"
#include "kolmprojectwindow.h"
#include "page_dialogs.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "ui_zurovurazev.h"
#include "zuhal_hid.h"
#include "zuhal_messenger.h"
#include "zuhal_packet.h"
#include "zuhal_tcp.h"
#include "zuhal_uart.h"
#include "zuhal_udp.h"

#include <QEventLoop>
#include <QInputDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>

namespace {

// Transport type numbers of the device selection dialog.
constexpr int TypeHid = 0;
constexpr int TypeSerial = 1;
constexpr int TypeTcp = 2;
constexpr int TypeUdp = 3;

// The transport's poll time while the information chain runs.
constexpr int ConnectPollMs = 100;
// Time for the link (and a device that was just halted) to settle before
// the first request.
constexpr int SettleMs = 400;
constexpr int SettleAfterResetMs = 1000;

constexpr quint8 CmdMcuInfo = 0x01;
constexpr quint8 CmdAsmCtrl = 0x23;
constexpr quint16 InfoAddress = 0;
constexpr quint16 InfoCapabilities = 3;
constexpr quint16 InfoKind = 4;
constexpr quint16 AsmHalt = 0;

constexpr uchar PortMc = 1;
constexpr uchar PortHost = 2;

// The entry chosen last time in the device selection, preselected the next
// time.
const char LastTypeKey[] = "Connection/LastType";
const char LastDeviceKey[] = "Connection/LastDevice";

} // namespace

void ZuROVUrazev::dropConnection()
{
    if (messenger)
        messenger->close();
    usb_disconnected();
}

ZuHalAbstractMessenger *ZuROVUrazev::createTransport(int type)
{
    switch (type) {
    case TypeHid:
        return new ZuHalHidMessenger(this);
    case TypeSerial:
        return new ZuHalUartMessenger(this);
    case TypeTcp:
        return new ZuHalTCPMessenger(this);
    case TypeUdp:
        return new ZuHalUDPMessenger(this);
    default:
        return nullptr;
    }
}

void ZuROVUrazev::on_actionConnect_triggered()
{
    if (messenger) {
        dropConnection();
        return;
    }
    const bool remote = sender() == ui->actionRemote;
    QPointer<ZuROVUrazev> self(this);

    QPointer<ConnectionWidget> dialog = new ConnectionWidget(this);
    dialog->appendDevices(TypeHid, ZuHalHidMessenger::enumerate());
    dialog->appendDevices(TypeSerial, ZuHalUartMessenger::enumerate());
    dialog->appendDevices(TypeTcp, ZuHalTCPMessenger::enumerate());
    dialog->selectDevice(settings.value(QLatin1String(LastTypeKey), -1).toInt(),
                         settings.value(QLatin1String(LastDeviceKey)).toString());
    const int result = dialog->exec();
    if (!self || !dialog)
        return;
    const int type = dialog->selectedType();
    const QString address = dialog->selectedDevice();
    const bool nrst = dialog->resetChecked();
    delete dialog;
    if (result != QDialog::Accepted || m_closed || messenger)
        return;
    settings.setValue(QLatin1String(LastTypeKey), type);
    settings.setValue(QLatin1String(LastDeviceKey), address);

    usb_disconnected();
    if (type == TypeTcp) {
        const int port = settings.value(QLatin1String(KolmLocalDebugger::PortKey), KolmLocalDebugger::DefaultPort)
                             .toInt();
        if (address == QStringLiteral("127.0.0.1:%1").arg(port) && !startEmulator(true)) {
            if (!self || m_closed)
                return;
            pageWarning(this, tr("Emulator"), tr("There was a problem starting the emulator process."));
            if (!self)
                return;
            ui->statusbar->showMessage(tr("Emulator process failure"));
            return;
        }
        if (!self || m_closed || messenger)
            return;
    }

    ZuHalAbstractMessenger *transport = createTransport(type);
    if (!transport) {
        ui->statusbar->showMessage(tr("Unknown device"));
        return;
    }
    transport->setParent(this);
    messenger = transport;
    const QPointer<ZuHalAbstractMessenger> link(transport);
    if (!openTransport(transport, address)) {
        if (!self)
            return;
        // A close of the window meanwhile has dropped it already.
        if (link && messenger == link) {
            messenger = nullptr;
            link->deleteLater();
        }
        if (!m_closed)
            ui->statusbar->showMessage(tr("Connection failed"));
        return;
    }
    relayConnect = remote;
    usb_connected(nrst);
}

bool ZuROVUrazev::openTransport(ZuHalAbstractMessenger *transport, const QString &address)
{
    QPointer<ZuROVUrazev> self(this);
    QPointer<ZuHalAbstractMessenger> link(transport);
    QPointer<QProgressDialog> progress = new QProgressDialog(this);
    progress->setRange(0, 1);
    progress->setValue(0);
    progress->setLabelText(tr("Connecting to %1").arg(address));
    progress->setWindowModality(Qt::WindowModal);
    connect(transport, &ZuHalAbstractMessenger::disconnected, progress.data(), &QProgressDialog::cancel);
    connect(progress.data(), &QProgressDialog::canceled, transport, &ZuHalAbstractMessenger::close);
    progress->open();

    // The wait ends when the link comes up (the dialog then goes) or goes
    // down, when the user cancels or dismisses the dialog, and when the
    // transport or the dialog is destroyed (a close or a delete of the
    // window). Any of them may come before the loop runs (inside open or
    // the pending events), so each is also remembered.
    bool ended = false;
    QEventLoop loop;
    const auto end = [&ended, &loop] {
        ended = true;
        loop.quit();
    };
    connect(transport, &ZuHalAbstractMessenger::connected, &loop, end);
    connect(transport, &ZuHalAbstractMessenger::disconnected, &loop, end);
    connect(transport, &QObject::destroyed, &loop, end);
    connect(progress.data(), &QProgressDialog::canceled, &loop, end);
    connect(progress.data(), &QDialog::finished, &loop, end);
    connect(progress.data(), &QObject::destroyed, &loop, end);

    bool opened = transport->open(address);
    if (opened) {
        QCoreApplication::processEvents();
        // A transport that is open already (USB and serial links come up
        // inside open; UDP has no link to wait for) needs no wait.
        if (self && link && progress && !ended && !link->isOpen())
            loop.exec();
    }
    if (!self)
        return false;
    const bool cancelled = !progress || progress->wasCanceled();
    delete progress;
    opened = opened && !cancelled && link && link->isOpen() && messenger == link && !m_closed;
    if (!opened && link)
        link->close();
    return opened;
}

void ZuROVUrazev::keepDfuHandOff()
{
    // What the firmware updater needs to find the device again: the
    // transport, and for USB the bootloader's product text.
    m_dfuTransport = messenger->transport();
    m_dfuProduct = m_dfuTransport == QLatin1String("usb") ? QStringLiteral("Pellam DFU") : QString();
}

void ZuROVUrazev::usb_connected(bool nrst)
{
    keepDfuHandOff();
    msgTimer.stop();
    connect(messenger, &ZuHalAbstractMessenger::dataReady, this, &ZuROVUrazev::msg_ready, Qt::UniqueConnection);
    connect(messenger, &ZuHalAbstractMessenger::disconnected, this, &ZuROVUrazev::usb_disconnected,
            Qt::UniqueConnection);
    statusText->clear();
    messenger->setPollTime(ConnectPollMs);
    startProgressBar(tr("Device info query"));
    device.info = tr("Connected to <b>%1</b><br><br>").arg(messenger->toString());
    device.address = ZuHalPacket::Broadcast;
    device.localAddress = ZuHalPacket::Broadcast;
    if (nrst) {
        // The halt is not answered: the device may be restarting.
        sendCfgPacket(CmdAsmCtrl, AsmHalt, QByteArray(), false);
        msgTimer.stop();
    }
    state = CS_IDLE;
    m_settleTimer.setSingleShot(true);
    connect(&m_settleTimer, &QTimer::timeout, this, &ZuROVUrazev::usb_post_connected, Qt::UniqueConnection);
    m_settleTimer.start(nrst ? SettleAfterResetMs : SettleMs);
}

void ZuROVUrazev::usb_post_connected()
{
    if (!messenger || !messenger->isOpen())
        return;
    QMaterialIcon::setIcon(QStringLiteral("power_settings_new"), ui->actionConnect,
                           QMaterialIcon::instance()->color(QMaterialIcon::Success));
    ui->actionConnect->setToolTip(tr("Disconnect"));
    // The link is open; whether a device is behind it shows with its first
    // answer.
    connectionStatus->status(QStringLiteral("phonelink"), QMaterialIcon::Warning, tr("Waiting for the device"));
    ui->actionRemote->setEnabled(false);
    if (relayConnect) {
        logInfo(tr("Query the relay device"));
        state = CS_GET_RELAY;
    } else {
        logInfo(tr("Get the device address"));
        state = CS_GET_ADDR;
    }
    if (!sendCfgPacket(CmdMcuInfo, InfoAddress, QByteArray(), false))
        _transmit_error(tr("Packet submission failure"));
}

void ZuROVUrazev::ping_start()
{
    if (!messenger)
        return;
    // Discovery awaits no single reply: a reply timer left from the relay
    // query must not cut it short.
    msgTimer.stop();
    ZuHalPacket packet;
    packet.setDestination(ZuHalPacket::Broadcast);
    packet.setSource(device.localAddress);
    packet.setDstPort(PortMc);
    packet.setSrcPort(PortHost);
    packet.setEncrypted(false);
    packet.setData(prepareCfgPacket(CmdMcuInfo, InfoKind, QByteArray()), key);
    messenger->send(packet);
}

void ZuROVUrazev::ping_timeout()
{
    QPointer<ZuROVUrazev> self(this);
    state = CS_IDLE;
    if (pingResults.isEmpty()) {
        pageWarning(this, tr("Remote Access"), tr("No remote devices have been found."));
        if (!self)
            return;
        relayConnect = false;
        dropConnection();
        return;
    }
    QStringList items;
    for (const auto &answer : qAsConst(pingResults))
        items.append(QStringLiteral("%1: %2").arg(addressText(answer.first), answer.second));
    const QPointer<ZuHalAbstractMessenger> link(messenger);
    bool chosen = false;
    const QString choice = QInputDialog::getItem(this, tr("Remote Access"), tr("Select remote device:"), items, 0,
                                                 false, &chosen);
    // The connection may have gone while the user chose.
    if (!self || !link || messenger != link)
        return;
    if (!chosen) {
        pageWarning(this, tr("Remote Access"), tr("Remote connection aborted."));
        if (!self)
            return;
        relayConnect = false;
        dropConnection();
        return;
    }
    const int index = items.indexOf(choice);
    if (index < 0)
        return;
    device.address = pingResults.at(index).first;
    state = CS_GET_INFO;
    logInfo(tr("Requesting the device capabilities info"));
    if (!sendCfgPacket(CmdMcuInfo, InfoCapabilities, QByteArray(), false))
        _write_error(tr("Communication error"));
}

void ZuROVUrazev::msg_timeout()
{
    QPointer<ZuROVUrazev> self(this);
    switch (state) {
    case CS_GET_ADDR:
        pageWarning(this, tr("Communication Failure"),
                    tr("MC did not respond to an address request.\nAborting connection..."));
        // Queued, so that the box has closed first; without a transport
        // there is nothing to drop (and no dialog to open).
        if (self && messenger)
            QMetaObject::invokeMethod(
                this, [this] { if (messenger) on_actionConnect_triggered(); }, Qt::QueuedConnection);
        break;
    case CS_GET_INFO:
        pageWarning(this, tr("Communication Failure"),
                    tr("MC did not provide all the required information.\nFurther communication may misbehave"));
        if (!self)
            return;
        stopProgressBar();
        state = CS_IDLE;
        if (messenger) {
            restorePollTime();
            device.state = DS_Messaging;
        }
        setupControls();
        break;
    default:
        stopProgressBar();
        pageWarning(this, tr("Communication Error"), tr("MC is not responding"));
        if (self)
            dropConnection();
        break;
    }
}

void ZuROVUrazev::usb_disconnected()
{
    // A chain cut short must not report a time-out later, nor a link that
    // went during its settling time send its first request.
    msgTimer.stop();
    pingTimer.stop();
    m_settleTimer.stop();
    state = CS_IDLE;
    postUpload = PU_NOP;
    if (ui->projectPage) {
        ui->projectPage->flashLimit = 0;
        ui->projectPage->ramLimit = 0;
    }
    device.address = ZuHalPacket::Broadcast;
    device.localAddress = ZuHalPacket::Broadcast;
    relayConnect = false;
    device.kind = D_Unknown;
    device.state = DS_Invalid;
    freeConfigWidget();
    if (messenger) {
        messenger->disconnect(this);
        messenger->deleteLater();
        messenger = nullptr;
    }
    setupControls();
    forgetMachinePosition();
    statusText->clear();
    QMaterialIcon::setIcon(QStringLiteral("power_settings_new"), ui->actionConnect,
                           QMaterialIcon::instance()->color(QMaterialIcon::Error));
    ui->actionConnect->setToolTip(tr("Connect"));
    connectionStatus->status(QStringLiteral("phonelink_off"), QMaterialIcon::Warning, tr("Not connected"));
    ui->actionRemote->setEnabled(true);
    stopProgressBar();
}

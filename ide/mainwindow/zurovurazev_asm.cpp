// Replies about the script image and the virtual machine: status at the
// end of the connection chain, image write, control, state, registers and
// RAM of the debugger's refresh.

#include "zurovurazev.h"

#include "kolmprojectwindow.h"
#include "ui_zurovurazev.h"
#include "zuasmdebugger.h"
#include "zuhal_messenger.h"
#include "zurovurazev_commands.h"

#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QtEndian>

using namespace mc;

namespace {

// Sub-commands of the script status.
constexpr quint16 StatusWord = 0;
constexpr quint16 StatusSize = 1;
// Sub-commands of the virtual machine control.
constexpr quint16 CtrlHalt = 0;
constexpr quint16 CtrlLaunch = 1;
constexpr quint16 CtrlInterrupt = 2;
constexpr quint16 CtrlContinue = 3;
constexpr quint16 CtrlStep = 4;
// Sub-commands of the virtual machine state.
constexpr quint16 StateInfo = 0;
constexpr quint16 StateIsr = 2;
// Sub-command 1 of MCU_INFO: the configuration version.
constexpr quint16 InfoConfigVersion = 5;

constexpr quint32 CapScripts = 0x0400;
// The status word's bit of a halted virtual machine.
constexpr quint32 StatusHalted = 0x0800;
// Sizes a virtual machine can sensibly report for the debugger page.
constexpr quint32 MaxVmRegisters = 64;
constexpr quint32 MaxVmArea = 65536;
// The highest offset a 16-bit sub-command carries.
constexpr quint32 MaxOffset = 0xFFFF;

quint32 word(const unsigned char *data, int index)
{
    return qFromLittleEndian<quint32>(data + 4 * index);
}

void request(ZuROVUrazev::NextPkt &next, quint8 cmd, quint16 sub)
{
    next.valid = true;
    next.cmd = cmd;
    next.sub = sub;
    next.data.clear();
}

} // namespace

void ZuROVUrazev::finishScriptChain(DevState devState, NextPkt &next)
{
    deviceFirstConnected();
    stopProgressBar();
    state = CS_IDLE;
    restorePollTime();
    device.state = devState;
    setupControls();
    next.done = true;
}

void ZuROVUrazev::asmReadError(const QString &detail, NextPkt &next)
{
    // The chain or the refresh is over: the window is usable again once
    // the box closes.
    if (state == CS_ASM_STATE)
        dbgInfoFailed();
    readChainFailed(next, detail);
}

void ZuROVUrazev::processAsmStatus(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if ((sub != StatusWord && sub != StatusSize) || state != CS_GET_ASM_INFO) {
        processPktBail(CmdAsmStatus, sub);
        return;
    }
    if (sub == StatusSize) {
        if (len != 4) {
            asmReadError(QStringLiteral("'Script binary size' packet must contain exactly 4 bytes"), next);
            return;
        }
        device.imageSize = word(data, 0);
        processNextAsmState(&next);
        return;
    }
    // A halted script waits for a start: the device is in configuration
    // mode. Anything else counts as running.
    const bool halted = (device.capabilities & CapScripts) && device.imageSize > 0 && len == 4
                        && (word(data, 0) & StatusHalted);
    finishScriptChain(halted ? DS_Config : DS_Messaging, next);
}

void ZuROVUrazev::processAsmState(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if (sub == StateInfo) {
        if (len != 16) {
            asmReadError(QStringLiteral("'ASM VM' packet must contain exactly 16 bytes"), next);
            return;
        }
        const quint32 stack = word(data, 1);
        const quint32 ram = word(data, 2);
        const quint32 registers = word(data, 3);
        switch (state) {
        case CS_GET_ASM_INFO:
            device.vmInfo[0] = stack;
            device.vmInfo[1] = ram;
            device.vmInfo[2] = registers;
            ui->projectPage->flashLimit = device.scriptSpace;
            ui->projectPage->ramLimit = ram;
            if (device.imageSize > 0) {
                logInfo(tr("The device script occupies %n bytes", nullptr, int(device.imageSize)));
                request(next, CmdAsmStatus, StatusWord);
                return;
            }
            logInfo(tr("The device does not have a script"));
            finishScriptChain(DS_Config, next);
            return;
        case CS_ASM_STATE:
            // The page sizes its views by these: a broken reply must not
            // make it build millions of rows.
            if (registers > MaxVmRegisters || stack > MaxVmArea || ram > MaxVmArea) {
                asmReadError(QStringLiteral("'ASM VM' packet holds impossible sizes"), next);
                return;
            }
            ui->zudbgPage->setFlagWord(word(data, 0));
            ui->zudbgPage->setupStack(int(stack));
            ui->zudbgPage->setupRam(int(ram));
            ui->zudbgPage->setupRegs(int(registers));
            request(next, CmdAsmState, StateIsr);
            return;
        default:
            processPktBail(CmdAsmState, sub);
            return;
        }
    }
    if (sub != StateIsr || state != CS_ASM_STATE) {
        processPktBail(CmdAsmState, sub);
        return;
    }
    if (len != 4) {
        asmReadError(QStringLiteral("'ASM ISR' expected %1 bytes, got %2. Incompatible ISR structure").arg(4).arg(len),
                     next);
        return;
    }
    ui->zudbgPage->setInterruptLevel(word(data, 0));
    request(next, CmdAsmRegs, 0);
}

void ZuROVUrazev::processAsmRegs(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if (state != CS_ASM_STATE) {
        processPktBail(CmdAsmRegs, sub);
        return;
    }
    ZuASMDebugger *page = ui->zudbgPage;
    const int count = page->registerCount();
    if (len != 4u * unsigned(count)) {
        asmReadError(QStringLiteral("Expected %1 machine registers, got %2").arg(count).arg(len / 4), next);
        return;
    }
    QVector<tvar> registers(count);
    for (int i = 0; i < count; ++i)
        registers[i] = word(data, i);
    page->updateRegisters(registers);
    if (page->atScriptEnd()) {
        // The next instruction ends the script: no step runs past it. The
        // first register holds main's result.
        page->setMode(ZuASMDebugger::Step);
        reportScriptEnd(qint32(registers.value(0)));
    }
    if (page->mode() == ZuASMDebugger::RunToMain || page->mode() == ZuASMDebugger::Next) {
        dbgInfoStart(CtrlStep, &next);
        return;
    }
    ramOffset = 0;
    request(next, CmdAsmRam, 0);
}

void ZuROVUrazev::processAsmRam(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if (state != CS_ASM_STATE && state != CS_ASM_RAM) {
        processPktBail(CmdAsmRam, sub);
        return;
    }
    // The chunk belongs where it was asked for, whatever offset the reply
    // echoes; the page keeps only what lies inside its image.
    const quint32 size = quint32(ui->zudbgPage->ramImageSize());
    if (len > 0 && ramOffset < size)
        ui->zudbgPage->setRam(int(ramOffset),
                              QByteArray(reinterpret_cast<const char *>(data), int(qMin<quint32>(len, size - ramOffset))));
    const quint64 following = quint64(ramOffset) + len;
    if (len == 0 || following > size || following > MaxOffset) {
        next.done = true;
        dbgInfoFinished();
        return;
    }
    ramOffset = quint32(following);
    request(next, CmdAsmRam, quint16(ramOffset));
}

void ZuROVUrazev::processAsmCtrl(unsigned short sub, const unsigned char *, unsigned, NextPkt &next)
{
    switch (sub) {
    case CtrlHalt:
        logInfo(tr("The virtual machine has been stopped"));
        switch (state) {
        case CS_ASM_HALT:
            state = CS_IDLE;
            device.state = DS_Config;
            setupControls();
            next.done = true;
            return;
        case CS_DBG_HALT:
            msgTimer.stop();
            debuggerInit();
            return;
        case CS_ASM_STATE:
            processNextAsmState(&next);
            return;
        case CS_WRITE_PREP:
            device.state = DS_Config;
            setupControls();
            setProgress(tr("Generating config"), 0, 0);
            request(next, CmdMcuInfo, InfoConfigVersion);
            return;
        default:
            break;
        }
        break;
    case CtrlLaunch:
    case CtrlContinue:
        if (state != CS_ASM_START)
            break;
        logInfo(tr("Script execution has been started"));
        device.state = DS_Messaging;
        state = CS_IDLE;
        next.done = true;
        setupControls();
        return;
    case CtrlInterrupt:
        logInfo(tr("Script execution has been paused"));
        if (state != CS_ASM_STATE)
            break;
        processNextAsmState(&next);
        return;
    case CtrlStep:
        if (state != CS_ASM_STATE)
            break;
        processNextAsmState(&next);
        return;
    default:
        break;
    }
    processPktBail(CmdAsmCtrl, sub);
}

void ZuROVUrazev::refuseAsmWrite(const QString &text)
{
    msgTimer.stop();
    stopProgressBar();
    postUpload = PU_NOP;
    QPointer<ZuROVUrazev> self(this);
    QMessageBox::warning(this, tr("Write Script"), text);
    if (!self)
        return;
    if (messenger)
        messenger->close();
    usb_disconnected();
}

void ZuROVUrazev::processAsmWrite(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if (state != CS_WRITE_ASM_BIN) {
        processPktBail(CmdAsmWrite, sub);
        return;
    }
    if (len != 4) {
        refuseAsmWrite(tr("Communication error - invalid reply"));
        return;
    }
    if (data[0] != 0) {
        refuseAsmWrite(tr("Flash Error %1").arg(int(data[0])));
        return;
    }
    setProgress(tr("Writing script") + QStringLiteral(" %p%"), int(chunkOffset), device.image.size());
    if (writeNextAsm(next))
        return;
    logInfo(tr("Written %n bytes of script to the device", nullptr, int(device.image.size())));
    statusBar()->showMessage(tr("Script successfully flashed"), 10000);
    ui->actionUpload->setEnabled(true);
    state = CS_IDLE;
    restorePollTime();
    stopProgressBar();
    next.done = true;
    const PostUpload after = postUpload;
    postUpload = PU_NOP;
    // Both run once this reply has been handled.
    if (after == PU_Launch)
        QMetaObject::invokeMethod(this, &ZuROVUrazev::on_actionLaunch_triggered, Qt::QueuedConnection);
    else if (after == PU_Debug)
        QMetaObject::invokeMethod(this, &ZuROVUrazev::startDisassembly, Qt::QueuedConnection);
}

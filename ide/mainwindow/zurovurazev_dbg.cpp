// Debugging a script on the device: the start with its upload and
// disassembly, the refresh of the debugger page after every halt, step,
// interrupt or restart, the RAM sync, and the end of the local emulator.

#include "zurovurazev.h"

#include "kolmdisassembler.h"
#include "kolmprojectwindow.h"
#include "ui_zurovurazev.h"
#include "zuasmdebugger.h"
#include "zuhal_messenger.h"
#include "zurovurazev_commands.h"

#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>

using namespace mc;

namespace {

// Virtual machine control codes.
constexpr quint8 CtrlHalt = 0;
constexpr quint8 CtrlInterrupt = 2;
constexpr quint8 CtrlContinue = 3;
constexpr quint8 CtrlStep = 4;

constexpr quint32 CapScripts = 0x0400;
// The poll interval while the debugger waits for a chain of replies.
constexpr int DebugPollMs = 50;

} // namespace

bool ZuROVUrazev::debugging() const
{
    return messenger && device.state == DS_Debugging;
}

bool ZuROVUrazev::debugStopped() const
{
    return debugging() && state == CS_IDLE;
}

bool ZuROVUrazev::debugCanRun() const
{
    return debugStopped() && !ui->zudbgPage->atScriptEnd();
}

void ZuROVUrazev::updateDebugActions()
{
    const bool canRun = debugCanRun();
    ui->actionRestart_Debugging->setEnabled(debugStopped());
    ui->actionDebug_Step->setEnabled(canRun);
    ui->actionContinue->setEnabled(canRun);
    // Next steps by source lines: only with the listing's locations.
    ui->actionDebug_Next->setEnabled(canRun && ui->zudbgPage->hasDebugSymbols());
    // Interrupt also ends a refresh that keeps stepping.
    ui->actionInterrupt->setEnabled(debugging() && !ui->zudbgPage->atScriptEnd()
                                    && (state == CS_IDLE || state == CS_ASM_STATE));
}

void ZuROVUrazev::forgetMachinePosition()
{
    ui->zudbgPage->clearPosition();
    statusBar()->clearMessage();
}

void ZuROVUrazev::reportScriptEnd(qint32 result)
{
    const QString text = tr("The script has ended (return value %1)").arg(result);
    logInfo(text);
    statusBar()->showMessage(text);
}

bool ZuROVUrazev::sendDebugRequest(quint8 cmd, quint16 sub)
{
    if (sendCfgPacket(cmd, sub, QByteArray(), false))
        return true;
    dbgInfoFailed();
    _read_error(tr("Communication error"));
    return false;
}

void ZuROVUrazev::on_actionStart_Debugging_triggered()
{
    // Tells the user why the debugger cannot start now, if it cannot.
    const auto refused = [this]() {
        QString reason;
        if (!messenger)
            reason = tr("No active connection");
        else if (!(device.capabilities & CapScripts))
            reason = tr("Device does not support KOLM script execution and debugging");
        else if (!ui->projectPage->project())
            reason = tr("A project must be opened in order to start the debugger");
        if (!reason.isEmpty()) {
            QMessageBox::warning(this, tr("KOLM Debugger"), reason);
            return true;
        }
        if (state != CS_IDLE) {
            statusBar()->showMessage(tr("Cannot start - device is busy"), 10000);
            return true;
        }
        return false;
    };
    if (refused())
        return;
    QPointer<ZuROVUrazev> self(this);
    const bool built = project_waitCompiled();
    if (!self)
        return;
    if (!built) {
        QMessageBox::warning(this, tr("KOLM Debugger"), tr("A project must be compiled in order to start the debugger"));
        return;
    }
    // The build ran in a nested event loop: the connection may have gone
    // or started other work meanwhile.
    if (refused())
        return;
    pagesel_clicked(T_Debug);
    if (device.state == DS_Config) {
        debuggerInit();
        return;
    }
    state = CS_DBG_HALT;
    sendDebugRequest(CmdAsmCtrl, CtrlHalt);
}

void ZuROVUrazev::debuggerInit()
{
    // The virtual machine stands still (halted just now, or never
    // started): the upload goes straight to the configuration version.
    device.state = DS_Config;
    ui->zudbgPage->clear();
    QPointer<ZuROVUrazev> self(this);
    on_actionUpload_triggered();
    if (!self)
        return;
    if (state == CS_WRITE_PREP) {
        // The end of the image write starts the disassembly.
        postUpload = PU_Debug;
        device.state = DS_Debugging;
        setupControls();
        return;
    }
    // The upload did not start: nothing of the debugger is pending.
    state = CS_IDLE;
    postUpload = PU_NOP;
    setupControls();
}

void ZuROVUrazev::startDisassembly()
{
    disassembler->run(ui->projectPage->outputElf());
}

void ZuROVUrazev::disasm_finished(bool ok)
{
    if (ok)
        logInfo(tr("Disassembly completed"));
    if (!ok || !ui->zudbgPage->setAsm(disassembler->result())) {
        QPointer<ZuROVUrazev> self(this);
        QMessageBox::warning(this, tr("Disassembler"), tr("Disassembly process failed. Debugger will be disabled"));
        if (!self)
            return;
        ui->actionLog->setChecked(true);
        state = CS_IDLE;
        updateDebugActions();
        pagesel_clicked(T_Script);
        return;
    }
    // The session may have ended while the disassembler ran.
    if (!messenger || device.state != DS_Debugging || state != CS_IDLE)
        return;
    const bool toMain = settings.value(QStringLiteral("DbgToMain"), true).toBool();
    ui->zudbgPage->setMode(toMain ? ZuASMDebugger::RunToMain : ZuASMDebugger::Init);
    dbgInfoStart(CtrlHalt, nullptr);
}

void ZuROVUrazev::dbgInfoStart(quint8 control, NextPkt *next)
{
    state = CS_ASM_STATE;
    updateDebugActions();
    if (next) {
        next->valid = true;
        next->cmd = CmdAsmCtrl;
        next->sub = control;
        next->data.clear();
        return;
    }
    if (sendDebugRequest(CmdAsmCtrl, control) && messenger)
        messenger->setPollTime(DebugPollMs);
}

void ZuROVUrazev::dbgInfoFinished()
{
    restorePollTime();
    state = CS_IDLE;
    updateDebugActions();
    ui->zudbgPage->updateRam();
    ui->zudbgPage->updateInfo();
}

void ZuROVUrazev::dbgInfoFailed()
{
    restorePollTime();
    state = CS_IDLE;
    updateDebugActions();
}

void ZuROVUrazev::on_actionRestart_Debugging_triggered()
{
    if (!debugStopped())
        return;
    forgetMachinePosition();
    const bool toMain = settings.value(QStringLiteral("DbgToMain"), true).toBool();
    ui->zudbgPage->setMode(toMain ? ZuASMDebugger::RunToMain : ZuASMDebugger::Init);
    dbgInfoStart(CtrlHalt, nullptr);
}

void ZuROVUrazev::on_actionDebug_Step_triggered()
{
    if (!debugCanRun())
        return;
    dbgInfoStart(CtrlStep, nullptr);
}

void ZuROVUrazev::on_actionDebug_Next_triggered()
{
    if (!debugCanRun())
        return;
    ui->zudbgPage->setMode(ZuASMDebugger::Next);
    dbgInfoStart(CtrlStep, nullptr);
}

void ZuROVUrazev::on_actionInterrupt_triggered()
{
    if (!debugging() || ui->zudbgPage->atScriptEnd())
        return;
    if (state == CS_ASM_STATE) {
        // A refresh that keeps stepping ends at its next register reply.
        ui->zudbgPage->setMode(ZuASMDebugger::Step);
        return;
    }
    if (state != CS_IDLE)
        return;
    ui->zudbgPage->setMode(ZuASMDebugger::Step);
    dbgInfoStart(CtrlInterrupt, nullptr);
}

void ZuROVUrazev::on_actionContinue_triggered()
{
    if (!debugCanRun())
        return;
    ui->zudbgPage->setMode(ZuASMDebugger::Run);
    // The machine runs: the position shown no longer holds.
    forgetMachinePosition();
    device.state = DS_Messaging;
    setupControls();
    state = CS_ASM_START;
    sendDebugRequest(CmdAsmCtrl, CtrlContinue);
}

void ZuROVUrazev::on_zudbgPage_syncRam()
{
    if (!messenger || device.state != DS_Debugging || state != CS_IDLE)
        return;
    state = CS_ASM_RAM;
    ramOffset = 0;
    if (sendDebugRequest(CmdAsmRam, 0) && messenger)
        messenger->setPollTime(DebugPollMs);
}

void ZuROVUrazev::emulator_finished(bool, int code)
{
    logError(tr("emulator process has unexpectedly finished with code %1").arg(code));
}

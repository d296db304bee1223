// Replies of the configuration transfer: the block read in chunks while
// connecting, the block written in chunks during an upload, and the erase,
// factory reset and reboot controls.

#include "zurovurazev.h"

#include "device_capabilities.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"

#include <QPointer>
#include <QStatusBar>

#include <cstring>

namespace {

constexpr quint8 CmdMcuCfgRead = 0x03;
constexpr quint8 CmdMcuCfgWrite = 0x04;
constexpr quint8 CmdMcuCfgCtrl = 0x06;
constexpr quint8 CmdAsmStatus = 0x20;

constexpr quint16 CfgCtrlReset = 0;
constexpr quint16 CfgCtrlReboot = 2;
constexpr quint16 CfgCtrlErase = 3;


// Bytes of one configuration write.
constexpr int ChunkSize = 48;
// Read replies that store nothing (empty, or for another offset) in a row
// before the read gives up.
constexpr int MaxChunkMisses = 3;

} // namespace

void ZuROVUrazev::processMcuCfgRead(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if (state != CS_GET_CFG) {
        processPktBail(CmdMcuCfgRead, sub);
        return;
    }
    // The read goes on from the offset asked; a reply that brings nothing
    // for it is asked again, a few times at most.
    if (len == 0 || sub != chunkOffset) {
        if (++chunkMisses >= MaxChunkMisses) {
            readChainFailed(next, tr("Device sent no configuration data"));
            return;
        }
        next.valid = true;
        next.cmd = CmdMcuCfgRead;
        next.sub = quint16(chunkOffset);
        return;
    }
    chunkMisses = 0;
    // Bytes beyond the announced size are dropped.
    const quint32 take = qMin<quint32>(len, device.configSize - chunkOffset);
    memcpy(device.config.data() + chunkOffset, data, take);
    chunkOffset += take;
    setProgress(tr("Reading configuration") + QStringLiteral(" %p%"), int(chunkOffset), int(device.configSize));
    if (chunkOffset < device.configSize) {
        next.valid = true;
        next.cmd = CmdMcuCfgRead;
        next.sub = quint16(chunkOffset);
        return;
    }
    logInfo(tr("Received %n bytes of config data from the device", nullptr, int(device.configSize)));
    msgTimer.stop();
    QPointer<ZuROVUrazev> self(this);
    const QPointer<ZuHalAbstractMessenger> link(messenger);
    settingsRead();
    // Taking the block over may ask the user; the link may be gone since.
    if (!self || !linkStill(link, CS_GET_CFG))
        return;
    if (device.capabilities & DeviceCapability::Scripts) {
        state = CS_GET_ASM_INFO;
        next.valid = true;
        next.cmd = CmdAsmStatus;
        next.sub = 1;
        return;
    }
    next.done = true;
    deviceFirstConnected();
    device.scriptSpace = 0;
    state = CS_IDLE;
}

void ZuROVUrazev::nextConfigChunk(NextPkt &next)
{
    const QByteArray chunk = device.config.mid(int(chunkOffset), ChunkSize);
    next.valid = true;
    next.cmd = CmdMcuCfgWrite;
    next.sub = quint16(chunkOffset);
    next.data = chunk;
    chunkOffset += quint32(chunk.size());
}

void ZuROVUrazev::processMcuCfgWrite(unsigned short sub, const unsigned char *, unsigned, NextPkt &next)
{
    if (state != CS_WRITE_CFG) {
        processPktBail(CmdMcuCfgWrite, sub);
        return;
    }
    setProgress(tr("Writing configuration") + QStringLiteral(" %p%"), int(chunkOffset), int(device.configSize));
    if (chunkOffset < quint32(device.config.size())) {
        nextConfigChunk(next);
        return;
    }
    logInfo(tr("Configuration data has been written to the device"));
    if ((device.capabilities & DeviceCapability::Scripts) && device.imageSize > 0) {
        setProgress(tr("Writing script") + QStringLiteral(" %p%"), 0, 0);
        state = CS_WRITE_ASM_BIN;
        chunkOffset = 0;
        if (!writeNextAsm(next))
            configWritten(next);
        return;
    }
    statusBar()->showMessage(tr("Configuration successfully flashed"), 10000);
    configWritten(next);
}

void ZuROVUrazev::configWritten(NextPkt &next)
{
    next.done = true;
    state = CS_IDLE;
    restorePollTime();
    ui->actionUpload->setEnabled(true);
    stopProgressBar();
}

void ZuROVUrazev::processMcuCfgCtrl(unsigned short sub, const unsigned char *, unsigned, NextPkt &next)
{
    if (sub == CfgCtrlReset && state == CS_ERASE_REBOOT) {
        state = CS_IDLE;
        next.valid = true;
        next.cmd = CmdMcuCfgCtrl;
        next.sub = CfgCtrlReboot;
        return;
    }
    if (sub != CfgCtrlErase) {
        processPktBail(CmdMcuCfgCtrl, sub);
        return;
    }
    logInfo(tr("The configuration data has been erased"));
    if (state != CS_WRITE_PREP) {
        processPktBail(CmdMcuCfgCtrl, sub);
        return;
    }
    chunkOffset = 0;
    if (device.configSize > 0) {
        setProgress(tr("Writing configuration") + QStringLiteral(" %p%"), 0, 0);
        state = CS_WRITE_CFG;
        nextConfigChunk(next);
        return;
    }
    if (device.scriptSpace > 0) {
        setProgress(tr("Writing script") + QStringLiteral(" %p%"), 0, 0);
        state = CS_WRITE_ASM_BIN;
        if (writeNextAsm(next))
            return;
    } else {
        device.state = DS_Config;
    }
    // Nothing to write.
    next.done = true;
    endUpload(false);
}

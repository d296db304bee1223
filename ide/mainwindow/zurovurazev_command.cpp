// The device command layer: requests to the controller's MC port, the
// dispatcher of every received packet, chunked image writes and the error
// reporters of the device exchanges.

#include "zurovurazev.h"

#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"
#include "page_dialogs.h"
#include "zuhal_packet.h"
#include "zurovurazev_commands.h"

#include <QPointer>

using namespace mc;

namespace {

// Ports of the device packet.
constexpr uchar PortScript = 0;
constexpr uchar PortMc = 1;
constexpr uchar PortHost = 2;
constexpr uchar PortHal = 3;

// Bytes of an MC request or reply head: command and sub-command.
constexpr int McHead = 3;
// Bytes of one chunk of a chunked write.
constexpr int ChunkSize = 48;

// Sub-commands of MCU_CFG_CTRL after which the device reboots unanswered.
constexpr quint16 CfgCtrlUpgrade = 1;
constexpr quint16 CfgCtrlReboot = 2;

bool isPrintable(const QByteArray &bytes)
{
    for (char c : bytes) {
        const uchar b = static_cast<uchar>(c);
        if (!((b >= 0x09 && b <= 0x0D) || (b >= 0x20 && b <= 0x7E)))
            return false;
    }
    return true;
}

} // namespace

QString ZuROVUrazev::addressText(quint16 address)
{
    if (address == ZuHalPacket::Broadcast)
        return QStringLiteral("bcst");
    return QString::number(address, 16).rightJustified(4, QLatin1Char('0')).toUpper() + QLatin1Char('h');
}

QByteArray ZuROVUrazev::prepareCfgPacket(unsigned char cmd, unsigned short sub, const QByteArray &data)
{
    QByteArray payload;
    payload.reserve(McHead + data.size());
    payload.append(static_cast<char>(cmd));
    payload.append(static_cast<char>(sub & 0xFF));
    payload.append(static_cast<char>(sub >> 8));
    payload.append(data);
    return payload;
}

bool ZuROVUrazev::sendCfgPacket(unsigned char cmd, unsigned short sub, const QByteArray &data, bool encrypt)
{
    return sendLocalPacket(PortMc, prepareCfgPacket(cmd, sub, data), encrypt);
}

ZuHalPacket ZuROVUrazev::devicePacket(unsigned char port) const
{
    ZuHalPacket packet;
    packet.setDestination(device.address);
    packet.setSource(device.address == device.localAddress ? ZuHalPacket::Broadcast : device.localAddress);
    packet.setDstPort(port);
    packet.setSrcPort(PortHost);
    return packet;
}

bool ZuROVUrazev::sendLocalPacket(unsigned char port, const QByteArray &payload, bool encrypt)
{
    ZuHalPacket packet = devicePacket(port);
    packet.setEncrypted(encrypt);
    if (!packet.setData(payload, key)) {
        _transmit_error(tr("Packet is too big to be encrypted"));
        return false;
    }
    if (!messenger || !messenger->send(packet))
        return false;
    msgTimer.start();
    return true;
}

void ZuROVUrazev::attachTransport(ZuHalAbstractMessenger *transport, quint16 address, quint16 localAddress)
{
    if (messenger && messenger != transport)
        usb_disconnected();
    messenger = transport;
    messenger->setParent(this);
    connect(messenger, &ZuHalAbstractMessenger::dataReady, this, &ZuROVUrazev::msg_ready, Qt::UniqueConnection);
    connect(messenger, &ZuHalAbstractMessenger::disconnected, this, &ZuROVUrazev::usb_disconnected,
            Qt::UniqueConnection);
    device.address = address;
    device.localAddress = localAddress;
}

void ZuROVUrazev::msg_ready()
{
    // A handler may drop the transport, or (through a modal box) the
    // window itself: look both up again for every packet.
    QPointer<ZuROVUrazev> self(this);
    while (self && messenger && messenger->queue() > 0) {
        ZuHalPacket packet = messenger->pop();
        if (packet.isEncrypted())
            packet.decrypt(key);
        processDataPacket(packet);
    }
}

void ZuROVUrazev::showNewChatMessage()
{
    if (ui->stackedWidget->currentIndex() != T_Chat)
        chatStatus->status(QStringLiteral("mark_chat_unread"), QMaterialIcon::Success, tr("New Chat Message"));
}

void ZuROVUrazev::processDataPacket(const ZuHalPacket &packet)
{
    if (packet.dstPort() != PortHost)
        return;
    switch (packet.srcPort()) {
    case PortHost:
        if (!checkAck(packet)) {
            addChatMessage(packet, false, false);
            showNewChatMessage();
        }
        return;
    case PortMc:
        processMcReply(packet);
        return;
    case PortHal:
        halApiReplyReceived(packet);
        break;
    case PortScript: {
        const QByteArray payload = packet.data();
        const bool printable = isPrintable(payload);
        logInfo(QStringLiteral("PLC: ")
                + (printable ? QString::fromLatin1(payload) : QString::fromLatin1(payload.toHex())));
        msgKolmReceived(payload, printable);
        ui->actionLog->setChecked(true);
        break;
    }
    default:
        // Traffic on a user-chosen port is console or chat traffic only
        // while no chain runs.
        if (state != CS_IDLE) {
            processPktBail(0, 0);
            return;
        }
        processOtherPort(packet);
        break;
    }
    // A script message or a HAL reply during a chain is not the answer the
    // chain waits for: its time-out keeps running.
    if (state == CS_IDLE)
        msgTimer.stop();
}

void ZuROVUrazev::processMcReply(const ZuHalPacket &packet)
{
    // Replies of a device other than the one addressed are ignored, except
    // while its address is being found out.
    const bool anySource = state == CS_GET_RELAY || state == CS_GET_ADDR || state == CS_DEV_PING;
    if (!anySource && packet.source() != device.address)
        return;
    const QByteArray payload = packet.data();
    if (payload.size() < McHead) {
        logError(tr("Invalid packet received - at least 3 bytes expected"));
        return;
    }
    const quint8 cmd = static_cast<quint8>(payload[0]);
    const quint16 sub = static_cast<quint16>(static_cast<uchar>(payload[1]) | static_cast<uchar>(payload[2]) << 8);
    const auto *data = reinterpret_cast<const unsigned char *>(payload.constData()) + McHead;
    const unsigned len = static_cast<unsigned>(payload.size() - McHead);
    NextPkt next;
    // Handlers may open modal boxes, inside which the window can go.
    QPointer<ZuROVUrazev> self(this);

    if (state == CS_DEV_PING) {
        if (cmd == CmdMcuInfo && sub == 4) {
            logInfo(tr("Device %1 responded to ping").arg(addressText(packet.source())));
            pingResults.append(qMakePair(packet.source(), QString::fromLatin1(payload.mid(McHead))));
        }
        return;
    }
    if (state == CS_GET_INFO)
        ui->actionRemote->setEnabled(false);
    if (state == CS_IDLE) {
        mcApiReplyReceived(packet);
        if (cmd != CmdMcuTime && !(cmd == CmdMcuInfo && sub == 7)) {
            msgTimer.stop();
            return;
        }
    }
    if (m_mcReplyObserver)
        m_mcReplyObserver(packet);
    switch (cmd) {
    case CmdMcuInfo:
        processMcuInfo(packet.source(), sub, data, len, next);
        break;
    case CmdMcuIohint:
        processMcuIohint(sub, data, len, next);
        break;
    case CmdMcuCfgRead:
        processMcuCfgRead(sub, data, len, next);
        break;
    case CmdMcuCfgWrite:
        processMcuCfgWrite(sub, data, len, next);
        break;
    case CmdMcuCfgCtrl:
        processMcuCfgCtrl(sub, data, len, next);
        break;
    case CmdMcuTime:
        processMcuTime(sub, data, len, next);
        break;
    case CmdAsmStatus:
        processAsmStatus(sub, data, len, next);
        break;
    case CmdAsmWrite:
        processAsmWrite(sub, data, len, next);
        break;
    case CmdAsmCtrl:
        processAsmCtrl(sub, data, len, next);
        break;
    case CmdAsmState:
        processAsmState(sub, data, len, next);
        break;
    case CmdAsmRegs:
        processAsmRegs(sub, data, len, next);
        break;
    case CmdAsmRam:
        processAsmRam(sub, data, len, next);
        break;
    default:
        processPktBail(cmd, sub);
        break;
    }
    if (self)
        sendFollowUp(next);
}

void ZuROVUrazev::sendFollowUp(const NextPkt &next)
{
    if (!next.done && !next.valid)
        return;
    msgTimer.stop();
    if (!next.valid)
        return;
    const bool sent = sendCfgPacket(next.cmd, next.sub, next.data, false);
    if (next.cmd == CmdMcuCfgCtrl && (next.sub == CfgCtrlUpgrade || next.sub == CfgCtrlReboot)) {
        // The device reboots: no answer will come.
        msgTimer.stop();
        return;
    }
    if (!sent)
        _transmit_error(tr("Packet submission failure"));
}

bool ZuROVUrazev::writeNextAsm(NextPkt &next)
{
    if (chunkOffset >= static_cast<quint32>(device.image.size())) {
        ui->actionLaunch->setEnabled(device.imageSize != 0);
        return false;
    }
    if (chunkOffset > 0xFFFF) {
        // The sub-command holds 16 bits: a larger offset would wrap and
        // overwrite the start of the script.
        postUpload = PU_NOP;
        state = CS_IDLE;
        ui->actionUpload->setEnabled(true);
        stopProgressBar();
        next.done = true;
        _write_error(tr("Cannot write the script - offset %1 exceeds 65535").arg(chunkOffset));
        return true;
    }
    const QByteArray chunk = device.image.mid(static_cast<int>(chunkOffset), ChunkSize);
    next.valid = true;
    next.cmd = CmdAsmWrite;
    next.sub = static_cast<quint16>(chunkOffset);
    next.data = chunk;
    chunkOffset += static_cast<quint32>(chunk.size());
    return true;
}

void ZuROVUrazev::processNextAsmState(NextPkt *next)
{
    next->valid = true;
    next->cmd = CmdAsmState;
    next->sub = 0;
    next->data.clear();
}

void ZuROVUrazev::restorePollTime()
{
    if (messenger)
        messenger->setPollTime(settings.value(QStringLiteral("Poll"), 500).toInt());
}

void ZuROVUrazev::processPktBail(unsigned, unsigned)
{
    restorePollTime();
}

void ZuROVUrazev::ioErrorBox(const QString &title, const QString &text)
{
    msgTimer.stop();
    restorePollTime();
    pageWarning(this, title, text);
}

void ZuROVUrazev::_transmit_error(const QString &msg)
{
    ioErrorBox(tr("Device IO"), tr("Transmission error<br>%1").arg(msg));
}

void ZuROVUrazev::_write_error(const QString &msg)
{
    ioErrorBox(tr("Write to the Device"), tr("Cannot write configuration<br>%1").arg(msg));
}

void ZuROVUrazev::_read_error(const QString &msg)
{
    ioErrorBox(tr("Read from the Device"), tr("Cannot retrieve configuration<br>%1").arg(msg));
}

// The chat page: short messages to and from any device address the open
// transport reaches, acknowledged by a checksum of the message; the
// conversation as bubbles, saved as one HTML file.

#include "zurovurazev.h"

#include "chat_feed.h"
#include "chat_list.h"
#include "chatadvancedform.h"
#include "page_dialogs.h"
#include "qchatlabel.h"
#include "ui_zurovurazev.h"
#include "whole_file_writer.h"
#include "zuc_address.h"
#include "zuhal_messenger.h"
#include "zuhal_packet.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace {

constexpr uchar PortChat = 2;
constexpr int ErrorStatusMs = 10000;

// Acknowledgement: FF FE and the CRC-16/X-25 of the message, little-endian.
constexpr int AckSize = 4;
constexpr uchar AckMark0 = 0xFF;
constexpr uchar AckMark1 = 0xFE;

// A message's text: its UTF-8 up to the first zero byte.
QString messageText(const QByteArray &payload)
{
    const int zero = payload.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? payload : payload.left(zero));
}

} // namespace

void ZuROVUrazev::setupChatWidget()
{
    chatAdvancedForm = new ChatAdvancedForm(ui->chatAdvancedGroup);
    ui->chatAdvancedGroup->addCentralWidget(chatAdvancedForm);
    ui->chatAddressEdit->setAction(QToolLineEdit::NoAction);
    ui->chatMsgEdit->setAction(QToolLineEdit::NoAction);
    chatFeed = new ChatFeed(ui->chatBrowser, this);
}

void ZuROVUrazev::on_chatSendTool_clicked()
{
    const QString text = ui->chatMsgEdit->text();
    if (text.isEmpty() || !messenger)
        return;
    const bool advanced = ui->chatAdvancedGroup->isChecked();
    QByteArray payload = text.toUtf8();
    bool binary = false;
    if (advanced && chatAdvancedForm->messageIsHex()) {
        payload = QByteArray::fromHex(payload);
        binary = true;
        if (payload.isEmpty()) {
            ui->statusbar->showMessage(tr("Cannot convert message from hex"), ErrorStatusMs);
            return;
        }
    }
    bool valid = false;
    const quint16 address = ZUC_ADDRESS::fromString(ui->chatAddressEdit->text(), &valid);
    if (!valid) {
        pageWarning(this, tr("Chat"), tr("Address %1 is invalid").arg(ui->chatAddressEdit->text()));
        return;
    }
    ZuHalPacket packet;
    packet.setDestination(address);
    packet.setSource(device.localAddress);
    packet.setDstPort(advanced ? uchar(chatAdvancedForm->destinationPort()) : PortChat);
    packet.setSrcPort(advanced ? uchar(chatAdvancedForm->sourcePort()) : PortChat);
    packet.setEncrypted(ui->chatCryptTool->isChecked());
    if (!packet.setData(payload, key)) {
        pageWarning(this, tr("Chat"), tr("Message is too big to be encrypted"));
        return;
    }
    // A chat message goes straight to the transport: no reply timer.
    if (!messenger->send(packet)) {
        pageWarning(this, tr("Chat"), tr("Cannot send\n%1").arg(text));
        return;
    }
    packet.decrypt(key);
    addChatMessage(packet, true, binary);
    ui->chatMsgEdit->clear();
}

void ZuROVUrazev::addChatMessage(const ZuHalPacket &packet, bool outgoing, bool binary)
{
    const QByteArray payload = packet.data();
    if (outgoing) {
        auto *bubble = new QChatLabel(ui->chatBrowser);
        // The acknowledgement carries the checksum of the bytes sent, which
        // for a hex message are not the text shown.
        bubble->setup(packet.destination(), packet.dstPort(), binary ? tr("Binary data") : messageText(payload),
                      true, payload);
        chatFeed->addSent(bubble);
        return;
    }
    chatFeed->addReceived(packet.source(), packet.srcPort(), messageText(payload));
    sendAck(packet);
}

void ZuROVUrazev::sendAck(const ZuHalPacket &packet)
{
    // Broadcasts and messages of other ports are never acknowledged.
    if (packet.srcPort() != PortChat || packet.destination() == ZuHalPacket::Broadcast || !messenger)
        return;
    const QByteArray message = packet.data();
    const quint16 checksum = qChecksum(message.constData(), uint(message.size()));
    QByteArray payload;
    payload.append(char(AckMark0)).append(char(AckMark1));
    payload.append(char(checksum & 0xFF)).append(char(checksum >> 8));
    ZuHalPacket ack(packet);
    ack.setDestination(packet.source());
    ack.setSource(packet.destination());
    ack.setDstPort(packet.srcPort());
    ack.setSrcPort(packet.dstPort());
    ack.setData(payload, key);
    messenger->send(ack);
}

bool ZuROVUrazev::checkAck(const ZuHalPacket &packet)
{
    const QByteArray payload = packet.data();
    if (payload.size() != AckSize || uchar(payload[0]) != AckMark0 || uchar(payload[1]) != AckMark1)
        return false;
    // Consumed whether or not a bubble takes it.
    chatFeed->offerAck(packet.source(), quint16(uchar(payload[2]) | uchar(payload[3]) << 8));
    return true;
}

void ZuROVUrazev::processOtherPort(const ZuHalPacket &packet)
{
    // The dispatcher calls this only while no chain runs.
    if (!ui->chatAdvancedGroup->isChecked() || chatAdvancedForm->destinationPort() != packet.srcPort())
        return;
    addChatMessage(packet, false, false);
    showNewChatMessage();
}

void ZuROVUrazev::on_chatAddressTool_clicked()
{
    quint16 address = ZUC_ADDRESS::Broadcast;
    ui->chatAddressEdit->setText(chatFeed->newestAddress(&address) ? ZUC_ADDRESS::toString(address)
                                                                   : QStringLiteral("all"));
}

void ZuROVUrazev::on_chatClearTool_clicked()
{
    chatFeed->clear();
}

void ZuROVUrazev::on_chatSaveTool_clicked()
{
    const QString directory = settings.value(QStringLiteral("Chat/Directory"), QDir::homePath()).toString();
    QPointer<ZuROVUrazev> self(this);
    QString name = pageSaveFileName(this, tr("Save Chat"), directory, tr("HTML files (*.html *.htm)"));
    if (!self || name.isEmpty())
        return;
    settings.setValue(QStringLiteral("Chat/Directory"), QFileInfo(name).absolutePath());
    if (!name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
        && !name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
        name += QLatin1String(".html");
    chatFeed->flush();
    QString reason;
    // Whole or not at all: a failed write keeps the old file.
    if (!writeWholeFile(name, chat_toHtml(ui->chatBrowser).toUtf8(), &reason, true)) {
        ui->statusbar->showMessage(tr("Cannot save to %1: %2").arg(QFileInfo(name).fileName(), reason),
                                   ErrorStatusMs);
        return;
    }
    ui->statusbar->showMessage(tr("Saved to %1").arg(name), ErrorStatusMs);
}

#pragma once

#include "bootloader_core.h"
#include "bootloader_status.h"
#include "pty_pair.h"
#include "uart_frame.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QtEndian>

#include <cstdint>
#include <optional>

// A bootloader on the far side of a pseudo-terminal, answering from the
// event loop of the thread it lives in: every frame the link sends is
// recorded, the commands to its address are carried out (01 02 erase,
// 01 01 set address, 02 write, 01 10 storage erase) and a status request
// (03), a ping (06, also when broadcast to 0xFF) and an information request
// (04) are answered.
class SerialBootloaderPeer : public QObject, public SimulatedBootloaderCore
{
public:
    static constexpr char StatusCommand = 0x03;
    static constexpr char WriteCommand = 0x02;
    static constexpr char ControlCommand = 0x01;
    static constexpr char InfoCommand = 0x04;
    static constexpr char PingCommand = 0x06;
    static constexpr uint8_t Broadcast = 0xFF;
    // A ping answer carries a 24-byte description.
    static constexpr int DescriptionSize = 24;

    // A status answer that the bootloader spoils once, right after a
    // set-address command.
    enum class SpoiledStatus { None, OtherAddress, OtherLength };

    SerialBootloaderPeer(PtyPair &pty, uint8_t address, QObject *parent = nullptr)
        : QObject(parent)
        , address(address)
        , replyAddress(address)
        , m_pty(pty)
    {
        m_poll.setInterval(2);
        QObject::connect(&m_poll, &QTimer::timeout, this, [this] { poll(); });
        m_poll.start();
    }

    uint8_t address;
    // The address the answers carry.
    uint8_t replyAddress;
    // When set, the status answer's payload instead of 03 and the status.
    std::optional<QByteArray> statusReply;
    bool silent = false;
    // The description a ping is answered with, NUL-padded; none when empty.
    QByteArray description = QByteArrayLiteral("Pellam DFU");
    // The information text, sent after the echo of the command.
    QByteArray info = QByteArrayLiteral("Pellam DFU 1.0");
    // Frames sent before and after the ping answer, as other devices on the
    // line would.
    QList<UARTMessage> pingPrelude;
    QList<UARTMessage> pingOthers;
    SpoiledStatus spoilAfterAddress = SpoiledStatus::None;
    // The write frame of this index (0 = the first) is spoiled on the line:
    // the bootloader drops it without a word.
    int dropWriteFrame = -1;
    QList<UARTMessage> received;

    // A frame that the bootloader sends of its own accord.
    bool sendFrame(uint8_t from, const QByteArray &payload)
    {
        return m_pty.write(uart_frame::encode(from, payload));
    }

    QByteArray statusPayload()
    {
        return statusReply ? *statusReply : QByteArray(1, StatusCommand) + bootloaderStatusBytes(read());
    }

private:
    void poll()
    {
        m_parser.append(m_pty.read(4096, 0));
        UARTMessage message;
        while (m_parser.next(&message)) {
            received.append(message);
            if (message.first == address)
                carryOut(message.second);
            else if (message.first == Broadcast && message.second == QByteArray(1, PingCommand))
                answerPing();
        }
    }

    void carryOut(const QByteArray &payload)
    {
        if (payload.isEmpty())
            return;
        if (payload == QByteArray(1, StatusCommand)) {
            if (!silent)
                answerStatus();
        } else if (payload == QByteArray(1, PingCommand)) {
            answerPing();
        } else if (payload == QByteArray(1, InfoCommand)) {
            if (!silent)
                sendFrame(replyAddress, QByteArray(1, InfoCommand) + info);
        } else if (payload.at(0) == WriteCommand) {
            if (m_writeFrames++ == dropWriteFrame)
                return;
            const QByteArray data = payload.mid(1);
            write(data, uint32_t(data.size()), "data");
        } else if (payload == QByteArray::fromHex("0102")) {
            erase(-1);
        } else if (payload == QByteArray::fromHex("0110")) {
            eraseStorage();
        } else if (payload.size() == 6 && payload.startsWith(QByteArray::fromHex("0101"))) {
            setAddress(qFromLittleEndian<quint32>(payload.constData() + 2));
            m_spoilNext = spoilAfterAddress;
        }
    }

    void answerPing()
    {
        if (silent)
            return;
        for (const UARTMessage &frame : qAsConst(pingPrelude))
            sendFrame(frame.first, frame.second);
        if (!description.isEmpty())
            sendFrame(replyAddress, description.leftJustified(DescriptionSize, '\0', true));
        for (const UARTMessage &frame : qAsConst(pingOthers))
            sendFrame(frame.first, frame.second);
    }

    void answerStatus()
    {
        QByteArray payload = statusPayload();
        uint8_t from = replyAddress;
        if (m_spoilNext == SpoiledStatus::OtherAddress)
            from = uint8_t(from + 1);
        else if (m_spoilNext == SpoiledStatus::OtherLength)
            payload.chop(1);
        m_spoilNext = SpoiledStatus::None;
        sendFrame(from, payload);
    }

    PtyPair &m_pty;
    QTimer m_poll;
    uart_frame::Parser m_parser;
    SpoiledStatus m_spoilNext = SpoiledStatus::None;
    int m_writeFrames = 0;
};

#pragma once

#include "bootloader_status.h"
#include "pty_pair.h"
#include "uart_frame.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <optional>

// A bootloader on the far side of a pseudo-terminal, answering from the
// event loop of the thread it lives in: every frame the link sends is
// recorded, and a status request (03) to its address is answered.
class SerialBootloaderPeer : public QObject
{
public:
    static constexpr char StatusCommand = 0x03;

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
    DFUStatus status;
    // The address the answers carry.
    uint8_t replyAddress;
    // When set, the status answer's payload instead of 03 and `status`.
    std::optional<QByteArray> statusReply;
    bool silent = false;
    QList<UARTMessage> received;

    // A frame that the bootloader sends of its own accord.
    bool sendFrame(uint8_t from, const QByteArray &payload)
    {
        return m_pty.write(uart_frame::encode(from, payload));
    }

    QByteArray statusPayload() const
    {
        return statusReply ? *statusReply : QByteArray(1, StatusCommand) + bootloaderStatusBytes(status);
    }

private:
    void poll()
    {
        m_parser.append(m_pty.read(4096, 0));
        UARTMessage message;
        while (m_parser.next(&message)) {
            received.append(message);
            if (!silent && message.first == address && message.second == QByteArray(1, StatusCommand))
                sendFrame(replyAddress, statusPayload());
        }
    }

    PtyPair &m_pty;
    QTimer m_poll;
    uart_frame::Parser m_parser;
};

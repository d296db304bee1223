#ifndef KOLM_BENCH_DEVICE_LINK_CLIENT_H
#define KOLM_BENCH_DEVICE_LINK_CLIENT_H

// The IDE's side of the device link to halvane-kdb's emulator mode, driven
// synchronously: the TCP transport with its SLIP framing and device packets,
// management commands answered one at a time, the image written in 48-byte
// chunks and read back, and the script's messages. Needs a QCoreApplication.

#include "zuhal_tcp.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <string>

class DeviceLinkClient
{
public:
    enum : uint8_t {
        CMD_INFO = 1,
        CMD_SCRIPT_READ = 33,
        CMD_SCRIPT_WRITE = 34,
        CMD_SCRIPT_CONTROL = 35,
    };
    enum : uint16_t { SCRIPT_STOP = 0, SCRIPT_START = 1 };
    // Image bytes in one write request, and in one read reply.
    static constexpr int kWriteChunk = 48;
    static constexpr int kReadChunk = 55;

    // Opens the link to 127.0.0.1:port, retrying while the server starts,
    // for up to timeoutMs.
    bool connect(int port, int timeoutMs = 5000);
    void close() { m_link.close(); }

    // Sends one management command and waits up to timeoutMs for its reply;
    // true with the reply's data (after the echoed command and sub-code) in
    // `reply` when one came for this command and sub-code. Script messages
    // that arrive meanwhile are kept for message().
    bool command(uint8_t cmd, uint16_t sub, const QByteArray &data = {}, QByteArray *reply = nullptr,
                 int timeoutMs = 5000);

    // Writes the image from offset 0 in 48-byte chunks, each acknowledged
    // with result 0, as the IDE's upload does.
    bool upload(const std::string &image);
    // Reads the image back and compares it with `image`.
    bool verify(const std::string &image);

    // Waits up to timeoutMs, sending nothing, for the script's next message;
    // true with its bytes.
    bool message(QByteArray *bytes, int timeoutMs);

private:
    // The next received packet within timeoutMs.
    bool next(ZuHalPacket &packet, int timeoutMs);

    ZuHalTCPMessenger m_link;
    QList<QByteArray> m_messages;
};

#endif

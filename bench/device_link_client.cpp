#include "device_link_client.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

enum : uchar { PORT_SCRIPT = 0, PORT_MANAGEMENT = 1, PORT_HOST = 2 };

// One connection attempt; loopback answers at once when the server listens.
constexpr int kConnectWaitMs = 50;

// Time left of a wait of `total` ms that started at `timer`; 0 once over.
int remaining(const QElapsedTimer &timer, int total)
{
    return int(std::max<qint64>(0, total - timer.elapsed()));
}

// Runs step(offset, bytes) over the image in chunks of `size` bytes, while
// it succeeds; false too when an offset does not fit the 16-bit sub-code.
template <typename Step>
bool eachChunk(const std::string &image, int size, Step step)
{
    for (size_t offset = 0; offset < image.size(); offset += size_t(size)) {
        const std::string chunk = image.substr(offset, size_t(size));
        if (offset > 0xFFFF || !step(uint16_t(offset), QByteArray(chunk.data(), int(chunk.size()))))
            return false;
    }
    return true;
}

} // namespace

bool DeviceLinkClient::connect(int port, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);
    while (timer.elapsed() < timeoutMs) {
        QEventLoop loop;
        QObject::connect(&m_link, &ZuHalAbstractMessenger::connected, &loop, &QEventLoop::quit);
        QTimer::singleShot(kConnectWaitMs, &loop, &QEventLoop::quit);
        if (!m_link.open(address))
            return false;
        loop.exec();
        if (m_link.isOpen())
            return true;
        m_link.close();
        QThread::msleep(10);
    }
    return false;
}

bool DeviceLinkClient::next(ZuHalPacket &packet, int timeoutMs)
{
    // The transport waits without a limit for 0.
    if (m_link.queue() == 0 && (timeoutMs <= 0 || !m_link.pollData(timeoutMs)))
        return false;
    packet = m_link.pop();
    return true;
}

bool DeviceLinkClient::command(uint8_t cmd, uint16_t sub, const QByteArray &data, QByteArray *reply, int timeoutMs)
{
    ZuHalPacket request;
    request.setDstPort(PORT_MANAGEMENT);
    request.setSrcPort(PORT_HOST);
    const ZuHalPacket::Key noKey = {};
    request.setData(QByteArray(1, char(cmd)) + char(sub & 0xFF) + char(sub >> 8) + data, noKey);
    if (!m_link.send(request))
        return false;
    QElapsedTimer timer;
    timer.start();
    ZuHalPacket packet;
    while (next(packet, remaining(timer, timeoutMs))) {
        const QByteArray payload = packet.data();
        if (packet.srcPort() == PORT_SCRIPT) {
            m_messages.append(payload);
            continue;
        }
        if (packet.srcPort() != PORT_MANAGEMENT || payload.size() < 3 || uchar(payload[0]) != cmd ||
            (uchar(payload[1]) | uchar(payload[2]) << 8) != sub)
            return false;
        if (reply)
            *reply = payload.mid(3);
        return true;
    }
    return false;
}

bool DeviceLinkClient::upload(const std::string &image)
{
    return eachChunk(image, kWriteChunk, [this](uint16_t offset, const QByteArray &chunk) {
        QByteArray result;
        return command(CMD_SCRIPT_WRITE, offset, chunk, &result) && result.size() == 4 && result.at(0) == '\0';
    });
}

bool DeviceLinkClient::verify(const std::string &image)
{
    return eachChunk(image, kReadChunk, [this](uint16_t offset, const QByteArray &expected) {
        QByteArray bytes;
        return command(CMD_SCRIPT_READ, offset, {}, &bytes) && bytes.left(expected.size()) == expected;
    });
}

bool DeviceLinkClient::message(QByteArray *bytes, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    ZuHalPacket packet;
    while (m_messages.isEmpty()) {
        if (!next(packet, remaining(timer, timeoutMs)))
            return false;
        if (packet.srcPort() == PORT_SCRIPT)
            m_messages.append(packet.data());
    }
    *bytes = m_messages.takeFirst();
    return true;
}

#include "uart_frame.h"

namespace uart_frame {

namespace {

uint8_t sum(const char *bytes, int count)
{
    uint8_t total = 0;
    for (int i = 0; i < count; ++i)
        total = uint8_t(total + uint8_t(bytes[i]));
    return total;
}

} // namespace

QByteArray encode(uint8_t address, const QByteArray &payload)
{
    if (payload.size() > MaxPayload)
        return QByteArray();
    QByteArray frame;
    frame.reserve(payload.size() + Overhead);
    frame.append(Start);
    frame.append(char(payload.size()));
    frame.append(char(address));
    frame.append(payload);
    frame.append(char(sum(frame.constData(), int(frame.size()))));
    return frame;
}

bool Parser::next(UARTMessage *message)
{
    while (!m_buffer.isEmpty()) {
        if (m_buffer.at(0) != Start) {
            const int start = m_buffer.indexOf(Start, 1);
            if (start < 0) {
                m_buffer.clear();
                return false;
            }
            m_buffer.remove(0, start);
        }
        if (m_buffer.size() < Overhead)
            return false;
        const int length = uint8_t(m_buffer.at(1));
        const int frameSize = length + Overhead;
        if (m_buffer.size() < frameSize)
            return false;
        const bool good = sum(m_buffer.constData(), frameSize - 1) == uint8_t(m_buffer.at(frameSize - 1));
        if (good) {
            message->first = uint8_t(m_buffer.at(2));
            message->second = m_buffer.mid(3, length);
        }
        // A bad frame goes whole, with any genuine frame that began inside it.
        m_buffer.remove(0, frameSize);
        if (good)
            return true;
    }
    return false;
}

} // namespace uart_frame

#pragma once

#include <QByteArray>
#include <QPair>

#include <cstdint>

// One frame received from the serial line: the address it carries and its
// payload.
using UARTMessage = QPair<uint8_t, QByteArray>;

// The frame of the serial bootloader link, in both directions:
//   0x7E, payload length N (0..255), address, N payload bytes, checksum
// where the checksum is the 8-bit sum of every byte before it. There is no
// escaping: 0x7E may occur anywhere inside a frame.
namespace uart_frame {

constexpr char Start = 0x7E;
constexpr int MaxPayload = 255;
// Start byte, length, address and checksum.
constexpr int Overhead = 4;

// The frame carrying `payload` to `address`; empty when the payload does not
// fit the length byte.
QByteArray encode(uint8_t address, const QByteArray &payload);

// Cuts a byte stream back into frames. Bytes before a start byte are
// skipped, a frame with a wrong checksum is dropped whole, and an incomplete
// frame waits for the bytes that complete it.
class Parser
{
public:
    void append(const QByteArray &bytes) { m_buffer.append(bytes); }
    void clear() { m_buffer.clear(); }
    // Bytes not yet consumed: at most one incomplete frame and what follows it.
    int buffered() const { return int(m_buffer.size()); }

    // Takes the next good frame from the buffer; false when the buffered
    // bytes hold none (more may complete one later).
    bool next(UARTMessage *message);

private:
    QByteArray m_buffer;
};

} // namespace uart_frame

// The firmware updater's serial receive path: bytes from a bootloader go
// through the frame parser. Whatever the bytes, every message it takes out
// is a frame that stands in the input with a good checksum, and at most one
// incomplete frame stays buffered.
//
// The first input byte gives the size of the pieces the rest is fed in
// (0: all at once), as the serial port hands over what has arrived.

#include "fuzz_check.h"
#include "uart_frame.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int piece = data[0] == 0 ? int(bytes.size()) + 1 : data[0];

    uart_frame::Parser parser;
    UARTMessage message;
    for (int at = 0; at < bytes.size(); at += piece) {
        parser.append(bytes.mid(at, piece));
        while (parser.next(&message)) {
            check(message.second.size() <= uart_frame::MaxPayload);
            check(bytes.contains(uart_frame::encode(message.first, message.second)));
        }
        check(parser.buffered() < uart_frame::MaxPayload + uart_frame::Overhead);
    }
    return 0;
}

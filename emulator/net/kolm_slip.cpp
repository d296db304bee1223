#include "kolm_slip.h"

namespace {

enum : uint32_t { kIdle = 0, kInFrame = 1, kAfterEsc = 2 };

// Stores one unescaped byte; a full buffer drops the frame.
void store(SlipContext &c, uint8_t byte)
{
    c.buffer[c.count++] = byte;
    c.state = c.count >= c.capacity ? kIdle : kInFrame;
}

} // namespace

uint8_t slip_crc8(const uint8_t *data, uint32_t length)
{
    uint8_t sum = 0;
    for (uint32_t i = 0; i < length; ++i)
        sum = uint8_t(sum + data[i]);
    return sum;
}

bool slip_put(uint8_t byte, SlipPut put)
{
    if (byte == SLIP_END)
        return put(SLIP_ESC) && put(SLIP_ESC_END);
    if (byte == SLIP_ESC)
        return put(SLIP_ESC) && put(SLIP_ESC_ESC);
    return put(byte);
}

bool slip_process(const uint8_t *data, int length, bool withSum, SlipPut put)
{
    put(SLIP_END);
    uint8_t sum = 0;
    for (int i = 0; i < length; ++i) {
        sum = uint8_t(sum + data[i]);
        slip_put(data[i], put);
    }
    if (withSum)
        slip_put(sum, put);
    return put(SLIP_END);
}

void slip_receive(SlipContext &c, const uint8_t *data, uint32_t length, SlipDeliver deliver)
{
    if (c.capacity == 0)
        return;
    for (uint32_t i = 0; i < length; ++i) {
        const uint8_t byte = data[i];
        switch (c.state) {
        case kIdle:
            if (byte == SLIP_END) {
                c.count = 0;
                c.state = kInFrame;
            }
            break;
        case kInFrame:
            if (byte == SLIP_END) {
                if (c.count > 0 && deliver)
                    deliver(c.buffer, c.count);
                c.count = 0;
            } else if (byte == SLIP_ESC) {
                c.state = kAfterEsc;
            } else {
                store(c, byte);
            }
            break;
        default:
            if (byte == SLIP_ESC_END) {
                store(c, SLIP_END);
            } else if (byte == SLIP_ESC_ESC) {
                store(c, SLIP_ESC);
            } else if (byte == SLIP_END) {
                // A frame cut off after ESC: the END abandons it and opens
                // the next frame, which would be lost otherwise.
                c.count = 0;
                c.state = kInFrame;
            } else {
                c.state = kIdle;
            }
            break;
        }
    }
}

void slip_reset(SlipContext &c)
{
    c.state = kIdle;
    c.count = 0;
}

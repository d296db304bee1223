#ifndef KOLM_SLIP_H
#define KOLM_SLIP_H

// The emulator's SLIP framer: device packets on the TCP stream, each in one
// frame (END 0xC0, escaped bytes, escaped 8-bit additive checksum, END).
// Plain functions over a caller-supplied receive context and callbacks; no
// allocation.

#include <cstdint>

inline constexpr uint8_t SLIP_END = 0xC0;
inline constexpr uint8_t SLIP_ESC = 0xDB;
inline constexpr uint8_t SLIP_ESC_END = 0xDC;
inline constexpr uint8_t SLIP_ESC_ESC = 0xDD;

// Receive state of one stream.
struct SlipContext {
    uint32_t state;    // 0 outside a frame, 1 inside, 2 inside after ESC
    uint8_t *buffer;   // the frame's unescaped bytes
    uint32_t capacity; // size of buffer; a frame of capacity bytes is dropped
    uint32_t count;    // bytes of the current frame
};

using SlipPut = bool (*)(uint8_t byte);
using SlipDeliver = void (*)(const uint8_t *frame, uint32_t length);

// Sum of the bytes modulo 256.
uint8_t slip_crc8(const uint8_t *data, uint32_t length);

// Emits one byte escaped; the result of the last put.
bool slip_put(uint8_t byte, SlipPut put);

// Emits one whole frame around the bytes, with the checksum when asked; the
// result of the last put. Needs at most 2 * length + 4 bytes.
bool slip_process(const uint8_t *data, int length, bool withSum, SlipPut put);

// Upper bound of the encoded size of a frame of length bytes with checksum.
constexpr uint32_t slip_encoded_max(uint32_t length)
{
    return 2 * length + 4;
}

// Feeds received bytes through the receiver; calls deliver (when not null)
// once per completed frame, the checksum byte still at its end. A frame's
// closing END also opens the next one, so frames that share an END are all
// received. Over-long frames and bad escapes drop the frame silently; an
// END right after ESC abandons the frame and opens the next one.
void slip_receive(SlipContext &context, const uint8_t *data, uint32_t length, SlipDeliver deliver);

// Forgets a partial frame: the receiver waits for the next END.
void slip_reset(SlipContext &context);

#endif

#ifndef KOLM_GEN_STREAM_H
#define KOLM_GEN_STREAM_H

// Little-endian writes and positions in the image stream, for the code
// generator's own files.

#include <cstdint>
#include <ostream>

namespace kolm_gen {

inline uint32_t position(std::ostream *out)
{
    return uint32_t(out->tellp());
}

inline void writeU8(std::ostream *out, uint8_t value)
{
    out->put(char(value));
}

inline void writeU16(std::ostream *out, uint16_t value)
{
    const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
    out->write(bytes, 2);
}

inline void writeU32(std::ostream *out, uint32_t value)
{
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF),
                           char(value >> 24)};
    out->write(bytes, 4);
}

} // namespace kolm_gen

#endif

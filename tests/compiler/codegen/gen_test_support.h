#ifndef GEN_TEST_SUPPORT_H
#define GEN_TEST_SUPPORT_H

// Helpers for the code generator tests: reading back what was written.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "kolm_opcodes.h"

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::stringstream &out, size_t from = 0, size_t count = std::string::npos)
{
    const std::string text = out.str();
    if (from > text.size())
        return {};
    const std::string part = text.substr(from, count);
    return Bytes(part.begin(), part.end());
}

inline uint32_t u32At(const std::string &text, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | uint8_t(text.at(offset + size_t(i)));
    return value;
}

inline uint16_t u16At(const std::string &text, size_t offset)
{
    return uint16_t(uint8_t(text.at(offset)) | (uint8_t(text.at(offset + 1)) << 8));
}

inline uint32_t u32At(const std::stringstream &out, size_t offset)
{
    return u32At(out.str(), offset);
}

// Little-endian bytes of a u32, for building expected byte strings.
inline Bytes le32(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

inline Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline uint32_t pos(std::stringstream &out)
{
    return uint32_t(out.tellp());
}

// One decoded instruction of a fixed layout.
struct Decoded {
    uint32_t position;
    uint8_t opcode;
    Bytes operands;
};

// Decodes instructions from `from` up to the end (or `to`); stops at a byte
// of variable layout (tbl).
inline std::vector<Decoded> decode(const std::string &image, size_t from, size_t to = std::string::npos)
{
    std::vector<Decoded> list;
    const size_t end = to < image.size() ? to : image.size();
    size_t at = from;
    while (at < end) {
        const uint8_t opcode = uint8_t(image[at]);
        if (kolm_isa::opcodeInfo(opcode).operands == kolm_isa::Operands::Table)
            break;
        const size_t length = kolm_isa::instructionLength(opcode);
        Decoded d{uint32_t(at), opcode, Bytes(image.begin() + long(at) + 1, image.begin() + long(at + length))};
        list.push_back(d);
        at += length;
    }
    return list;
}

#endif

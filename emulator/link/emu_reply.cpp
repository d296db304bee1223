#include "emu_reply.h"

#include <cstring>

uint32_t emu_le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void EmuReply::begin(uint8_t sourcePort, uint16_t ownAddress)
{
    m_length = 0;
    u8(0);
    u8(uint8_t(2 << 4 | (sourcePort & 0x0F)));
    u16(ownAddress);
    u16(ownAddress);
}

void EmuReply::u16(uint16_t value)
{
    const uint8_t le[2] = {uint8_t(value), uint8_t(value >> 8)};
    bytes(le, 2);
}

void EmuReply::u32(uint32_t value)
{
    const uint8_t le[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    bytes(le, 4);
}

bool EmuReply::bytes(const void *data, uint32_t length)
{
    if (length > room())
        return false;
    if (length)
        std::memmove(m_bytes + m_length, data, length);
    m_length += length;
    return true;
}

void EmuReply::grow(uint32_t length)
{
    m_length += length > room() ? room() : length;
}

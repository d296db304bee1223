#include "kolm_disasm_read.h"

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_disasm_types.h"

#include <cstdint>
#include <iostream>

AsmWalk g_asm_walk{};

namespace {

void leaveImage()
{
    kolm_hal_debug_stream() << "asm error: segmentation fault at " << asm_dism_u32(g_asm_walk.EIP) << "\n";
    g_asm_walk.leftImage = true;
    std::cerr.flush();
}

uint32_t littleEndian(const uint8_t *bytes, uint32_t length)
{
    uint32_t value = 0;
    for (uint32_t i = length; i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

bool readAtEip(uint32_t length, uint32_t &value)
{
    uint32_t &eip = g_asm_walk.EIP;
    const uint8_t *bytes = asm_dism_span(eip, length);
    if (!bytes)
        return false;
    value = littleEndian(bytes, length);
    eip += length;
    return true;
}

} // namespace

const uint8_t *asm_dism_span(uint64_t offset, uint64_t length)
{
    const uint8_t *bytes =
        offset + length > UINT32_MAX ? nullptr : kolm_rom_get(uint32_t(offset), uint32_t(length));
    if (!bytes)
        leaveImage();
    return bytes;
}

uint32_t asm_dism_le32(const uint8_t *bytes)
{
    return littleEndian(bytes, 4);
}

bool asm_dism_read_u8(uint32_t &value)
{
    return readAtEip(1, value);
}

bool asm_dism_read_u16(uint32_t &value)
{
    return readAtEip(2, value);
}

bool asm_dism_read_u32(uint32_t &value)
{
    return readAtEip(4, value);
}

bool asm_dism_read_bytes(uint32_t length, std::string &bytes)
{
    uint32_t &eip = g_asm_walk.EIP;
    const uint8_t *data = asm_dism_span(eip, length);
    if (!data)
        return false;
    bytes.assign(reinterpret_cast<const char *>(data), length);
    eip += length;
    return true;
}

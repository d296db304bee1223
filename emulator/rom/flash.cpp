#include "flash.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The image exactly as loaded, with cached views of its bytes and length
// and the count of changes, which every change refreshes.
std::string g_buffer;
const uint8_t *g_char_buffer = nullptr;
uint32_t g_char_buffer_size = 0;
uint64_t g_generation = 0;

void refresh_views()
{
    ++g_generation;
    g_char_buffer = reinterpret_cast<const uint8_t *>(g_buffer.data());
    g_char_buffer_size = uint32_t(g_buffer.size());
}

// True when length bytes from offset lie inside the ROM; written so that
// no sum can wrap around.
bool in_rom(uint32_t offset, uint32_t length)
{
    return length <= g_char_buffer_size && offset <= g_char_buffer_size - length;
}

bool read_le(uint32_t offset, uint32_t length, uint32_t &value)
{
    if (!in_rom(offset, length))
        return false;
    uint32_t word = 0;
    for (uint32_t i = length; i-- > 0;)
        word = (word << 8) | g_char_buffer[offset + i];
    value = word;
    return true;
}

} // namespace

void kolm_flash_read(std::istream &in)
{
    std::string image;
    char chunk[4096];
    while (image.size() < KOLM_FLASH_READ_LIMIT) {
        in.read(chunk, std::streamsize(std::min<size_t>(sizeof chunk, KOLM_FLASH_READ_LIMIT - image.size())));
        image.append(chunk, size_t(in.gcount()));
        if (!in)
            break;
    }
    g_buffer.swap(image);
    refresh_views();
}

const uint8_t *kolm_rom_get(uint32_t offset, uint32_t length)
{
    return in_rom(offset, length) ? g_char_buffer + offset : nullptr;
}

bool kolm_rom_get_u8(uint32_t offset, uint32_t &value)
{
    return read_le(offset, 1, value);
}

bool kolm_rom_get_u16(uint32_t offset, uint32_t &value)
{
    return read_le(offset, 2, value);
}

bool kolm_rom_get_u32(uint32_t offset, uint32_t &value)
{
    return read_le(offset, 4, value);
}

uint32_t kolm_rom_size()
{
    return g_char_buffer_size;
}

uint64_t kolm_rom_generation()
{
    return g_generation;
}

bool kolm_rom_write(uint32_t offset, const void *data, uint32_t length)
{
    if (length > UINT32_MAX - offset)
        return false;
    if (offset + length > g_buffer.size())
        g_buffer.resize(offset + length, '\0');
    if (length)
        std::memcpy(&g_buffer[offset], data, length);
    refresh_views();
    return true;
}

void kolm_rom_erase()
{
    g_buffer.clear();
    refresh_views();
}

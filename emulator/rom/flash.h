#ifndef KOLM_FLASH_H
#define KOLM_FLASH_H

// The simulated ROM that holds the bytecode image exactly as loaded. Offsets
// are image offsets. Every read is range-checked; a read past the end is
// reported to the caller, which decides what a failed access means.

#include "kolm_image_format.h"

#include <cstdint>
#include <istream>

// No image is larger than this; a ROM read from a stream that holds more
// is one byte larger, and the rest of the stream is left unread.
inline constexpr uint32_t KOLM_FLASH_READ_LIMIT = kolm_image::kMaxImageSize + 1;

// Replaces the ROM with the stream's bytes up to its end, or up to
// KOLM_FLASH_READ_LIMIT bytes.
void kolm_flash_read(std::istream &in);

// Pointer to ROM byte offset when offset + length does not pass the end;
// otherwise null.
const uint8_t *kolm_rom_get(uint32_t offset, uint32_t length);

// Little-endian reads into value; false, leaving value as it is, when the
// bytes do not lie wholly inside the ROM.
bool kolm_rom_get_u8(uint32_t offset, uint32_t &value);
bool kolm_rom_get_u16(uint32_t offset, uint32_t &value);
bool kolm_rom_get_u32(uint32_t offset, uint32_t &value);

uint32_t kolm_rom_size();

// A number that changes with every change of the ROM (read, write, erase),
// so that a reader may keep what it derived from the bytes until it does.
uint64_t kolm_rom_generation();

// Copies length bytes to offset, growing the ROM (zero-filled) as needed.
// Returns false, changing nothing, when offset + length exceeds 32 bits.
bool kolm_rom_write(uint32_t offset, const void *data, uint32_t length);

// Empties the ROM.
void kolm_rom_erase();

#endif

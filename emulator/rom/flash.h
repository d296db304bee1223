#ifndef KOLM_FLASH_H
#define KOLM_FLASH_H

// The simulated ROM that holds the bytecode image exactly as loaded. Offsets
// are image offsets. Every read is range-checked: a read past the end calls
// the machine's fault routine (kolm_vm_asm_segv) and yields the fallback
// described with each accessor.

#include <cstdint>
#include <istream>

// Replaces the ROM with the whole stream.
void kolm_flash_read(std::istream &in);

// Pointer to ROM byte offset when offset + length does not pass the end;
// otherwise faults and returns null.
const uint8_t *kolm_rom_get(uint32_t offset, uint32_t length);

// Little-endian reads. Past the end: fault, then u8 yields the first ROM
// byte, u16 and u32 yield 0; on an empty ROM all yield 0.
uint32_t kolm_rom_get_u8(uint32_t offset);
uint32_t kolm_rom_get_u16(uint32_t offset);
uint32_t kolm_rom_get_u32(uint32_t offset);

uint32_t kolm_rom_size();

// Copies length bytes to offset, growing the ROM (zero-filled) as needed.
// Returns false, changing nothing, when offset + length exceeds 32 bits.
bool kolm_rom_write(uint32_t offset, const void *data, uint32_t length);

// Empties the ROM.
void kolm_rom_erase();

#endif

#ifndef KOLM_DISASM_READ_H
#define KOLM_DISASM_READ_H

// Checked reads of the disassembler. A read whose bytes do not lie wholly
// inside the image is handed to the ROM accessors, which report the fault
// and set SEGV, and yields false: the walk stops at it.

#include <cstdint>
#include <string>

// Pointer to length bytes at offset, or null after the fault report (also
// when offset + length does not fit in 32 bits).
const uint8_t *asm_dism_span(uint64_t offset, uint64_t length);

// Reads at EIP, advancing EIP past the value on success.
bool asm_dism_read_u8(uint32_t &value);
bool asm_dism_read_u16(uint32_t &value);
bool asm_dism_read_u32(uint32_t &value);
bool asm_dism_read_bytes(uint32_t length, std::string &bytes);

// Little-endian u32 at a pointer returned by asm_dism_span.
uint32_t asm_dism_le32(const uint8_t *bytes);

#endif

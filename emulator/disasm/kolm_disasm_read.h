#ifndef KOLM_DISASM_READ_H
#define KOLM_DISASM_READ_H

// Checked reads of the disassembler. A read whose bytes do not lie wholly
// inside the image logs "asm error: segmentation fault at " with the
// cursor, marks the walk as having left the image and yields false: the
// walk stops at it.

#include "kolm_image_format.h"

#include <cstdint>
#include <string>

// The image as the machine's loader found it (kolm_vm_init): the bounds of
// the code and the data section and the entry table.
struct AsmImage {
    uint32_t text_start;
    uint32_t text_end;   // first byte after the code
    uint32_t data_start; // 0 when there is no data section
    uint32_t data_end;
    _KOLM_VTable table;
};

// The walk over the image: what it lists, its cursor, and whether a read
// left the image.
struct AsmWalk {
    AsmImage image;
    uint32_t EIP;
    bool leftImage;
};
extern AsmWalk g_asm_walk;

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

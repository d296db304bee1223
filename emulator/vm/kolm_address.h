#ifndef KOLM_ADDRESS_H
#define KOLM_ADDRESS_H

// Script addresses to host bytes for the library opcodes: each area (RAM,
// data section, ROM image, peripheral areas) yields a pointer together with
// the number of bytes from there to the area's end.

#include <cstdint>

struct KolmSpan {
    const uint8_t *data; // null when the address names no readable byte
    uint32_t size;
};

// Resolves a script address. An address inside an area but past its end,
// a missing data section or an address beyond the ROM logs and faults; an
// invalid peripheral address only logs. Either way data is null.
KolmSpan kolm_vm_resolve(uint32_t address);

// True when count bytes fit in span; otherwise logs and faults.
bool kolm_vm_span_holds(const KolmSpan &span, uint32_t address, uint32_t count);

// The data section bytes of count bytes at a data address, when they all
// lie in the data section that the ROM holds; otherwise null, without a
// message or fault.
const uint8_t *kolm_vm_data_range(uint32_t address, uint32_t count);

// RAM byte offset of count bytes at a RAM address, checked without
// wrap-around; false when the range is not wholly in RAM.
bool kolm_vm_ram_range(uint32_t address, uint32_t count, uint32_t &offset);

#endif

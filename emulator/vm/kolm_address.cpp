#include "kolm_address.h"

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"

#include <algorithm>

namespace {

KolmSpan outside(uint32_t address)
{
    asm_debug(KOLM_LOG_ERROR, "address %08x is outside its area", address);
    kolm_vm_asm_segv();
    return {nullptr, 0};
}

// Data section bytes that the ROM really holds.
uint32_t data_length()
{
    const uint32_t end = std::min(KOLM_VM.data_end, kolm_rom_size());
    return end > KOLM_VM.data_start ? end - KOLM_VM.data_start : 0;
}

} // namespace

const uint8_t *kolm_vm_data_range(uint32_t address, uint32_t count)
{
    if (address < KOLM_ADDR_DATA || address >= KOLM_ADDR_RAM || KOLM_VM.data_start == 0)
        return nullptr;
    const uint32_t offset = address - KOLM_ADDR_DATA;
    const uint32_t length = data_length();
    if (offset > length || count > length - offset)
        return nullptr;
    return kolm_rom_get(KOLM_VM.data_start + offset, count);
}

bool kolm_vm_ram_range(uint32_t address, uint32_t count, uint32_t &offset)
{
    if (address < KOLM_ADDR_RAM)
        return false;
    offset = address - KOLM_ADDR_RAM;
    return offset <= KOLM_RAM_SIZE && count <= KOLM_RAM_SIZE - offset;
}

KolmSpan kolm_vm_resolve(uint32_t address)
{
    if (address >= KOLM_ADDR_PERIPH) {
        const KolmArea area = kolm_hal_periph_address(address);
        return {area.data, area.size};
    }
    if (address >= KOLM_ADDR_RAM) {
        const uint32_t offset = address - KOLM_ADDR_RAM;
        if (offset >= KOLM_RAM_SIZE)
            return outside(address);
        return {KOLM_VM.ctx.RAM + offset, KOLM_RAM_SIZE - offset};
    }
    if (address >= KOLM_ADDR_DATA) {
        const uint32_t offset = address - KOLM_ADDR_DATA;
        if (KOLM_VM.data_start == 0) {
            asm_debug(KOLM_LOG_ERROR, "tried reading data section at %u, which is missing", offset);
            kolm_vm_asm_segv();
            return {nullptr, 0};
        }
        const uint32_t length = data_length();
        if (offset >= length)
            return outside(address);
        return {kolm_rom_get(KOLM_VM.data_start + offset, length - offset), length - offset};
    }
    const uint32_t size = kolm_rom_size();
    const uint8_t *rom = kolm_vm_rom(address, 0);
    return {rom, rom ? size - address : 0};
}

bool kolm_vm_span_holds(const KolmSpan &span, uint32_t address, uint32_t count)
{
    if (count <= span.size)
        return true;
    asm_debug(KOLM_LOG_ERROR, "%u bytes at %08x run past the end of their area", count, address);
    kolm_vm_asm_segv();
    return false;
}

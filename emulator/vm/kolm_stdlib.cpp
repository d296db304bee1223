// Library opcodes: memory set, copy and compare, scanning, formatted print
// and set membership. Every range is checked against the area it lies in.

#include "kolm_address.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "kolm_p_library.h"
#include "kolm_sprintf.h"

#include <cstring>

namespace {

uint32_t fail(uint32_t result)
{
    kolm_vm_asm_segv();
    return result;
}

uint32_t illegal_copy(uint32_t source, uint32_t destination)
{
    asm_debug(KOLM_LOG_ERROR, "illegal address - tried copying %08x to %08x", source, destination);
    return fail(0);
}

uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool hex_digit(uint8_t c, uint32_t &value)
{
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else
        return false;
    return true;
}

uint32_t scan_decimal(const KolmSpan &text)
{
    constexpr uint32_t kMaxDigits = 10;
    uint32_t value = 0;
    uint32_t i = 0;
    for (; i < text.size && i < kMaxDigits && text.data[i] >= '0' && text.data[i] <= '9'; ++i)
        value = value * 10 + (text.data[i] - '0');
    return value;
}

uint32_t scan_hex(const KolmSpan &text)
{
    constexpr uint32_t kMaxPairs = 4;
    uint32_t value = 0;
    for (uint32_t pair = 0; pair < kMaxPairs && 2 * pair + 1 < text.size; ++pair) {
        uint32_t high, low;
        if (!hex_digit(text.data[2 * pair], high) || !hex_digit(text.data[2 * pair + 1], low))
            break;
        value = value * 256 + high * 16 + low;
    }
    return value;
}

// A list of a count byte and count u32 elements, wholly inside its area;
// null with count 0 when there is none.
const uint8_t *element_list(uint32_t address, uint32_t &count)
{
    count = 0;
    const KolmSpan list = kolm_vm_resolve(address);
    if (!list.data || !kolm_vm_span_holds(list, address, 1))
        return nullptr;
    count = list.data[0];
    if (!kolm_vm_span_holds(list, address, 1 + 4 * count)) {
        count = 0;
        return nullptr;
    }
    return list.data + 1;
}

} // namespace

uint32_t KOLM_OPCODE_MES(const uint32_t *a, uint32_t)
{
    uint32_t offset;
    if (!kolm_vm_ram_range(a[0], a[2], offset)) {
        asm_debug(KOLM_LOG_ERROR, "tried writing to illegal address at %08x", a[0]);
        return fail(0);
    }
    std::memset(KOLM_VM.ctx.RAM + offset, uint8_t(a[1]), a[2]);
    return a[2];
}

uint32_t KOLM_OPCODE_MCP(const uint32_t *a, uint32_t)
{
    const uint32_t destination = a[0], source = a[1], count = a[2];
    uint32_t to, from;
    if (kolm_vm_ram_range(destination, count, to)) {
        uint8_t *target = KOLM_VM.ctx.RAM + to;
        if (kolm_vm_ram_range(source, count, from)) {
            kolm_hal_memcpy(target, KOLM_VM.ctx.RAM + from, count);
            return count;
        }
        if (source < KOLM_ADDR_DATA)
            return illegal_copy(source, destination);
        if (const uint8_t *data = kolm_vm_data_range(source, count)) {
            kolm_hal_memcpy(target, data, count);
            return count;
        }
        if (source >= KOLM_ADDR_PERIPH)
            return kolm_hal_periph_read(source, target, count, kolm_vm_asm_segv);
        return illegal_copy(source, destination);
    }
    if (destination >= KOLM_ADDR_PERIPH) {
        const KolmSpan from_span = kolm_vm_resolve(source);
        if (!from_span.data)
            return 0;
        if (!kolm_vm_span_holds(from_span, source, count))
            return 0;
        return kolm_hal_periph_write(destination, from_span.data, count, kolm_vm_asm_segv);
    }
    return illegal_copy(source, destination);
}

uint32_t KOLM_OPCODE_MCM(const uint32_t *a, uint32_t)
{
    const uint32_t count = a[2];
    const KolmSpan first = kolm_vm_resolve(a[0]);
    if (!first.data)
        return 1;
    const KolmSpan second = kolm_vm_resolve(a[1]);
    if (!second.data)
        return 1;
    if (!kolm_vm_span_holds(first, a[0], count) || !kolm_vm_span_holds(second, a[1], count))
        return 1;
    return std::memcmp(first.data, second.data, count) == 0 ? 0 : 1;
}

uint32_t KOLM_OPCODE_SCF(const uint32_t *a, uint32_t)
{
    const KolmSpan text = kolm_vm_resolve(a[0]);
    if (!text.data) {
        asm_debug(KOLM_LOG_ERROR, "tried reading from illegal address %08x", a[0]);
        return fail(0);
    }
    switch (a[1]) {
    case 'd': return scan_decimal(text);
    case 'c': return kolm_vm_span_holds(text, a[0], 1) ? text.data[0] : 0;
    case 'p': return kolm_vm_span_holds(text, a[0], 4) ? le32(text.data) : 0;
    case 'x': return scan_hex(text);
    default: return 0;
    }
}

uint32_t KOLM_OPCODE_SPRINTF(const uint32_t *a, uint32_t count)
{
    const uint32_t destination = a[0];
    const KolmSpan format = kolm_vm_resolve(a[1]);
    if (!format.data || destination < KOLM_ADDR_RAM) {
        asm_debug(KOLM_LOG_ERROR, "illegal address at sprintf (%08x/%08x)", destination, a[1]);
        return fail(0);
    }
    const uint32_t *args = a + 2;
    const uint32_t arg_count = count - 2;
    if (destination < KOLM_ADDR_PERIPH)
        return kolm_sprintf(destination - KOLM_ADDR_RAM, format.data, format.size, args, arg_count);
    // Output to a peripheral is formatted into the temporary storage first.
    uint8_t *storage = kolm_hal_periph_storage();
    const uint32_t length = kolm_sprintf(KOLM_ADDR_PERIPH, format.data, format.size, args, arg_count);
    return length ? kolm_hal_periph_write(destination, storage, length, kolm_vm_asm_segv) : 0;
}

uint32_t KOLM_OPCODE_MIN(const uint32_t *a, uint32_t)
{
    const uint32_t length = a[2];
    uint32_t count;
    const uint8_t *elements = element_list(a[0], count);
    if (!elements || count == 0)
        return 0;
    const KolmSpan wanted = kolm_vm_resolve(a[1]);
    if (!wanted.data || !kolm_vm_span_holds(wanted, a[1], length))
        return 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t *text = kolm_vm_data_range(le32(elements + 4 * i), length);
        if (text && std::memcmp(text, wanted.data, length) == 0)
            return 1;
    }
    return 0;
}

uint32_t KOLM_OPCODE_VIN(const uint32_t *a, uint32_t)
{
    uint32_t count;
    const uint8_t *elements = element_list(a[0], count);
    for (uint32_t i = 0; elements && i < count; ++i)
        if (le32(elements + 4 * i) == a[1])
            return 1;
    return 0;
}

const KolmLibraryCall KOLM_STDLIB[7] = {
    {KOLM_OPCODE_MCP, 3}, {KOLM_OPCODE_MCM, 3}, {KOLM_OPCODE_MES, 3},     {KOLM_OPCODE_SCF, 2},
    {KOLM_OPCODE_SPRINTF, 2}, {KOLM_OPCODE_MIN, 3}, {KOLM_OPCODE_VIN, 2},
};

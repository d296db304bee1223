#include "kolm_p.h"

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_image_format.h"
#include "kolm_p_stack.h"

#include <cstdio>
#include <cstring>
#include <iostream>

_KolmVM KOLM_VM;

namespace {

using namespace kolm_image;

// The byte-order mark as an image of the other byte order carries it.
constexpr uint32_t kBomSwapped = 0xFEFF;

// The machine's answers to the board (kolm_hal_set_machine), installed at
// program start-up, before any script runs.
uint32_t globals_size()
{
    return KOLM_VM.table.bss;
}

uint32_t isr_level()
{
    return KOLM_VM.ctx.ISR;
}

bool suspended()
{
    return KOLM_VM.flags & KOLM_FLAG_SUSP;
}

void set_suspended(bool on)
{
    KOLM_VM.flags = on ? KOLM_VM.flags | KOLM_FLAG_SUSP : KOLM_VM.flags & ~KOLM_FLAG_SUSP;
}

const bool g_board_hooks_installed = [] {
    kolm_hal_set_machine({globals_size, kolm_vm_asm_segv, isr_level, suspended, set_suspended,
                          kolm_vm_irq_timer});
    return true;
}();

// A checked ROM read; past the end it faults and yields fallback.
uint32_t rom_word(bool (*read)(uint32_t, uint32_t &), uint32_t offset, uint32_t fallback)
{
    uint32_t value = 0;
    if (read(offset, value))
        return value;
    kolm_vm_asm_segv();
    return fallback;
}

bool tag_at(uint32_t offset, const char tag[2])
{
    return kolm_vm_rom_u8(offset) == uint8_t(tag[0]) && kolm_vm_rom_u8(offset + 1) == uint8_t(tag[1]);
}

} // namespace

bool kolm_vm_stack_index_ok(uint32_t index)
{
    if (index < KOLM_STACK_INDEX_END)
        return true;
    asm_debug(KOLM_LOG_ERROR, "stack index %u out of range", index);
    kolm_vm_asm_segv();
    return false;
}

bool kolm_vm_stack_above_globals(uint32_t index)
{
    return index < KOLM_STACK_INDEX_END && kolm_vm_stack_offset(index) >= KOLM_VM.table.bss;
}

void kolm_vm_stack_overflow(const char *message)
{
    KOLM_VM.flags = (KOLM_VM.flags & ~KOLM_FLAG_ERROR_MASK) | KOLM_ERROR_STACK_OVERFLOW;
    asm_debug(KOLM_LOG_ERROR, "%s", message);
    kolm_vm_asm_segv();
}

bool kolm_vm_push(uint32_t value)
{
    _VM_Context &c = KOLM_VM.ctx;
    if (c.ESP >= KOLM_STACK_LIMIT || !kolm_vm_stack_above_globals(c.ESP)) {
        kolm_vm_stack_overflow("stack overflow");
        return false;
    }
    kolm_vm_set_stack(c.ESP, value);
    ++c.ESP;
    return true;
}

uint32_t kolm_vm_init()
{
    _VM_Context &c = KOLM_VM.ctx;
    c.EAX = c.EBX = c.ECX = c.EDX = c.EIP = c.EBP = c.ESP = c.ISR = 0;

    const uint32_t bom = kolm_vm_rom_u16(0);
    if (bom == kBomSwapped) {
        asm_debug(KOLM_LOG_ERROR, "Wrong platform endianness");
        return KOLM_INIT_BOM;
    }
    if (bom != kByteOrderMark) {
        asm_debug(KOLM_LOG_ERROR, "invalid bom 0x%04X", bom);
        return KOLM_INIT_BOM;
    }
    const uint32_t magic = kolm_vm_rom_u16(2);
    if (magic != kMagic) {
        asm_debug(KOLM_LOG_ERROR, "invalid header %04x", magic);
        return KOLM_INIT_MAGIC;
    }
    const uint32_t revision = kolm_vm_rom_u16(4);
    if (revision > kLanguageRevision) {
        asm_debug(KOLM_LOG_ERROR, "unsupported language revision %u.%u", revision >> 8, revision & 0xFF);
        return KOLM_INIT_REVISION;
    }
    kolm_vm_rom_u16(kFlagsOffset); // the header's flags word is not used here
    if (!tag_at(kCodeTagOffset, kTagCode)) {
        const char tag[2] = {char(kolm_vm_rom_u8(kCodeTagOffset)), char(kolm_vm_rom_u8(kCodeTagOffset + 1))};
        asm_debug(KOLM_LOG_ERROR, "bytecode section not found: %.*s", 2, tag);
        return KOLM_INIT_NO_CODE;
    }
    KOLM_VM.text_start = kCodeTagOffset + 4;
    KOLM_VM.text_end = KOLM_VM.text_start + kolm_vm_rom_u16(kCodeTagOffset + 2);

    for (uint32_t i = 0; i < kEntryCount; ++i)
        kolm_vm_set_word(KOLM_W_TABLE + i, kolm_vm_rom_u32(KOLM_VM.text_start + 4 * i));
    if (KOLM_VM.table.main < KOLM_VM.text_start + kEntryTableBytes) {
        asm_debug(KOLM_LOG_ERROR, "invalid main entry %u for %u+%u", KOLM_VM.table.main, KOLM_VM.text_start,
                  kEntryTableBytes);
        return KOLM_INIT_MAIN_ENTRY;
    }
    const uint32_t size = kolm_rom_size();
    // The code section holds at least the entry table read above.
    if (size < KOLM_VM.text_end || KOLM_VM.text_end < KOLM_VM.text_start + kEntryTableBytes) {
        asm_debug(KOLM_LOG_ERROR, "code truncated");
        return KOLM_INIT_TRUNCATED;
    }
    if (KOLM_VM.table.bss > KOLM_RAM_SIZE) {
        asm_debug(KOLM_LOG_ERROR, "invalid bss size");
        return KOLM_INIT_BSS;
    }

    KOLM_VM.data_start = KOLM_VM.data_end = 0;
    if (size >= 2 && KOLM_VM.text_end <= size - 2 && tag_at(KOLM_VM.text_end, kTagData)) {
        KOLM_VM.data_start = KOLM_VM.text_end + 4;
        KOLM_VM.data_end = KOLM_VM.data_start + kolm_vm_rom_u16(KOLM_VM.text_end + 2);
    }

    kolm_hal_init();
    c.EIP = KOLM_VM.table.main;
    std::memset(c.RAM, 0, KOLM_VM.table.bss);
    return KOLM_INIT_OK;
}

uint32_t kolm_vm_flags()
{
    return KOLM_VM.flags;
}

uint32_t *kolm_vm_table(uint32_t out[6])
{
    std::memcpy(out, &KOLM_VM.table, sizeof KOLM_VM.table);
    return out;
}

uint32_t kolm_vm_exit_code()
{
    return KOLM_VM.ctx.EAX;
}

uint32_t kolm_vm_step()
{
    if ((KOLM_VM.flags & KOLM_FLAG_STOPPED) == 0)
        kolm_vm_next();
    if (KOLM_VM.flags & KOLM_FLAG_SEGV)
        return KOLM_STEP_SEGV;
    if (KOLM_VM.flags & KOLM_FLAG_HALT)
        return KOLM_STEP_HALT;
    return 0;
}

uint32_t kolm_vm_run()
{
    while ((KOLM_VM.flags & KOLM_FLAG_STOPPED) == 0)
        kolm_vm_run_batch(UINT32_MAX);
    return (KOLM_VM.flags & KOLM_FLAG_SEGV) ? KOLM_STEP_SEGV : KOLM_STEP_HALT;
}

void asm_debugger_step()
{
    kolm_hal_check_timer();
    if (KOLM_VM.ctx.ISR == 0 && (KOLM_VM.flags & KOLM_FLAG_SUSP))
        return;
    kolm_vm_next();
}

const uint8_t *kolm_vm_rom(uint32_t offset, uint32_t length)
{
    const uint8_t *bytes = kolm_rom_get(offset, length);
    if (!bytes)
        kolm_vm_asm_segv();
    return bytes;
}

uint32_t kolm_vm_rom_u8(uint32_t offset)
{
    uint32_t first = 0;
    kolm_rom_get_u8(0, first);
    return rom_word(kolm_rom_get_u8, offset, first);
}

uint32_t kolm_vm_rom_u16(uint32_t offset)
{
    return rom_word(kolm_rom_get_u16, offset, 0);
}

uint32_t kolm_vm_rom_u32(uint32_t offset)
{
    return rom_word(kolm_rom_get_u32, offset, 0);
}

void kolm_vm_asm_segv()
{
    char eip[11];
    std::snprintf(eip, sizeof eip, "0x%08x", unsigned(KOLM_VM.ctx.EIP));
    kolm_hal_debug_stream() << "asm error: segmentation fault at " << eip << "\n";
    KOLM_VM.flags |= KOLM_FLAG_SEGV;
    std::cerr.flush();
}

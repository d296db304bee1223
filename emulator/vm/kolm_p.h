#ifndef KOLM_P_H
#define KOLM_P_H

// The Kolm virtual machine: one global machine record, image loading,
// instruction execution and interrupt entries.

#include "kolm_image_format.h"

#include <cstdint>
#include <cstring>

inline constexpr uint32_t KOLM_RAM_SIZE = 768;
inline constexpr uint32_t KOLM_RAM_WORDS = KOLM_RAM_SIZE / 4;
// A push needs ESP <= 126, so the stack holds at most 127 words.
inline constexpr uint32_t KOLM_STACK_LIMIT = 127;
// Frame and stack indices from 192 on would leave the RAM.
inline constexpr uint32_t KOLM_STACK_INDEX_END = KOLM_RAM_WORDS;

// Registers, ISR level and RAM: the front part of the machine record.
// The stack lives at the top of RAM and grows downwards in whole words:
// stack index i is RAM byte offset 764 - 4 * i.
struct _VM_Context {
    uint32_t EAX;
    uint32_t EBX;
    uint32_t ECX;
    uint32_t EDX;
    uint32_t EIP; // byte offset into the ROM image
    uint32_t EBP; // frame base, a stack index
    uint32_t ESP; // stack depth in words
    uint32_t ISR; // 0 main, 1 timer, 2 message, 3 external, 4 acknowledge
    alignas(4) uint8_t RAM[KOLM_RAM_SIZE];
};

// The machine record: 211 words, also addressed as an array of words by
// register operands (see kolm_vm_word).
struct _KolmVM {
    _VM_Context ctx;
    uint32_t text_start; // offset of the entry table (12)
    uint32_t text_end;   // execution stops here
    uint32_t data_start; // first byte of the data section, 0 when none
    uint32_t data_end;   // data_start + data length, 0 when none
    _KOLM_VTable table;
    uint32_t flags;      // low byte error code, then the flag bits below
};

inline constexpr uint32_t KOLM_VM_WORDS = 211;
static_assert(sizeof(_KolmVM) == KOLM_VM_WORDS * 4, "the machine record is 211 words");

// Word indices of the record.
enum KolmVmWord : uint32_t {
    KOLM_W_EAX = 0, KOLM_W_EBX, KOLM_W_ECX, KOLM_W_EDX, KOLM_W_EIP, KOLM_W_EBP, KOLM_W_ESP,
    KOLM_W_ISR = 7,
    KOLM_W_RAM = 8,
    KOLM_W_TEXT_START = 200,
    KOLM_W_TABLE = 204,
    KOLM_W_FLAGS = 210,
};

// Flags word.
inline constexpr uint32_t KOLM_FLAG_ERROR_MASK = 0xFF;
inline constexpr uint32_t KOLM_FLAG_SEGV = 0x100;
inline constexpr uint32_t KOLM_FLAG_SUSP = 0x200;
inline constexpr uint32_t KOLM_FLAG_IRQD = 0x400;
inline constexpr uint32_t KOLM_FLAG_HALT = 0x800;
inline constexpr uint32_t KOLM_FLAG_ACK_ON = 0x1000;
inline constexpr uint32_t KOLM_FLAG_CRYPT = 0x2000;
inline constexpr uint32_t KOLM_FLAG_STOPPED = KOLM_FLAG_SEGV | KOLM_FLAG_HALT;

// Error codes in the low byte of the flags word.
inline constexpr uint32_t KOLM_ERROR_STACK_OVERFLOW = 7;
inline constexpr uint32_t KOLM_ERROR_STACK_CORRUPTION = 8;
inline constexpr uint32_t KOLM_ERROR_UNKNOWN_OPCODE = 9;

// Results of kolm_vm_step and kolm_vm_run.
inline constexpr uint32_t KOLM_STEP_HALT = 9;
inline constexpr uint32_t KOLM_STEP_SEGV = 10;

// Results of kolm_vm_init: 0 success, else one of these.
enum KolmInitError : uint32_t {
    KOLM_INIT_OK = 0,
    KOLM_INIT_TRUNCATED = 1,     // "code truncated"
    KOLM_INIT_BOM = 2,           // byte-order mark
    KOLM_INIT_MAGIC = 3,         // header magic
    KOLM_INIT_REVISION = 4,      // language revision above 5
    KOLM_INIT_NO_CODE = 5,       // no "BC" code section tag
    KOLM_INIT_MAIN_ENTRY = 6,    // main entry inside the header
    KOLM_INIT_BSS = 7,           // global area larger than the RAM
};

// Script address map.
inline constexpr uint32_t KOLM_ADDR_DATA = kolm_image::kDataAddress;
inline constexpr uint32_t KOLM_ADDR_RAM = kolm_image::kRamAddress;
inline constexpr uint32_t KOLM_ADDR_PERIPH = 0x40000000;

extern _KolmVM KOLM_VM;

// Word i of the record (i < KOLM_VM_WORDS; callers check).
inline uint32_t kolm_vm_word(uint32_t index)
{
    uint32_t value;
    std::memcpy(&value, reinterpret_cast<const uint8_t *>(&KOLM_VM) + 4 * index, 4);
    return value;
}

inline void kolm_vm_set_word(uint32_t index, uint32_t value)
{
    std::memcpy(reinterpret_cast<uint8_t *>(&KOLM_VM) + 4 * index, &value, 4);
}

// Checks the image in the ROM and prepares the machine to run from main.
// 0 on success, else a KolmInitError.
uint32_t kolm_vm_init();
uint32_t kolm_vm_flags();
uint32_t *kolm_vm_table(uint32_t out[6]);
uint32_t kolm_vm_exit_code();

// Executes one instruction; does not look at SEGV, HALT or SUSP.
void kolm_vm_next();
// One instruction unless SEGV or HALT is set; then 10 (SEGV), 9 (HALT) or 0.
uint32_t kolm_vm_step();
// Steps until kolm_vm_step returns non-zero; returns that value.
uint32_t kolm_vm_run();

// Executes up to budget instructions with exactly the effects, faults and
// messages of as many calls of kolm_vm_next, but fast. Nothing runs when
// SEGV or HALT is set. The batch ends early after an instruction that
// changes the flags word or the ISR level, and after a hardware opcode
// (delay, sleep, timers, wake), so that the host sees HALT, SEGV, a sleep
// and new timers before the next instruction. Returns the number of
// instructions executed.
uint32_t kolm_vm_run_batch(uint32_t budget);

// Interrupt entries: save the interrupted context on the stack and jump to
// the handler. msg, exti and ack do nothing when the image has no handler.
void kolm_vm_irq_exti(uint32_t pin, uint32_t state);
void kolm_vm_irq_msg();
void kolm_vm_irq_ack(uint32_t value);
void kolm_vm_irq_timer(uint32_t address);
// True when the current ISR level is below level.
bool kolm_vm_can_interrupt(uint32_t level);

// The host's step: timer check, then one instruction unless the script
// sleeps at ISR level 0.
void asm_debugger_step();

// Instructions the host runs between two looks at its clock and signals:
// well under a microsecond at full speed, far finer than the millisecond
// timers.
inline constexpr uint32_t KOLM_BATCH_SIZE = 256;

// The host's batch, asm_debugger_step for many instructions: timer check,
// then kolm_vm_run_batch(budget) unless the script sleeps at ISR level 0.
// Returns the number of instructions executed.
uint32_t asm_debugger_run(uint32_t budget);

// The one fault routine: logs "asm error: segmentation fault at " with EIP
// and sets SEGV.
void kolm_vm_asm_segv();

// The machine's reads of the ROM. A read past the end of the image faults;
// then kolm_vm_rom yields null, u8 the first ROM byte, u16 and u32 yield 0,
// and on an empty ROM all yield 0.
const uint8_t *kolm_vm_rom(uint32_t offset, uint32_t length);
uint32_t kolm_vm_rom_u8(uint32_t offset);
uint32_t kolm_vm_rom_u16(uint32_t offset);
uint32_t kolm_vm_rom_u32(uint32_t offset);

#endif

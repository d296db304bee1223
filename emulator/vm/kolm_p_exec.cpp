// Execution of one instruction.

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_opcodes.h"
#include "kolm_p.h"
#include "kolm_p_library.h"
#include "kolm_p_stack.h"

#include <cstring>

using namespace kolm_isa;

namespace {

using MathFn = uint32_t (*)(uint32_t, uint32_t);

uint32_t _add(uint32_t a, uint32_t b) { return a + b; }
uint32_t _sub(uint32_t a, uint32_t b) { return a - b; }
uint32_t _mul(uint32_t a, uint32_t b) { return a * b; }
uint32_t _div(uint32_t a, uint32_t b) { return a / b; }
uint32_t _shl(uint32_t a, uint32_t b) { return a << (b & 31); }
uint32_t _shr(uint32_t a, uint32_t b) { return a >> (b & 31); }
uint32_t _bor(uint32_t a, uint32_t b) { return a | b; }
uint32_t _and(uint32_t a, uint32_t b) { return a & b; }
uint32_t _xor(uint32_t a, uint32_t b) { return a ^ b; }
uint32_t _mod(uint32_t a, uint32_t b) { return a % b; }

uint32_t _eq(uint32_t a, uint32_t b) { return a == b; }
uint32_t _lor(uint32_t a, uint32_t b) { return a || b; }
uint32_t _land(uint32_t a, uint32_t b) { return a && b; }
uint32_t _less(uint32_t a, uint32_t b) { return a < b; }
uint32_t _leq(uint32_t a, uint32_t b) { return a <= b; }

// Indexed by kolm_isa::MathOp.
constexpr MathFn KOLM_MATH_FCALL[] = {_add, _sub, _mul, _div, _shl, _shr, _bor, _and, _xor, _mod};
// Indexed by opcode - OP_cmp.
constexpr MathFn KOLM_CMP_FCALL[] = {_eq, _lor, _land, _less, _leq};

constexpr uint32_t kRamEnd = KOLM_ADDR_RAM + KOLM_RAM_SIZE;

_VM_Context &ctx()
{
    return KOLM_VM.ctx;
}

void fault(const char *message)
{
    asm_debug(KOLM_LOG_ERROR, "%s", message);
    kolm_vm_asm_segv();
}

void set_error(uint32_t code)
{
    KOLM_VM.flags = (KOLM_VM.flags & ~KOLM_FLAG_ERROR_MASK) | code;
}

uint32_t imm_at(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A register operand must name a word of the machine record.
bool register_ok(uint32_t index)
{
    if (index < KOLM_VM_WORDS)
        return true;
    asm_debug(KOLM_LOG_ERROR, "invalid register %u", index);
    kolm_vm_asm_segv();
    return false;
}

bool registers_ok(uint32_t first, uint32_t second)
{
    return register_ok(first) && register_ok(second);
}

uint32_t load(uint32_t address)
{
    if (address >= KOLM_ADDR_PERIPH)
        return kolm_hal_periph_get(address, kolm_vm_asm_segv);
    uint32_t offset;
    if (kolm_vm_ram_word(address, offset))
        return kolm_vm_ram_u32(offset);
    if (address >= KOLM_ADDR_DATA && address < KOLM_ADDR_RAM) {
        const uint32_t length = KOLM_VM.data_end - KOLM_VM.data_start;
        offset = address - KOLM_ADDR_DATA;
        if (length >= 4 && offset <= length - 4)
            return kolm_vm_rom_u32(KOLM_VM.data_start + offset);
    }
    return kolm_vm_rom_u32(address);
}

void store(uint32_t address, uint32_t value)
{
    if (address >= KOLM_ADDR_PERIPH) {
        ctx().EAX = kolm_hal_periph_set(address, value, kolm_vm_asm_segv);
        return;
    }
    uint32_t offset;
    if (kolm_vm_ram_word(address, offset)) {
        kolm_vm_set_ram_u32(offset, value);
        ctx().EAX = value;
        return;
    }
    asm_debug(KOLM_LOG_ERROR, "tried writing .text or .data section at %08x", address);
    kolm_vm_asm_segv();
    ctx().EAX = 0;
}

// Applies math operation op, refusing a division by zero.
bool math(uint32_t op, uint32_t a, uint32_t b, uint32_t &result)
{
    if ((op == MATH_DIV || op == MATH_MOD) && b == 0) {
        fault("division by zero");
        return false;
    }
    result = KOLM_MATH_FCALL[op](a, b);
    return true;
}

void unknown_opcode(uint8_t op)
{
    set_error(KOLM_ERROR_UNKNOWN_OPCODE);
    asm_debug(KOLM_LOG_ERROR, "unknown opcode %u", op);
    kolm_vm_asm_segv();
}

// Opcodes below OP_mcp: math, compare, not and bnt.
void execute_arithmetic(uint8_t op, const uint8_t *p)
{
    const uint32_t y = p[0];
    if (op == OP_not || op == OP_bnt) {
        if (!register_ok(y))
            return;
        const uint32_t x = kolm_vm_word(y);
        ctx().EAX = op == OP_not ? ~x : uint32_t(x == 0);
        return;
    }
    if (op >= OP_cmp && op <= OP_leq) {
        if (registers_ok(y, p[1]))
            ctx().EAX = KOLM_CMP_FCALL[op - OP_cmp](kolm_vm_word(y), kolm_vm_word(p[1]));
        return;
    }
    const uint32_t group = uint32_t(op) - 1;
    const uint32_t operation = group & 0x0F;
    uint32_t result;
    if (group & kMathImmediate) {
        if (register_ok(y) && math(operation, kolm_vm_word(y), imm_at(p + 1), result))
            kolm_vm_set_word(y, result);
        return;
    }
    if (!registers_ok(y, p[1]) || !math(operation, kolm_vm_word(y), kolm_vm_word(p[1]), result))
        return;
    kolm_vm_set_word((group & kMathToEax) ? KOLM_W_EAX : y, result);
}

// Library and hardware opcodes: the handler gets the stack from its top.
void execute_library(const KolmLibraryCall &call)
{
    const uint32_t depth = ctx().ESP;
    if (depth < call.arguments || depth > KOLM_STACK_INDEX_END) {
        asm_debug(KOLM_LOG_ERROR, "stack index %u out of range", depth - call.arguments);
        kolm_vm_asm_segv();
        return;
    }
    // Argument k is stack index depth - 1 - k: the words from the top of
    // the stack upwards in RAM.
    uint32_t a[KOLM_STACK_INDEX_END];
    std::memcpy(a, KOLM_VM.ctx.RAM + KOLM_RAM_SIZE - 4 * depth, 4 * depth);
    ctx().EAX = call.handler(a, depth);
}

void call(uint32_t target, uint32_t frame)
{
    _VM_Context &c = ctx();
    if (frame > c.ESP) {
        asm_debug(KOLM_LOG_ERROR, "call frame of %u words on a stack of %u", frame, c.ESP);
        kolm_vm_asm_segv();
        return;
    }
    const uint32_t base = c.ESP - frame;
    if (!kolm_vm_stack_index_ok(base + 1))
        return;
    // A frame of fewer than two words puts the return slot above the top
    // of the stack, where it must not land on a global variable.
    if (!kolm_vm_stack_above_globals(base + 1)) {
        kolm_vm_stack_overflow("stack overflow");
        return;
    }
    c.EBP = base;
    kolm_vm_set_stack(base + 1, c.EIP);
    c.EIP = target & 0xFFFF;
}

void ret()
{
    _VM_Context &c = ctx();
    const uint32_t base = c.EBP;
    if (!kolm_vm_stack_index_ok(base) || !kolm_vm_stack_index_ok(base + 1))
        return;
    const uint32_t target = kolm_vm_stack(base + 1);
    constexpr uint32_t kSaved = 6; // EIP, ISR level, EDX, ECX, EBX, EAX
    if (target == 0xFFFFFFFF && base < kSaved) {
        asm_debug(KOLM_LOG_ERROR, "stack corruption");
        kolm_vm_asm_segv();
        return;
    }
    c.EIP = target;
    c.ESP = base;
    c.EBP = kolm_vm_stack(base);
    if (target != 0xFFFFFFFF)
        return;
    uint32_t *restore[kSaved] = {&c.EIP, &c.ISR, &c.EDX, &c.ECX, &c.EBX, &c.EAX};
    for (uint32_t *word : restore)
        *word = kolm_vm_stack(--c.ESP);
}

// Frame slot EBP + x, checked.
bool frame_slot(uint32_t x, uint32_t &index)
{
    index = ctx().EBP + x;
    return kolm_vm_stack_index_ok(index);
}

void execute_control(uint8_t op, const uint8_t *p)
{
    _VM_Context &c = ctx();
    uint32_t slot;
    switch (op) {
    case OP_cpy:
        if (registers_ok(p[0], p[1]))
            kolm_vm_set_word(p[0], kolm_vm_word(p[1]));
        break;
    case OP_sto:
        if (register_ok(p[0]))
            kolm_vm_set_word(p[0], imm_at(p + 1));
        break;
    case OP_call:
        call(imm_at(p), p[4]);
        break;
    case OP_jmp:
        c.EIP = c.EAX ? imm_at(p) : imm_at(p + 4);
        break;
    case OP_ret:
        ret();
        break;
    case OP_spvi:
        kolm_vm_push(imm_at(p));
        break;
    case OP_spvr:
        if (register_ok(p[0]))
            kolm_vm_push(kolm_vm_word(p[0]));
        break;
    case OP_srw:
        if (c.ESP < p[0]) {
            set_error(KOLM_ERROR_STACK_CORRUPTION);
            fault("stack corruption");
        } else {
            c.ESP -= p[0];
        }
        break;
    case OP_ssvi:
        if (frame_slot(p[0], slot)) {
            c.EAX = imm_at(p + 1);
            kolm_vm_set_stack(slot, c.EAX);
        }
        break;
    case OP_ssvr:
        if (register_ok(p[1]) && frame_slot(p[0], slot)) {
            c.EAX = kolm_vm_word(p[1]);
            kolm_vm_set_stack(slot, c.EAX);
        }
        break;
    case OP_sad:
        if (register_ok(p[0]))
            kolm_vm_set_word(p[0], kRamEnd - 4 * (c.EBP + p[1] + 1));
        break;
    case OP_stos:
        if (register_ok(p[0]) && frame_slot(p[1], slot))
            kolm_vm_set_word(p[0], kolm_vm_stack(slot));
        break;
    case OP_rrui:
        if (register_ok(p[0]))
            kolm_vm_set_word(p[0], load(imm_at(p + 1)));
        break;
    case OP_rrur:
        if (registers_ok(p[0], p[1]))
            kolm_vm_set_word(p[0], load(kolm_vm_word(p[1])));
        break;
    case OP_rwui:
        if (register_ok(p[0]))
            store(kolm_vm_word(p[0]), imm_at(p + 1));
        break;
    case OP_rwur:
        if (registers_ok(p[0], p[1]))
            store(kolm_vm_word(p[0]), kolm_vm_word(p[1]));
        break;
    case OP_rwup:
        if (register_ok(p[0]))
            store(imm_at(p + 1), kolm_vm_word(p[0]));
        break;
    case OP_irqd:
    case OP_irqe:
        c.EAX = (KOLM_VM.flags & KOLM_FLAG_IRQD) ? 1 : 0;
        if (op == OP_irqd)
            KOLM_VM.flags |= KOLM_FLAG_IRQD;
        else
            KOLM_VM.flags &= ~KOLM_FLAG_IRQD;
        break;
    case OP_halt:
        KOLM_VM.flags |= KOLM_FLAG_HALT;
        break;
    case OP_nop:
        break;
    default:
        unknown_opcode(op);
        break;
    }
}

} // namespace

void kolm_vm_next()
{
    _VM_Context &c = ctx();
    if (c.EIP >= KOLM_VM.text_end) {
        fault("tried executing beyond text section");
        return;
    }
    const uint8_t *code = kolm_vm_rom(c.EIP, 1);
    if (!code)
        return;
    const uint8_t op = code[0];
    const OpcodeInfo &info = opcodeInfo(op);
    ++c.EIP;
    // The table tbl is data for the disassembler, never executed.
    if (!info.mnemonic || info.operands == Operands::Table) {
        unknown_opcode(op);
        return;
    }
    const uint32_t length = uint32_t(operandBytes(info.operands));
    const uint8_t *operands = kolm_vm_rom(c.EIP, length);
    if (!operands)
        return;
    c.EIP += length;

    if (op >= OP_cpy)
        execute_control(op, operands);
    else if (op >= OP_dly && op <= OP_wak)
        execute_library(KOLM_HARDWARE[op - OP_dly]);
    else if (op >= OP_mcp && op <= OP_vin)
        execute_library(KOLM_STDLIB[op - OP_mcp]);
    else if (op < OP_mcp)
        execute_arithmetic(op, operands);
    else
        unknown_opcode(op);
}

// The fast execution loop: a batch of instructions with EIP in a local, one
// indirect jump per instruction through a table of handlers by code offset,
// and the operands and arithmetic inline.
//
// The loop carries out only the plain cases of the frequent instructions
// itself. An instruction that one of its checks does not pass at once (a
// register operand beyond the registers and RAM words it may write, a stack
// index outside RAM, a push onto the global variables, a division by zero,
// an address outside RAM, an unknown opcode, an instruction close to the end
// of the code or of the ROM), and every library, hardware, peripheral, flag
// and interrupt-return instruction, is handed to kolm_vm_next from its first
// byte with the record up to date. So results, faults, messages and the EIP
// of a fault are those of single steps.
//
// Registers stay in the machine record: a register operand may name any of
// its words, and the instructions reach them there. Only EIP lives in a
// local; an operand that names EIP reads and sets that local. Words whose
// change the loop must see at once (the ISR level, the section bounds, the
// entry table and the flags) are written only by kolm_vm_next.
//
// Each code offset's handler is looked up once and kept in a table, one
// entry per offset, until the ROM or the end of the code changes. An
// instruction whose register operands all name general registers gets a
// handler without the operand checks. Offsets from the last safe opcode
// position on hand their instruction to kolm_vm_next, so a step to the next
// instruction needs no bounds check; only jumps check their target.

#include "flash.h"
#include "kolm_hal.h"
#include "kolm_opcodes.h"
#include "kolm_p.h"
#include "kolm_p_stack.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

using namespace kolm_isa;

#if defined(__GNUC__) && !defined(KOLM_VM_SWITCH_DISPATCH)
#define KOLM_VM_COMPUTED_GOTO 1
#else
#define KOLM_VM_COMPUTED_GOTO 0
#endif

namespace {

// Branch hints: the loop's own cases are the likely ones.
#if defined(__GNUC__)
#define KOLM_LIKELY(condition) __builtin_expect(!!(condition), 1)
#define KOLM_UNLIKELY(condition) __builtin_expect(!!(condition), 0)
#else
#define KOLM_LIKELY(condition) (condition)
#define KOLM_UNLIKELY(condition) (condition)
#endif

// X(name, result of a and b, refuses b == 0), in the order of MathOp.
#define KOLM_BATCH_MATH(X)                                                                                          \
    X(ADD, a + b, false)                                                                                            \
    X(SUB, a - b, false)                                                                                            \
    X(MUL, a * b, false)                                                                                            \
    X(DIV, a / b, true)                                                                                             \
    X(SHL, a << (b & 31), false)                                                                                    \
    X(SHR, a >> (b & 31), false)                                                                                    \
    X(BOR, a | b, false)                                                                                            \
    X(AND, a & b, false)                                                                                            \
    X(XOR, a ^ b, false)                                                                                            \
    X(MOD, a % b, true)

// X(name, result of a and b), in opcode order from OP_cmp.
#define KOLM_BATCH_COMPARE(X)                                                                                       \
    X(EQ, a == b)                                                                                                   \
    X(LOR, a || b)                                                                                                  \
    X(LAND, a && b)                                                                                                 \
    X(LESS, a < b)                                                                                                  \
    X(LEQ, a <= b)

// The loop's handlers; SLOW hands the instruction to kolm_vm_next. Each
// math group lists its operations in the order of MathOp.
#define KOLM_BATCH_HANDLERS(X)                                                                                      \
    X(SLOW) X(DECODE)                                                                                               \
    X(RR_ADD) X(RR_SUB) X(RR_MUL) X(RR_DIV) X(RR_SHL) X(RR_SHR) X(RR_BOR) X(RR_AND) X(RR_XOR) X(RR_MOD)             \
    X(EAX_ADD) X(EAX_SUB) X(EAX_MUL) X(EAX_DIV) X(EAX_SHL) X(EAX_SHR) X(EAX_BOR) X(EAX_AND) X(EAX_XOR) X(EAX_MOD)   \
    X(IMM_ADD) X(IMM_SUB) X(IMM_MUL) X(IMM_DIV) X(IMM_SHL) X(IMM_SHR) X(IMM_BOR) X(IMM_AND) X(IMM_XOR) X(IMM_MOD)   \
    X(CMP_EQ) X(CMP_LOR) X(CMP_LAND) X(CMP_LESS) X(CMP_LEQ)                                                         \
    X(NOT) X(BNT) X(CPY) X(STO) X(CALL) X(JMP) X(RET) X(SPVI) X(SPVR) X(SRW) X(SSVI) X(SSVR) X(SAD) X(STOS)         \
    X(RRUI) X(RRUR) X(RWUI) X(RWUR) X(RWUP) X(NOP)                                                                  \
    KOLM_BATCH_GENERAL_HANDLERS(X)

// Handlers for instructions whose register operands all name one of the
// four general registers: RR_ and EAX_ with two of them, IMM_, STO and STOS
// with the first operand, SSVR with the second; GOTO is a STO to EIP.
// Pair handlers carry out two instructions, counted as two, the second
// with the checks of its own handler: GCMPJ_ a compare and a jump, GEAXS_
// a result to EAX and an SSVR, and STOS with a STO or a STOS. Run handlers
// do the same for the longer runs that the compiler writes for a statement
// on a local variable, with the run's value in a local between its steps:
// GUPD_ the compound assignment (STOS R; math R, any; SSVR R; STOS),
// GPOSTFIX the postfix increment or decrement (STOS A; CPY R, A; ADDV or
// SUBV R; SSVR R; ADDV or SUBV R; CPY A, R) and GCOND_ the compare of a
// local with a number and the jump on it (STOS A; STO B; compare A and B
// in either order; JMP).
#define KOLM_BATCH_GENERAL_HANDLERS(X)                                                                              \
    X(GRR_ADD) X(GRR_SUB) X(GRR_MUL) X(GRR_DIV) X(GRR_SHL) X(GRR_SHR) X(GRR_BOR) X(GRR_AND) X(GRR_XOR) X(GRR_MOD)   \
    X(GEAX_ADD) X(GEAX_SUB) X(GEAX_MUL) X(GEAX_DIV) X(GEAX_SHL) X(GEAX_SHR) X(GEAX_BOR) X(GEAX_AND) X(GEAX_XOR)     \
    X(GEAX_MOD)                                                                                                     \
    X(GIMM_ADD) X(GIMM_SUB) X(GIMM_MUL) X(GIMM_DIV) X(GIMM_SHL) X(GIMM_SHR) X(GIMM_BOR) X(GIMM_AND) X(GIMM_XOR)     \
    X(GIMM_MOD)                                                                                                     \
    X(GCMP_EQ) X(GCMP_LOR) X(GCMP_LAND) X(GCMP_LESS) X(GCMP_LEQ)                                                    \
    X(GCMPJ_EQ) X(GCMPJ_LOR) X(GCMPJ_LAND) X(GCMPJ_LESS) X(GCMPJ_LEQ)                                               \
    X(GEAXS_ADD) X(GEAXS_SUB) X(GEAXS_MUL) X(GEAXS_DIV) X(GEAXS_SHL) X(GEAXS_SHR) X(GEAXS_BOR) X(GEAXS_AND)         \
    X(GEAXS_XOR) X(GEAXS_MOD)                                                                                       \
    X(GUPD_ADD) X(GUPD_SUB) X(GUPD_MUL) X(GUPD_DIV) X(GUPD_SHL) X(GUPD_SHR) X(GUPD_BOR) X(GUPD_AND) X(GUPD_XOR)     \
    X(GUPD_MOD)                                                                                                     \
    X(GCOND_EQ) X(GCOND_LOR) X(GCOND_LAND) X(GCOND_LESS) X(GCOND_LEQ)                                               \
    X(GCPY) X(GSTO) X(GSTOS) X(GSTOS_GSTO) X(GSTOS_GSTOS) X(GSSVR) X(GOTO) X(GPOSTFIX)

enum Handler : uint8_t {
#define KOLM_BATCH_ENUM(name) H_##name,
    KOLM_BATCH_HANDLERS(KOLM_BATCH_ENUM)
#undef KOLM_BATCH_ENUM
};

constexpr uint32_t kMathOps = 10;
static_assert(H_RR_MOD - H_RR_ADD == kMathOps - 1 && H_EAX_MOD - H_EAX_ADD == kMathOps - 1 &&
                  H_IMM_MOD - H_IMM_ADD == kMathOps - 1 && H_CMP_LEQ - H_CMP_EQ == OP_leq - OP_cmp,
              "the math and compare handlers follow the opcode order");
static_assert(H_GRR_MOD - H_GRR_ADD == kMathOps - 1 && H_GEAX_MOD - H_GEAX_ADD == kMathOps - 1 &&
                  H_GIMM_MOD - H_GIMM_ADD == kMathOps - 1 && H_GCMP_LEQ - H_GCMP_EQ == OP_leq - OP_cmp &&
                  H_GCMPJ_LEQ - H_GCMPJ_EQ == OP_leq - OP_cmp && H_GEAXS_MOD - H_GEAXS_ADD == kMathOps - 1 &&
                  H_GUPD_MOD - H_GUPD_ADD == kMathOps - 1 && H_GCOND_LEQ - H_GCOND_EQ == OP_leq - OP_cmp,
              "the general-register handlers follow the opcode order");

// Opcode byte to handler.
constexpr std::array<uint8_t, 256> kHandler = [] {
    std::array<uint8_t, 256> table{};
    for (uint32_t m = 0; m < kMathOps; ++m) {
        table[OP_add + m] = uint8_t(H_RR_ADD + m);
        table[OP_sum + m] = uint8_t(H_EAX_ADD + m);
        table[OP_addv + m] = uint8_t(H_IMM_ADD + m);
    }
    for (uint32_t c = 0; c <= uint32_t(OP_leq - OP_cmp); ++c)
        table[OP_cmp + c] = uint8_t(H_CMP_EQ + c);
    const std::pair<uint8_t, Handler> named[] = {
        {OP_not, H_NOT},   {OP_bnt, H_BNT},   {OP_cpy, H_CPY},   {OP_sto, H_STO},   {OP_call, H_CALL},
        {OP_jmp, H_JMP},   {OP_ret, H_RET},   {OP_spvi, H_SPVI}, {OP_spvr, H_SPVR}, {OP_srw, H_SRW},
        {OP_ssvi, H_SSVI}, {OP_ssvr, H_SSVR}, {OP_sad, H_SAD},   {OP_stos, H_STOS}, {OP_rrui, H_RRUI},
        {OP_rrur, H_RRUR}, {OP_rwui, H_RWUI}, {OP_rwur, H_RWUR}, {OP_rwup, H_RWUP}, {OP_nop, H_NOP},
    };
    for (const auto &[opcode, handler] : named)
        table[opcode] = handler;
    return table;
}();

// Register operands that the loop writes itself: the four general
// registers, EIP (its local), EBP, ESP and the RAM words. Any word below
// KOLM_VM_WORDS may be read.
constexpr std::array<bool, 256> kPlainWrite = [] {
    std::array<bool, 256> table{};
    for (uint32_t i = 0; i < KOLM_W_ISR; ++i)
        table[i] = true;
    for (uint32_t i = KOLM_W_RAM; i < KOLM_W_TEXT_START; ++i)
        table[i] = true;
    return table;
}();

// The longest instruction: opcode and two immediates.
constexpr size_t kLongestInstruction = 9;

// The handler for the instruction at p, which has kLongestInstruction
// bytes.
Handler singleHandler(const uint8_t *p)
{
    const Handler handler = Handler(kHandler[p[0]]);
    const bool first = p[1] < KOLM_W_EIP;
    const bool both = first && p[2] < KOLM_W_EIP;
    const auto in = [handler](Handler from, Handler to) { return handler >= from && handler <= to; };
    if (both && in(H_RR_ADD, H_RR_MOD))
        return Handler(H_GRR_ADD + (handler - H_RR_ADD));
    if (both && in(H_EAX_ADD, H_EAX_MOD))
        return Handler(H_GEAX_ADD + (handler - H_EAX_ADD));
    if (first && in(H_IMM_ADD, H_IMM_MOD))
        return Handler(H_GIMM_ADD + (handler - H_IMM_ADD));
    if (both && in(H_CMP_EQ, H_CMP_LEQ))
        return Handler(H_GCMP_EQ + (handler - H_CMP_EQ));
    if (both && handler == H_CPY)
        return H_GCPY;
    if (first && handler == H_STO)
        return H_GSTO;
    if (p[1] == KOLM_W_EIP && handler == H_STO)
        return H_GOTO;
    if (first && handler == H_STOS)
        return H_GSTOS;
    if (p[2] < KOLM_W_EIP && handler == H_SSVR)
        return H_GSSVR;
    return handler;
}

// The handler for an instruction of three bytes with handler first whose
// following instruction has handler second: a pair handler where there is
// one.
Handler pairHandler(Handler first, Handler second)
{
    const auto in = [first](Handler from, Handler to) { return first >= from && first <= to; };
    if (second == H_JMP && in(H_GCMP_EQ, H_GCMP_LEQ))
        return Handler(H_GCMPJ_EQ + (first - H_GCMP_EQ));
    if (second == H_GSSVR && in(H_GEAX_ADD, H_GEAX_MOD))
        return Handler(H_GEAXS_ADD + (first - H_GEAX_ADD));
    if (first == H_GSTOS && second == H_GSTO)
        return H_GSTOS_GSTO;
    if (first == H_GSTOS && second == H_GSTOS)
        return H_GSTOS_GSTOS;
    return first;
}

// The run handler for the instructions from offset pc on, H_SLOW for none.
// Every instruction of a run has its opcode below fastEnd.
Handler runHandler(const uint8_t *rom, size_t pc, size_t fastEnd)
{
    const uint8_t *p = rom + pc;
    const auto at = [&](size_t offset) { return pc + offset < fastEnd ? singleHandler(p + offset) : H_SLOW; };
    const auto addOrSub = [](Handler h) { return h == H_GIMM_ADD || h == H_GIMM_SUB; };
    if (at(0) != H_GSTOS)
        return H_SLOW;
    const uint8_t loaded = p[1];
    const Handler second = at(3);
    if (second >= H_GRR_ADD && second <= H_GRR_MOD && p[4] == loaded && at(6) == H_GSSVR && p[8] == loaded &&
        at(9) == H_GSTOS)
        return Handler(H_GUPD_ADD + (second - H_GRR_ADD));
    const uint8_t copy = p[4];
    if (second == H_GCPY && p[5] == loaded && addOrSub(at(6)) && p[7] == copy && at(12) == H_GSSVR &&
        p[14] == copy && addOrSub(at(15)) && p[16] == copy && at(21) == H_GCPY && p[22] == loaded && p[23] == copy)
        return H_GPOSTFIX;
    const Handler third = at(9);
    if (second == H_GSTO && copy != loaded && third >= H_GCMP_EQ && third <= H_GCMP_LEQ &&
        ((p[10] == loaded && p[11] == copy) || (p[10] == copy && p[11] == loaded)) && at(12) == H_JMP)
        return Handler(H_GCOND_EQ + (third - H_GCMP_EQ));
    return H_SLOW;
}

// The handler kept for offset pc: a run, else a pair unless a run starts
// at the second instruction, else the instruction's own.
Handler decodedHandler(const uint8_t *rom, size_t pc, size_t fastEnd)
{
    const Handler run = runHandler(rom, pc, fastEnd);
    if (run != H_SLOW)
        return run;
    const Handler single = singleHandler(rom + pc);
    if (pc + 3 >= fastEnd || runHandler(rom, pc + 3, fastEnd) != H_SLOW)
        return single;
    return pairHandler(single, singleHandler(rom + pc + 3));
}

// A handler as the table keeps it: its label, or its number when the loop
// dispatches with a switch.
#if KOLM_VM_COMPUTED_GOTO
using Target = const void *;
#else
using Target = uint8_t;
#endif

// The handler table of the code in the ROM: an entry for every offset below
// the last safe opcode position (fastEnd), DECODE until the offset is first
// run, and SLOW for the kLongestInstruction offsets behind it, where the
// step after an instruction may land.
struct HandlerTable {
    uint64_t generation = 0;
    size_t fastEnd = 0;
    std::vector<Target> targets;

    // The table for the ROM's present bytes and fastEnd.
    Target *refresh(size_t end, Target decode, Target slow)
    {
        const uint64_t now = kolm_rom_generation();
        if (targets.empty() || generation != now || fastEnd != end) {
            generation = now;
            fastEnd = end;
            targets.assign(end + kLongestInstruction, slow);
            std::fill_n(targets.begin(), end, decode);
        }
        return targets.data();
    }
};

inline uint32_t immediate(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Word index of the record and stack index, with index < KOLM_VM_WORDS and
// KOLM_STACK_INDEX_END: in size_t, so that the addressing needs no masks.
inline uint32_t word(size_t index)
{
    uint32_t value;
    std::memcpy(&value, reinterpret_cast<const uint8_t *>(&KOLM_VM) + 4 * index, 4);
    return value;
}

inline void setWord(size_t index, uint32_t value)
{
    std::memcpy(reinterpret_cast<uint8_t *>(&KOLM_VM) + 4 * index, &value, 4);
}

inline uint32_t stack(size_t index)
{
    return word(KOLM_W_TEXT_START - 1 - index);
}

inline void setStack(size_t index, uint32_t value)
{
    setWord(KOLM_W_TEXT_START - 1 - index, value);
}

} // namespace

uint32_t kolm_vm_run_batch(uint32_t budget)
{
    if (budget == 0 || (KOLM_VM.flags & KOLM_FLAG_STOPPED))
        return 0;
    _VM_Context &c = KOLM_VM.ctx;
    uint32_t executed = 0;
    // EIP of the instruction and behind it. Both hold 32-bit values.
    size_t pc = c.EIP;
    size_t next = 0;
    // Read afresh for every batch and after every instruction that
    // kolm_vm_next carried out: the ROM may have been rewritten between
    // batches, and the record's bounds and entries change only through
    // kolm_vm_next. Below fastEnd the opcode lies in the code and the
    // longest instruction in the ROM.
    const uint8_t *rom = nullptr;
    size_t fastEnd = 0;
    uint32_t globals = 0;
    Target *targets = nullptr;
    static HandlerTable table;

#if KOLM_VM_COMPUTED_GOTO
    static const void *const kLabels[] = {
#define KOLM_BATCH_LABEL(name) &&L_##name,
        KOLM_BATCH_HANDLERS(KOLM_BATCH_LABEL)
#undef KOLM_BATCH_LABEL
    };
#define KOLM_TARGET(handler) kLabels[handler]
#define KOLM_DISPATCH() goto *targets[pc]
#else
    uint8_t dispatched = H_SLOW;
#define KOLM_TARGET(handler) uint8_t(handler)
#define KOLM_DISPATCH()                                                                                             \
    do {                                                                                                            \
        dispatched = targets[pc];                                                                                   \
        goto dispatch;                                                                                              \
    } while (0)
#endif

#define KOLM_LOAD_IMAGE()                                                                                           \
    do {                                                                                                            \
        const uint32_t size = kolm_rom_size();                                                                      \
        rom = kolm_rom_get(0, size);                                                                                \
        fastEnd = std::min<size_t>(KOLM_VM.text_end, size >= kLongestInstruction ? size - kLongestInstruction + 1 : 0); \
        globals = KOLM_VM.table.bss;                                                                                \
        targets = table.refresh(fastEnd, KOLM_TARGET(H_DECODE), KOLM_TARGET(H_SLOW));                               \
    } while (0)
    KOLM_LOAD_IMAGE();

// Operand byte k and the immediate at operand byte k of the instruction.
#define KOLM_OPERAND(k) size_t(rom[pc + 1 + (k)])
#define KOLM_IMMEDIATE(k) immediate(rom + pc + 1 + (k))
// Counts the instruction at pc and jumps to its handler; the first for any
// pc, the second for the step behind an instruction below fastEnd, which
// the table covers. The budget is looked at only where EIP jumps: a run
// without a jump ends at the end of the code.
#define KOLM_FETCH()                                                                                                \
    do {                                                                                                            \
        ++executed;                                                                                                 \
        if (KOLM_UNLIKELY(pc >= fastEnd))                                                                           \
            goto slow;                                                                                              \
        KOLM_DISPATCH();                                                                                            \
    } while (0)
#define KOLM_STEP(length)                                                                                           \
    do {                                                                                                            \
        pc += (length);                                                                                             \
        ++executed;                                                                                                 \
        KOLM_DISPATCH();                                                                                            \
    } while (0)
#define KOLM_NEXT()                                                                                                 \
    do {                                                                                                            \
        pc = next;                                                                                                  \
        ++executed;                                                                                                 \
        KOLM_DISPATCH();                                                                                            \
    } while (0)
#define KOLM_JUMP()                                                                                                 \
    do {                                                                                                            \
        pc = next;                                                                                                  \
        if (KOLM_UNLIKELY(executed >= budget))                                                                      \
            goto done;                                                                                              \
        KOLM_FETCH();                                                                                               \
    } while (0)
// Register operand r into a new variable v: the general registers first,
// EIP is next, any other word of the record is read there.
#define KOLM_READ(v, r)                                                                                             \
    const size_t v##Register = (r);                                                                                 \
    uint32_t v;                                                                                                     \
    if (KOLM_LIKELY(v##Register < KOLM_W_EIP))                                                                      \
        v = word(v##Register);                                                                                      \
    else if (v##Register == KOLM_W_EIP)                                                                             \
        v = uint32_t(next);                                                                                         \
    else if (v##Register < KOLM_VM_WORDS)                                                                           \
        v = word(v##Register);                                                                                      \
    else                                                                                                            \
        goto slow
// Register operand r := value, as the instruction's last effect: a word the
// loop does not write hands the whole instruction to kolm_vm_next. A write
// to EIP is a jump.
#define KOLM_WRITE(r, value)                                                                                        \
    do {                                                                                                            \
        const size_t target = (r);                                                                                  \
        const uint32_t written = (value);                                                                           \
        if (KOLM_LIKELY(target < KOLM_W_EIP)) {                                                                     \
            setWord(target, written);                                                                               \
            KOLM_NEXT();                                                                                            \
        }                                                                                                           \
        if (target == KOLM_W_EIP) {                                                                                 \
            next = written;                                                                                         \
            KOLM_JUMP();                                                                                            \
        }                                                                                                           \
        if (KOLM_UNLIKELY(!kPlainWrite[target]))                                                                    \
            goto slow;                                                                                              \
        setWord(target, written);                                                                                   \
        KOLM_NEXT();                                                                                                \
    } while (0)
// A push of value, unless the stack is full or the word would land on the
// global variables.
#define KOLM_PUSH(value)                                                                                            \
    do {                                                                                                            \
        const uint32_t depth = c.ESP;                                                                               \
        if (KOLM_UNLIKELY(depth >= KOLM_STACK_LIMIT || kolm_vm_stack_offset(depth) < globals))                      \
            goto slow;                                                                                              \
        setStack(depth, value);                                                                                     \
        c.ESP = depth + 1;                                                                                          \
    } while (0)

    KOLM_FETCH();

#define KOLM_BATCH_MATH_HANDLERS(name, result, refusesZero)                                                         \
    L_RR_##name : {                                                                                                 \
        next = pc + 3;                                                                                              \
        KOLM_READ(a, KOLM_OPERAND(0));                                                                              \
        KOLM_READ(b, KOLM_OPERAND(1));                                                                              \
        if (KOLM_UNLIKELY(refusesZero && b == 0))                                                                   \
            goto slow;                                                                                              \
        KOLM_WRITE(aRegister, result);                                                                              \
    }                                                                                                               \
    L_EAX_##name : {                                                                                                \
        next = pc + 3;                                                                                              \
        KOLM_READ(a, KOLM_OPERAND(0));                                                                              \
        KOLM_READ(b, KOLM_OPERAND(1));                                                                              \
        if (KOLM_UNLIKELY(refusesZero && b == 0))                                                                   \
            goto slow;                                                                                              \
        c.EAX = result;                                                                                             \
        KOLM_NEXT();                                                                                                \
    }                                                                                                               \
    L_IMM_##name : {                                                                                                \
        next = pc + 6;                                                                                              \
        KOLM_READ(a, KOLM_OPERAND(0));                                                                              \
        const uint32_t b = KOLM_IMMEDIATE(1);                                                                       \
        if (KOLM_UNLIKELY(refusesZero && b == 0))                                                                   \
            goto slow;                                                                                              \
        KOLM_WRITE(aRegister, result);                                                                              \
    }
    KOLM_BATCH_MATH(KOLM_BATCH_MATH_HANDLERS)
#undef KOLM_BATCH_MATH_HANDLERS

#define KOLM_BATCH_COMPARE_HANDLER(name, result)                                                                    \
    L_CMP_##name : {                                                                                                \
        next = pc + 3;                                                                                              \
        KOLM_READ(a, KOLM_OPERAND(0));                                                                              \
        KOLM_READ(b, KOLM_OPERAND(1));                                                                              \
        c.EAX = (result) ? 1 : 0;                                                                                   \
        KOLM_NEXT();                                                                                                \
    }
    KOLM_BATCH_COMPARE(KOLM_BATCH_COMPARE_HANDLER)
#undef KOLM_BATCH_COMPARE_HANDLER

L_NOT : {
    next = pc + 2;
    KOLM_READ(x, KOLM_OPERAND(0));
    c.EAX = ~x;
    KOLM_NEXT();
}
L_BNT : {
    next = pc + 2;
    KOLM_READ(x, KOLM_OPERAND(0));
    c.EAX = x == 0 ? 1 : 0;
    KOLM_NEXT();
}
L_CPY : {
    next = pc + 3;
    KOLM_READ(x, KOLM_OPERAND(1));
    KOLM_WRITE(KOLM_OPERAND(0), x);
}
L_STO : {
    next = pc + 6;
    KOLM_WRITE(KOLM_OPERAND(0), KOLM_IMMEDIATE(1));
}
L_CALL : {
    next = pc + 6;
    const uint32_t frame = uint32_t(KOLM_OPERAND(4));
    if (KOLM_UNLIKELY(frame > c.ESP))
        goto slow;
    const uint32_t base = c.ESP - frame;
    // The return slot must lie in RAM and, like a push, above the globals.
    if (KOLM_UNLIKELY(base + 1 >= KOLM_STACK_INDEX_END || kolm_vm_stack_offset(base + 1) < globals))
        goto slow;
    c.EBP = base;
    setStack(base + 1, uint32_t(next));
    next = KOLM_IMMEDIATE(0) & 0xFFFF;
    KOLM_JUMP();
}
L_JMP : {
    next = c.EAX ? KOLM_IMMEDIATE(0) : KOLM_IMMEDIATE(4);
    KOLM_JUMP();
}
L_RET : {
    const uint32_t base = c.EBP;
    if (KOLM_UNLIKELY(base >= KOLM_STACK_INDEX_END - 1))
        goto slow;
    const uint32_t target = stack(base + 1);
    // The end of an interrupt restores the ISR level: kolm_vm_next's work.
    if (KOLM_UNLIKELY(target == 0xFFFFFFFF))
        goto slow;
    next = target;
    c.ESP = base;
    c.EBP = stack(base);
    KOLM_JUMP();
}
L_SPVI : {
    next = pc + 5;
    KOLM_PUSH(KOLM_IMMEDIATE(0));
    KOLM_NEXT();
}
L_SPVR : {
    next = pc + 2;
    KOLM_READ(x, KOLM_OPERAND(0));
    KOLM_PUSH(x);
    KOLM_NEXT();
}
L_SRW : {
    next = pc + 2;
    const uint32_t words = uint32_t(KOLM_OPERAND(0));
    if (KOLM_UNLIKELY(c.ESP < words))
        goto slow;
    c.ESP -= words;
    KOLM_NEXT();
}
L_SSVI : {
    next = pc + 6;
    const uint32_t slot = c.EBP + uint32_t(KOLM_OPERAND(0));
    if (KOLM_UNLIKELY(slot >= KOLM_STACK_INDEX_END))
        goto slow;
    c.EAX = KOLM_IMMEDIATE(1);
    setStack(slot, c.EAX);
    KOLM_NEXT();
}
L_SSVR : {
    next = pc + 3;
    KOLM_READ(x, KOLM_OPERAND(1));
    const uint32_t slot = c.EBP + uint32_t(KOLM_OPERAND(0));
    if (KOLM_UNLIKELY(slot >= KOLM_STACK_INDEX_END))
        goto slow;
    c.EAX = x;
    setStack(slot, x);
    KOLM_NEXT();
}
L_SAD : {
    next = pc + 3;
    KOLM_WRITE(KOLM_OPERAND(0), KOLM_ADDR_RAM + KOLM_RAM_SIZE - 4 * (c.EBP + uint32_t(KOLM_OPERAND(1)) + 1));
}
L_STOS : {
    next = pc + 3;
    const uint32_t slot = c.EBP + uint32_t(KOLM_OPERAND(1));
    if (KOLM_UNLIKELY(slot >= KOLM_STACK_INDEX_END))
        goto slow;
    KOLM_WRITE(KOLM_OPERAND(0), stack(slot));
}
L_RRUI : {
    next = pc + 6;
    uint32_t offset;
    if (KOLM_UNLIKELY(!kolm_vm_ram_word(KOLM_IMMEDIATE(1), offset)))
        goto slow;
    KOLM_WRITE(KOLM_OPERAND(0), kolm_vm_ram_u32(offset));
}
L_RRUR : {
    next = pc + 3;
    KOLM_READ(address, KOLM_OPERAND(1));
    uint32_t offset;
    if (KOLM_UNLIKELY(!kolm_vm_ram_word(address, offset)))
        goto slow;
    KOLM_WRITE(KOLM_OPERAND(0), kolm_vm_ram_u32(offset));
}
L_RWUI : {
    next = pc + 6;
    KOLM_READ(address, KOLM_OPERAND(0));
    uint32_t offset;
    if (KOLM_UNLIKELY(!kolm_vm_ram_word(address, offset)))
        goto slow;
    c.EAX = KOLM_IMMEDIATE(1);
    kolm_vm_set_ram_u32(offset, c.EAX);
    KOLM_NEXT();
}
L_RWUR : {
    next = pc + 3;
    KOLM_READ(address, KOLM_OPERAND(0));
    KOLM_READ(value, KOLM_OPERAND(1));
    uint32_t offset;
    if (KOLM_UNLIKELY(!kolm_vm_ram_word(address, offset)))
        goto slow;
    c.EAX = value;
    kolm_vm_set_ram_u32(offset, value);
    KOLM_NEXT();
}
L_RWUP : {
    next = pc + 6;
    KOLM_READ(value, KOLM_OPERAND(0));
    uint32_t offset;
    if (KOLM_UNLIKELY(!kolm_vm_ram_word(KOLM_IMMEDIATE(1), offset)))
        goto slow;
    c.EAX = value;
    kolm_vm_set_ram_u32(offset, value);
    KOLM_NEXT();
}
L_NOP : {
    next = pc + 1;
    KOLM_NEXT();
}

// The bodies of the general-register handlers for the instruction at
// pc + at, where a pair handler places its second instruction. A check
// that does not pass hands that instruction to kolm_vm_next.
#define KOLM_AT_OPERAND(at, k) KOLM_OPERAND((at) + (k))
#define KOLM_AT_GENERAL(at, k) word(KOLM_AT_OPERAND(at, k))
#define KOLM_REFUSE(at)                                                                                             \
    do {                                                                                                            \
        pc += (at);                                                                                                 \
        goto slow;                                                                                                  \
    } while (0)
// Word destination := result of a, general register operand 0, and b.
#define KOLM_GENERAL_MATH(at, bValue, destination, result, refusesZero)                                             \
    do {                                                                                                            \
        const uint32_t a = KOLM_AT_GENERAL(at, 0);                                                                  \
        const uint32_t b = (bValue);                                                                                \
        if (KOLM_UNLIKELY(refusesZero && b == 0))                                                                   \
            KOLM_REFUSE(at);                                                                                        \
        setWord(destination, result);                                                                               \
    } while (0)
#define KOLM_GENERAL_STOS(at)                                                                                       \
    do {                                                                                                            \
        const uint32_t slot = c.EBP + uint32_t(KOLM_AT_OPERAND(at, 1));                                             \
        if (KOLM_UNLIKELY(slot >= KOLM_STACK_INDEX_END))                                                            \
            KOLM_REFUSE(at);                                                                                        \
        setWord(KOLM_AT_OPERAND(at, 0), stack(slot));                                                               \
    } while (0)
#define KOLM_GENERAL_STO(at) setWord(KOLM_AT_OPERAND(at, 0), immediate(rom + pc + (at) + 2))
// The frame slot of operand k of the instruction at pc + at into a new
// variable v; hands that instruction to kolm_vm_next when it lies outside
// RAM, after the run's earlier effects (stores) have been made.
#define KOLM_AT_SLOT(v, at, k, stores)                                                                              \
    const uint32_t v = c.EBP + uint32_t(KOLM_AT_OPERAND(at, k));                                                    \
    if (KOLM_UNLIKELY(v >= KOLM_STACK_INDEX_END)) {                                                                 \
        stores;                                                                                                     \
        KOLM_REFUSE(at);                                                                                            \
    }
// x plus or minus the immediate of the ADDV or SUBV at pc + at.
#define KOLM_AT_ADD_OR_SUB(at, x)                                                                                   \
    (rom[pc + (at)] == OP_addv ? (x) + immediate(rom + pc + (at) + 2) : (x) - immediate(rom + pc + (at) + 2))
#define KOLM_GENERAL_SSVR(at)                                                                                       \
    do {                                                                                                            \
        const uint32_t x = KOLM_AT_GENERAL(at, 1);                                                                  \
        const uint32_t slot = c.EBP + uint32_t(KOLM_AT_OPERAND(at, 0));                                             \
        if (KOLM_UNLIKELY(slot >= KOLM_STACK_INDEX_END))                                                            \
            KOLM_REFUSE(at);                                                                                        \
        c.EAX = x;                                                                                                  \
        setStack(slot, x);                                                                                          \
    } while (0)
// The second instruction of a pair, counted before it runs.
#define KOLM_SECOND(body)                                                                                           \
    do {                                                                                                            \
        ++executed;                                                                                                 \
        body;                                                                                                       \
    } while (0)

#define KOLM_BATCH_GENERAL_MATH_HANDLERS(name, result, refusesZero)                                                 \
    L_GRR_##name : {                                                                                                \
        KOLM_GENERAL_MATH(0, KOLM_AT_GENERAL(0, 1), KOLM_OPERAND(0), result, refusesZero);                          \
        KOLM_STEP(3);                                                                                               \
    }                                                                                                               \
    L_GEAX_##name : {                                                                                               \
        KOLM_GENERAL_MATH(0, KOLM_AT_GENERAL(0, 1), KOLM_W_EAX, result, refusesZero);                               \
        KOLM_STEP(3);                                                                                               \
    }                                                                                                               \
    L_GEAXS_##name : {                                                                                              \
        KOLM_GENERAL_MATH(0, KOLM_AT_GENERAL(0, 1), KOLM_W_EAX, result, refusesZero);                               \
        KOLM_SECOND(KOLM_GENERAL_SSVR(3));                                                                          \
        KOLM_STEP(6);                                                                                               \
    }                                                                                                               \
    L_GIMM_##name : {                                                                                               \
        KOLM_GENERAL_MATH(0, KOLM_IMMEDIATE(1), KOLM_OPERAND(0), result, refusesZero);                              \
        KOLM_STEP(6);                                                                                               \
    }                                                                                                               \
    L_GUPD_##name : {                                                                                               \
        const size_t target = KOLM_OPERAND(0);                                                                      \
        KOLM_AT_SLOT(slot, 0, 1, );                                                                                 \
        const uint32_t a = stack(slot);                                                                             \
        setWord(target, a);                                                                                         \
        ++executed;                                                                                                 \
        const uint32_t b = KOLM_AT_GENERAL(3, 1);                                                                   \
        if (KOLM_UNLIKELY(refusesZero && b == 0))                                                                   \
            KOLM_REFUSE(3);                                                                                         \
        const uint32_t value = result;                                                                              \
        setWord(target, value);                                                                                     \
        ++executed;                                                                                                 \
        KOLM_AT_SLOT(stored, 6, 0, );                                                                               \
        c.EAX = value;                                                                                              \
        setStack(stored, value);                                                                                    \
        KOLM_SECOND(KOLM_GENERAL_STOS(9));                                                                          \
        KOLM_STEP(12);                                                                                              \
    }
    KOLM_BATCH_MATH(KOLM_BATCH_GENERAL_MATH_HANDLERS)
#undef KOLM_BATCH_GENERAL_MATH_HANDLERS

// The compare alone, and the compare with the jump behind it.
#define KOLM_BATCH_GENERAL_COMPARE_HANDLER(name, result)                                                            \
    L_GCMP_##name : {                                                                                               \
        const uint32_t a = KOLM_AT_GENERAL(0, 0);                                                                   \
        const uint32_t b = KOLM_AT_GENERAL(0, 1);                                                                   \
        c.EAX = (result) ? 1 : 0;                                                                                   \
        KOLM_STEP(3);                                                                                               \
    }                                                                                                               \
    L_GCMPJ_##name : {                                                                                              \
        const uint32_t a = KOLM_AT_GENERAL(0, 0);                                                                   \
        const uint32_t b = KOLM_AT_GENERAL(0, 1);                                                                   \
        const bool taken = (result);                                                                                \
        c.EAX = taken ? 1 : 0;                                                                                      \
        ++executed;                                                                                                 \
        next = taken ? KOLM_IMMEDIATE(3) : KOLM_IMMEDIATE(7);                                                       \
        KOLM_JUMP();                                                                                                \
    }                                                                                                               \
    L_GCOND_##name : {                                                                                              \
        KOLM_AT_SLOT(slot, 0, 1, );                                                                                 \
        const uint32_t local = stack(slot);                                                                         \
        const uint32_t number = KOLM_IMMEDIATE(4);                                                                  \
        setWord(KOLM_OPERAND(0), local);                                                                            \
        setWord(KOLM_OPERAND(3), number);                                                                           \
        const bool localFirst = KOLM_OPERAND(9) == KOLM_OPERAND(0);                                                 \
        const uint32_t a = localFirst ? local : number;                                                             \
        const uint32_t b = localFirst ? number : local;                                                             \
        const bool taken = (result);                                                                                \
        c.EAX = taken ? 1 : 0;                                                                                      \
        executed += 3;                                                                                              \
        next = taken ? KOLM_IMMEDIATE(12) : KOLM_IMMEDIATE(16);                                                     \
        KOLM_JUMP();                                                                                                \
    }
    KOLM_BATCH_COMPARE(KOLM_BATCH_GENERAL_COMPARE_HANDLER)
#undef KOLM_BATCH_GENERAL_COMPARE_HANDLER

L_GCPY : {
    setWord(KOLM_OPERAND(0), KOLM_AT_GENERAL(0, 1));
    KOLM_STEP(3);
}
L_GSTO : {
    KOLM_GENERAL_STO(0);
    KOLM_STEP(6);
}
L_GSTOS : {
    KOLM_GENERAL_STOS(0);
    KOLM_STEP(3);
}
L_GSTOS_GSTO : {
    KOLM_GENERAL_STOS(0);
    KOLM_SECOND(KOLM_GENERAL_STO(3));
    KOLM_STEP(9);
}
L_GSTOS_GSTOS : {
    KOLM_GENERAL_STOS(0);
    KOLM_SECOND(KOLM_GENERAL_STOS(3));
    KOLM_STEP(6);
}
L_GSSVR : {
    KOLM_GENERAL_SSVR(0);
    KOLM_STEP(3);
}
L_GOTO : {
    next = KOLM_IMMEDIATE(1);
    KOLM_JUMP();
}
L_GPOSTFIX : {
    // A := the slot's value, R := A stepped, the slot := R (EAX too), R
    // stepped back, A := R.
    const size_t loaded = KOLM_OPERAND(0);
    const size_t copy = KOLM_OPERAND(3);
    KOLM_AT_SLOT(slot, 0, 1, );
    const uint32_t old = stack(slot);
    const uint32_t stepped = KOLM_AT_ADD_OR_SUB(6, old);
    executed += 3;
    KOLM_AT_SLOT(stored, 12, 0, (setWord(loaded, old), setWord(copy, stepped)));
    c.EAX = stepped;
    setStack(stored, stepped);
    const uint32_t back = KOLM_AT_ADD_OR_SUB(15, stepped);
    executed += 2;
    setWord(copy, back);
    setWord(loaded, back);
    KOLM_STEP(24);
}
#undef KOLM_SECOND
#undef KOLM_GENERAL_SSVR
#undef KOLM_AT_ADD_OR_SUB
#undef KOLM_AT_SLOT
#undef KOLM_GENERAL_STO
#undef KOLM_GENERAL_STOS
#undef KOLM_GENERAL_MATH
#undef KOLM_REFUSE
#undef KOLM_AT_GENERAL
#undef KOLM_AT_OPERAND

L_DECODE : {
    // First run of the offset: its handler into the table.
    targets[pc] = KOLM_TARGET(decodedHandler(rom, pc, fastEnd));
    KOLM_DISPATCH();
}

L_SLOW:
slow : {
    // The instruction at pc, already counted, with every check and message
    // of a single step. After one that may have changed the flags or the ISR
    // level, or that started or stopped a timer or a delay, the batch ends
    // so that the host looks at timers, sleep, HALT and SEGV first.
    c.EIP = uint32_t(pc);
    const uint32_t flags = KOLM_VM.flags;
    const uint32_t level = c.ISR;
    const uint8_t *opcode = kolm_rom_get(c.EIP, 1);
    const bool hardware = opcode && *opcode >= OP_dly && *opcode <= OP_wak;
    kolm_vm_next();
    if (hardware || KOLM_VM.flags != flags || c.ISR != level)
        return executed;
    pc = c.EIP;
    KOLM_LOAD_IMAGE();
    if (executed >= budget)
        goto done;
    KOLM_FETCH();
}

#if !KOLM_VM_COMPUTED_GOTO
dispatch:
    switch (dispatched) {
#define KOLM_BATCH_CASE(name)                                                                                       \
    case H_##name:                                                                                                  \
        goto L_##name;
        KOLM_BATCH_HANDLERS(KOLM_BATCH_CASE)
#undef KOLM_BATCH_CASE
    }
    goto slow;
#endif

done:
    c.EIP = uint32_t(pc);
    return executed;

#undef KOLM_PUSH
#undef KOLM_WRITE
#undef KOLM_READ
#undef KOLM_JUMP
#undef KOLM_NEXT
#undef KOLM_STEP
#undef KOLM_FETCH
#undef KOLM_IMMEDIATE
#undef KOLM_OPERAND
#undef KOLM_DISPATCH
#undef KOLM_TARGET
#undef KOLM_LOAD_IMAGE
}

uint32_t asm_debugger_run(uint32_t budget)
{
    kolm_hal_check_timer();
    if (KOLM_VM.ctx.ISR == 0 && (KOLM_VM.flags & KOLM_FLAG_SUSP))
        return 0;
    return kolm_vm_run_batch(budget);
}

#ifndef KOLM_OPCODES_H
#define KOLM_OPCODES_H

// The Kolm instruction set: one opcode byte followed by fixed operands, with
// no padding, multi-byte operands little-endian. This table is the one list
// of instructions that the code generator, the virtual machine and the
// disassembler all read.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kolm_isa {

// Operand layout after the opcode byte: R a register byte, D a decimal byte
// (slot number or count), I a u32 immediate. Table is the jump table of
// "tbl": a count byte N followed by N immediates.
enum class Operands : uint8_t { None, R, RR, RI, I, II, ID, D, DI, DR, RD, Table };

// X(opcode, mnemonic, operands), in the order in which the disassembler's
// mnemonic table lists them.
#define KOLM_OPCODE_TABLE(X) \
    X(0xE0, cpy,  RR)        \
    X(0xE1, sto,  RI)        \
    X(0xE2, call, ID)        \
    X(0xE3, jmp,  II)        \
    X(0xE4, ret,  None)      \
    X(0xE5, spvi, I)         \
    X(0xE6, spvr, R)         \
    X(0xE7, srw,  D)         \
    X(0xE8, ssvi, DI)        \
    X(0xE9, ssvr, DR)        \
    X(0xEA, sad,  RD)        \
    X(0xEB, stos, RD)        \
    X(0xEC, rrui, RI)        \
    X(0xED, rrur, RR)        \
    X(0xEE, rwui, RI)        \
    X(0xEF, rwur, RR)        \
    X(0xF0, rwup, RI)        \
    X(0xF1, irqd, None)      \
    X(0xF2, irqe, None)      \
    X(0xFD, tbl,  Table)     \
    X(0xFE, halt, None)      \
    X(0xFF, nop,  None)      \
    X(0x01, add,  RR)        \
    X(0x11, sum,  RR)        \
    X(0x02, sub,  RR)        \
    X(0x12, diff, RR)        \
    X(0x03, mul,  RR)        \
    X(0x13, prod, RR)        \
    X(0x04, div,  RR)        \
    X(0x14, frac, RR)        \
    X(0x05, shl,  RR)        \
    X(0x15, bwl,  RR)        \
    X(0x06, shr,  RR)        \
    X(0x16, bwr,  RR)        \
    X(0x07, bor,  RR)        \
    X(0x17, cat,  RR)        \
    X(0x08, and,  RR)        \
    X(0x18, mask, RR)        \
    X(0x09, flip, RR)        \
    X(0x19, xor,  RR)        \
    X(0x0A, rem,  RR)        \
    X(0x1A, mod,  RR)        \
    X(0x21, addv, RI)        \
    X(0x22, subv, RI)        \
    X(0x23, mulv, RI)        \
    X(0x24, divv, RI)        \
    X(0x25, shlv, RI)        \
    X(0x26, shrv, RI)        \
    X(0x27, borv, RI)        \
    X(0x28, andv, RI)        \
    X(0x29, xorv, RI)        \
    X(0x2A, modv, RI)        \
    X(0x0B, cmp,  RR)        \
    X(0x0C, lor,  RR)        \
    X(0x0D, land, RR)        \
    X(0x0E, less, RR)        \
    X(0x0F, leq,  RR)        \
    X(0x1F, not,  R)         \
    X(0x2F, bnt,  R)         \
    X(0x30, mcp,  None)      \
    X(0x32, mes,  None)      \
    X(0x33, scf,  None)      \
    X(0x34, spf,  None)      \
    X(0x35, min,  None)      \
    X(0x31, mcm,  None)      \
    X(0x36, vin,  None)      \
    X(0x50, dly,  None)      \
    X(0x51, slp,  None)      \
    X(0x52, tim,  None)      \
    X(0x53, tis,  None)      \
    X(0x54, wak,  None)

// Opcode constants: OP_cpy, OP_sto, ...
enum Opcode : uint8_t {
#define KOLM_OPCODE_ENUM(code, name, operands) OP_##name = code,
    KOLM_OPCODE_TABLE(KOLM_OPCODE_ENUM)
#undef KOLM_OPCODE_ENUM
};

struct OpcodeInfo {
    uint8_t opcode;
    const char *mnemonic; // null for a byte that names no instruction
    Operands operands;
};

// The named instructions in table order.
inline constexpr OpcodeInfo kOpcodeList[] = {
#define KOLM_OPCODE_ROW(code, name, operands) {code, #name, Operands::operands},
    KOLM_OPCODE_TABLE(KOLM_OPCODE_ROW)
#undef KOLM_OPCODE_ROW
};
inline constexpr size_t kOpcodeCount = sizeof kOpcodeList / sizeof kOpcodeList[0];

// Machine registers as numbered by register operands.
enum Register : uint8_t { REG_EAX = 0, REG_EBX, REG_ECX, REG_EDX, REG_EIP, REG_EBP, REG_ESP };
inline constexpr size_t kRegisterCount = 7;
inline constexpr const char *kRegisterNames[kRegisterCount] = {
    "%EAX", "%EBX", "%ECX", "%EDX", "%EIP", "%EBP", "%ESP",
};

// Every byte value to its row. Bytes that name no instruction have a null
// mnemonic; 0x00 and 0x10 still carry two register operands (the slots of
// the math and result-to-EAX groups), which is how a listing decodes them.
inline constexpr std::array<OpcodeInfo, 256> kOpcodeByByte = [] {
    std::array<OpcodeInfo, 256> table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = {uint8_t(i), nullptr, Operands::None};
    table[0x00].operands = Operands::RR;
    table[0x10].operands = Operands::RR;
    for (const OpcodeInfo &row : kOpcodeList)
        table[row.opcode] = row;
    return table;
}();

constexpr const OpcodeInfo &opcodeInfo(uint8_t opcode)
{
    return kOpcodeByByte[opcode];
}

// Number of operand bytes of a fixed layout (Table is variable: 0 here).
constexpr size_t operandBytes(Operands operands)
{
    switch (operands) {
    case Operands::None: return 0;
    case Operands::R: return 1;
    case Operands::D: return 1;
    case Operands::RR: return 2;
    case Operands::RD: return 2;
    case Operands::DR: return 2;
    case Operands::I: return 4;
    case Operands::RI: return 5;
    case Operands::ID: return 5;
    case Operands::DI: return 5;
    case Operands::II: return 8;
    case Operands::Table: return 0;
    }
    return 0;
}

// Whole length of an instruction with a fixed layout.
constexpr size_t instructionLength(uint8_t opcode)
{
    return 1 + operandBytes(opcodeInfo(opcode).operands);
}

// The math and compare groups share one numbering: for opcodes 0x01 to 0x2A
// the operation is (opcode - 1) & 0x0F, bit 0x10 of (opcode - 1) sends the
// result to EAX and bit 0x20 takes an immediate instead of register X.
enum MathOp : uint8_t { MATH_ADD, MATH_SUB, MATH_MUL, MATH_DIV, MATH_SHL, MATH_SHR,
                        MATH_BOR, MATH_AND, MATH_XOR, MATH_MOD };
inline constexpr uint8_t kMathToEax = 0x10;
inline constexpr uint8_t kMathImmediate = 0x20;

} // namespace kolm_isa

#endif

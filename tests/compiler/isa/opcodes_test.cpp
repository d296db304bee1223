#include "kolm_opcodes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace kolm_isa;

namespace {

TEST(OpcodeTable, SeventyOneDistinctNamedRows)
{
    std::set<int> codes;
    std::set<std::string> names;
    for (const OpcodeInfo &row : kOpcodeList) {
        codes.insert(row.opcode);
        names.insert(row.mnemonic);
    }
    EXPECT_EQ(kOpcodeCount, 71u);
    EXPECT_EQ(codes.size(), kOpcodeCount);
    EXPECT_EQ(names.size(), kOpcodeCount);
}

struct LengthCase {
    uint8_t opcode;
    const char *mnemonic;
    size_t length;
};

class OpcodeLength : public ::testing::TestWithParam<LengthCase> {};

TEST_P(OpcodeLength, MnemonicAndLength)
{
    const LengthCase &c = GetParam();
    const OpcodeInfo &info = opcodeInfo(c.opcode);
    if (c.mnemonic)
        EXPECT_STREQ(info.mnemonic, c.mnemonic);
    else
        EXPECT_EQ(info.mnemonic, nullptr);
    EXPECT_EQ(instructionLength(c.opcode), c.length);
}

INSTANTIATE_TEST_SUITE_P(Table, OpcodeLength, ::testing::Values(
    LengthCase{0xE0, "cpy", 3}, LengthCase{0xE1, "sto", 6}, LengthCase{0xE2, "call", 6},
    LengthCase{0xE3, "jmp", 9}, LengthCase{0xE4, "ret", 1}, LengthCase{0xE5, "spvi", 5},
    LengthCase{0xE6, "spvr", 2}, LengthCase{0xE7, "srw", 2}, LengthCase{0xE8, "ssvi", 6},
    LengthCase{0xE9, "ssvr", 3}, LengthCase{0xEA, "sad", 3}, LengthCase{0xEB, "stos", 3},
    LengthCase{0xEC, "rrui", 6}, LengthCase{0xED, "rrur", 3}, LengthCase{0xEE, "rwui", 6},
    LengthCase{0xEF, "rwur", 3}, LengthCase{0xF0, "rwup", 6}, LengthCase{0xFE, "halt", 1},
    LengthCase{0x01, "add", 3}, LengthCase{0x1A, "mod", 3}, LengthCase{0x2A, "modv", 6},
    LengthCase{0x0F, "leq", 3}, LengthCase{0x1F, "not", 2}, LengthCase{0x2F, "bnt", 2},
    LengthCase{0x31, "mcm", 1}, LengthCase{0x54, "wak", 1},
    LengthCase{0x00, nullptr, 3}, LengthCase{0x10, nullptr, 3}, LengthCase{0x20, nullptr, 1},
    LengthCase{0x1B, nullptr, 1}, LengthCase{0xF3, nullptr, 1}));

TEST(OpcodeTable, MathGroupsShareTheOperationNumbering)
{
    EXPECT_EQ((OP_add - 1) & 0x0F, MATH_ADD);
    EXPECT_EQ((OP_xor - 1) & 0x0F, MATH_XOR);
    EXPECT_EQ((OP_modv - 1) & 0x0F, MATH_MOD);
    EXPECT_EQ((OP_sum - 1) & kMathToEax, kMathToEax);
    EXPECT_EQ((OP_subv - 1) & kMathImmediate, kMathImmediate);
}

} // namespace

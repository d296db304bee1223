// Expressions compiled through the syntax tree and run on the virtual
// machine, at both optimisation levels: the value that main's last
// expression leaves is the machine's exit code.

#include "expression_harness.h"

namespace {

struct RunCase {
    const char *name;
    const char *source;
    uint32_t expected;
};

class ExpressionRun : public ::testing::TestWithParam<std::tuple<RunCase, int>>
{
};

TEST_P(ExpressionRun, LeavesTheValue)
{
    const RunCase &c = std::get<0>(GetParam());
    ExpressionHarness harness(std::get<1>(GetParam()), true);
    ASSERT_TRUE(harness.build(c.source)) << harness.messages();
    EXPECT_EQ(harness.run(), c.expected) << harness.listing();
}

const RunCase kRuns[] = {
    {"Arithmetic", "var main() { var a = 6, b = 7; a * b + 100 / (b - 3) % 7; }", 46},
    {"WrapAround", "var main() { var a = 0; a - 1; }", 0xFFFFFFFF},
    {"Shifts", "var main() { var a = 1, b = 33; (a << b) + (0x80000000 >> 31); }", 3},
    {"Bitwise", "var main() { var a = 12, b = 10; (a & b) | ((a ^ b) << 8) | (~a & 0xF0000000); }", 0xF0000608},
    {"Comparisons",
     "var main() { var a = 3, b = 2; (a > b) + ((a >= 3) << 1) + ((b < a) << 2) + ((b <= 1) << 3) + ((a == 3) << 4)"
     " + ((a != 3) << 5) + ((a || 0) << 6) + ((a && 0) << 7); }",
     0x57},
    {"UnsignedCompare", "var main() { var a = 0xFFFFFFFF; a > 1; }", 1},
    {"NotAndComplement", "var main() { var a = 5; !a + !!a * 2 + (~0 == 0xFFFFFFFF) * 4 + +a * 8; }", 46},
    {"Ternary", "var main() { var a = 2; (a > 1 ? 10 : 20) + (a > 5 ? 1 : 2); }", 12},
    {"NestedTernary", "var main() { var a = 3; a == 1 ? 10 : a == 2 ? 20 : a == 3 ? 30 : 40; }", 30},
    {"AssignmentsLeaveTheNewValue", "var main() { var a = 5, b = 0; b = a += 3; a * 100 + b; }", 808},
    {"CompoundAssignments",
     "var main() { var a = 100; a -= 10; a *= 3; a /= 2; a %= 100; a <<= 4; a >>= 2; a |= 1; a &= 0xFF; a ^= 3;"
     " a; }",
     142},
    {"PrefixAndPostfix", "var main() { var a = 5, b, c, d, e; b = a++; c = ++a; d = a--; e = --a; "
                         "a * 10000 + b * 1000 + c * 100 + d * 10 + e; }",
     55775},
    {"Globals", "var g = 40, h = 2;\nvar main() { g = g + h; g; }", 42},
    {"CommaKeepsTheLast", "var main() { var a = 1; (a = 4, a + 1); }", 5},
    {"AddressAndDereference", "var g = 7;\nvar main() { var p; p = &g; *p = *p + 1; *p += 2; g; }", 10},
    {"PointerIndexIsAByteOffset",
     "var g = 0x11223344, h = 0x55667788;\nvar main() { var p; p = &g; p[4] = p[4] + 1; (h == 0x55667789) + (&p[4] == p + 4) * 2; }",
     3},
    {"PostfixOnAnElementComputesItsAddressOnce",
     "var g = 10, h = 20;\nvar main() { var p, i = 0; p = &g; p[i++ * 4]++; p[i * 4]; g * 100 + h + i * 1000; }",
     2120},
    {"PostfixOnAnElementYieldsTheOldValue",
     "var g = 20;\nvar main() { var p, a, b; p = &g; a = p[0]++; b = p[0]--; a * 10000 + b * 100 + g; }", 202120},
    {"StaticArrayElements", "var t = [5, 6, 7];\nvar main() { var i = 2; t[i] * 10 + t[0] + sizeof(t) * 100; }", 375},
    {"InNumbers", "var t = [5, 6, 7];\nvar main() { var x = 6; (x in t) + ((8 in t) << 1) + (((x + 1) in t) << 2); }", 5},
    {"InLiteralsComparesWholeTexts",
     "var names = [\"abc\", \"de\"];\nvar main() { (\"de\" in names) + ((\"ab\" in names) << 1) + ((\"abc\" in names) << 2); }",
     5},
    {"Sizeof", "var g;\nvar main() { sizeof(g) + sizeof \"hello\" * 10 + sizeof(var) * 100; }", 454},
    {"CharacterConstants", "var main() { '\\\\' + '\\'' * 256 + '\\\"' * 65536 + ('\\x41' << 24); }",
     0x41000000 + 34 * 65536 + 39 * 256 + 92},
    {"Defines", "#define N 10\n#define S \"xyz\"\nvar main() { N * 2 + sizeof S; }", 23},
    {"Calls", "var f(var a, var b, var c) { a * 100 + b * 10 + c; }\nvar main() { var x = 3; f(1, 2, x); }", 123},
    {"CallsKeepHeldRegisters",
     "var f(var a) { a * 2; }\nvar main() { var x = 3; x + f(x + 1) * (f(2) + x); }", 59},
    {"PeripheralRegisters", "var main() { SYS.ADDRESS = 1; SYS.ADDRESS += 2; SYS.ADDRESS++; ++SYS.ADDRESS; SYS.ADDRESS * 10 + SYS.WORD_SIZE; }", 54},
    {"Builtins", "var t = [\"ab\"];\nvar main() { memcmp(\"abc\", \"abd\", 3) + contains(t, \"ab\", 3) * 2; }", 3},
};

INSTANTIATE_TEST_SUITE_P(Programs, ExpressionRun, ::testing::Combine(::testing::ValuesIn(kRuns), ::testing::Values(0, 1)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_level" +
                                    std::to_string(std::get<1>(info.param));
                         });

} // namespace

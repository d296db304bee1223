// Constant folding at optimisation level 1, and the precompile pass through
// the test driver: defines, undefines and includes.

#include "expression_harness.h"

namespace {

struct FoldCase {
    const char *name;
    const char *source;
    uint32_t value;
};

class Folding : public ::testing::TestWithParam<FoldCase>
{
};

// A constant expression is one immediate at level 1.
TEST_P(Folding, LoadsTheValue)
{
    const FoldCase &c = GetParam();
    ExpressionHarness harness(1, true);
    ASSERT_TRUE(harness.build(c.source)) << harness.messages();
    std::ostringstream expected;
    expected << "sto r0, ";
    if (c.value < 0x10000)
        expected << c.value;
    else
        expected << "0x" << std::hex << std::uppercase << c.value;
    EXPECT_EQ(harness.listing(), expected.str());
}

#define ARRAYS "var t = [5, 6, 7];\nvar names = [\"abc\", \"de\"];\nvar e = [\"\"];\nvar g;\n"

const FoldCase kFolds[] = {
    {"Division", "var main() { 7 / 2; }", 3},
    {"WrapAround", "var main() { 0 - 1; }", 0xFFFFFFFF},
    {"ProductWraps", "var main() { 0x10000 * 0x10001; }", 0x10000},
    {"ShiftLeftByMoreThan31", "var main() { 1 << 33; }", 2},
    {"ShiftRightIsUnsigned", "var main() { 0x80000000 >> 31; }", 1},
    {"Remainder", "var main() { 17 % 5 | 8 ^ 1 & 3; }", 11},
    {"Greater", "var main() { 3 > 2; }", 1},
    {"GreaterEqual", "var main() { 3 >= 3; }", 1},
    {"Less", "var main() { 2 < 3; }", 1},
    {"UnsignedCompare", "var main() { 0xFFFFFFFF > 1; }", 1},
    {"Or", "var main() { 1 || 5; }", 1},
    {"And", "var main() { 0 && 5; }", 0},
    {"NotAndComplement", "var main() { !0 + ~0; }", 0},
    {"UnaryPlus", "var main() { +9; }", 9},
    {"TernaryTakesTheTrueBranch", "var main() { var y; 1 ? 5 : y; }", 5},
    {"NestedTernaries", "var main() { 0 ? 1 : 0 ? 2 : 3 ? 4 : 5; }", 4},
    {"Parentheses", "var main() { (4); }", 4},
    {"IntegerDefine", "#define N 0x10\nvar main() { N * 2; }", 32},
    {"CharacterDefine", "#define C '\\\\'\nvar main() { C; }", 92},
    {"SizeofArray", ARRAYS "var main() { sizeof(t); }", 3},
    {"SizeofVariable", ARRAYS "var main() { sizeof g; }", 4},
    {"SizeofLiteral", "var main() { sizeof \"hello\"; }", 5},
    {"SizeofEmptyLiteral", "var main() { sizeof \"\"; }", 0},
    {"PlatformIntegerSize", "var main() { sizeof(var); }", 4},
    {"NumberInArray", ARRAYS "var main() { 6 in t; }", 1},
    {"NumberNotInArray", ARRAYS "var main() { (3 + 5) in t; }", 0},
    {"LiteralInArray", ARRAYS "var main() { \"de\" in names; }", 1},
    {"PrefixOfAnElementIsNotInArray", ARRAYS "var main() { \"ab\" in names; }", 0},
    {"EmptyLiteralInArray", ARRAYS "var main() { \"\" in e; }", 1},
    {"ElementOfAStaticArray", ARRAYS "var main() { t[1 + 1]; }", 7},
    {"AddressOfAGlobal", "var g, h;\nvar main() { &h; }", 0x20000004},
    {"AddressOfARegister", "var main() { &SYS.RANDOM; }", 0x41100010},
    {"AddressOfARegisterDefine", "#define R SYS.RANDOM\nvar main() { &R; }", 0x41100010},
};

INSTANTIATE_TEST_SUITE_P(LevelOne, Folding, ::testing::ValuesIn(kFolds),
                         [](const auto &info) { return std::string(info.param.name); });

class NotFolded : public ::testing::TestWithParam<FoldCase>
{
};

// What is no constant keeps its code at level 1, and computes the same
// value as at level 0.
TEST_P(NotFolded, KeepsItsCode)
{
    const FoldCase &c = GetParam();
    ExpressionHarness harness(1, true);
    ASSERT_TRUE(harness.build(c.source)) << harness.messages();
    EXPECT_EQ(harness.listing().rfind("sto r0, ", 0) == 0 && harness.listing().find(';') == std::string::npos,
              false)
        << harness.listing();
    EXPECT_EQ(harness.run(), c.value);
}

const FoldCase kNotFolded[] = {
    {"AndWithAVariable", "var main() { var x = 1; 0 && x; }", 0},
    {"TernaryWithAVariableBranch", "var main() { var y = 3; 0 ? 5 : y; }", 3},
    {"TwoExpressions", "var main() { (4, 5); }", 5},
    {"AddressOfALocal", "var main() { var x; &x != 0; }", 1},
    {"AddressOfAGlobalHiddenByALocal", "var g;\nvar main() { var g; &g != 0x20000000; }", 1},
    {"DereferenceOfAConstant", "var g = 9;\nvar main() { *0x20000000; }", 9},
    {"UndefinedName", "#define N 1\n#undef N\nvar main() { var N = 4; N; }", 4},
};

INSTANTIATE_TEST_SUITE_P(LevelOne, NotFolded, ::testing::ValuesIn(kNotFolded),
                         [](const auto &info) { return std::string(info.param.name); });

// A ternary folds its condition once: nested ones fold in linear time.
TEST(Folding, DeeplyNestedTernariesFoldOnce)
{
    std::string expression = "1";
    for (int i = 0; i < 40; ++i)
        expression = "(1 ? " + expression + " : 0)";
    ExpressionHarness harness(1);
    ASSERT_TRUE(harness.build("var main() { " + expression + "; }")) << harness.messages();
    EXPECT_EQ(harness.listing(), "sto r0, 1");
}

// A constant division by zero is left to the machine, which faults.
TEST(Folding, DivisionByZeroFaultsAtRunTime)
{
    for (int level : {0, 1}) {
        ExpressionHarness harness(level);
        ASSERT_TRUE(harness.build("var main() { 6 / (2 - 2); }")) << harness.messages();
        uint32_t stop = 0;
        harness.run(&stop);
        EXPECT_EQ(stop, KOLM_STEP_SEGV) << "level " << level;
    }
}

// An index past a static array's end is read at run time at both levels,
// never folded into a value.
TEST(Folding, IndexPastTheEndIsNotFolded)
{
    for (int level : {0, 1}) {
        ExpressionHarness harness(level);
        ASSERT_TRUE(harness.build("var t = [5, 6];\nvar main() { t[2]; }")) << harness.messages();
        EXPECT_EQ(harness.listing(), "sto r0, 2; mulv r0, 4; addv r0, 0x8000001; rrur r0, r0") << level;
        EXPECT_EQ(harness.messages(), "kcc: warning: main.kos:2:14: array index 2 out of bounds\n");
    }
}

} // namespace

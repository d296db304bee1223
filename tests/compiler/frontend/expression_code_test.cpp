// The code of expressions as listings, and the diagnostics of expressions,
// calls and array elements at both optimisation levels.

#include "expression_harness.h"

namespace {

struct ListingCase {
    const char *name;
    int level;
    const char *source;
    const char *listing; // main's expression code
};

class ExpressionListing : public ::testing::TestWithParam<ListingCase>
{
};

TEST_P(ExpressionListing, WritesTheCode)
{
    const ListingCase &c = GetParam();
    ExpressionHarness harness(c.level, true);
    ASSERT_TRUE(harness.build(c.source)) << harness.messages();
    EXPECT_EQ(harness.listing(), c.listing);
}

// Locals a and b live in the frame slots 0 and 1 of main.
#define AB "var main() { var a = 3, b = 4; "

const ListingCase kListings[] = {
    {"Less", 0, AB "a < b; }", "stos r0, 0; cpy r1, r0; stos r0, 1; less r1, r0"},
    {"GreaterSwapsTheOperands", 0, AB "a > b; }", "stos r0, 0; cpy r1, r0; stos r0, 1; less r0, r1"},
    {"GreaterEqual", 0, AB "a >= b; }", "stos r0, 0; cpy r1, r0; stos r0, 1; leq r0, r1"},
    {"NotEqualNegatesTheCompare", 0, AB "a != b; }", "stos r0, 0; cpy r1, r0; stos r0, 1; cmp r1, r0; bnt r0"},
    {"LogicalOperatorsEvaluateBoth", 0, AB "a || b; a && b; }",
     "stos r0, 0; cpy r1, r0; stos r0, 1; lor r1, r0; stos r0, 0; cpy r1, r0; stos r0, 1; land r1, r0"},
    {"IntegerOnTheRight", 0, AB "a < 5; }", "stos r0, 0; sto r1, 5; less r0, r1"},
    {"IntegerOnTheLeft", 0, AB "5 < a; }", "sto r1, 5; stos r0, 0; less r1, r0"},
    {"TwoIntegers", 0, AB "5 == 6; }", "sto r1, 5; sto r0, 6; cmp r1, r0"},
    {"ConstantOperandAtLevelOne", 1, AB "a < 2 + 3; }", "stos r0, 0; sto r1, 5; less r0, r1"},
    {"BitwiseNotOfZero", 0, AB "~0; }", "sto r0, 0; not r0"},
    {"BinaryOperator", 0, AB "a - b; }", "stos r0, 0; cpy r1, r0; stos r0, 1; diff r1, r0"},
    {"LoadFoldedIntoTheRegisterAtLevelOne", 1, AB "a - b; }", "stos r1, 0; stos r0, 1; diff r1, r0"},
    {"Ternary", 0, AB "a ? 1 : 2; }",
     "stos r0, 0; jmp 58, 70; sto r0, 1; sto r4, 82; sto r0, 2; sto r4, 82"},
    {"PostfixKeepsTheOldValue", 0, AB "a++; }", "stos r0, 0; cpy r1, r0; addv r1, 1; ssvr 0, r1; subv r1, 1; cpy r0, r1"},
    {"PrefixIsAnAssignment", 0, AB "--a; }", "sto r0, 1; stos r1, 0; sub r1, r0; ssvr 0, r1; stos r0, 0"},
    {"ReadableRegister", 0, "var main() { SYS.RANDOM; }", "rrui r0, 0x41100010"},
    {"WritableRegister", 0, "var main() { PA0.TOGGLE = 1; }", "sto r0, 1; rwup r0, 0x40000004"},
    {"RegisterAddress", 0, "var main() { &PA0.MODE; }", "sto r0, 0x40000008"},
    {"DefineOfARegisterIsWrittenAndPassed", 0, "#define LED PA1.VALUE\nvar main() { LED = 1; delay(LED); }",
     "sto r0, 1; rwup r0, 0x40010000; rrui r0, 0x40010000; spvr r0; dly; srw 1"},
    {"StaticArrayElement", 0, "var t = [5, 6, 7];\nvar main() { var i = 1; t[i]; }",
     "stos r0, 0; mulv r0, 4; addv r0, 0x8000001; rrur r0, r0"},
    {"StaticArrayElementFoldedAtLevelOne", 1, "var t = [5, 6, 7];\nvar main() { t[2]; }", "sto r0, 7"},
    {"PointerElement", 0, "var main() { var p = 0x20000000, i = 1; p[i]; }",
     "stos r0, 1; cpy r1, r0; stos r0, 0; add r0, r1; rrur r0, r0"},
    {"PointerElementAddress", 0, "var main() { var p = 0x20000000, i = 1; &p[i]; }",
     "stos r0, 1; cpy r1, r0; stos r0, 0; add r0, r1"},
    {"CallArgumentsLastFirst", 0, "var f(var a, var b, var c) { a; }\nvar main() { var a = 1, b = 2; f(a, 2, b); }",
     "spvr r5; spvr r4; stos r0, 1; spvr r0; spvi 2; stos r0, 0; spvr r0; call 36, 5"},
    {"BuiltinArgumentKinds", 0, "var main() { var a = 1; memcmp(a, \"x\", 3); }",
     "spvi 3; spvi 0x8000000; stos r0, 0; spvr r0; mcm; srw 3"},
    {"StaticArrayAndDefineArguments", 0, "#define N 6\nvar t = [5, 6];\nvar main() { contains(t, N); }",
     "spvi 6; spvi 0x8000000; vin; srw 2"},
    {"LiteralInArrayPassesItsLengthWithTheZero", 0, "var t = [\"abc\"];\nvar main() { \"x\" in t; }",
     "spvi 2; spvi 0x8000009; spvi 0x8000004; min; srw 3"},
};

INSTANTIATE_TEST_SUITE_P(Code, ExpressionListing, ::testing::ValuesIn(kListings),
                         [](const auto &info) { return std::string(info.param.name); });

// A source that builds (with the warning given, if any) or fails with the
// error given first, alike at both optimisation levels.
struct DiagnosticCase {
    const char *name;
    const char *source;
    bool builds;
    const char *first; // the first diagnostic, "" for none
};

class ExpressionDiagnostic : public ::testing::TestWithParam<std::tuple<DiagnosticCase, int>>
{
};

TEST_P(ExpressionDiagnostic, ReportsAlikeAtBothLevels)
{
    const DiagnosticCase &c = std::get<0>(GetParam());
    ExpressionHarness harness(std::get<1>(GetParam()), true);
    EXPECT_EQ(harness.build(c.source), c.builds) << harness.messages();
    const std::string messages = harness.messages();
    EXPECT_EQ(messages.substr(0, messages.find('\n') + 1), c.first) << messages;
}

const DiagnosticCase kDiagnostics[] = {
    {"RightNestedSumsExhaustTheRegisterPool", "var main() { var a, b, c, d, e; a + (b + (c + (d + e))); }", false,
     "kcc: error: main.kos:1:47: too complex code - machine registers pool exhausted\n"},
    {"LeftNestedSumsNeedOneRegister", "var main() { var a, b, c, d, e; (((a + b) + c) + d) + e; }", true, ""},
    {"UnaryMinusOfAVariable", "var main() { var x = 1; -x; }", false,
     "kcc: error: main.kos:1:25: negative integers are not supported\n"},
    {"UnaryMinusOfAConstant", "var main() { var x; x = -1; }", false,
     "kcc: error: main.kos:1:25: negative integers are not supported\n"},
    {"DereferenceOfAConstantReadsMemory", "var g = 5;\nvar main() { *0x20000000; }", true, ""},
    {"DivisionByConstantZero", "var main() { var x = 6; x / 0; }", true,
     "kcc: warning: main.kos:1:25: division by zero\n"},
    {"ConstantDivisionByZeroIsNotFolded", "var main() { 6 % (3 - 3); }", true,
     "kcc: warning: main.kos:1:14: division by zero\n"},
    {"StaticIndexOutOfBounds", "var t = [1, 2, 3];\nvar main() { t[3]; }", true,
     "kcc: warning: main.kos:2:14: array index 3 out of bounds\n"},
    {"ComputedStaticIndexOutOfBounds", "var t = [1, 2, 3];\nvar main() { t[1 + 4]; }", true,
     "kcc: warning: main.kos:2:14: array index 5 out of bounds\n"},
    {"IncrementOfAConstant", "#define N 7\nvar main() { N++; }", false,
     "kcc: error: main.kos:2:14: Constant(7, 0x7) cannot be part of a postfix expression\n"},
    {"PrefixIncrementOfAConstant", "var main() { ++5; }", false,
     "kcc: error: main.kos:1:14: expression is not assignable\n"},
    {"AssignmentToAConstant", "var main() { 1 = 2; }", false,
     "kcc: error: main.kos:1:14: expression is not assignable\n"},
    {"AssignmentToASum", "var main() { var a; (a + 1) = 2; }", false,
     "kcc: error: main.kos:1:21: expression is not assignable\n"},
    {"AssignmentToAStaticArrayElement", "var t = [1];\nvar main() { t[0] = 2; }", false,
     "kcc: error: main.kos:2:14: static arrays are not modifiable\n"},
    {"IncrementOfAStaticArrayElement", "var t = [1];\nvar main() { t[0]++; }", false,
     "kcc: error: main.kos:2:14: static arrays are not modifiable\n"},
    {"UndeclaredVariable", "var main() { y = 1; }", false, "kcc: error: main.kos:1:14: implicit declaration of y\n"},
    {"ReadOfAWriteOnlyRegister", "var main() { PA0.TOGGLE + 1; }", false,
     "kcc: error: main.kos:1:14: Peripheral register PA0.TOGGLE is a data register or write-only\n"},
    {"ReadOfADataRegister", "var main() { PC.TX; }", false,
     "kcc: error: main.kos:1:14: Peripheral register PC.TX is a data register or write-only\n"},
    {"WriteOfAReadOnlyRegister", "var main() { TIME.YEAR = 1; }", false,
     "kcc: error: main.kos:1:14: Peripheral register TIME.YEAR is read-only\n"},
    {"PostfixOnAReadOnlyRegister", "var main() { TIME.YEAR++; }", false,
     "kcc: error: main.kos:1:14: Peripheral register TIME.YEAR is read-only\n"},
    {"CompoundAssignmentOnAReadOnlyRegister", "var main() { TIME.YEAR += 1; }", false,
     "kcc: error: main.kos:1:14: Peripheral register TIME.YEAR is read-only\n"},
    {"UnknownRegister", "var main() { PA0.NONE; }", false,
     "kcc: error: main.kos:1:14: unknown periphery PA0 or no register NONE inside this periphery\n"},
    {"DereferenceOfARegister", "var main() { *PA0.VALUE; }", false,
     "kcc: error: main.kos:1:14: cannot dereference a peripheral register - extra '*'?\n"},
    {"LiteralAsAStatement", "var main() { \"abc\"; }", false,
     "kcc: error: main.kos:1:14: a string literal is not allowed here\n"},
    {"LiteralInArithmetic", "var main() { var a; a = \"abc\" + 1; }", false,
     "kcc: error: main.kos:1:25: a string literal is not allowed here\n"},
    {"LiteralDefineAsAValue", "#define S \"abc\"\nvar main() { var a; a = S; }", false,
     "kcc: error: main.kos:2:25: a string literal is not allowed here\n"},
    {"LiteralInNumberArray", "var t = [1];\nvar main() { \"a\" in t; }", false,
     "kcc: error: main.kos:2:14: an array of string literals is expected here\n"},
    {"VariableInStringArray", "var t = [\"a\"];\nvar main() { var x; x in t; }", false,
     "kcc: error: main.kos:2:21: an array of integers is expected here\n"},
    {"InWithoutAnArray", "var main() { var x, y; x in y; }", false,
     "kcc: error: main.kos:1:24: static array y undeclared\n"},
    {"SizeofOfAnUndeclaredName", "var main() { sizeof(z); }", false,
     "kcc: error: main.kos:1:14: undeclared identifier Identifier(z@identifier)\n"},
    {"SizeofOfTwoNames", "var main() { var a; sizeof(a, a); }", false,
     "kcc: error: main.kos:1:21: sizeof argument must be exactly one identifier, but received 2 arguments\n"},
    {"CallOfAnUndeclaredFunction", "var main() { g(1); }", false,
     "kcc: error: main.kos:1:14: cannot call g here: implicit declaration of function g\n"},
    {"BuiltinArgumentKindsChecked", "var main() { var a; memset(\"x\", a, 1); }", false,
     "kcc: error: main.kos:1:21: none of the builtin function signatures matched for memset; \n"},
    {"NameOfAnElementMustBeAnIdentifier", "#define P 5\nvar main() { P[1]; }", false,
     "kcc: error: main.kos:2:14: identifier of type <integer> is not allowed here\n"},
    {"BuiltinNameAsAValue", "var main() { var a; a = delay; }", false,
     "kcc: error: main.kos:1:25: delay is a reserved name (internal function) and cannot be used as an identifier\n"},
    {"InvalidIntegerConstant", "var main() { 4294967296 < 1; }", false,
     "kcc: error: main.kos:1:14: Cannot convert 4294967296 to integer (stoul)\n"},
};

INSTANTIATE_TEST_SUITE_P(Messages, ExpressionDiagnostic,
                         ::testing::Combine(::testing::ValuesIn(kDiagnostics), ::testing::Values(0, 1)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_level" +
                                    std::to_string(std::get<1>(info.param));
                         });

// The swapped operands of > are the compare's, not the node's: the node
// compiles to the same code every time.
TEST(ExpressionCode, GreaterCompilesAlikeTwice)
{
    ExpressionHarness harness(0);
    ASSERT_TRUE(harness.build("var main() { var a = 1, b = 2; a > b; a > b; }")) << harness.messages();
    EXPECT_EQ(harness.listing(),
              "stos r0, 0; cpy r1, r0; stos r0, 1; less r0, r1; stos r0, 0; cpy r1, r0; stos r0, 1; less r0, r1");
    KolmIdentifier *a = new KolmIdentifier("a", nullptr), *b = new KolmIdentifier("b", nullptr);
    KolmGreaterThanExpression greater(a, b, nullptr);
    std::stringstream first, second;
    ASSERT_TRUE(harness.gen.declareFunction("f", {"a", "b"}, {11, 11}, false, &first, harness.image));
    ASSERT_TRUE(greater.compileAsm(&harness.gen, &first));
    ASSERT_TRUE(greater.compileAsm(&harness.gen, &second));
    EXPECT_EQ(greater.op, kolm::Token::CondGreat);
    EXPECT_EQ(first.str(), second.str());
}

} // namespace

#include "gen_test_support.h"
#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <gtest/gtest.h>

using namespace kolm_isa;

namespace {

constexpr int N = 11, I = 12, S = 17, A = 26;

class Calls : public ::testing::Test
{
protected:
    void SetUp() override { gen.begin(&out, false, false); }
    void define(const std::string &name, const std::vector<std::string> &params)
    {
        ASSERT_TRUE(gen.declareFunction(name, params, std::vector<int>(params.size(), N), false, &out, error)) << error;
    }
    void end()
    {
        ASSERT_TRUE(gen.endFunctionImplementation(&out, error)) << error;
    }
    std::vector<Decoded> code(uint32_t from) { return decode(out.str(), from); }

    KolmGenContext gen;
    std::stringstream out;
    std::string error;
};

TEST_F(Calls, ParameterSlotsAndDepth)
{
    define("f", {"a", "b"});
    EXPECT_EQ(gen.currentFunction()->locals.at("b"), 2);
    EXPECT_EQ(gen.currentFunction()->locals.at("a"), 3);
    EXPECT_EQ(gen.currentFunction()->localCount, 4);
    end();
    define("main", {});
    EXPECT_EQ(gen.currentFunction()->localCount, 0);
}

TEST_F(Calls, ScriptCallPushesFrameAndArgumentsLastFirst)
{
    define("f", {"a", "b"});
    end();
    define("main", {});
    const uint32_t start = pos(out);
    ASSERT_TRUE(gen.beginFunctionCall("f", &out, error));
    ASSERT_TRUE(gen.pushFunctionParameter(2, &out)); // b
    ASSERT_TRUE(gen.pushFunctionParameter(1, &out)); // a
    ASSERT_TRUE(gen.functionCall("f", {N, N}, &out, error)) << error;
    EXPECT_EQ(bytesOf(out, start), cat({{0xE6, 5, 0xE6, 4, 0xE5}, le32(2), {0xE5}, le32(1), {0xE2}, le32(36), {4}}));
    EXPECT_EQ(gen.currentFunction()->localCount, 0);
}

TEST_F(Calls, ForwardCallRecordsFixUpAndBuiltinRewinds)
{
    ASSERT_TRUE(gen.declareFunction("later", {"x"}, {N}, true, &out, error));
    EXPECT_TRUE(gen.functionForwardDeclared("later"));
    define("main", {});
    ASSERT_TRUE(gen.beginFunctionCall("later", &out, error));
    ASSERT_TRUE(gen.pushFunctionParameter(9, &out));
    const uint32_t callAt = pos(out);
    ASSERT_TRUE(gen.functionCall("later", {I}, &out, error)) << error;
    EXPECT_EQ(bytesOf(out, callAt), cat({{0xE2}, le32(0xFFFFFFFF), {3}}));

    const uint32_t builtinAt = pos(out);
    ASSERT_TRUE(gen.beginFunctionCall("delay", &out, error));
    ASSERT_TRUE(gen.pushFunctionParameter(100, &out));
    ASSERT_TRUE(gen.functionCall("delay", {N}, &out, error)) << error;
    ASSERT_TRUE(gen.beginFunctionCall("nop", &out, error));
    ASSERT_TRUE(gen.functionCall("nop", {}, &out, error)) << error;
    EXPECT_EQ(bytesOf(out, builtinAt), cat({{0xE5}, le32(100), {0x50, 0xE7, 1, 0xFF}}));
}

struct BuiltinCase {
    const char *name;
    std::vector<int> kinds;
    uint8_t opcode;
};

class BuiltinMatch : public ::testing::TestWithParam<BuiltinCase> {};

TEST_P(BuiltinMatch, SelectsOverload)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.beginFunctionCall(GetParam().name, &out, error));
    for (size_t i = 0; i < GetParam().kinds.size(); ++i)
        ASSERT_TRUE(gen.pushFunctionParameter(0, &out));
    const uint32_t at = pos(out);
    ASSERT_TRUE(gen.functionCall(GetParam().name, GetParam().kinds, &out, error)) << error;
    const size_t n = GetParam().kinds.size();
    const Bytes expected = n ? Bytes{GetParam().opcode, 0xE7, uint8_t(n)} : Bytes{GetParam().opcode};
    EXPECT_EQ(bytesOf(out, at), expected);
    EXPECT_EQ(gen.currentFunction()->localCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Overloads, BuiltinMatch,
    ::testing::Values(BuiltinCase{"memcmp", {S, S, N}, 0x31}, BuiltinCase{"memcpy", {I, S, I}, 0x30},
                      BuiltinCase{"delay", {I}, 0x50}, BuiltinCase{"contains", {A, N}, 0x36},
                      BuiltinCase{"contains", {A, S, N}, 0x35}, BuiltinCase{"sprintf", {I, S, I}, 0x34},
                      BuiltinCase{"sprintf", {N, S, S, I, N}, 0x34}, BuiltinCase{"timer", {N, I}, 0x52},
                      BuiltinCase{"resume", {}, 0x54}, BuiltinCase{"halt", {}, 0xFE},
                      BuiltinCase{"__disable_irq", {}, 0xF1}, BuiltinCase{"__enable_irq", {}, 0xF2}));

struct MismatchCase {
    const char *name;
    std::vector<int> kinds;
    const char *error;
};

class BuiltinMismatch : public ::testing::TestWithParam<MismatchCase> {};

TEST_P(BuiltinMismatch, ReportsNotes)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    const uint32_t at = pos(out);
    EXPECT_FALSE(gen.functionCall(GetParam().name, GetParam().kinds, &out, error));
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(pos(out), at);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, BuiltinMismatch,
    ::testing::Values(
        MismatchCase{"delay", {S},
                     "none of the builtin function signatures matched for delay; \nnote: candidate signature not "
                     "viable: expected 'immediate value' but argument is of type 'string literal (at 1); "},
        MismatchCase{"stoi", {N},
                     "none of the builtin function signatures matched for stoi; \nnote: candidate signature not "
                     "viable: expected 2 arguments, provided 1; "},
        MismatchCase{"contains", {A, A},
                     "none of the builtin function signatures matched for contains; \nnote: candidate signature not "
                     "viable: expected 3 arguments, provided 2; \nnote: candidate signature not viable: expected 3 "
                     "arguments, provided 2; \nnote: candidate signature not viable: expected 'immediate value' but "
                     "argument is of type 'static_array (at 2); "},
        MismatchCase{"sprintf", {S, S}, "none of the builtin function signatures matched for sprintf"},
        MismatchCase{"sprintf", {N}, "none of the builtin function signatures matched for sprintf"},
        MismatchCase{"_exti", {N},
                     "none of the special function signatures matched; \nnote: candidate signature not viable: "
                     "expected 2 arguments, provided 1; "},
        MismatchCase{"main", {}, "main cannot be called explicitly"},
        MismatchCase{"while", {}, "cannot call while - is a keyword"},
        MismatchCase{"nothing", {}, "implicit declaration of function nothing"}));

TEST_F(Calls, ScriptSignatureMessages)
{
    define("f", {"a", "b"});
    end();
    define("main", {});
    EXPECT_FALSE(gen.functionCall("f", {N}, &out, error));
    EXPECT_EQ(error, "too few arguments to function 'f'; note: expected 2 arguments, provided 1");
    EXPECT_FALSE(gen.functionCall("f", {N, N, N}, &out, error));
    EXPECT_EQ(error, "too many arguments to function 'f'; note: expected 2 arguments, provided 3");
    EXPECT_FALSE(gen.functionCall("f", {N, S}, &out, error));
    EXPECT_EQ(error, "\nnote: candidate signature not viable: expected 'immediate value' but argument is of type "
                     "'string literal (at 2)");
    EXPECT_TRUE(gen.checkSignature("f", {I, N}));
    EXPECT_FALSE(gen.checkSignature("f", {N}));
    EXPECT_TRUE(gen.checkSignature("_exti", {N, I}));
    EXPECT_FALSE(gen.checkSignature("_exti", {N, S}));
    EXPECT_FALSE(gen.checkSignature("memcpy", {N, N, N}));
}

TEST_F(Calls, CallContextErrors)
{
    EXPECT_FALSE(gen.beginFunctionCall("delay", &out, error));
    EXPECT_EQ(error, "cannot invoke a function here");
    define("main", {});
    EXPECT_FALSE(gen.beginFunctionCall("main", &out, error));
    EXPECT_EQ(error, "this function is not callable");
    EXPECT_FALSE(gen.beginFunctionCall("unknown", &out, error));
    EXPECT_EQ(error, "implicit declaration of function unknown");
    EXPECT_FALSE(gen.declareFunction("inner", {}, {}, false, &out, error));
    EXPECT_EQ(error, "a function cannot be declared here");
    EXPECT_EQ(out.str().size(), 36u);
}

TEST_F(Calls, SpecialFunctionCallBeforeItsDefinition)
{
    define("main", {});
    ASSERT_TRUE(gen.beginFunctionCall("_msg", &out, error));
    const uint32_t callAt = pos(out);
    ASSERT_TRUE(gen.functionCall("_msg", {}, &out, error)) << error;
    EXPECT_EQ(bytesOf(out, callAt), cat({{0xE2}, le32(0xFFFFFFFF), {2}}));
}

// The tree's code for f(b + g(c)): f's frame words, b into r1, then the call
// of g saves r1 around it.
void nestedCall(KolmGenContext &gen, std::stringstream &out)
{
    std::string error;
    uint8_t r = 0;
    ASSERT_TRUE(gen.beginFunctionCall("f", &out, error));
    ASSERT_TRUE(gen.pullVariable("b", &out, error));
    ASSERT_TRUE(gen.aquireRegisterAndCopy(&r, 0, &out));
    ASSERT_TRUE(gen.beginFunctionCall("g", &out, error));
    ASSERT_TRUE(gen.pullVariable("c", &out, error));
    ASSERT_TRUE(gen.pushFunctionRegParameter(0, &out, true));
    ASSERT_TRUE(gen.functionCall("g", {I}, &out, error)) << error;
    gen.write_math(OP_add, r, 0, &out);
    ASSERT_TRUE(gen.pushFunctionRegParameter(r, &out, true));
    gen.releaseRegister(r, &out);
    ASSERT_TRUE(gen.functionCall("f", {N}, &out, error)) << error;
}

// sprintf(buf, fmt, a + f(1), b): the arguments are pushed last first, so b
// is on the stack when f is called with r1 held.
void builtinWithNestedCall(KolmGenContext &gen, std::stringstream &out)
{
    std::string error;
    uint8_t r = 0;
    ASSERT_TRUE(gen.beginFunctionCall("sprintf", &out, error));
    ASSERT_TRUE(gen.pullVariable("b", &out, error));
    ASSERT_TRUE(gen.pushFunctionRegParameter(0, &out, true));
    ASSERT_TRUE(gen.pullVariable("c", &out, error));
    ASSERT_TRUE(gen.aquireRegisterAndCopy(&r, 0, &out));
    ASSERT_TRUE(gen.beginFunctionCall("f", &out, error));
    ASSERT_TRUE(gen.pushFunctionParameter(1, &out));
    ASSERT_TRUE(gen.functionCall("f", {N}, &out, error)) << error;
    gen.write_math(OP_add, r, 0, &out);
    ASSERT_TRUE(gen.pushFunctionRegParameter(r, &out, true));
    gen.releaseRegister(r, &out);
    ASSERT_TRUE(gen.pushFunctionParameter(gen.placeLiteral("\"%d\""), &out));
    ASSERT_TRUE(gen.pullVariable("b", &out, error));
    ASSERT_TRUE(gen.pushFunctionRegParameter(0, &out, true));
    ASSERT_TRUE(gen.functionCall("sprintf", {I, S, N, I}, &out, error)) << error;
}

struct SaveCase {
    const char *name;
    void (*statement)(KolmGenContext &, std::stringstream &);
    bool inMain;
    uint8_t wordsBeforeSave; // frame words, locals and pushes below the saved register
};

class SavedRegisterSlot : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SavedRegisterSlot, RestoredFromWhereItWasPushed)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    for (const char *name : {"f", "g"}) {
        ASSERT_TRUE(gen.declareFunction(name, {"x"}, {N}, false, &out, error));
        ASSERT_TRUE(gen.endFunctionImplementation(&out, error));
    }
    if (GetParam().inMain)
        ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    else
        ASSERT_TRUE(gen.declareFunction("h", {"p"}, {N}, false, &out, error));
    const uint8_t base = gen.currentFunction()->localCount;
    ASSERT_TRUE(gen.declareVariable("b", 0, &out));
    ASSERT_TRUE(gen.declareVariable("c", 0, &out));
    for (int round = 0; round < 2; ++round) {
        const uint32_t start = pos(out);
        GetParam().statement(gen, out);
        std::vector<Decoded> restores;
        for (const Decoded &d : decode(out.str(), start))
            if (d.opcode == OP_stos && d.operands[0] == REG_EBX)
                restores.push_back(d);
        ASSERT_EQ(restores.size(), 1u);
        EXPECT_EQ(restores[0].operands[1], base + GetParam().wordsBeforeSave) << "round " << round;
        EXPECT_EQ(gen.currentFunction()->localCount, base + 2) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Statements, SavedRegisterSlot,
                         ::testing::Values(SaveCase{"nested_in_main", nestedCall, true, 4},
                                           SaveCase{"nested_in_function", nestedCall, false, 4},
                                           SaveCase{"sprintf_in_main", builtinWithNestedCall, true, 3},
                                           SaveCase{"sprintf_in_function", builtinWithNestedCall, false, 3}),
                         [](const ::testing::TestParamInfo<SaveCase> &info) { return std::string(info.param.name); });

TEST_F(Calls, FunctionAddressAndExits)
{
    define("f", {});
    const uint32_t exitJump = pos(out);
    ASSERT_TRUE(gen.functionExit(&out));
    const uint32_t exit = pos(out);
    end();
    EXPECT_EQ(bytesOf(out, exitJump), cat({{0xE1, 4}, le32(exit), {0xE4}}));
    define("main", {});
    const uint32_t at = pos(out);
    ASSERT_TRUE(gen.pullFunctionAddress("f", &out));
    EXPECT_FALSE(gen.pullFunctionAddress("none", &out));
    end();
    EXPECT_EQ(bytesOf(out, at), cat({{0xE1, 0}, le32(36), {0xFE}}));
    EXPECT_FALSE(gen.functionExit(&out));
}

TEST_F(Calls, ReturnInMainAtLevelOneHalts)
{
    gen.optimizeLevel = 1;
    define("main", {});
    ASSERT_TRUE(gen.functionExit(&out));
    end();
    EXPECT_EQ(bytesOf(out, 36), (Bytes{0xFE}));
}

TEST_F(Calls, HaltKeptWhenCodeJumpsBehindIt)
{
    gen.optimizeLevel = 1;
    define("main", {});
    ASSERT_TRUE(gen.startIfElse(&out));
    ASSERT_TRUE(gen.functionExit(&out));
    gen.endIfElse(&out);
    end();
    EXPECT_EQ(bytesOf(out, 36), cat({{0xE3}, le32(45), le32(46), {0xFE, 0xFE}}));
}

TEST_F(Calls, ForwardDeclarationAfterDefinitionKeepsEntry)
{
    define("f", {});
    end();
    ASSERT_TRUE(gen.declareFunction("f", {}, {}, true, &out, error));
    EXPECT_FALSE(gen.functionForwardDeclared("f"));
    EXPECT_EQ(gen.function("f")->entry, 36u);
}

TEST_F(Calls, GotoErrorsAtEndOfBody)
{
    define("main", {});
    ASSERT_TRUE(gen.gotoLabel("nowhere", &out, error));
    EXPECT_FALSE(gen.endFunctionImplementation(&out, error));
    EXPECT_EQ(error, "label nowhereis not declared");
    EXPECT_NE(gen.currentFunction(), nullptr);
}

} // namespace

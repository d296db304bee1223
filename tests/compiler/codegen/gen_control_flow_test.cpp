#include "gen_test_support.h"
#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <gtest/gtest.h>

using namespace kolm_isa;

namespace {

Bytes jmpNext(uint32_t at, uint32_t target)
{
    return cat({{0xE3}, le32(at + 9), le32(target)});
}

Bytes go(uint32_t target)
{
    return cat({{0xE1, 4}, le32(target)});
}

const Bytes kNop{0xFF};

class ControlFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gen.begin(&out, false, false);
        ASSERT_TRUE(gen.declareFunction("f", {}, {}, false, &out, error));
    }
    void nop() { gen.write_instr(OP_nop, {}, &out); }

    KolmGenContext gen;
    std::stringstream out;
    std::string error;
};

TEST_F(ControlFlow, IfWithoutElse)
{
    ASSERT_TRUE(gen.startIfElse(&out)); // at 36
    nop();
    gen.endIfElse(&out);
    EXPECT_EQ(bytesOf(out, 36), cat({jmpNext(36, 46), kNop}));
}

TEST_F(ControlFlow, IfWithElse)
{
    ASSERT_TRUE(gen.startIfElse(&out));
    nop();                     // 45
    gen.startElseBranch(&out); // goto at 46, else at 52
    nop();
    gen.endIfElse(&out); // end 53
    EXPECT_EQ(bytesOf(out, 36), cat({jmpNext(36, 52), kNop, go(53), kNop}));
}

struct EmptyElseCase {
    int level;
    Bytes expected;
};

class EmptyElse : public ::testing::TestWithParam<EmptyElseCase> {};

TEST_P(EmptyElse, FoldAtLevelOne)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    gen.optimizeLevel = GetParam().level;
    gen.begin(&out, false, false);
    ASSERT_TRUE(gen.declareFunction("f", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.startIfElse(&out));
    gen.write_instr(OP_nop, {}, &out);
    gen.startElseBranch(&out);
    gen.endIfElse(&out);
    gen.write_instr(OP_irqd, {}, &out); // the code that follows
    EXPECT_EQ(bytesOf(out, 36, pos(out) - 36), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Levels, EmptyElse,
                         ::testing::Values(EmptyElseCase{1, cat({jmpNext(36, 46), kNop, {0xF1}})},
                                           EmptyElseCase{0, cat({jmpNext(36, 52), kNop, go(52), {0xF1}})}));

TEST_F(ControlFlow, EmptyElseWithALabelKeepsItsJump)
{
    gen.optimizeLevel = 1;
    ASSERT_TRUE(gen.startIfElse(&out));
    gen.startElseBranch(&out);
    ASSERT_TRUE(gen.declareLabel("inside", &out)); // at 51
    gen.endIfElse(&out);
    EXPECT_EQ(bytesOf(out, 36), cat({jmpNext(36, 51), go(51)}));
}

TEST_F(ControlFlow, WhileLoopWithTwoBreaksAndContinue)
{
    ASSERT_TRUE(gen.startLoop(&out)); // start 36
    gen.startLoopCondition(&out);
    nop();                       // condition, 36
    gen.endLoopCondition(&out);  // 37
    ASSERT_TRUE(gen.loopBreak(&out, error));    // 46
    ASSERT_TRUE(gen.loopContinue(&out, error)); // 52, to the start
    ASSERT_TRUE(gen.loopBreak(&out, error));    // 58
    ASSERT_TRUE(gen.loopRepeat(&out, error));   // 64
    ASSERT_TRUE(gen.endLoop(&out));             // end 70
    EXPECT_EQ(bytesOf(out, 36), cat({kNop, jmpNext(37, 70), go(70), go(36), go(70), go(36)}));
    EXPECT_TRUE(gen.currentFunction()->loops.empty());
}

TEST_F(ControlFlow, ForLoopContinueGoesToTheStep)
{
    ASSERT_TRUE(gen.startLoop(&out));           // 36
    gen.endLoopCondition(&out);                 // 36
    ASSERT_TRUE(gen.loopContinue(&out, error)); // 45, patched to the step
    ASSERT_TRUE(gen.setLoopContinue(&out));     // step at 51
    nop();
    ASSERT_TRUE(gen.loopContinue(&out, error)); // 52: target already known
    ASSERT_TRUE(gen.loopRepeat(&out, error));   // 58
    ASSERT_TRUE(gen.endLoop(&out));             // 64
    EXPECT_EQ(bytesOf(out, 36), cat({jmpNext(36, 64), go(51), kNop, go(51), go(36)}));
}

TEST_F(ControlFlow, BreakAndContinueDropLocalsOfTheLoop)
{
    ASSERT_TRUE(gen.declareVariable("outside", 0, &out)); // 36, slot 2
    ASSERT_TRUE(gen.startLoop(&out));                      // 41
    ASSERT_TRUE(gen.startBlock());
    ASSERT_TRUE(gen.declareVariable("a", 0, &out)); // 41
    ASSERT_TRUE(gen.declareVariable("b", 0, &out)); // 46
    ASSERT_TRUE(gen.loopContinue(&out, error));     // srw 2 at 51, goto at 53
    ASSERT_TRUE(gen.loopBreak(&out, error));        // srw 2 at 59, goto at 61
    EXPECT_EQ(gen.currentFunction()->localCount, 5);
    ASSERT_TRUE(gen.endBlock(&out)); // srw 2 at 67
    ASSERT_TRUE(gen.loopRepeat(&out, error));
    ASSERT_TRUE(gen.endLoop(&out)); // 75
    EXPECT_EQ(bytesOf(out, 51), cat({{0xE7, 2}, go(41), {0xE7, 2}, go(75), {0xE7, 2}, go(41)}));
    EXPECT_EQ(gen.currentFunction()->localCount, 3);
}

TEST_F(ControlFlow, BreakBindsToInnermostLoopOrSwitch)
{
    ASSERT_TRUE(gen.startLoop(&out));
    ASSERT_TRUE(gen.startSwitch(&out)); // 36, goto head
    ASSERT_TRUE(gen.startSwitchBranch(1, &out));
    const uint32_t breakInSwitch = pos(out); // 42
    ASSERT_TRUE(gen.loopBreak(&out, error));
    ASSERT_TRUE(gen.startLoop(&out)); // a loop inside the switch
    const uint32_t breakInLoop = pos(out); // 48
    ASSERT_TRUE(gen.loopBreak(&out, error));
    ASSERT_TRUE(gen.loopRepeat(&out, error));
    ASSERT_TRUE(gen.endLoop(&out)); // 60
    ASSERT_TRUE(gen.makeSwitchDefault(&out)); // goto end at 60
    ASSERT_TRUE(gen.compileSparseSwitchTable(&out, error));
    const uint32_t switchEnd = pos(out);
    ASSERT_TRUE(gen.endSwitch(&out));
    ASSERT_TRUE(gen.loopRepeat(&out, error));
    ASSERT_TRUE(gen.endLoop(&out));
    const std::string image = out.str();
    EXPECT_EQ(u32At(image, breakInSwitch + 2), switchEnd);
    EXPECT_EQ(u32At(image, breakInLoop + 2), 60u);
}

TEST_F(ControlFlow, OutOfContext)
{
    EXPECT_FALSE(gen.loopContinue(&out, error));
    EXPECT_EQ(error, "continue statement out of context");
    EXPECT_FALSE(gen.loopBreak(&out, error));
    EXPECT_EQ(error, "break statement out of context");
    EXPECT_FALSE(gen.setLoopContinue(&out));
    EXPECT_FALSE(gen.endLoop(&out));
    EXPECT_EQ(out.str().size(), 36u);
    KolmGenContext none;
    EXPECT_FALSE(none.startIfElse(&out));
    EXPECT_FALSE(none.startLoop(&out));
    EXPECT_FALSE(none.declareLabel("l", &out));
    EXPECT_FALSE(none.gotoLabel("l", &out, error));
    EXPECT_EQ(error, "cannot jump outside a block");
    EXPECT_EQ(out.str().size(), 36u);
}

TEST_F(ControlFlow, GotoBackwardAndForward)
{
    ASSERT_TRUE(gen.declareLabel("top", &out)); // 36
    nop();
    ASSERT_TRUE(gen.gotoLabel("top", &out, error)); // 37
    ASSERT_TRUE(gen.gotoLabel("down", &out, error)); // 43, forward
    nop();
    ASSERT_TRUE(gen.declareLabel("down", &out)); // 50
    EXPECT_TRUE(gen.labelDeclared("down"));
    ASSERT_TRUE(gen.endFunctionImplementation(&out, error)) << error;
    EXPECT_EQ(bytesOf(out, 36), cat({kNop, go(36), go(50), kNop, {0xE4}}));
    EXPECT_FALSE(gen.labelDeclared("down"));
}

TEST_F(ControlFlow, GotoAcrossDeclarationRefused)
{
    ASSERT_TRUE(gen.declareLabel("top", &out));
    ASSERT_TRUE(gen.declareVariable("x", 0, &out));
    const uint32_t before = pos(out);
    EXPECT_FALSE(gen.gotoLabel("top", &out, error));
    EXPECT_EQ(error, "cannot jump across variable declarations");
    EXPECT_EQ(pos(out), before);
    ASSERT_TRUE(gen.gotoLabel("later", &out, error));
    ASSERT_TRUE(gen.declareVariable("y", 0, &out));
    ASSERT_TRUE(gen.declareLabel("later", &out));
    EXPECT_FALSE(gen.endFunctionImplementation(&out, error));
    EXPECT_EQ(error, "cannot jump across variable declarations");
}

} // namespace

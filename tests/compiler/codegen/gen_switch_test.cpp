#include "gen_test_support.h"
#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <gtest/gtest.h>

using namespace kolm_isa;

namespace {

Bytes go(uint32_t target)
{
    return cat({{0xE1, 4}, le32(target)});
}

class Switch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gen.begin(&out, false, false);
        ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    }
    // One branch per value: a nop and a break. Returns the branch positions.
    std::vector<uint32_t> branches(const std::vector<uint32_t> &values)
    {
        std::vector<uint32_t> at;
        for (uint32_t v : values) {
            at.push_back(pos(out));
            EXPECT_TRUE(gen.startSwitchBranch(v, &out));
            gen.write_instr(OP_nop, {}, &out);
            EXPECT_TRUE(gen.loopBreak(&out, error));
        }
        return at;
    }

    KolmGenContext gen;
    std::stringstream out;
    std::string error;
};

TEST_F(Switch, DensePackedTable)
{
    ASSERT_TRUE(gen.startSwitch(&out)); // goto head at 36
    const std::vector<uint32_t> at = branches({1, 2, 3}); // 42, 49, 56
    ASSERT_TRUE(gen.startSwitchDefault(&out)); // 63
    gen.write_instr(OP_nop, {}, &out);
    ASSERT_TRUE(gen.endSwitchDefault(&out)); // goto end at 64
    ASSERT_TRUE(gen.compileSwitchTable(&out, error)) << error; // tbl at 70
    const uint32_t head = pos(out); // 70 + 2 + 12 = 84
    ASSERT_TRUE(gen.compilePackedSwitchHead(1, 3, &out, error)) << error;
    const uint32_t end = pos(out);
    ASSERT_TRUE(gen.endSwitch(&out));
    EXPECT_EQ(head, 84u);
    const Bytes expected = cat({go(head), {0xFF}, go(end), {0xFF}, go(end), {0xFF}, go(end), {0xFF}, go(end),
                                {0xFD, 3}, le32(42), le32(49), le32(56),
                                {0x22, 0}, le32(1),    // subtract the lowest value
                                {0xE0, 1, 0},          // t = value
                                {0xE1, 0}, le32(2),    // highest - lowest
                                {0x0F, 1, 0},          // t <= range
                                {0xE3}, le32(head + 6 + 3 + 6 + 3 + 9), le32(63),
                                {0x25, 1}, le32(2),    // t * 4
                                {0x21, 1}, le32(72),   // + table
                                {0xED, 4, 1}});        // jump through the table
    EXPECT_EQ(bytesOf(out, 36), expected);
    EXPECT_EQ(at[0], 42u);
}

TEST_F(Switch, GapsTakeTheDefaultAndLowestZeroHasNoSubtract)
{
    ASSERT_TRUE(gen.startSwitch(&out));
    const std::vector<uint32_t> at = branches({2, 0}); // value 2 at 42, value 0 at 49
    ASSERT_TRUE(gen.makeSwitchDefault(&out)); // default at 56
    const uint32_t table = pos(out);
    ASSERT_TRUE(gen.compileSwitchTable(&out, error));
    ASSERT_TRUE(gen.compilePackedSwitchHead(0, 2, &out, error));
    ASSERT_TRUE(gen.endSwitch(&out));
    EXPECT_EQ(bytesOf(out, table, 14), cat({{0xFD, 3}, le32(at[1]), le32(56), le32(at[0])}));
    EXPECT_EQ(bytesOf(out, table + 14, 3), (Bytes{0xE0, 1, 0}));
}

TEST_F(Switch, SparseCompareChain)
{
    ASSERT_TRUE(gen.startSwitch(&out));
    const std::vector<uint32_t> at = branches({100, 1});
    ASSERT_TRUE(gen.makeSwitchDefault(&out));
    const uint32_t defaultAt = at[1] + 7;
    const uint32_t head = pos(out);
    ASSERT_TRUE(gen.compileSparseSwitchTable(&out, error));
    ASSERT_TRUE(gen.endSwitch(&out));
    const Bytes expected = cat({{0xE0, 1, 0},
                                {0xE1, 0}, le32(1), {0x0B, 0, 1}, {0xE3}, le32(at[1]), le32(head + 3 + 18),
                                {0xE1, 0}, le32(100), {0x0B, 0, 1}, {0xE3}, le32(at[0]), le32(head + 3 + 36),
                                go(defaultAt)});
    EXPECT_EQ(bytesOf(out, head), expected);
    EXPECT_EQ(u32At(out, 38), head);
}

TEST_F(Switch, BreakAndDefaultEndLandAfterTheHead)
{
    ASSERT_TRUE(gen.startSwitch(&out));
    const uint32_t breakAt = pos(out) + 1;
    branches({5});
    const uint32_t defaultEnd = pos(out);
    ASSERT_TRUE(gen.makeSwitchDefault(&out));
    ASSERT_TRUE(gen.compileSparseSwitchTable(&out, error));
    const uint32_t end = pos(out);
    ASSERT_TRUE(gen.endSwitch(&out));
    EXPECT_EQ(u32At(out, breakAt + 2), end);
    EXPECT_EQ(u32At(out, defaultEnd + 2), end);
}

struct DefaultCase {
    int level;
    bool breakInDefault;
    size_t gotos; // jumps to the end written by the default branch
};

class DefaultBranch : public ::testing::TestWithParam<DefaultCase> {};

// A default branch ending with break gets no second jump at level 1.
TEST_P(DefaultBranch, ClosingJump)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    gen.optimizeLevel = GetParam().level;
    gen.begin(&out, false, false);
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.startSwitch(&out));
    ASSERT_TRUE(gen.startSwitchBranch(1, &out));
    ASSERT_TRUE(gen.loopBreak(&out, error));
    const uint32_t defaultAt = pos(out);
    ASSERT_TRUE(gen.startSwitchDefault(&out));
    if (GetParam().breakInDefault) {
        ASSERT_TRUE(gen.loopBreak(&out, error));
    }
    ASSERT_TRUE(gen.endSwitchDefault(&out));
    EXPECT_EQ(pos(out) - defaultAt, GetParam().gotos * 6);
}

INSTANTIATE_TEST_SUITE_P(Levels, DefaultBranch,
                         ::testing::Values(DefaultCase{1, true, 1}, DefaultCase{0, true, 2},
                                           // An empty default after a branch that ends with a
                                           // jump still needs its own jump to the end.
                                           DefaultCase{1, false, 1}, DefaultCase{0, false, 1}));

// default: if (x) break; -- when x is 0 the if jumps behind the break, so
// the default branch still needs its jump to the end.
TEST_F(Switch, DefaultEndingWithConditionalBreakKeepsItsJump)
{
    gen.optimizeLevel = 1;
    ASSERT_TRUE(gen.startSwitch(&out));
    ASSERT_TRUE(gen.startSwitchDefault(&out));
    ASSERT_TRUE(gen.startIfElse(&out));
    ASSERT_TRUE(gen.loopBreak(&out, error));
    gen.endIfElse(&out);
    const uint32_t before = pos(out);
    ASSERT_TRUE(gen.endSwitchDefault(&out));
    EXPECT_EQ(pos(out), before + 6);
}

TEST_F(Switch, DefaultEndingWithAStoreIntoAnotherRegisterKeepsItsJump)
{
    gen.optimizeLevel = 1;
    ASSERT_TRUE(gen.startSwitch(&out));
    ASSERT_TRUE(gen.startSwitchDefault(&out));
    gen.write_sto(1, 5, &out);
    const uint32_t before = pos(out);
    ASSERT_TRUE(gen.endSwitchDefault(&out));
    EXPECT_EQ(pos(out), before + 6);
}

TEST_F(Switch, LaterBranchForSameValueWins)
{
    ASSERT_TRUE(gen.startSwitch(&out));
    const std::vector<uint32_t> at = branches({4, 4});
    ASSERT_TRUE(gen.makeSwitchDefault(&out));
    const uint32_t table = pos(out);
    ASSERT_TRUE(gen.compileSwitchTable(&out, error));
    EXPECT_EQ(bytesOf(out, table, 6), cat({{0xFD, 1}, le32(at[1])}));
}

// A switch with only a default branch is dispatched as a dense switch over
// 0 to 0: its table has the one entry of the default branch.
TEST_F(Switch, OnlyADefaultGetsAOneEntryTable)
{
    ASSERT_TRUE(gen.startSwitch(&out));
    const uint32_t defaultAt = pos(out);
    ASSERT_TRUE(gen.makeSwitchDefault(&out));
    const uint32_t table = pos(out);
    ASSERT_TRUE(gen.compileSwitchTable(&out, error)) << error;
    ASSERT_TRUE(gen.compilePackedSwitchHead(0, 0, &out, error)) << error;
    ASSERT_TRUE(gen.endSwitch(&out));
    EXPECT_EQ(bytesOf(out, table, 6), cat({{0xFD, 1}, le32(defaultAt)}));
    EXPECT_EQ(u32At(out, table + 6 + 3 + 6 + 3 + 9 + 6 + 2), table + 2); // the head adds the table position
}

struct TableLimitCase {
    std::vector<uint32_t> values;
    const char *error; // empty: accepted
};

class TableLimit : public ::testing::TestWithParam<TableLimitCase> {};

std::vector<uint32_t> range(uint32_t from, uint32_t count)
{
    std::vector<uint32_t> values;
    for (uint32_t i = 0; i < count; ++i)
        values.push_back(from + i);
    return values;
}

TEST_P(TableLimit, CountAndRange)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    gen.begin(&out, false, false);
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    ASSERT_TRUE(gen.startSwitch(&out));
    for (uint32_t v : GetParam().values)
        ASSERT_TRUE(gen.startSwitchBranch(v, &out));
    ASSERT_TRUE(gen.makeSwitchDefault(&out));
    const uint32_t before = pos(out);
    const bool ok = gen.compileSwitchTable(&out, error);
    const std::string expected = GetParam().error;
    EXPECT_EQ(ok, expected.empty());
    EXPECT_EQ(error, expected);
    if (ok) {
        const size_t count = GetParam().values.back() - GetParam().values.front() + 1;
        EXPECT_EQ(pos(out) - before, 2 + 4 * count);
        EXPECT_EQ(uint8_t(out.str()[before + 1]), count);
    } else {
        EXPECT_EQ(pos(out), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, TableLimit,
    ::testing::Values(TableLimitCase{range(0, 255), ""}, TableLimitCase{range(10, 255), ""},
                      TableLimitCase{range(0, 256), "switch statement has too many branches"},
                      TableLimitCase{{0, 255}, "switch value range too wide for a jump table"},
                      TableLimitCase{{0xFFFFFF00u, 0xFFFFFFFFu}, "switch value range too wide for a jump table"},
                      TableLimitCase{{0, 254}, ""}));

TEST(SwitchContext, OperationsNeedAnOpenSwitch)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    EXPECT_FALSE(gen.startSwitch(&out));
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    EXPECT_FALSE(gen.startSwitchBranch(1, &out));
    EXPECT_FALSE(gen.startSwitchDefault(&out));
    EXPECT_FALSE(gen.endSwitchDefault(&out));
    EXPECT_FALSE(gen.makeSwitchDefault(&out));
    EXPECT_FALSE(gen.endSwitch(&out));
    EXPECT_FALSE(gen.compileSwitchTable(&out, error));
    EXPECT_EQ(error, "statement out of context");
    EXPECT_FALSE(gen.compilePackedSwitchHead(0, 1, &out, error));
    EXPECT_EQ(error, "not inside a switch block");
    error.clear();
    EXPECT_FALSE(gen.compileSparseSwitchTable(&out, error));
    EXPECT_EQ(error, "not inside a switch block");
    EXPECT_TRUE(out.str().empty());
}

} // namespace

#include "gen_test_support.h"
#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <gtest/gtest.h>

using namespace kolm_isa;

namespace {

TEST(Globals, AddressesAndInitialisationCode)
{
    KolmGenContext gen;
    std::stringstream out;
    ASSERT_TRUE(gen.declareVariable("a", 7, &out));
    ASSERT_TRUE(gen.declareVariable("b", 0, &out));
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(gen.globalAddress("a"), 0x20000000u);
    EXPECT_EQ(gen.globalAddress("b"), 0x20000004u);
    const std::string init = gen.initCode();
    const std::string expected = std::string("\xE1\x00\x07\x00\x00\x00\xF0\x00\x00\x00\x00\x20", 12) +
                                 std::string("\xE1\x00\x00\x00\x00\x00\xF0\x00\x04\x00\x00\x20", 12);
    EXPECT_EQ(init, expected);
}

TEST(Globals, DefaultPackageHolds256)
{
    KolmGenContext gen;
    std::stringstream out;
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(gen.declareVariable("g" + std::to_string(i), 0, &out)) << i;
    EXPECT_FALSE(gen.declareVariable("g256", 0, &out));
    EXPECT_FALSE(gen.variableDeclared("g256"));
    EXPECT_EQ(gen.globalAddress("g255"), 0x200003FCu);
}

TEST(Globals, ReadWriteAndAddress)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string message;
    gen.declareVariable("g", 0, &out);
    // Outside a function an assignment goes to the initialisation code.
    ASSERT_TRUE(gen.assignVariable("g", 1, &out));
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(gen.initCode().substr(12), std::string("\xF0\x01\x00\x00\x00\x20", 6));

    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, message));
    ASSERT_TRUE(gen.pullVariable("g", &out, message));
    ASSERT_TRUE(gen.assignVariable("g", 2, &out));
    ASSERT_TRUE(gen.variableDereference("g", &out, message));
    ASSERT_TRUE(gen.pullVariableAddress("g", false, &out, message, 3));
    EXPECT_EQ(bytesOf(out), cat({{0xEC, 0}, le32(0x20000000), {0xF0, 2}, le32(0x20000000), {0xEC, 0},
                                 le32(0x20000000), {0xED, 0, 0}, {0xE1, 3}, le32(0x20000000)}));
}

TEST(Locals, SlotsPushesAndScopes)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string message;
    ASSERT_TRUE(gen.declareFunction("f", {"p"}, {11}, false, &out, message));
    ASSERT_TRUE(gen.startBlock());
    ASSERT_TRUE(gen.declareVariable("x", 5, &out));
    ASSERT_TRUE(gen.declareVariable("y", 6, &out));
    EXPECT_EQ(gen.currentFunction()->locals.at("x"), 3);
    ASSERT_TRUE(gen.pullVariable("p", &out, message));
    ASSERT_TRUE(gen.assignVariable("y", 1, &out));
    ASSERT_TRUE(gen.pullVariableAddress("x", false, &out, message, 2));
    ASSERT_TRUE(gen.endBlock(&out));
    EXPECT_FALSE(gen.variableDeclared("x"));
    ASSERT_TRUE(gen.startBlock());
    ASSERT_TRUE(gen.declareVariable("z", 0, &out));
    EXPECT_EQ(gen.currentFunction()->locals.at("z"), 3);
    EXPECT_EQ(bytesOf(out), cat({{0xE5}, le32(5), {0xE5}, le32(6), {0xEB, 0, 2}, {0xE9, 4, 1}, {0xEA, 2, 3},
                                 {0xE7, 2}, {0xE5}, le32(0)}));
}

TEST(Locals, BlockInMainDropsItsWordsToo)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string message;
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, message));
    ASSERT_TRUE(gen.startBlock());
    ASSERT_TRUE(gen.endBlock(&out));
    EXPECT_TRUE(out.str().empty());
    ASSERT_TRUE(gen.startBlock());
    ASSERT_TRUE(gen.declareVariable("x", 1, &out));
    ASSERT_TRUE(gen.endBlock(&out));
    EXPECT_EQ(bytesOf(out, 5), (Bytes{0xE7, 1}));
    EXPECT_EQ(gen.currentFunction()->localCount, 0);
}

TEST(Locals, BlocksNeedAFunction)
{
    KolmGenContext gen;
    std::stringstream out;
    EXPECT_FALSE(gen.startBlock());
    EXPECT_FALSE(gen.endBlock(&out));
}

TEST(Variables, UndeclaredNames)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string message;
    std::string placed;
    gen.placeNumberArray("arr", {1}, placed);
    EXPECT_FALSE(gen.pullVariable("u", &out, message));
    EXPECT_EQ(message, "undeclared identifier u");
    EXPECT_FALSE(gen.variableDereference("u", &out, message));
    EXPECT_EQ(message, "cannot dereference u");
    EXPECT_FALSE(gen.pullVariableAddress("u", false, &out, message, 1));
    EXPECT_EQ(message, "implicit declaration of u");
    EXPECT_FALSE(gen.pullVariableAddress("arr", true, &out, message, 1));
    EXPECT_EQ(message, "cannot take address of a static array");
    EXPECT_FALSE(gen.variableMath("u", OP_add, 1, &out, message));
    EXPECT_EQ(message, "implicit declaration of u");
    EXPECT_FALSE(gen.assignVariable("u", 1, &out));
    EXPECT_TRUE(out.str().empty());
}

TEST(Variables, CompoundAssignments)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string message;
    gen.declareVariable("g", 0, &out);
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, message));
    gen.declareVariable("l", 0, &out);
    const uint32_t start = pos(out);
    ASSERT_TRUE(gen.variableMath("l", OP_add, 2, &out, message));
    ASSERT_TRUE(gen.variableMath("g", OP_sub, 2, &out, message));
    ASSERT_TRUE(gen.pointerMath(3, 2, OP_cpy, &out, message));
    ASSERT_TRUE(gen.pointerMath(3, 2, OP_mul, &out, message));
    ASSERT_TRUE(gen.pointerMath(0, 2, OP_mul, &out, message));
    EXPECT_EQ(bytesOf(out, start),
              cat({{0xEB, 1, 0, 0x01, 1, 2, 0xE9, 0, 1}, {0xEC, 1}, le32(0x20000000), {0x02, 1, 2, 0xF0, 1},
                   le32(0x20000000), {0xEF, 3, 2}, {0xED, 0, 3, 0x03, 0, 2, 0xEF, 3, 0},
                   {0xED, 1, 0, 0x03, 1, 2, 0xEF, 0, 1}}));
}

TEST(Registers, PoolOrderAndExhaustion)
{
    KolmGenContext gen;
    std::stringstream out;
    uint8_t a = 0, b = 0, c = 0, d = 0;
    ASSERT_TRUE(gen.aquireRegister(&a, &out));
    ASSERT_TRUE(gen.aquireRegister(&b, &out));
    ASSERT_TRUE(gen.aquireRegister(&c, &out));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gen.aquireRegister(&d, &out));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cannot aquire a register - code too complex\n");
    gen.releaseRegister(2, &out);
    gen.releaseRegister(2, &out);
    ASSERT_TRUE(gen.aquireRegister(&d, &out));
    EXPECT_EQ(d, 2);

    std::string message;
    gen.declareVariable("g", 0, &out);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gen.variableMath("g", OP_add, 1, &out, message));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(message, "too complex code - no free machine registers");
}

struct CopyCase {
    const char *name;
    void (*write)(KolmGenContext &, std::ostream *);
    int level;
    Bytes expected;
};

class AquireCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(AquireCopy, RetargetsOrCopies)
{
    KolmGenContext gen;
    gen.optimizeLevel = GetParam().level;
    std::stringstream out;
    uint8_t busy = 0, reg = 0;
    ASSERT_TRUE(gen.aquireRegister(&busy, &out)); // r1 held, so the copy gets r2
    GetParam().write(gen, &out);
    ASSERT_TRUE(gen.aquireRegisterAndCopy(&reg, 1, &out));
    EXPECT_EQ(reg, 2);
    EXPECT_EQ(bytesOf(out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Instructions, AquireCopy,
    ::testing::Values(
        CopyCase{"sto", [](KolmGenContext &g, std::ostream *o) { g.write_sto(1, 7, o); }, 1,
                 cat({{0xE1, 2}, le32(7)})},
        CopyCase{"sto_level0", [](KolmGenContext &g, std::ostream *o) { g.write_sto(1, 7, o); }, 0,
                 cat({{0xE1, 1}, le32(7), {0xE0, 2, 1}})},
        CopyCase{"rrui", [](KolmGenContext &g, std::ostream *o) { g.write_mem_read_u_i(1, 9, o); }, 1,
                 cat({{0xEC, 2}, le32(9)})},
        CopyCase{"stos", [](KolmGenContext &g, std::ostream *o) { g.write_pull_stack_r(1, 3, o); }, 1,
                 {0xEB, 2, 3}},
        CopyCase{"cpy", [](KolmGenContext &g, std::ostream *o) { g.write_cpy(1, 0, o); }, 1, {0xE0, 2, 0}},
        CopyCase{"rrur", [](KolmGenContext &g, std::ostream *o) { g.write_mem_read_u_r(1, 0, o); }, 1,
                 {0xED, 2, 0}},
        // A builtin without arguments (nop, halt, resume, ...) as the left operand.
        CopyCase{"no_operands", [](KolmGenContext &g, std::ostream *o) { g.write_instr(OP_nop, {}, o); }, 1,
                 {0xFF, 0xE0, 2, 1}},
        CopyCase{"other_register", [](KolmGenContext &g, std::ostream *o) { g.write_sto(3, 7, o); }, 1,
                 cat({{0xE1, 3}, le32(7), {0xE0, 2, 1}})},
        // Stores read their first register: never retargeted.
        CopyCase{"rwup", [](KolmGenContext &g, std::ostream *o) { g.write_mem_write_u_p(1, 9, o); }, 1,
                 cat({{0xF0, 1}, le32(9), {0xE0, 2, 1}})},
        CopyCase{"rwur", [](KolmGenContext &g, std::ostream *o) { g.write_mem_write_u_r(1, 3, o); }, 1,
                 {0xEF, 1, 3, 0xE0, 2, 1}},
        CopyCase{"rwui", [](KolmGenContext &g, std::ostream *o) { g.write_instr(OP_rwui, {{1, 1, 1, nullptr}, {3, 4, 9, nullptr}}, o); }, 1,
                 cat({{0xEE, 1}, le32(9), {0xE0, 2, 1}})}),
    [](const ::testing::TestParamInfo<CopyCase> &info) { return std::string(info.param.name); });

TEST(Periphery, DefaultPackageHasNone)
{
    KolmGenContext gen;
    EXPECT_EQ(gen.peripheryAddress("PA0"), 0u);
    EXPECT_EQ(gen.peripheryAddress("PA0", "VALUE"), 0u);
    EXPECT_EQ(gen.peripheryAccess("PA0", "VALUE"), 0u);
}

} // namespace

#include "gen_test_support.h"
#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kolm_isa;

namespace {

struct EmitCase {
    const char *name;
    std::function<void(KolmGenContext &, std::ostream *)> emit;
    Bytes expected;
};

class Emitter : public ::testing::TestWithParam<EmitCase> {};

TEST_P(Emitter, WritesExactBytes)
{
    KolmGenContext gen;
    std::stringstream out;
    GetParam().emit(gen, &out);
    EXPECT_EQ(bytesOf(out), GetParam().expected);
}

// jmp_next and jmp_out take their fall-through target from their own position.
void at100(std::ostream *out)
{
    *out << std::string(100, '\0');
}

INSTANTIATE_TEST_SUITE_P(
    AllEmitters, Emitter,
    ::testing::Values(
        EmitCase{"cpy", [](KolmGenContext &g, std::ostream *o) { g.write_cpy(1, 2, o); }, {0xE0, 1, 2}},
        EmitCase{"sto", [](KolmGenContext &g, std::ostream *o) { g.write_sto(3, 0xA1B2C3D4, o); },
                 {0xE1, 3, 0xD4, 0xC3, 0xB2, 0xA1}},
        EmitCase{"goto", [](KolmGenContext &g, std::ostream *o) { g.write_goto(0x1234, o); },
                 {0xE1, 0x04, 0x34, 0x12, 0x00, 0x00}},
        EmitCase{"call", [](KolmGenContext &g, std::ostream *o) { g.write_call(0x100, 5, o); },
                 {0xE2, 0x00, 0x01, 0, 0, 5}},
        EmitCase{"jmp", [](KolmGenContext &g, std::ostream *o) { g.write_jmp(7, 9, o); },
                 {0xE3, 7, 0, 0, 0, 9, 0, 0, 0}},
        EmitCase{"jmp_next",
                 [](KolmGenContext &g, std::ostream *o) {
                     at100(o);
                     g.write_jmp_next(0x200, o);
                 },
                 cat({Bytes(100, 0), {0xE3}, le32(109), le32(0x200)})},
        EmitCase{"jmp_out",
                 [](KolmGenContext &g, std::ostream *o) {
                     at100(o);
                     g.write_jmp_out(0x200, o);
                 },
                 cat({Bytes(100, 0), {0xE3}, le32(0x200), le32(109)})},
        EmitCase{"push value", [](KolmGenContext &g, std::ostream *o) { g.write_push_stack_i(7, o); },
                 {0xE5, 7, 0, 0, 0}},
        EmitCase{"push register", [](KolmGenContext &g, std::ostream *o) { g.write_push_stack_r(2, o); }, {0xE6, 2}},
        EmitCase{"rewind", [](KolmGenContext &g, std::ostream *o) { g.write_stack_rewind(3, o); }, {0xE7, 3}},
        EmitCase{"set slot", [](KolmGenContext &g, std::ostream *o) { g.write_set_stack_r(4, 1, o); }, {0xE9, 4, 1}},
        EmitCase{"pull slot", [](KolmGenContext &g, std::ostream *o) { g.write_pull_stack_r(1, 4, o); },
                 {0xEB, 1, 4}},
        EmitCase{"read immediate address",
                 [](KolmGenContext &g, std::ostream *o) { g.write_mem_read_u_i(2, 0x20000004, o); },
                 cat({{0xEC, 2}, le32(0x20000004)})},
        EmitCase{"read register address", [](KolmGenContext &g, std::ostream *o) { g.write_mem_read_u_r(0, 3, o); },
                 {0xED, 0, 3}},
        EmitCase{"write register address",
                 [](KolmGenContext &g, std::ostream *o) { g.write_mem_write_u_r(3, 1, o); }, {0xEF, 3, 1}},
        EmitCase{"write immediate address",
                 [](KolmGenContext &g, std::ostream *o) { g.write_mem_write_u_p(1, 0x40000000, o); },
                 cat({{0xF0, 1}, le32(0x40000000)})},
        EmitCase{"not", [](KolmGenContext &g, std::ostream *o) { g.write_not(OP_bnt, 2, o); }, {0x2F, 2}},
        EmitCase{"math value", [](KolmGenContext &g, std::ostream *o) { g.write_math_val(OP_subv, 0, 10, o); },
                 cat({{0x22, 0}, le32(10)})},
        EmitCase{"compare", [](KolmGenContext &g, std::ostream *o) { g.write_cmp(OP_leq, 1, 0, o); }, {0x0F, 1, 0}},
        EmitCase{"math", [](KolmGenContext &g, std::ostream *o) { g.write_math(OP_add, 2, 3, o); }, {0x01, 2, 3}},
        EmitCase{"raw and 16-bit operands",
                 [](KolmGenContext &g, std::ostream *o) {
                     static const char raw[] = {'a', 'b'};
                     g.write_instr(0xFF, {{0, 2, 0, raw}, {2, 2, 0x1234, nullptr}}, o);
                 },
                 {0xFF, 'a', 'b', 0x34, 0x12}}),
    [](const ::testing::TestParamInfo<EmitCase> &info) {
        std::string name = info.param.name;
        for (char &c : name)
            if (!isalnum(uint8_t(c)))
                c = '_';
        return name;
    });

// sto r2, 7 followed by pushing r2 as an argument, inside a function body.
struct FoldCase {
    int level;
    bool allowFold;
    Bytes expected;
};

class PushFold : public ::testing::TestWithParam<FoldCase> {};

TEST_P(PushFold, StoThenPushRegister)
{
    KolmGenContext gen;
    gen.optimizeLevel = GetParam().level;
    std::stringstream out;
    std::string error;
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    gen.write_sto(2, 7, &out);
    ASSERT_TRUE(gen.pushFunctionRegParameter(2, &out, GetParam().allowFold));
    gen.write_instr(OP_nop, {}, &out);
    EXPECT_EQ(bytesOf(out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Levels, PushFold,
                         ::testing::Values(FoldCase{1, true, {0xE5, 7, 0, 0, 0, 0xFF}},
                                           FoldCase{0, true, {0xE1, 2, 7, 0, 0, 0, 0xE6, 2, 0xFF}},
                                           FoldCase{1, false, {0xE1, 2, 7, 0, 0, 0, 0xE6, 2, 0xFF}}));

TEST(PushFoldDetail, OtherRegisterIsNotFolded)
{
    KolmGenContext gen;
    gen.optimizeLevel = 1;
    std::stringstream out;
    std::string error;
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    gen.write_sto(1, 7, &out);
    ASSERT_TRUE(gen.pushFunctionRegParameter(2, &out, true));
    EXPECT_EQ(bytesOf(out), (Bytes{0xE1, 1, 7, 0, 0, 0, 0xE6, 2}));
}

TEST(PushFoldDetail, NoFoldOverAJumpTarget)
{
    // A label between the sto and the push: code jumping there expects the
    // push of the register, so the sto must stay.
    KolmGenContext gen;
    gen.optimizeLevel = 1;
    std::stringstream out;
    std::string error;
    ASSERT_TRUE(gen.declareFunction("main", {}, {}, false, &out, error));
    gen.write_sto(2, 7, &out);
    ASSERT_TRUE(gen.declareLabel("here", &out));
    ASSERT_TRUE(gen.pushFunctionRegParameter(2, &out, true));
    EXPECT_EQ(bytesOf(out), (Bytes{0xE1, 2, 7, 0, 0, 0, 0xE6, 2}));
}

TEST(PushOutsideFunction, WritesNothing)
{
    KolmGenContext gen;
    std::stringstream out;
    EXPECT_FALSE(gen.pushFunctionParameter(1, &out));
    EXPECT_FALSE(gen.pushFunctionRegParameter(1, &out, true));
    EXPECT_TRUE(out.str().empty());
}

} // namespace

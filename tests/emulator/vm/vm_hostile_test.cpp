// Hostile images: operands that reach outside the machine record or the
// stack, division by zero, library calls on a broken stack. Each must end
// in a clean fault (and no sanitizer report in the sanitizer build).

#include "vm_fixture.h"

#include <functional>

using namespace kolm_isa;

namespace {

constexpr uint32_t EAX = REG_EAX, EBX = REG_EBX, EBP = REG_EBP, ESP = REG_ESP;

struct HostileCase {
    const char *name;
    std::function<void(ImageBuilder &)> emit;
    const char *message;
};

const HostileCase kHostileCases[] = {
    {"register_211", [](ImageBuilder &i) { i.ins(OP_sto, {211, 1}); }, "invalid register 211"},
    {"register_255_source", [](ImageBuilder &i) { i.ins(OP_cpy, {EBX, 255}); }, "invalid register 255"},
    {"register_in_math", [](ImageBuilder &i) { i.ins(OP_add, {EBX, 230}); }, "invalid register 230"},
    {"register_in_immediate_math", [](ImageBuilder &i) { i.ins(OP_addv, {240, 1}); }, "invalid register 240"},
    {"register_in_compare", [](ImageBuilder &i) { i.ins(OP_less, {212, EBX}); }, "invalid register 212"},
    {"register_in_not", [](ImageBuilder &i) { i.ins(OP_not, {250}); }, "invalid register 250"},
    {"register_in_push", [](ImageBuilder &i) { i.ins(OP_spvr, {220}); }, "invalid register 220"},
    {"register_in_load", [](ImageBuilder &i) { i.ins(OP_rrur, {EBX, 222}); }, "invalid register 222"},
    {"register_in_store", [](ImageBuilder &i) { i.ins(OP_rwup, {223, 0x20000000}); }, "invalid register 223"},
    {"frame_slot_store", [](ImageBuilder &i) { i.ins(OP_ssvi, {192, 1}); }, "stack index 192 out of range"},
    {"frame_slot_read",
     [](ImageBuilder &i) { i.ins(OP_sto, {EBP, 150}).ins(OP_stos, {EBX, 60}); },
     "stack index 210 out of range"},
    {"frame_slot_register_store",
     [](ImageBuilder &i) { i.ins(OP_sto, {EBP, 0xFFFFFF00}).ins(OP_ssvr, {10, EAX}); },
     "out of range"},
    {"call_frame_larger_than_stack",
     [](ImageBuilder &i) { i.ins(OP_spvi, {1}).ins(OP_call, {36, 2}); },
     "call frame of 2 words on a stack of 1"},
    {"ret_with_corrupt_frame", [](ImageBuilder &i) { i.ins(OP_sto, {EBP, 500}).ins(OP_ret); },
     "stack index 500 out of range"},
    {"ret_from_interrupt_without_context",
     [](ImageBuilder &i) { i.ins(OP_spvi, {0}).ins(OP_spvi, {0xFFFFFFFF}).ins(OP_ret); },
     "stack corruption"},
    {"div_by_zero", [](ImageBuilder &i) { i.ins(OP_div, {EBX, EAX}); }, "division by zero"},
    {"frac_by_zero", [](ImageBuilder &i) { i.ins(OP_frac, {EBX, EAX}); }, "division by zero"},
    {"divv_by_zero", [](ImageBuilder &i) { i.ins(OP_divv, {EBX, 0}); }, "division by zero"},
    {"rem_by_zero", [](ImageBuilder &i) { i.ins(OP_rem, {EBX, EAX}); }, "division by zero"},
    {"mod_by_zero", [](ImageBuilder &i) { i.ins(OP_mod, {EBX, EAX}); }, "division by zero"},
    {"modv_by_zero", [](ImageBuilder &i) { i.ins(OP_modv, {EBX, 0}); }, "division by zero"},
    {"store_to_image", [](ImageBuilder &i) { i.ins(OP_rwui, {EAX, 7}); }, "tried writing .text or .data section at 00000000"},
    {"store_past_ram", [](ImageBuilder &i) { i.ins(OP_rwup, {EBX, 0x200002FD}); }, "tried writing .text or .data section at 200002fd"},
    {"library_on_empty_stack", [](ImageBuilder &i) { i.ins(OP_mes); }, "out of range"},
    {"library_on_huge_stack", [](ImageBuilder &i) { i.ins(OP_sto, {ESP, 1000}).ins(OP_vin); }, "out of range"},
    {"hardware_on_empty_stack", [](ImageBuilder &i) { i.ins(OP_tim); }, "out of range"},
};

class Hostile : public VmTestP<HostileCase> {};

} // namespace

TEST_P(Hostile, FaultsCleanly)
{
    const HostileCase &c = GetParam();
    ImageBuilder image;
    c.emit(image);
    image.ins(OP_sto, {EBX, 0x5AFE}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_SEGV) << log.str();
    EXPECT_TRUE(logged(c.message)) << log.str();
    EXPECT_TRUE(logged("asm error: segmentation fault at 0x"));
    EXPECT_NE(KOLM_VM.ctx.EBX, 0x5AFEu);
}

INSTANTIATE_TEST_SUITE_P(Images, Hostile, ::testing::ValuesIn(kHostileCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(VmTest, FaultSkipsTheRestOfTheInstruction)
{
    ImageBuilder image;
    image.ins(OP_sto, {EBX, 9}).ins(OP_divv, {EBX, 0}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_SEGV);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 9u);
}

TEST_F(VmTest, RegisterOperandsReachTheWholeRecord)
{
    ImageBuilder image;
    image.ins(OP_sto, {8, 0x04030201}).ins(OP_sto, {199, 0x0D0C0B0A}).ins(OP_cpy, {EBX, 204}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.RAM[0], 0x01);
    EXPECT_EQ(KOLM_VM.ctx.RAM[767], 0x0D);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 36u);
}

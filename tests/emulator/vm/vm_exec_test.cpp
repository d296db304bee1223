// Instruction execution: arithmetic groups, control flow, stack, loads and
// stores, and the error codes of the machine.

#include "vm_fixture.h"

using namespace kolm_isa;

namespace {

constexpr uint32_t EAX = REG_EAX, EBX = REG_EBX, ECX = REG_ECX, EDX = REG_EDX, EIP = REG_EIP, EBP = REG_EBP,
                   ESP = REG_ESP;

struct BinaryCase {
    uint8_t opcode;
    uint32_t y; // EBX before
    uint32_t x; // ECX before, or the immediate
    uint32_t result;
};

// Register forms (result into EBX), result-to-EAX forms and immediate forms.
class Binary : public VmTestP<BinaryCase> {};

const BinaryCase kBinaryCases[] = {
    {OP_add, 0xFFFFFFFF, 2, 1},
    {OP_sub, 1, 2, 0xFFFFFFFF},
    {OP_mul, 0x10000, 0x10001, 0x10000},
    {OP_div, 7, 2, 3},
    {OP_shl, 1, 33, 2},
    {OP_shr, 0x80000000, 31, 1},
    {OP_bor, 0xF0, 0x0F, 0xFF},
    {OP_and, 0xF0, 0x3C, 0x30},
    {OP_flip, 0xFF, 0x0F, 0xF0},
    {OP_rem, 0xFFFFFFFF, 10, 5},
    {OP_sum, 0xFFFFFFFF, 2, 1},
    {OP_diff, 0, 1, 0xFFFFFFFF},
    {OP_prod, 3, 5, 15},
    {OP_frac, 0xFFFFFFFE, 2, 0x7FFFFFFF},
    {OP_bwl, 3, 4, 48},
    {OP_bwr, 48, 36, 3},
    {OP_cat, 1, 2, 3},
    {OP_mask, 6, 3, 2},
    {OP_xor, 6, 3, 5},
    {OP_mod, 17, 5, 2},
    {OP_addv, 1, 5, 6},
    {OP_subv, 0, 1, 0xFFFFFFFF},
    {OP_mulv, 0x80000000, 2, 0},
    {OP_divv, 9, 3, 3},
    {OP_shlv, 1, 32, 1},
    {OP_shrv, 0xFFFFFFFF, 28, 15},
    {OP_borv, 1, 2, 3},
    {OP_andv, 7, 2, 2},
    {OP_xorv, 7, 2, 5},
    {OP_modv, 7, 4, 3},
};

} // namespace

TEST_P(Binary, ComputesModulo32Bits)
{
    const BinaryCase c = GetParam();
    const uint8_t group = uint8_t(c.opcode - 1);
    ImageBuilder image;
    image.ins(OP_sto, {EBX, c.y}).ins(OP_sto, {ECX, c.x}).ins(OP_sto, {EAX, 0xDEAD});
    if (group & kMathImmediate)
        image.ins(c.opcode, {EBX, c.x});
    else
        image.ins(c.opcode, {EBX, ECX});
    image.ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT) << log.str();
    if (group & kMathToEax) {
        EXPECT_EQ(KOLM_VM.ctx.EAX, c.result);
        EXPECT_EQ(KOLM_VM.ctx.EBX, c.y);
    } else {
        EXPECT_EQ(KOLM_VM.ctx.EBX, c.result);
        EXPECT_EQ(KOLM_VM.ctx.EAX, 0xDEADu);
    }
}

INSTANTIATE_TEST_SUITE_P(Math, Binary, ::testing::ValuesIn(kBinaryCases));

struct CompareCase {
    uint8_t opcode;
    uint32_t y;
    uint32_t x;
    uint32_t result;
};

class Compare : public VmTestP<CompareCase> {};

TEST_P(Compare, ResultIntoEax)
{
    const CompareCase c = GetParam();
    ImageBuilder image;
    image.ins(OP_sto, {EBX, c.y}).ins(OP_sto, {ECX, c.x}).ins(OP_sto, {EAX, 0xDEAD});
    if (opcodeInfo(c.opcode).operands == Operands::R)
        image.ins(c.opcode, {EBX});
    else
        image.ins(c.opcode, {EBX, ECX});
    image.ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT) << log.str();
    EXPECT_EQ(KOLM_VM.ctx.EAX, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cmp, Compare,
    ::testing::Values(CompareCase{OP_cmp, 5, 5, 1}, CompareCase{OP_cmp, 5, 6, 0}, CompareCase{OP_lor, 0, 0, 0},
                      CompareCase{OP_lor, 0, 7, 1}, CompareCase{OP_land, 3, 0, 0}, CompareCase{OP_land, 3, 4, 1},
                      CompareCase{OP_less, 0xFFFFFFFF, 1, 0}, CompareCase{OP_less, 1, 0xFFFFFFFF, 1},
                      CompareCase{OP_leq, 4, 4, 1}, CompareCase{OP_leq, 5, 4, 0}, CompareCase{OP_not, 0x0F0F0F0F, 0, 0xF0F0F0F0},
                      CompareCase{OP_bnt, 0, 0, 1}, CompareCase{OP_bnt, 9, 0, 0}));

TEST_F(VmTest, JumpChoosesByEax)
{
    for (uint32_t eax : {0u, 1u}) {
        ImageBuilder image;
        image.ins(OP_sto, {EAX, eax});
        const uint32_t jmp = image.here();
        const uint32_t taken = jmp + 9, notTaken = jmp + 9 + 7;
        image.ins(OP_jmp, {taken, notTaken});
        image.ins(OP_sto, {EBX, 1}).ins(OP_halt); // taken: 6 + 1 bytes
        image.ins(OP_sto, {EBX, 2}).ins(OP_halt);
        ASSERT_EQ(run(image), KOLM_STEP_HALT);
        EXPECT_EQ(KOLM_VM.ctx.EBX, eax ? 1u : 2u);
    }
}

TEST_F(VmTest, CallAndReturnThroughAFrame)
{
    ImageBuilder image;
    // Caller: frame words (saved EBP, return slot) and one argument.
    image.ins(OP_spvr, {EBP}).ins(OP_spvi, {0}).ins(OP_spvi, {41});
    const uint32_t call = image.here();
    const uint32_t function = call + 6 + 1;
    image.ins(OP_call, {0x10000 | function, 3});
    image.ins(OP_halt);
    ASSERT_EQ(image.here(), function);
    // Function: EBX = argument + 1, its address into ECX, return.
    image.ins(OP_stos, {EBX, 2}).ins(OP_addv, {EBX, 1}).ins(OP_sad, {ECX, 2}).ins(OP_ssvi, {2, 7}).ins(OP_ret);
    ASSERT_EQ(run(image), KOLM_STEP_HALT) << log.str();
    EXPECT_EQ(KOLM_VM.ctx.EBX, 42u);
    EXPECT_EQ(KOLM_VM.ctx.ECX, 0x20000300u - 4 * 3);
    EXPECT_EQ(KOLM_VM.ctx.EAX, 7u);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 0u);
    EXPECT_EQ(KOLM_VM.ctx.EBP, 0u);
}

TEST_F(VmTest, WritingEipJumpsAndCpyCopies)
{
    ImageBuilder image;
    const uint32_t target = image.here() + 6 + 1;
    image.ins(OP_sto, {EIP, target}).ins(OP_halt);
    image.ins(OP_sto, {EDX, 9}).ins(OP_cpy, {EBX, EDX}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 9u);
}

TEST_F(VmTest, InterruptFlagOpcodesReportThePreviousState)
{
    ImageBuilder image;
    image.ins(OP_irqd).ins(OP_cpy, {EBX, EAX}).ins(OP_irqd).ins(OP_cpy, {ECX, EAX}).ins(OP_irqe).ins(OP_nop).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 0u);
    EXPECT_EQ(KOLM_VM.ctx.ECX, 1u);
    EXPECT_EQ(KOLM_VM.ctx.EAX, 1u);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_IRQD, 0u);
}

TEST_F(VmTest, StackHoldsAtMost127Words)
{
    ImageBuilder image;
    for (int i = 0; i < 127; ++i)
        image.ins(OP_spvi, {uint32_t(i)});
    image.ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 127u);

    ImageBuilder over;
    for (int i = 0; i < 128; ++i)
        over.ins(OP_spvi, {uint32_t(i)});
    over.ins(OP_halt);
    ASSERT_EQ(run(over), KOLM_STEP_SEGV);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_ERROR_MASK, KOLM_ERROR_STACK_OVERFLOW);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 127u);
    EXPECT_TRUE(logged("asm error: stack overflow"));
}

TEST_F(VmTest, PoppingMoreThanTheStackHoldsIsCorruption)
{
    ImageBuilder image;
    image.ins(OP_spvi, {1}).ins(OP_spvi, {2}).ins(OP_srw, {3}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_SEGV);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_ERROR_MASK, KOLM_ERROR_STACK_CORRUPTION);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 2u);
    EXPECT_TRUE(logged("stack corruption"));
}

class UnknownOpcode : public VmTestP<uint8_t> {};

TEST_P(UnknownOpcode, IsError9)
{
    ImageBuilder image;
    image.raw({GetParam(), 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(run(image), KOLM_STEP_SEGV);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_ERROR_MASK, KOLM_ERROR_UNKNOWN_OPCODE);
    EXPECT_TRUE(logged("unknown opcode " + std::to_string(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(Bytes, UnknownOpcode, ::testing::Values(0x00, 0x10, 0x1B, 0x20, 0x2E, 0x37, 0x4F, 0x55, 0xDF, 0xF3, 0xFD));

TEST_F(VmTest, ExecutionStopsAtTextEnd)
{
    ImageBuilder image;
    image.ins(OP_nop);
    ASSERT_EQ(run(image), KOLM_STEP_SEGV);
    EXPECT_TRUE(logged("tried executing beyond text section"));
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_ERROR_MASK, 0u);
}

TEST_F(VmTest, TruncatedInstructionFaultsWithoutReadingPastTheRom)
{
    ImageBuilder image;
    image.raw({OP_sto, EBX, 1, 2});
    ASSERT_EQ(run(image), KOLM_STEP_SEGV);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 0u);
}

TEST_F(VmTest, StepDoesNothingOnAStoppedMachine)
{
    ImageBuilder image;
    image.ins(OP_sto, {EBX, 1}).ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    KOLM_VM.flags |= KOLM_FLAG_HALT;
    EXPECT_EQ(kolm_vm_step(), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    KOLM_VM.flags |= KOLM_FLAG_SEGV;
    EXPECT_EQ(kolm_vm_step(), KOLM_STEP_SEGV);
    KOLM_VM.flags = 0;
    EXPECT_EQ(kolm_vm_step(), 0u);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 1u);
}

TEST_F(VmTest, HostStepSkipsWhileTheScriptSleeps)
{
    ImageBuilder image;
    image.ins(OP_nop).ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    kolm_hal_delay(60000);
    asm_debugger_step();
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    KOLM_VM.ctx.ISR = 1;
    asm_debugger_step();
    EXPECT_EQ(KOLM_VM.ctx.EIP, 37u);
}

struct LoadCase {
    const char *name;
    uint32_t address;
    bool faults;
    uint32_t value;
};

class Load : public VmTestP<LoadCase> {};

// RAM holds its byte index in every byte from 0x2F0 on; the data section is
// "ABCDEFGH".
TEST_P(Load, MapsScriptAddresses)
{
    const LoadCase c = GetParam();
    ImageBuilder image;
    image.ins(OP_rrui, {EBX, c.address}).ins(OP_halt);
    image.data("ABCDEFGH");
    ASSERT_EQ(load(image), 0u);
    for (uint32_t i = 0x2F0; i < 0x300; ++i)
        KOLM_VM.ctx.RAM[i] = uint8_t(i);
    EXPECT_EQ(kolm_vm_run(), c.faults ? KOLM_STEP_SEGV : KOLM_STEP_HALT) << log.str();
    if (!c.faults) {
        EXPECT_EQ(KOLM_VM.ctx.EBX, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Load,
    ::testing::Values(LoadCase{"image_header", 0x00000000, false, 0xA0A1FFFE},
                      LoadCase{"data_first", 0x08000000, false, 0x44434241},
                      LoadCase{"data_last_word", 0x08000004, false, 0x48474645},
                      LoadCase{"data_past_end", 0x08000005, true, 0},
                      LoadCase{"ram_last_word", 0x200002FC, false, 0xFFFEFDFC},
                      LoadCase{"ram_beyond_first_256", 0x200002F0, false, 0xF3F2F1F0},
                      LoadCase{"ram_past_end", 0x200002FD, true, 0},
                      LoadCase{"ram_alias", 0x21000000, true, 0},
                      LoadCase{"rom_past_end", 0x00100000, true, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(VmTest, StoresReachTheWholeRam)
{
    ImageBuilder image;
    image.ins(OP_sto, {EBX, 0x200002FC}).ins(OP_rwui, {EBX, 0xCAFE}).ins(OP_sto, {ECX, 0x11})
        .ins(OP_rwup, {ECX, 0x20000000}).ins(OP_rwur, {EBX, ECX}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.RAM[0], 0x11);
    EXPECT_EQ(KOLM_VM.ctx.RAM[0x2FC], 0x11);
    EXPECT_EQ(KOLM_VM.ctx.EAX, 0x11u);
}

TEST_F(VmTest, StoreToTheImageIsRefused)
{
    ImageBuilder image;
    image.ins(OP_sto, {EAX, 5}).ins(OP_rwup, {EBX, 0x08000000}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_SEGV);
    EXPECT_TRUE(logged("tried writing .text or .data section at 08000000"));
    EXPECT_EQ(KOLM_VM.ctx.EAX, 0u);
}

TEST_F(VmTest, PeripheralStoresAndLoadsGoThroughTheBoard)
{
    ImageBuilder image;
    image.ins(OP_sto, {EBX, 0x40230000}).ins(OP_rwui, {EBX, 5}).ins(OP_cpy, {EDX, EAX})
        .ins(OP_rrui, {ECX, 0x40230000}).ins(OP_sto, {EAX, 7}).ins(OP_rwup, {EAX, 0x40230004}).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT) << log.str();
    EXPECT_EQ(KOLM_VM.ctx.EDX, 1u); // a pin value store yields the new value
    EXPECT_EQ(KOLM_VM.ctx.ECX, 1u);
    EXPECT_EQ(KOLM_VM.ctx.EAX, 0u); // the toggle's result
}

TEST_F(VmTest, RefusedPeripheralAccessFaultsTheMachine)
{
    for (uint8_t op : {OP_rrui, OP_rwui}) {
        ImageBuilder image;
        image.ins(OP_sto, {EBX, 0x41500000}).ins(op, {EBX, 0x41500000}).ins(OP_halt);
        ASSERT_EQ(run(image), KOLM_STEP_SEGV) << log.str();
        EXPECT_TRUE(logged(op == OP_rrui ? "segmentation fault at kolm_hal_periph_get"
                                         : "segmentation fault at kolm_hal_periph_set"));
    }
}

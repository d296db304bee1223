// Interrupt entries and their return.

#include "kolm_p_stack.h"
#include "vm_fixture.h"

using namespace kolm_isa;

namespace {

class Irq : public VmTest {
protected:
    // Main: nop, halt. Each handler: EBX := 99, ret.
    void SetUp() override
    {
        ImageBuilder image;
        image.ins(OP_nop).ins(OP_halt);
        handler = image.here();
        image.ins(OP_sto, {REG_EBX, 99}).ins(OP_ret);
        image.exti(handler).msg(handler).ack(handler);
        ASSERT_EQ(load(image), 0u);
        KOLM_VM.ctx.EAX = 1;
        KOLM_VM.ctx.EBX = 2;
        KOLM_VM.ctx.ECX = 3;
        KOLM_VM.ctx.EDX = 4;
        KOLM_VM.ctx.EBP = 5;
    }
    uint32_t S(uint32_t index) { return kolm_vm_stack(index); }
    uint32_t handler = 0;
};

} // namespace

TEST_F(Irq, ExtiFrameLayout)
{
    kolm_vm_irq_exti(5, 1);
    const uint32_t ebp = KOLM_VM.ctx.EBP;
    EXPECT_EQ(KOLM_VM.ctx.ESP, 10u);
    EXPECT_EQ(ebp, 6u);
    const uint32_t saved[6] = {1, 2, 3, 4, 0, 36};
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(S(i), saved[i]) << i;
    EXPECT_EQ(S(ebp), 5u);
    EXPECT_EQ(S(ebp + 1), 0xFFFFFFFFu);
    EXPECT_EQ(S(ebp + 2), 1u);
    EXPECT_EQ(S(ebp + 3), 5u);
    EXPECT_EQ(KOLM_VM.ctx.ISR, 3u);
    EXPECT_EQ(KOLM_VM.ctx.EIP, handler);
}

TEST_F(Irq, ReturnRestoresTheInterruptedContext)
{
    kolm_vm_irq_ack(7);
    EXPECT_EQ(S(KOLM_VM.ctx.EBP + 2), 1u);
    EXPECT_EQ(KOLM_VM.ctx.ISR, 4u);
    kolm_vm_next();
    EXPECT_EQ(KOLM_VM.ctx.EBX, 99u);
    kolm_vm_next(); // ret
    EXPECT_EQ(KOLM_VM.ctx.EAX, 1u);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 2u);
    EXPECT_EQ(KOLM_VM.ctx.ECX, 3u);
    EXPECT_EQ(KOLM_VM.ctx.EDX, 4u);
    EXPECT_EQ(KOLM_VM.ctx.EBP, 5u);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 0u);
    EXPECT_EQ(KOLM_VM.ctx.ISR, 0u);
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    EXPECT_EQ(kolm_vm_run(), KOLM_STEP_HALT);
}

TEST_F(Irq, NestedInterruptsRestoreTheirLevels)
{
    kolm_vm_irq_msg();
    kolm_vm_irq_exti(1, 0);
    EXPECT_EQ(KOLM_VM.ctx.ISR, 3u);
    kolm_vm_next();
    kolm_vm_next();
    EXPECT_EQ(KOLM_VM.ctx.ISR, 2u);
    EXPECT_EQ(KOLM_VM.ctx.EIP, handler);
    kolm_vm_next();
    kolm_vm_next();
    EXPECT_EQ(KOLM_VM.ctx.ISR, 0u);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 2u);
}

TEST_F(Irq, MissingHandlerChangesNothing)
{
    ImageBuilder image;
    image.ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    kolm_vm_irq_msg();
    kolm_vm_irq_exti(1, 1);
    kolm_vm_irq_ack(1);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 0u);
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    EXPECT_EQ(KOLM_VM.ctx.ISR, 0u);
}

struct FrameRoom {
    const char *entry;
    uint32_t esp;
    bool enters;
};

class IrqRoom : public Irq, public ::testing::WithParamInterface<FrameRoom> {};

TEST_P(IrqRoom, RefusedWhenTheStackCannotHoldTheFrame)
{
    const FrameRoom r = GetParam();
    KOLM_VM.ctx.ESP = r.esp;
    const std::string entry = r.entry;
    if (entry == "exti")
        kolm_vm_irq_exti(1, 1);
    else if (entry == "ack")
        kolm_vm_irq_ack(1);
    else if (entry == "msg")
        kolm_vm_irq_msg();
    else
        kolm_vm_irq_timer(handler);
    EXPECT_EQ(KOLM_VM.ctx.EIP == handler, r.enters);
    EXPECT_EQ((KOLM_VM.flags & KOLM_FLAG_ERROR_MASK) == KOLM_ERROR_STACK_OVERFLOW, !r.enters);
    if (!r.enters) {
        EXPECT_EQ(KOLM_VM.ctx.ESP, r.esp);
        EXPECT_EQ(KOLM_VM.ctx.EAX, 1u);
        EXPECT_TRUE(logged("stack overflow at internal function call"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, IrqRoom,
    ::testing::Values(FrameRoom{"exti", 118, true}, FrameRoom{"exti", 119, false}, FrameRoom{"msg", 119, true},
                      FrameRoom{"msg", 120, true}, FrameRoom{"msg", 121, false}, FrameRoom{"ack", 119, true},
                      FrameRoom{"ack", 120, false}, FrameRoom{"timer", 120, true}, FrameRoom{"timer", 121, false},
                      FrameRoom{"timer", 0xFFFFFFFF, false}, FrameRoom{"exti", 0xFFFFFFFA, false}));

struct LevelCase {
    uint32_t isr;
    uint32_t level;
    bool may;
};

class CanInterrupt : public VmTestP<LevelCase> {};

TEST_P(CanInterrupt, OnlyAboveTheCurrentLevel)
{
    KOLM_VM.ctx.ISR = GetParam().isr;
    EXPECT_EQ(kolm_vm_can_interrupt(GetParam().level), GetParam().may);
}

INSTANTIATE_TEST_SUITE_P(Levels, CanInterrupt,
                         ::testing::Values(LevelCase{0, 1, true}, LevelCase{0, 0, false}, LevelCase{1, 1, false},
                                           LevelCase{1, 2, true}, LevelCase{2, 2, false}, LevelCase{2, 3, true},
                                           LevelCase{3, 4, true}, LevelCase{4, 4, false}, LevelCase{4, 3, false}));

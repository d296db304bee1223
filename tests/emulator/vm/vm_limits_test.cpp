// The stack of a script with many globals: whatever would place a stack
// word inside the global variables is a stack overflow.

#include "kolm_p_stack.h"
#include "vm_fixture.h"

#include <cstring>

using namespace kolm_isa;

namespace {

constexpr uint32_t kGlobal = 0x20000000;

// 150 globals take 600 bytes; above them 42 words of stack remain.
constexpr uint32_t kGlobalsBss = 600;
constexpr uint32_t kStackWordsAboveGlobals = (KOLM_RAM_SIZE - kGlobalsBss) / 4;

struct StackIntoGlobals {
    const char *name;
    uint32_t esp;                  // stack depth before the operation
    void (*operation)(uint32_t);   // given the handler address
    bool refused;
};

void push(uint32_t)
{
    kolm_vm_push(7);
}

void callWithoutFrame(uint32_t handler)
{
    // call handler, 0: the return slot lands one word above the top.
    KOLM_VM.ctx.EIP = handler;
    kolm_vm_next();
}

void exti(uint32_t)
{
    kolm_vm_irq_exti(1, 1); // ten words
}

void message(uint32_t)
{
    kolm_vm_irq_msg(); // eight words
}

const StackIntoGlobals kStackCases[] = {
    {"push_last_free_word", kStackWordsAboveGlobals - 1, push, false},
    {"push_onto_globals", kStackWordsAboveGlobals, push, true},
    {"call_slot_last_free_word", kStackWordsAboveGlobals - 2, callWithoutFrame, false},
    {"call_slot_onto_globals", kStackWordsAboveGlobals - 1, callWithoutFrame, true},
    {"exti_fits", kStackWordsAboveGlobals - 10, exti, false},
    {"exti_last_word_on_globals", kStackWordsAboveGlobals - 9, exti, true},
    {"msg_fits", kStackWordsAboveGlobals - 8, message, false},
    {"msg_last_word_on_globals", kStackWordsAboveGlobals - 7, message, true},
};

class StackLimit : public VmTestP<StackIntoGlobals> {};

} // namespace

// Whatever places a stack word inside the globals is a stack overflow that
// changes neither the globals nor the stack depth.
TEST_P(StackLimit, StopsAtTheGlobals)
{
    const StackIntoGlobals &c = GetParam();
    ImageBuilder image;
    image.bss(kGlobalsBss);
    image.ins(OP_halt);
    const uint32_t handler = image.here();
    image.ins(OP_call, {handler, 0}).ins(OP_halt);
    image.exti(handler).msg(handler);
    ASSERT_EQ(load(image), 0u);
    std::memset(KOLM_VM.ctx.RAM, 0xA5, kGlobalsBss);
    KOLM_VM.ctx.ESP = c.esp;
    c.operation(handler);

    EXPECT_EQ((KOLM_VM.flags & KOLM_FLAG_ERROR_MASK) == KOLM_ERROR_STACK_OVERFLOW, c.refused);
    EXPECT_EQ((KOLM_VM.flags & KOLM_FLAG_SEGV) != 0, c.refused);
    if (c.refused) {
        EXPECT_EQ(KOLM_VM.ctx.ESP, c.esp);
    }
    for (uint32_t i = 0; i < kGlobalsBss; ++i)
        ASSERT_EQ(KOLM_VM.ctx.RAM[i], 0xA5) << "global byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Globals, StackLimit, ::testing::ValuesIn(kStackCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Endless recursion with 150 globals: the stack overflows before it reaches
// them, and the global keeps its value.
TEST_F(VmTest, DeepRecursionKeepsTheGlobals)
{
    ImageBuilder image;
    image.bss(kGlobalsBss);
    image.ins(OP_sto, {1, kGlobal + 4}).ins(OP_rwui, {1, 4242});
    const uint32_t function = image.here();
    image.ins(OP_spvr, {5}).ins(OP_spvi, {0}).ins(OP_call, {function, 2}).ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(kolm_vm_run(), KOLM_STEP_SEGV);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_ERROR_MASK, KOLM_ERROR_STACK_OVERFLOW);
    EXPECT_TRUE(logged("stack overflow"));
    uint32_t global;
    std::memcpy(&global, KOLM_VM.ctx.RAM + 4, 4);
    EXPECT_EQ(global, 4242u);
}

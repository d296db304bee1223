// Limits that keep hostile scripts inside the machine: overlapping copies
// in the board storage, the pending timer table, and a stack that must not
// grow into the global variables.

#include "kolm_hal_state.h"
#include "kolm_p_stack.h"
#include "vm_fixture.h"

#include <cstring>

using namespace kolm_isa;

namespace {

constexpr uint32_t kStorage = 0x41400004;
constexpr uint32_t kGlobal = 0x20000000;

struct StorageCopy {
    const char *name;
    uint32_t destination; // storage offsets
    uint32_t source;
    const char *expected; // the first 16 storage bytes afterwards
};

const StorageCopy kStorageCopies[] = {
    {"forward_overlap", 2, 0, "0101234567abcdef"},
    {"backward_overlap", 0, 2, "2345678989abcdef"},
    {"same_range", 4, 4, "0123456789abcdef"},
};

class StorageCopies : public VmTestP<StorageCopy> {};

} // namespace

// mcp with both ranges in the board storage copies as memmove does (the
// sanitizer build reports an overlapping memcpy).
TEST_P(StorageCopies, CopyAsMemmove)
{
    const StorageCopy &c = GetParam();
    ImageBuilder image;
    image.ins(OP_spvi, {8}).ins(OP_spvi, {kStorage + c.source}).ins(OP_spvi, {kStorage + c.destination});
    image.ins(OP_mcp).ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    std::memcpy(g_asm_rom, "0123456789abcdef", 16);
    EXPECT_EQ(kolm_vm_run(), KOLM_STEP_HALT);
    EXPECT_EQ(KOLM_VM.ctx.EAX, 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(g_asm_rom), 16), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Storage, StorageCopies, ::testing::ValuesIn(kStorageCopies),
                         [](const auto &info) { return std::string(info.param.name); });

// A script that starts timers in a loop: the 257th pending timer faults the
// script, and stopping timers makes room again.
TEST_F(VmTest, AtMost256PendingTimers)
{
    ImageBuilder image;
    const uint32_t loop = image.here();
    image.ins(OP_spvi, {loop}).ins(OP_spvi, {60000}).ins(OP_tim).ins(OP_srw, {2});
    image.ins(OP_sto, {0, 1}).ins(OP_jmp, {loop, loop});
    ASSERT_EQ(load(image), 0u);
    uint32_t started = 0;
    while (kolm_vm_step() == 0)
        started += KOLM_VM.ctx.EIP == loop + 11 && KOLM_VM.ctx.EAX == 60000;
    EXPECT_EQ(started, 256u);
    EXPECT_TRUE(KOLM_VM.flags & KOLM_FLAG_SEGV);
    EXPECT_TRUE(logged("hal error: too many pending timers")) << log.str();

    EXPECT_EQ(kolm_hal_stop_timer(loop), 0u);
    g_fault_count = 0;
    EXPECT_EQ(kolm_hal_start_timer(5, loop, countFault), 5u);
    EXPECT_EQ(g_fault_count, 0);
}

namespace {

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

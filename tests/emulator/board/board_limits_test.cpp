// Limits of the board under hostile scripts: copies between overlapping
// ranges of the storage, and the table of pending timers.

#include "kolm_hal_state.h"
#include "vm_fixture.h"

#include <cstring>

using namespace kolm_isa;

namespace {

constexpr uint32_t kStorage = 0x41400004;

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
    KOLM_VM.flags = 0;
    EXPECT_EQ(kolm_hal_start_timer(5, loop), 5u);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u);
}

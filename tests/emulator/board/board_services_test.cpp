// Timers, delay, sleep, the mailbox and the ring buffer.

#include "kolm_hal_state.h"
#include "vm_fixture.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

using namespace kolm_isa;

TEST(RingBuffer, HoldsSizeMinusOneBytes)
{
    uint8_t storage[4];
    ZUC_RingBuf ring;
    ringbuf_init(&ring, storage, 4);
    EXPECT_EQ(ringbuf_get(&ring), -1);
    EXPECT_EQ(ringbuf_put(&ring, 1), 1);
    EXPECT_EQ(ringbuf_put(&ring, 2), 1);
    EXPECT_EQ(ringbuf_put(&ring, 3), 1);
    EXPECT_EQ(ringbuf_put(&ring, 4), 0);
    EXPECT_EQ(ringbuf_get(&ring), 1);
    EXPECT_EQ(ringbuf_put(&ring, 5), 1); // wraps around the buffer end
    EXPECT_EQ(ringbuf_get(&ring), 2);
    EXPECT_EQ(ringbuf_get(&ring), 3);
    EXPECT_EQ(ringbuf_get(&ring), 5);
    EXPECT_EQ(ringbuf_get(&ring), -1);
}

class Timers : public VmTest {
protected:
    // Main loops on nop; two handlers that only return.
    void SetUp() override
    {
        ImageBuilder image;
        image.ins(OP_nop).ins(OP_nop).ins(OP_halt);
        first = image.here();
        image.ins(OP_ret);
        second = image.here();
        image.ins(OP_ret);
        ASSERT_EQ(load(image), 0u);
    }
    uint32_t first = 0, second = 0;
};

TEST_F(Timers, DueAtOnceFireInStartOrderOnePerCheck)
{
    kolm_hal_start_timer(0, second);
    kolm_hal_start_timer(0, first);
    kolm_hal_check_timer();
    EXPECT_EQ(KOLM_VM.ctx.EIP, second);
    EXPECT_EQ(KOLM_VM.ctx.ISR, 1u);
    kolm_hal_check_timer(); // inside the interrupt: nothing
    EXPECT_EQ(KOLM_VM.ctx.EIP, second);
    kolm_vm_next(); // ret
    EXPECT_EQ(KOLM_VM.ctx.ISR, 0u);
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    kolm_hal_check_timer();
    EXPECT_EQ(KOLM_VM.ctx.EIP, first);
    kolm_vm_next();
    kolm_hal_check_timer(); // one-shot: none left
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    EXPECT_EQ(KOLM_VM.ctx.ESP, 0u);
}

TEST_F(Timers, NotBeforeDueAndStoppedByAddress)
{
    kolm_hal_start_timer(60000, first);
    kolm_hal_start_timer(0, second);
    kolm_hal_start_timer(0, second);
    EXPECT_EQ(kolm_hal_stop_timer(second), 0u);
    kolm_hal_check_timer();
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    kolm_hal_clear_timers();
    EXPECT_TRUE(logged("called kolm_hal_stop_timer(jmp=" + std::to_string(second) + ")"));
}

TEST_F(Timers, DelayZeroSuspendsUntilTheNextCheck)
{
    EXPECT_EQ(kolm_hal_delay(0), 0u);
    EXPECT_TRUE(KOLM_VM.flags & KOLM_FLAG_SUSP);
    kolm_hal_check_timer();
    EXPECT_FALSE(KOLM_VM.flags & KOLM_FLAG_SUSP);
}

TEST_F(Timers, TimersEnterWhileTheScriptIsDelayed)
{
    kolm_hal_delay(60000);
    kolm_hal_start_timer(0, first);
    kolm_hal_check_timer();
    EXPECT_EQ(KOLM_VM.ctx.EIP, first);
    EXPECT_TRUE(KOLM_VM.flags & KOLM_FLAG_SUSP);
}

TEST_F(Timers, HardwareOpcodesReachTheTimers)
{
    ImageBuilder image;
    image.ins(OP_spvi, {0x1234}).ins(OP_spvi, {0}).ins(OP_tim).ins(OP_dly).ins(OP_wak).ins(OP_halt);
    ASSERT_EQ(run(image), KOLM_STEP_HALT) << log.str();
    EXPECT_EQ(KOLM_VM.ctx.EAX, 0u);
    EXPECT_FALSE(KOLM_VM.flags & KOLM_FLAG_SUSP);
    EXPECT_TRUE(logged("called kolm_hal_start_timer(ms=0, jmp=4660)"));
    EXPECT_TRUE(logged("called kolm_hal_delay(ms=0)"));
    kolm_hal_check_timer();
    EXPECT_EQ(KOLM_VM.ctx.EIP, 0x1234u);
}

TEST(Sleep, EndsEarlyOnACaughtSignal)
{
    struct sigaction action{};
    action.sa_handler = [](int) {};
    struct sigaction previous{};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    const pthread_t sleeper = pthread_self();
    // The signal is repeated until the sleep returns: on a loaded machine a
    // single early signal could arrive before the sleep starts.
    std::atomic<bool> woke{false};
    std::thread signaller([sleeper, &woke] {
        while (!woke) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!woke)
                pthread_kill(sleeper, SIGUSR1);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(kolm_hal_sleep(20000), 20000u);
    const auto waited = std::chrono::steady_clock::now() - start;
    woke = true;
    signaller.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_LT(waited, std::chrono::seconds(10));
}

TEST(Mailbox, FillKeepsSourcePortAndAtMost58Bytes)
{
    const std::string data(70, 'm');
    kolm_hal_fill_message(0xBEEF, 0x12, data.data(), 5);
    EXPECT_EQ(asm_message_size, 5u);
    EXPECT_EQ(asm_message_buffer[1], 2);
    EXPECT_EQ(asm_message_buffer[4], 0xEF);
    EXPECT_EQ(asm_message_buffer[5], 0xBE);
    EXPECT_EQ(std::memcmp(asm_message_buffer + 6, "mmmmm", 5), 0);
    kolm_hal_fill_message(1, 2, data.data(), uint32_t(data.size()));
    EXPECT_EQ(asm_message_size, 58u);
}

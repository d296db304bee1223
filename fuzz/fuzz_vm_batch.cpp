// Bytecode images on the fast execution loop, against single steps: the
// image runs in batches of a size that the first input byte picks, then
// afresh through single steps for as many instructions. The batches must
// stay inside the machine's memory like single steps, and wherever the run
// does not touch the board (whose pins, clock and storage carry state from
// one run into the next) both must leave the same machine record, log and
// instruction count. The first byte also picks an interrupt raised before
// the first instruction; the rest is the image.

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "vm_interrupt.h"

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr uint64_t kMaxInstructions = 20000;
// A batch ends early after a hardware opcode such as sleep, which the
// thread below cuts short to at most a millisecond; a run ends after this
// many early ends, so that a script sleeping in a loop stays quick.
constexpr int kMaxEarlyEnds = 64;
constexpr uint32_t kBudgets[] = {1, 2, 3, 4, 7, 16, 100, KOLM_BATCH_SIZE, 1000, 5000};
constexpr size_t kBudgetCount = sizeof kBudgets / sizeof kBudgets[0];
// Everything the board and the machine log.
constexpr uint32_t kLogEverything = 0x1F2;

void ignoreSignal(int) {}

// The sleep opcode blocks for as long as the script asks, in the middle of
// a batch. A thread interrupts the fuzzing thread every millisecond, which
// ends any sleep (nanosleep always returns on a signal) and restarts every
// other call.
void interruptSleepsFromNowOn()
{
    static const bool started = [] {
        struct sigaction action {};
        action.sa_handler = ignoreSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(SIGRTMIN + 1, &action, nullptr);
        const pthread_t fuzzing = pthread_self();
        std::thread([fuzzing] {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                pthread_kill(fuzzing, SIGRTMIN + 1);
            }
        }).detach();
        return true;
    }();
    (void)started;
}

struct Outcome {
    _KolmVM vm;
    std::string log;
    uint64_t executed = 0;
};

std::ostringstream &runLog()
{
    static std::ostringstream log;
    return log;
}

// Loads the image afresh with a fixed random seed; false when the machine
// refuses it.
bool start(const std::string &image, int interrupt)
{
    std::istringstream in(image);
    kolm_flash_read(in);
    KOLM_VM = _KolmVM{};
    kolm_hal_clear_timers();
    if (kolm_vm_init() != 0)
        return false;
    std::srand(1);
    if (interrupt > 0)
        raiseVmInterrupt(interrupt - 1);
    runLog().str("");
    return true;
}

bool running()
{
    return (KOLM_VM.flags & (KOLM_FLAG_STOPPED | KOLM_FLAG_SUSP)) == 0;
}

Outcome finish(uint64_t executed)
{
    return {KOLM_VM, runLog().str(), executed};
}

// Batches until the machine stops or suspends, about kMaxInstructions ran
// (a batch may end a few instructions past its budget) or kMaxEarlyEnds
// batches ended before their budget.
Outcome batches(uint32_t budget)
{
    uint64_t executed = 0;
    int earlyEnds = 0;
    while (running() && executed < kMaxInstructions && earlyEnds < kMaxEarlyEnds) {
        const uint64_t left = kMaxInstructions - executed;
        const uint32_t asked = left < budget ? uint32_t(left) : budget;
        const uint32_t ran = kolm_vm_run_batch(asked);
        if (ran == 0)
            break;
        executed += ran;
        earlyEnds += ran < asked;
    }
    return finish(executed);
}

// Single steps until the machine stops or suspends, or limit ran.
Outcome singleSteps(uint64_t limit)
{
    uint64_t executed = 0;
    while (running() && executed < limit) {
        kolm_vm_next();
        ++executed;
    }
    return finish(executed);
}

[[noreturn]] void differ(const char *what, const Outcome &batch, const Outcome &single)
{
    std::fprintf(stderr,
                 "batches and single steps differ in %s: executed %llu / %llu, EIP 0x%x / 0x%x, flags 0x%x / 0x%x\n"
                 "batch log:\n%s\nsingle-step log:\n%s\n",
                 what, static_cast<unsigned long long>(batch.executed),
                 static_cast<unsigned long long>(single.executed), unsigned(batch.vm.ctx.EIP),
                 unsigned(single.vm.ctx.EIP), unsigned(batch.vm.flags), unsigned(single.vm.flags),
                 batch.log.c_str(), single.log.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    interruptSleepsFromNowOn();
    kolm_hal_set_debug_stream(&runLog());
    kolm_hal_set_level(kLogEverything);
    const uint32_t budget = kBudgets[data[0] % kBudgetCount];
    const int interrupt = data[0] / kBudgetCount % 4;
    const std::string image(reinterpret_cast<const char *>(data + 1), size - 1);

    if (!start(image, interrupt))
        return 0;
    const Outcome batch = batches(budget);
    if (!start(image, interrupt))
        differ("loading", batch, batch);
    const Outcome single = singleSteps(batch.executed);
    // Every access to the board is logged with "called".
    if (single.log.find("called ") != std::string::npos)
        return 0;
    if (batch.executed != single.executed)
        differ("the instruction count", batch, single);
    if (batch.log != single.log)
        differ("the log", batch, single);
    if (std::memcmp(&batch.vm, &single.vm, sizeof(_KolmVM)) != 0)
        differ("the machine record", batch, single);
    return 0;
}

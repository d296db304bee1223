// One-shot timers, the script's delay and the blocking sleep.

#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_hal_state.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <chrono>
#include <ctime>
#include <map>

namespace {

// Due time to handler address; equal due times keep their start order.
std::multimap<uint64_t, uint32_t> timer_calls;
uint64_t kolm_wake_ts = 0;

// A script on the controller has a small fixed timer table; a script that
// starts timers in a loop must not grow the list without bound.
constexpr size_t kMaxPendingTimers = 256;

// Longest single wait of the blocking sleep, so that a caught signal ends it.
constexpr uint32_t kSleepSliceMs = 20;

// One nanosleep; false when a signal interrupted it.
bool sleep_once(uint32_t ms)
{
    timespec span{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    return nanosleep(&span, nullptr) == 0 || errno != EINTR;
}

} // namespace

uint64_t kolm_hal_now_ms()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

void kolm_hal_reset_wake_time()
{
    kolm_wake_ts = kolm_hal_now_ms();
}

uint32_t kolm_hal_start_timer(uint32_t ms, uint32_t jump)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_start_timer(ms=" << ms << ", jmp=" << jump << ")" << std::endl;
    if (timer_calls.size() >= kMaxPendingTimers) {
        asm_debug(KOLM_HAL_ERROR, "too many pending timers");
        kolm_hal_machine().fault();
        return 0;
    }
    timer_calls.emplace(kolm_hal_now_ms() + ms, jump);
    return ms;
}

uint32_t kolm_hal_stop_timer(uint32_t jump)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_stop_timer(jmp=" << jump << ")" << std::endl;
    for (auto it = timer_calls.begin(); it != timer_calls.end();)
        it = it->second == jump ? timer_calls.erase(it) : std::next(it);
    return 0;
}

void kolm_hal_check_timer()
{
    const KolmMachineHooks &machine = kolm_hal_machine();
    // Nothing waits for the clock: no need to read it.
    if (timer_calls.empty() && !machine.suspended())
        return;
    const uint64_t now = kolm_hal_now_ms();
    if (machine.suspended() && now >= kolm_wake_ts)
        machine.setSuspended(false);
    if (machine.isrLevel() != 0 || timer_calls.empty())
        return;
    const auto first = timer_calls.begin();
    if (first->first > now)
        return;
    const uint32_t jump = first->second;
    timer_calls.erase(first);
    machine.enterTimer(jump);
}

uint64_t kolm_hal_ms_until_event()
{
    const uint64_t now = kolm_hal_now_ms();
    uint64_t next = UINT64_MAX;
    if (kolm_hal_machine().suspended())
        next = kolm_wake_ts;
    if (!timer_calls.empty())
        next = std::min(next, timer_calls.begin()->first);
    return next > now ? next - now : 0;
}

void kolm_hal_clear_timers()
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called asm_clear_timers" << std::endl;
    timer_calls.clear();
}

uint32_t kolm_hal_delay(uint32_t ms)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_delay(ms=" << ms << ")" << std::endl;
    kolm_hal_machine().setSuspended(true);
    kolm_wake_ts = kolm_hal_now_ms() + ms;
    return ms;
}

uint32_t kolm_hal_sleep(uint32_t ms)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_sleep(ms=" << ms << ")" << std::endl;
    for (uint32_t left = ms; left > 0;) {
        const uint32_t slice = left < kSleepSliceMs ? left : kSleepSliceMs;
        if (!sleep_once(slice))
            break;
        left -= slice;
    }
    return ms;
}

void qSleep(uint32_t ms)
{
    sleep_once(ms);
}

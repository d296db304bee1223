#include "kdb_network_run.h"

#include "flash.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "signalhandler.h"

#include <algorithm>
#include <chrono>

namespace {

// A slice leaves the network and the signals unserved at most this long.
constexpr auto kSliceTime = std::chrono::milliseconds(3);

} // namespace

bool kdb_script_suspended()
{
    return KOLM_VM.ctx.ISR == 0 && (KOLM_VM.flags & KOLM_FLAG_SUSP);
}

bool kdb_machine_runs()
{
    return kolm_rom_size() > 0 && !(KOLM_VM.flags & KOLM_FLAG_STOPPED);
}

void kdb_run_slice()
{
    if (!kdb_machine_runs())
        return;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + kSliceTime;
    SignalHandler &signals = SignalHandler::instance();
    do {
        // The first batch of a sleeping script checks its wake time.
        asm_debugger_run(KOLM_BATCH_SIZE);
        if ((KOLM_VM.flags & KOLM_FLAG_STOPPED) || kdb_script_suspended())
            return;
    } while (!signals.hasSignals() && Clock::now() < end);
}

int kdb_suspended_wait_ms()
{
    return int(std::min<uint64_t>(kolm_hal_ms_until_event(), KDB_LONG_WAIT_MS));
}

bool kdb_poll_client(KDBServer::Consumer consumer, int timeoutMs)
{
    if (!gdbserver.connected())
        return false;
    if (timeoutMs > 0) {
        // Queued replies go out as soon as the client has room for them.
        const bool queued = gdbserver.queuedCount() > 0;
        switch (SignalHandler::instance().waitReady(gdbserver.clientSocket(), queued, timeoutMs)) {
        case SignalHandler::WaitResult::Ready: break;
        case SignalHandler::WaitResult::Error: return gdbserver.poll(consumer, 0);
        default: return true;
        }
    }
    return gdbserver.poll(consumer, 0);
}

bool kdb_wait_client(bool *accepted)
{
    *accepted = false;
    if (gdbserver.listenSocket() < 0)
        return gdbserver.wait(0);
    const SignalHandler::WaitResult waited =
        SignalHandler::instance().waitReadable(gdbserver.listenSocket(), KDB_LONG_WAIT_MS);
    if (waited != SignalHandler::WaitResult::Ready && waited != SignalHandler::WaitResult::Error)
        return true;
    const bool ok = gdbserver.wait(0);
    *accepted = gdbserver.connected();
    return ok;
}

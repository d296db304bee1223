#include "kdb_local_run.h"

#include "kdb_console.h"
#include "kolm_dbg_print.h"
#include "kolm_state_print.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "signalhandler.h"

#include <algorithm>
#include <iostream>
#include <unistd.h>

namespace {

// Interrupt and terminate.
constexpr int kHandledSignals = 0xE;

// Longest single wait of a suspended script; the next pass waits on.
constexpr uint64_t kLongestWaitMs = 60000;

// While the script sleeps at ISR level 0 no instruction runs: wait for its
// wake time, the next timer or a signal instead of spinning.
void waitWhileSuspended()
{
    if (KOLM_VM.ctx.ISR != 0 || !(KOLM_VM.flags & KOLM_FLAG_SUSP))
        return;
    const uint64_t ms = kolm_hal_ms_until_event();
    if (ms > 0)
        SignalHandler::instance().waitSignal(int(std::min(ms, kLongestWaitMs)));
}

} // namespace

void kdb_local_run(std::ostream &out, bool verbose, bool withConsole)
{
    if (verbose)
        out << "Executing code:\n" << KOLM_VM.table;
    SignalHandler::init(kHandledSignals);
    const bool console_steps = verbose && withConsole;
    KdbSession session{out, console_steps, KdbLineInput(STDIN_FILENO)};

    bool console = console_steps;
    for (;;) {
        if (console) {
            const KdbConsoleAction action = kdb_console(session);
            if (action == KdbConsoleAction::End || kdb_stopped())
                return;
            kdb_step(session);
            console = action == KdbConsoleAction::Step;
            continue;
        }
        const uint32_t signals = SignalHandler::instance().getSignals();
        if (signals & KDB_SIGNAL_TERMINATE)
            return;
        if (signals) {
            console = true;
            continue;
        }
        if (kdb_stopped()) {
            // With verbose the last state can still be looked at.
            if (!console_steps)
                return;
            console = true;
            continue;
        }
        waitWhileSuspended();
        kdb_continue(session);
    }
}

void kdb_final_report(bool verbose)
{
    if (verbose) {
        std::cerr << "EOF / HLT\n" << KOLM_VM;
        printKolmStack(KOLM_VM.ctx, std::cerr);
        printKolmRam(KOLM_VM.ctx, std::cerr);
    }
    if (KOLM_VM.flags & KOLM_FLAG_SEGV)
        std::cerr << "Return value: null [crashed]\n";
    else
        std::cerr << "Return value: " << KOLM_VM.ctx.EAX << "\n";
    std::cerr.flush();
}

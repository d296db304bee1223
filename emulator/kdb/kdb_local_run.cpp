#include "kdb_local_run.h"

#include "kdb_console.h"
#include "kolm_dbg_print.h"
#include "kolm_state_print.h"
#include "kolm_p.h"
#include "signalhandler.h"

#include <iostream>
#include <unistd.h>

namespace {

// Interrupt and terminate.
constexpr int kHandledSignals = 0xE;

} // namespace

void kdb_local_run(std::ostream &out, bool verbose)
{
    if (verbose)
        out << "Executing code:\n" << KOLM_VM.table;
    SignalHandler::init(kHandledSignals);
    KdbSession session{out, verbose, KdbLineInput(STDIN_FILENO)};

    bool console = verbose;
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
            if (!verbose)
                return;
            console = true;
            continue;
        }
        kdb_step(session);
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

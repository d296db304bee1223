#include "kdb_emulator_mode.h"

#include "emu_link.h"
#include "kdb_network_run.h"
#include "kdb_server.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "signalhandler.h"

namespace {

constexpr uint32_t kWarning = KOLM_LOG_EMU | KOLM_LOG_WARNING;

} // namespace

void kdb_emulator_mode(int port)
{
    emu_link_init();
    kolm_hal_set_pc_tx(asm_pc_tx);
    if (!gdbserver.start(port)) {
        KOLM_VM.flags |= KOLM_FLAG_SEGV;
        return;
    }
    for (;;) {
        if (const uint32_t signals = SignalHandler::instance().getSignals()) {
            asm_debug(kWarning, "signal(s) %x received - abort", signals);
            return;
        }
        if (!gdbserver.connected()) {
            // A client that connects finds a halted machine.
            KOLM_VM.flags |= KOLM_FLAG_HALT;
            bool accepted = false;
            if (!kdb_wait_client(&accepted)) {
                KOLM_VM.flags |= KOLM_FLAG_SEGV;
                return;
            }
            if (accepted)
                emu_link_reset();
            continue;
        }
        // A stopped machine waits for the client; a sleeping script for
        // the client, its wake time or the next timer; a running one only
        // looks at the network between slices.
        const int waitMs = !kdb_machine_runs()      ? KDB_LONG_WAIT_MS
                           : kdb_script_suspended() ? kdb_suspended_wait_ms()
                                                    : 0;
        if (kdb_poll_client(emu_cmd_process, waitMs))
            kdb_run_slice();
    }
}

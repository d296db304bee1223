#ifndef KDB_CONSOLE_H
#define KDB_CONSOLE_H

// The interactive console of the local run: a person steps the script, lets
// it run, raises its interrupts, sends it a message and looks at registers,
// stack and RAM. Commands come from standard input, the prompt goes to
// standard output, the answers to the program's output stream.

#include "kdb_line_input.h"

#include <cstdint>
#include <ostream>

// Logical signal bits of the local run: terminate ends the run with the
// final report, interrupt hands the run to the console.
inline constexpr uint32_t KDB_SIGNAL_INTERRUPT = 2;
inline constexpr uint32_t KDB_SIGNAL_TERMINATE = 4;

// What the console and the run share.
struct KdbSession {
    std::ostream &out;     // the program's output stream
    bool verbose;
    KdbLineInput input;    // standard input
    uint32_t step = 0;     // number of the next step
};

enum class KdbConsoleAction {
    Step,     // execute one step, then back to the console
    Continue, // run freely until a signal, SEGV or HALT
    End,      // end the run (quit, end of input, terminate signal, deadlock)
};

// SEGV or HALT is set: the machine takes no further step.
bool kdb_stopped();

// Takes over the run: settles a pending ISR, shows the machine and reads
// commands until one of them steps, continues or ends the run.
KdbConsoleAction kdb_console(KdbSession &session);

// One step: the board's timers, then one instruction unless the script
// sleeps at ISR level 0. With verbose the step is announced and its result
// shown, and the step is slowed down to 100 ms.
void kdb_step(KdbSession &session);

// One pass of the free run: with verbose one step as kdb_step, which shows
// every step; otherwise a batch of steps at full speed (asm_debugger_run),
// short enough that timers and signals are looked at well within a
// millisecond. The step number counts the instructions executed.
void kdb_continue(KdbSession &session);

#endif

#ifndef KDB_LOCAL_RUN_H
#define KDB_LOCAL_RUN_H

// The local run of halvane-kdb: the loaded image runs on the simulated board
// until it halts or faults, with the interactive console on request.

#include <ostream>

// Runs the machine from its current state. Without verbose it runs freely:
// a terminate signal ends the run, an interrupt signal hands it to the
// console. With verbose the console has it from the start, unless there is
// none (standard input held the image): then the script runs freely too.
// A suspended script waits without using the processor.
void kdb_local_run(std::ostream &out, bool verbose, bool withConsole);

// Final report on standard error: with verbose the machine, stack and RAM,
// then "Return value: " with EAX, or "null [crashed]" after a fault.
void kdb_final_report(bool verbose);

#endif

#ifndef KDB_NETWORK_RUN_H
#define KDB_NETWORK_RUN_H

// Running the machine between network events, shared by the emulator mode
// and the text command server.

#include "kdb_server.h"

#include <cstdint>

// Longest wait of a loop for its client or the listening socket, so a
// signal or an event is never waited for longer.
inline constexpr int KDB_LONG_WAIT_MS = 2000;

// True while the script sleeps at ISR level 0: no instruction runs until
// its wake time or a timer.
bool kdb_script_suspended();

// True while the ROM holds an image and neither SEGV nor HALT is set.
bool kdb_machine_runs();

// Runs the machine for a slice of a few milliseconds, in batches, stopping
// early on SEGV, HALT, a sleep of the script or a recorded signal. Does
// nothing while the machine does not run.
void kdb_run_slice();

// Waits for data from the client (or a signal) up to the given time and
// reads it into the consumer: the server's poll with a wait that cannot
// miss a signal. False when the client is gone.
bool kdb_poll_client(KDBServer::Consumer consumer, int timeoutMs);

// Waits up to KDB_LONG_WAIT_MS for a client (or a signal) and accepts it.
// False when the listening socket fails; *accepted tells whether a client
// came.
bool kdb_wait_client(bool *accepted);

// Milliseconds the loop may wait while the script sleeps: until its wake
// time or the next timer, at most KDB_LONG_WAIT_MS.
int kdb_suspended_wait_ms();

#endif

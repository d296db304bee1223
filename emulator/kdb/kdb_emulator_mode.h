#ifndef KDB_EMULATOR_MODE_H
#define KDB_EMULATOR_MODE_H

// The emulator mode of halvane-kdb: answers device packets of one TCP client
// on the port as a controller would, and runs the script at full speed
// between network events. Returns on a signal or a failing server (then
// with SEGV set).
void kdb_emulator_mode(int port);

#endif

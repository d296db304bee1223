#ifndef KDB_TEXT_SERVER_H
#define KDB_TEXT_SERVER_H

// The text command server of halvane-kdb: one TCP client controls the
// loaded image with one-letter commands, one per line; the script's
// messages come out as lines of their own. Returns on a signal, a failing
// server, "X", a crash or a halt, after the final "Q" line.
void asm_exec_as_machine(int port);

#endif

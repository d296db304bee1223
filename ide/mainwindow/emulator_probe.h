#ifndef KOLM_EMULATOR_PROBE_H
#define KOLM_EMULATOR_PROBE_H

#include <QtGlobal>

// Whether something accepts TCP connections on 127.0.0.1 at `port`. The
// connection is closed at once. Waits at most `timeoutMs` in a nested event
// loop, so the caller's other events go on meanwhile.
bool emulatorPortAnswers(quint16 port, int timeoutMs = 1000);

#endif

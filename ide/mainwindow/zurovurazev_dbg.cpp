// Debugging: the disassembler's listing and the end of the local
// emulator. Stand-ins until the debugging actions land.

#include "zurovurazev.h"

void ZuROVUrazev::disasm_finished(bool) {}
void ZuROVUrazev::emulator_finished(bool, int) {}
void ZuROVUrazev::debuggerInit() {}
void ZuROVUrazev::dbgInfoStart(quint8, NextPkt *) {}
void ZuROVUrazev::dbgInfoFinished() {}

#ifndef KOLM_P_LIBRARY_H
#define KOLM_P_LIBRARY_H

// Handlers of the library opcodes (mcp ... vin) and the hardware opcodes
// (dly ... wak). The decoder hands each a copy of the stack from its top:
// a[0] is the value pushed last, and count words are available. Each
// returns the value that becomes EAX.

#include <cstdint>

using KolmOpcodeHandler = uint32_t (*)(const uint32_t *a, uint32_t count);

struct KolmLibraryCall {
    KolmOpcodeHandler handler;
    uint32_t arguments; // fixed arguments the handler reads
};

// Indexed by opcode - OP_mcp and opcode - OP_dly.
extern const KolmLibraryCall KOLM_STDLIB[7];
extern const KolmLibraryCall KOLM_HARDWARE[5];

uint32_t KOLM_OPCODE_MCP(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_MCM(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_MES(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_SCF(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_SPRINTF(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_MIN(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_VIN(const uint32_t *a, uint32_t count);

uint32_t KOLM_OPCODE_DLY(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_SLP(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_TIM(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_TIS(const uint32_t *a, uint32_t count);
uint32_t KOLM_OPCODE_WAK(const uint32_t *a, uint32_t count);

#endif

#ifndef KOLM_P_STACK_H
#define KOLM_P_STACK_H

// Checked access to the machine's stack and RAM words, shared by the
// instruction decoder, the interrupt entries and the library opcodes.

#include "kolm_p.h"

#include <cstring>

// RAM byte offset of stack index i (i < KOLM_STACK_INDEX_END).
inline uint32_t kolm_vm_stack_offset(uint32_t index)
{
    return KOLM_RAM_SIZE - 4 * (index + 1);
}

inline uint32_t kolm_vm_ram_u32(uint32_t offset)
{
    uint32_t value;
    std::memcpy(&value, KOLM_VM.ctx.RAM + offset, 4);
    return value;
}

inline void kolm_vm_set_ram_u32(uint32_t offset, uint32_t value)
{
    std::memcpy(KOLM_VM.ctx.RAM + offset, &value, 4);
}

// The RAM offset of a whole RAM word at script address, or false.
inline bool kolm_vm_ram_word(uint32_t address, uint32_t &offset)
{
    if (address < KOLM_ADDR_RAM || address > KOLM_ADDR_RAM + KOLM_RAM_SIZE - 4)
        return false;
    offset = address - KOLM_ADDR_RAM;
    return true;
}

// Unchecked: index < KOLM_STACK_INDEX_END.
inline uint32_t kolm_vm_stack(uint32_t index)
{
    return kolm_vm_ram_u32(kolm_vm_stack_offset(index));
}

inline void kolm_vm_set_stack(uint32_t index, uint32_t value)
{
    kolm_vm_set_ram_u32(kolm_vm_stack_offset(index), value);
}

// True when stack index lies in RAM; otherwise logs and faults.
bool kolm_vm_stack_index_ok(uint32_t index);

// True when the word of stack index lies in RAM above the global
// variables (the first bss bytes), where the stack may grow.
bool kolm_vm_stack_above_globals(uint32_t index);

// Stack overflow: error 7, the message at error level, fault.
void kolm_vm_stack_overflow(const char *message);

// Pushes with the overflow check: false (error 7, fault) when the stack is
// full or the word would land on a global variable.
bool kolm_vm_push(uint32_t value);

#endif

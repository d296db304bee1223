#ifndef KOLM_STATE_PRINT_H
#define KOLM_STATE_PRINT_H

// Printers of the virtual machine's state for a person: the registers with
// the used part of the stack, the flags word, the whole machine record, the
// RAM and stack tables, and the value texts of bytes and words.
//
// The text printers write their numbers in hexadecimal and always leave the
// stream in decimal mode.

#include "kolm_p.h"

#include <cstdint>
#include <ostream>
#include <string>

// The stack as the printers show it: the upper 512 bytes of RAM, 128 word
// slots; slot 0 is the last RAM word.
inline constexpr uint32_t KOLM_PRINT_STACK_SLOTS = 128;
// The globals' part of RAM that the RAM table shows.
inline constexpr uint32_t KOLM_PRINT_RAM_BYTES = 256;

// The registers, the ISR level and the stack slots in use (at most the
// stack's 128 slots, whatever ESP holds).
std::ostream &operator<<(std::ostream &out, const _VM_Context &context);
// "Flags:", the error number and each flag bit as "set" or "clear".
void printKolmFlags(uint32_t flags, std::ostream &out);
// "Context:", "Table:" and the flags.
std::ostream &operator<<(std::ostream &out, const _KolmVM &vm);

// The globals' part of RAM, 16 bytes a line.
void printKolmRam(const _VM_Context &context, std::ostream &out);
// All 128 stack slots, 8 a line; "*" marks the slots in use.
void printKolmStack(const _VM_Context &context, std::ostream &out);
// The 768 RAM bytes as they stand.
void kolm_vm_dump_ram(const _KolmVM &vm, std::ostream &out);

// "0x" and two, or eight, lowercase hexadecimal digits.
std::string printUchar(uint8_t value);
std::string printTVar(uint32_t value);

#endif

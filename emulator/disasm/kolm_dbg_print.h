#ifndef KOLM_DBG_PRINT_H
#define KOLM_DBG_PRINT_H

// Printers of the machine's entry table: the text form for people and the
// JSON and XML forms that head the disassembly listing.

#include "kolm_disasm_types.h"
#include "kolm_image_format.h"

#include <ostream>

// "main\texti\tmsg\n", those three entries in hexadecimal, then
// "segv\tack\tbss\n" and those three; leaves the stream in decimal mode.
std::ostream &operator<<(std::ostream &out, const _KOLM_VTable &table);

// The entry table as a JSON object at the padding's level (no line end).
void printVTableJson(const _KOLM_VTable &table, Padding &pad, std::ostream &out);

// The entry table as a <vtable> element at the padding's level.
void printVTableXML(const _KOLM_VTable &table, Padding &pad, std::ostream &out);

#endif

#ifndef KOLM_DISASM_FORMAT_H
#define KOLM_DISASM_FORMAT_H

// Writers of the disassembly listing in its three forms. The walk over the
// image calls them in the order of the listing:
//
//   asm_list_head
//   KOLM_DBG_OP for each instruction, asm_list_separator between two
//   asm_list_code_end
//   without extensions: asm_list_end
//   otherwise asm_list_extensions_begin, then for each extension
//   (asm_list_separator between two):
//     asm_list_extension_begin
//     "TS": asm_list_symbols_begin, the symbols (asm_list_separator between
//           two), asm_list_symbols_end
//     "DS": asm_list_debugsyms
//     other tags: asm_list_unknown_extension
//     asm_list_extension_end
//   asm_list_extensions_end
//
// A symbol is one of asm_list_literal, asm_list_unknown_symbol, or an array:
// asm_list_array_begin, its elements (literal arrays: symbols with
// asm_list_separator between two; number arrays: asm_list_array_number),
// asm_list_array_end.
//
// Every writer takes the listing's one Padding and leaves its level where
// the next writer of the sequence expects it. JSON strings and XML attribute
// values are escaped; the text form writes image bytes as they stand.

#include "kolm_disasm_types.h"

#include <functional>
#include <ostream>
#include <string>

// Writes the entry table in the listing's form at the padding's level.
using VTableWriter = std::function<void(std::ostream &, Padding &)>;

// Banner or document start, version, entry table, start of the code list.
void asm_list_head(const std::string &version, const VTableWriter &table,
                   OutputType format, Padding &pad, std::ostream &out);

// One instruction in each form, and the dispatch by form.
void printAsmString(const AsmOp &op, std::ostream &out);
void printAsmJSON(const AsmOp &op, Padding &pad, std::ostream &out);
void printAsmXML(const AsmOp &op, Padding &pad, std::ostream &out);
void KOLM_DBG_OP(const AsmOp &op, OutputType format, Padding &pad, std::ostream &out);

// Between two items of one list: ",\n" in JSON, nothing otherwise.
void asm_list_separator(OutputType format, std::ostream &out);

// End of the code list and the data section's size.
void asm_list_code_end(uint32_t dataSize, OutputType format, Padding &pad, std::ostream &out);
// End of a listing without extensions.
void asm_list_end(OutputType format, Padding &pad, std::ostream &out);

// The extension area from start to the end of the ROM.
void asm_list_extensions_begin(uint32_t start, uint32_t romSize, OutputType format, Padding &pad,
                               std::ostream &out);
void asm_list_extensions_end(OutputType format, Padding &pad, std::ostream &out);

// One extension's head and end; tag is its two tag bytes.
void asm_list_extension_begin(const std::string &tag, uint32_t address, uint32_t length,
                              OutputType format, Padding &pad, std::ostream &out);
void asm_list_extension_end(OutputType format, Padding &pad, std::ostream &out);
// Content of an extension whose tag is neither "TS" nor "DS".
void asm_list_unknown_extension(OutputType format, Padding &pad, std::ostream &out);

// A "TS" extension of the given length around its symbols.
void asm_list_symbols_begin(uint32_t length, OutputType format, Padding &pad, std::ostream &out);
void asm_list_symbols_end(OutputType format, Padding &pad, std::ostream &out);

// A literal with its bytes from the data section.
void asm_list_literal(const DataSymbol &symbol, const std::string &bytes, OutputType format,
                      Padding &pad, std::ostream &out);
// A symbol of unknown type, or an array element that no record describes
// (type DataSymbol::Unresolved).
void asm_list_unknown_symbol(const DataSymbol &symbol, OutputType format, Padding &pad,
                             std::ostream &out);
// An array of literals or of numbers (symbol.type says which).
void asm_list_array_begin(const DataSymbol &symbol, OutputType format, Padding &pad,
                          std::ostream &out);
void asm_list_array_end(const DataSymbol &symbol, OutputType format, Padding &pad,
                        std::ostream &out);
// Value number index (from 0) of an array of numbers.
void asm_list_array_number(uint32_t value, uint32_t index, OutputType format, Padding &pad,
                           std::ostream &out);

// The whole content of a "DS" extension of the given length.
void asm_list_debugsyms(const DebugInfo &info, uint32_t length, OutputType format, Padding &pad,
                        std::ostream &out);

#endif

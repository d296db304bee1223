#ifndef KOLM_DISASM_H
#define KOLM_DISASM_H

// The disassembler: walks the image loaded in the ROM, with the layout that
// the machine's loader found (kolm_vm_init), and writes its listing through
// the writers of kolm_disasm_format.h. g_asm_walk holds the cursor.
//
// Every read of the walk checks that its bytes lie inside the image. The
// first read that does not reports the fault and marks the walk; the walk
// then reads nothing more, writes what it has decoded and closes the
// listing, so JSON and XML listings stay whole documents.

#include "kolm_disasm_read.h"
#include "kolm_disasm_types.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Writes the whole listing of the loaded image. False when a read left the
// image (after the fault report).
bool asm_dismember(const AsmImage &image, std::ostream &out, OutputType format, const std::string &version);

// Decodes the instruction at EIP and advances EIP past it. When it lies
// wholly inside the image, writes it (after a list separator unless it is
// the first of the code list) and returns true; otherwise writes nothing and
// returns false.
bool asm_dism_next(std::ostream &out, OutputType format, Padding &pad, bool first);

// Bounds of the data symbols of one listing, shared by all its "TS"
// extensions. The bytes that records list at the top level, and the bytes
// listed again inside arrays, each stop at the image's size: overlapping
// records and arrays that repeat one large literal cannot make the listing
// grow with the square of the image. A symbol past its bound is written as
// an unresolved symbol.
struct DataListingBudget {
    uint64_t limit = 0; // the image's size
    uint64_t topLevel = 0;
    uint64_t nested = 0;
};

// Arrays nested deeper than this inside an array are written as unresolved
// elements; the generator nests one level (an array of literals).
inline constexpr uint32_t kMaxArrayNesting = 8;

// The records of one "TS" extension.
struct DataSymbolTable {
    explicit DataSymbolTable(DataListingBudget &listingBudget) : budget(listingBudget) {}
    DataListingBudget &budget;
    // Arrays open around the symbol being listed.
    uint32_t depth = 0;
    // In record order; of several records for one offset only the first.
    std::vector<DataSymbol> records;
    std::unordered_map<uint32_t, DataSymbol> byOffset;
    // Arrays whose elements have been listed: an array element that refers
    // to one of them is not listed again, so neither an array that holds
    // itself nor a chain of arrays can multiply the listing.
    std::unordered_set<uint32_t> listedArrays;
};

// Lists one data symbol (after a list separator unless it is the first of
// its list), an array with its elements nested. An array element that
// refers to an array already listed is written as an unresolved element.
// False when a read left the image; what was opened is closed before.
bool asm_dism_data_symbol(const DataSymbol &symbol, DataSymbolTable &table, bool first,
                          OutputType format, Padding &pad, std::ostream &out);

// Lists the content of the "TS" extension of the given length whose records
// start at EIP. False when a read left the image.
bool asm_dism_data_symbols(uint32_t length, DataListingBudget &budget, OutputType format, Padding &pad,
                           std::ostream &out);

// Lists the debug information that starts at EIP; size is the extension's
// length. Only the extension's bytes are read: what does not fit in it is
// not listed. False when a read left the image (what was read before is
// listed).
bool asm_dism_debugsyms(uint16_t size, OutputType format, Padding &pad, std::ostream &out);

#endif

// Listing of the data-symbol ("TS") extension.

#include "kolm_disasm.h"

#include "kolm_disasm_format.h"
#include "kolm_disasm_read.h"

namespace {

constexpr uint32_t kRecordBytes = 12;
// An array element holds a data-section address; without this bit it is
// the offset that names its symbol.
constexpr uint32_t kDataAddressMask = ~kolm_image::kDataAddress;

// Reads the records from EIP: 12 bytes each, one at every 12th byte of the
// length (the last one read whole even when the length ends inside it).
bool readRecords(uint32_t length, DataSymbolTable &table)
{
    table.byOffset.reserve(length / kRecordBytes + 1);
    for (uint32_t position = 0; position < length; position += kRecordBytes) {
        DataSymbol symbol;
        if (!asm_dism_read_u32(symbol.offset) || !asm_dism_read_u32(symbol.type) ||
            !asm_dism_read_u32(symbol.size))
            return false;
        if (table.byOffset.emplace(symbol.offset, symbol).second)
            table.records.push_back(symbol);
    }
    return true;
}

// Image bytes of a symbol: count bytes from the symbol's offset in the data
// section; null after the fault report when they leave the image.
const uint8_t *symbolBytes(const DataSymbol &symbol, uint64_t count)
{
    return asm_dism_span(uint64_t(g_asm_walk.image.data_start) + symbol.offset, count);
}

void listUnresolved(bool first, OutputType format, Padding &pad, std::ostream &out)
{
    if (!first)
        asm_list_separator(format, out);
    asm_list_unknown_symbol(DataSymbol{0, DataSymbol::Unresolved, 0}, format, pad, out);
}

// Spends bytes of the listing's budget at the table's depth: the top level
// or inside arrays. False, spending nothing, when they do not fit.
bool spend(DataSymbolTable &table, uint64_t bytes)
{
    uint64_t &spent = table.depth == 0 ? table.budget.topLevel : table.budget.nested;
    if (bytes > table.budget.limit - spent)
        return false;
    spent += bytes;
    return true;
}

bool isArray(const DataSymbol &symbol)
{
    return symbol.type == DataSymbol::LiteralArray || symbol.type == DataSymbol::NumberArray;
}

bool listElements(const DataSymbol &array, const uint8_t *elements, DataSymbolTable &table,
                  OutputType format, Padding &pad, std::ostream &out)
{
    for (uint32_t i = 0; i < array.size; ++i) {
        const uint32_t value = asm_dism_le32(elements + 4 * uint64_t(i));
        if (array.type == DataSymbol::NumberArray) {
            asm_list_array_number(value, i, format, pad, out);
            continue;
        }
        const auto found = table.byOffset.find(value & kDataAddressMask);
        const bool resolved = found != table.byOffset.end() &&
                              !(isArray(found->second) && (table.listedArrays.count(found->second.offset) != 0 ||
                                                           table.depth > kMaxArrayNesting));
        if (!resolved)
            listUnresolved(i == 0, format, pad, out);
        else if (!asm_dism_data_symbol(found->second, table, i == 0, format, pad, out))
            return false;
    }
    return true;
}

} // namespace

bool asm_dism_data_symbol(const DataSymbol &symbol, DataSymbolTable &table, bool first,
                          OutputType format, Padding &pad, std::ostream &out)
{
    switch (symbol.type) {
    case DataSymbol::Literal: {
        const uint8_t *bytes = symbolBytes(symbol, symbol.size);
        if (!bytes)
            return false;
        if (!spend(table, symbol.size)) {
            listUnresolved(first, format, pad, out);
            return true;
        }
        if (!first)
            asm_list_separator(format, out);
        asm_list_literal(symbol, std::string(reinterpret_cast<const char *>(bytes), symbol.size),
                         format, pad, out);
        return true;
    }
    case DataSymbol::LiteralArray:
    case DataSymbol::NumberArray: {
        // A leading byte, then the elements.
        const uint64_t span = 1 + 4 * uint64_t(symbol.size);
        const uint8_t *bytes = symbolBytes(symbol, span);
        if (!bytes)
            return false;
        if (!spend(table, span)) {
            listUnresolved(first, format, pad, out);
            return true;
        }
        if (!first)
            asm_list_separator(format, out);
        table.listedArrays.insert(symbol.offset);
        asm_list_array_begin(symbol, format, pad, out);
        ++table.depth;
        const bool inImage = listElements(symbol, bytes + 1, table, format, pad, out);
        --table.depth;
        asm_list_array_end(symbol, format, pad, out);
        return inImage;
    }
    default:
        if (!first)
            asm_list_separator(format, out);
        asm_list_unknown_symbol(symbol, format, pad, out);
        return true;
    }
}

bool asm_dism_data_symbols(uint32_t length, DataListingBudget &budget, OutputType format, Padding &pad,
                           std::ostream &out)
{
    DataSymbolTable table(budget);
    bool inImage = readRecords(length, table);
    asm_list_symbols_begin(length, format, pad, out);
    // Every record in record order; the symbols of an array are listed
    // again inside it.
    for (size_t i = 0; inImage && i < table.records.size(); ++i)
        inImage = asm_dism_data_symbol(table.records[i], table, i == 0, format, pad, out);
    asm_list_symbols_end(format, pad, out);
    return inImage;
}

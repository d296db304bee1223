#include "kolm_disasm.h"

#include "flash.h"
#include "kolm_dbg_print.h"
#include "kolm_disasm_format.h"
#include "kolm_disasm_read.h"
#include "kolm_image_format.h"
#include "kolm_opcodes.h"

#include <string>

namespace {

using kolm_isa::Operands;

using kolm_image::kEntryTableBytes;

// Operand kinds of a fixed layout in encoding order: 'R' a register byte,
// 'D' a byte shown in decimal, 'I' a u32 immediate.
const char *operandKinds(Operands layout)
{
    switch (layout) {
    case Operands::None: return "";
    case Operands::R: return "R";
    case Operands::D: return "D";
    case Operands::RR: return "RR";
    case Operands::RD: return "RD";
    case Operands::DR: return "DR";
    case Operands::I: return "I";
    case Operands::RI: return "RI";
    case Operands::ID: return "ID";
    case Operands::DI: return "DI";
    case Operands::II: return "II";
    case Operands::Table: break;
    }
    return "";
}

std::string registerName(uint32_t index)
{
    return index < kolm_isa::kRegisterCount ? kolm_isa::kRegisterNames[index] : "NaN";
}

bool readOperand(char kind, std::vector<std::string> &args)
{
    uint32_t value = 0;
    if (kind == 'I') {
        if (!asm_dism_read_u32(value))
            return false;
        args.push_back(asm_dism_u32(value));
        return true;
    }
    if (!asm_dism_read_u8(value))
        return false;
    args.push_back(kind == 'R' ? registerName(value) : std::to_string(value));
    return true;
}

// The jump table of "tbl": a count byte, then that many immediates.
bool readTable(std::vector<std::string> &args)
{
    uint32_t count = 0;
    if (!asm_dism_read_u8(count))
        return false;
    for (uint32_t i = 0; i < count; ++i)
        if (!readOperand('I', args))
            return false;
    return true;
}

bool decode(AsmOp &op)
{
    uint32_t opcode = 0;
    op.EIP = g_asm_walk.EIP;
    if (!asm_dism_read_u8(opcode))
        return false;
    op.opcode = uint8_t(opcode);
    const Operands layout = kolm_isa::opcodeInfo(op.opcode).operands;
    if (layout == Operands::Table)
        return readTable(op.args);
    for (const char *kind = operandKinds(layout); *kind; ++kind)
        if (!readOperand(*kind, op.args))
            return false;
    return true;
}

void writeEntryTable(OutputType format, std::ostream &out, Padding &pad)
{
    switch (format) {
    case OUTPUT_TEXT: out << g_asm_walk.image.table; break;
    case OUTPUT_JSON: printVTableJson(g_asm_walk.image.table, pad, out); break;
    case OUTPUT_XML: printVTableXML(g_asm_walk.image.table, pad, out); break;
    }
}

// Lists the extension at address (after a list separator unless it is the
// first) and sets next to the address that follows it. False when its head
// or content left the image.
bool listExtension(uint32_t address, bool first, uint64_t &next, DataListingBudget &budget, OutputType format,
                   Padding &pad, std::ostream &out)
{
    g_asm_walk.EIP = address;
    std::string tag;
    uint32_t length = 0;
    if (!asm_dism_read_bytes(2, tag) || !asm_dism_read_u16(length))
        return false;
    // The next extension starts after this one's head and body, however
    // much of the body its listing reads.
    next = uint64_t(address) + 4 + length;
    if (!first)
        asm_list_separator(format, out);
    asm_list_extension_begin(tag, address, length, format, pad, out);
    bool inImage = true;
    if (tag == kolm_image::kTagSymbols)
        inImage = asm_dism_data_symbols(length, budget, format, pad, out);
    else if (tag == kolm_image::kTagDebug)
        inImage = asm_dism_debugsyms(uint16_t(length), format, pad, out);
    else
        asm_list_unknown_extension(format, pad, out);
    asm_list_extension_end(format, pad, out);
    return inImage;
}

} // namespace

bool asm_dism_next(std::ostream &out, OutputType format, Padding &pad, bool first)
{
    AsmOp op;
    if (!decode(op))
        return false;
    if (!first)
        asm_list_separator(format, out);
    KOLM_DBG_OP(op, format, pad, out);
    return true;
}

bool asm_dismember(const AsmImage &image, std::ostream &out, OutputType format, const std::string &version)
{
    g_asm_walk = AsmWalk{image, image.text_start + kEntryTableBytes, false};
    Padding pad{4, 0};
    asm_list_head(version,
                  [format](std::ostream &o, Padding &p) { writeEntryTable(format, o, p); },
                  format, pad, out);

    bool inImage = true;
    for (bool first = true; inImage && g_asm_walk.EIP < image.text_end; first = false)
        inImage = asm_dism_next(out, format, pad, first);
    asm_list_code_end(image.data_end - image.data_start, format, pad, out);

    // Extensions follow the data section, or the code when the data section
    // is missing or empty.
    const uint32_t start = image.data_end > image.data_start ? image.data_end : image.text_end;
    const uint32_t romSize = kolm_rom_size();
    if (!inImage || start >= romSize) {
        asm_list_end(format, pad, out);
        return inImage;
    }
    asm_list_extensions_begin(start, romSize, format, pad, out);
    DataListingBudget budget;
    budget.limit = romSize;
    for (uint64_t address = start; inImage && address < romSize;)
        inImage = listExtension(uint32_t(address), address == start, address, budget, format, pad, out);
    asm_list_extensions_end(format, pad, out);
    return inImage;
}

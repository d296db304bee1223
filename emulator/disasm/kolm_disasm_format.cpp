#include "kolm_disasm_format.h"

#include "kolm_disasm_escape.h"

#include <cstring>

namespace {

// The extension's tag characters up to the first zero byte among them.
std::string tagText(const std::string &tag)
{
    return tag.substr(0, tag.find('\0'));
}

int32_t asSigned(uint32_t value)
{
    return int32_t(value);
}

} // namespace

void asm_list_head(const std::string &version, const VTableWriter &table, OutputType format,
                   Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "/*\n * Kolm Disassembler v. " << version << "\n */\n" << "\n/* VTable:\n";
        table(out, pad);
        out << "\n*/\n\n" << ".text:\n\n";
        break;
    case OUTPUT_JSON:
        out << "{\n";
        ++pad.level;
        out << pad << "\"version\": \"" << jsonEscape(version) << "\",\n";
        out << pad << "\"table\":\n";
        table(out, pad);
        out << ",\n" << pad << "\"text\":    [\n";
        ++pad.level;
        break;
    case OUTPUT_XML:
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<kolm version=\"" << xmlEscape(version) << "\">\n";
        ++pad.level;
        table(out, pad);
        out << "\n" << pad << "<text>\n";
        ++pad.level;
        break;
    }
}

void printAsmString(const AsmOp &op, std::ostream &out)
{
    const char *mnemonic = opcode_str(op.opcode);
    out << asm_dism_u32(op.EIP) << "\t";
    if (std::strlen(mnemonic) == 3)
        out << " ";
    out << mnemonic;
    for (const std::string &arg : op.args)
        out << "\t" << arg;
    out << ";" << "\n";
}

void printAsmJSON(const AsmOp &op, Padding &pad, std::ostream &out)
{
    out << pad << "{\n";
    ++pad.level;
    out << pad << "\"EIP\": " << op.EIP << ",\n";
    out << pad << "\"opcode\": " << int32_t(op.opcode) << ",\n";
    out << pad << "\"opname\": \"" << jsonEscape(opcode_str(op.opcode)) << "\",\n";
    out << pad << "\"args\": [\n";
    ++pad.level;
    for (size_t i = 0; i < op.args.size(); ++i)
        out << pad << "\"" << jsonEscape(op.args[i]) << (i + 1 < op.args.size() ? "\",\n" : "\"\n");
    --pad.level;
    out << pad << "]\n";
    --pad.level;
    out << pad << "}";
}

void printAsmXML(const AsmOp &op, Padding &pad, std::ostream &out)
{
    out << pad << "<instruction eip=\"" << op.EIP << "\" opcode=\"" << int32_t(op.opcode)
        << "\" opname=\"" << xmlEscape(opcode_str(op.opcode)) << "\">\n";
    ++pad.level;
    for (const std::string &arg : op.args)
        out << pad << "<argument value=\"" << xmlEscape(arg) << "\" />\n";
    --pad.level;
    out << pad << "</instruction>\n";
}

void KOLM_DBG_OP(const AsmOp &op, OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT: printAsmString(op, out); break;
    case OUTPUT_JSON: printAsmJSON(op, pad, out); break;
    case OUTPUT_XML: printAsmXML(op, pad, out); break;
    }
}

void asm_list_separator(OutputType format, std::ostream &out)
{
    if (format == OUTPUT_JSON)
        out << ",\n";
}

void asm_list_code_end(uint32_t dataSize, OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "\n.data: /* " << dataSize << " bytes */\n\n";
        break;
    case OUTPUT_JSON:
        --pad.level;
        out << "\n" << pad << "],\n" << pad << "\"data\": " << dataSize;
        break;
    case OUTPUT_XML:
        --pad.level;
        out << "\n" << pad << "</text>\n" << pad << "<data size=\"" << dataSize << "\" />\n";
        break;
    }
}

void asm_list_end(OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        break;
    case OUTPUT_JSON:
        out << "\n}\n";
        pad.level = 0;
        break;
    case OUTPUT_XML:
        out << "</kolm>\n";
        pad.level = 0;
        break;
    }
}

void asm_list_extensions_begin(uint32_t start, uint32_t romSize, OutputType format, Padding &pad,
                               std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "\n.ext: /* " << asm_dism_u32(start) << " */\n\n";
        break;
    case OUTPUT_JSON:
        out << ",\n" << pad << "\"extensions\":    [\n";
        ++pad.level;
        break;
    case OUTPUT_XML:
        out << "\n" << pad << "<extensions address=\"" << start << "\" size=\"" << romSize - start
            << "\">\n";
        ++pad.level;
        break;
    }
}

void asm_list_extensions_end(OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "\n";
        break;
    case OUTPUT_JSON:
        --pad.level;
        out << "\n" << pad << "]" << "\n}\n";
        pad.level = 0;
        break;
    case OUTPUT_XML:
        --pad.level;
        out << "\n" << pad << "</extensions>\n" << "</kolm>\n";
        pad.level = 0;
        break;
    }
}

void asm_list_extension_begin(const std::string &tag, uint32_t address, uint32_t length,
                              OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "/* Entry " << tagText(tag) << ", " << asm_dism_u32(address) << ", " << length
            << " */\n" << "\n.entry\n\n";
        break;
    case OUTPUT_JSON:
        out << pad << "{\n";
        ++pad.level;
        out << pad << "\"type\": \"" << jsonEscape(tagText(tag)) << "\",\n";
        out << pad << "\"address\": " << address << ",\n";
        out << pad << "\"size\":" << length << ",\n";
        out << pad << "\"data\":\n";
        break;
    case OUTPUT_XML:
        out << pad << "<extension type=\">" << xmlEscape(tagText(tag)) << "\" address=\"" << address
            << "\" size=\"" << length << "\">\n";
        ++pad.level;
        break;
    }
}

void asm_list_extension_end(OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        break;
    case OUTPUT_JSON:
        --pad.level;
        out << "\n" << pad << "}";
        break;
    case OUTPUT_XML:
        --pad.level;
        out << pad << "</extension>\n";
        break;
    }
}

void asm_list_unknown_extension(OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << " /* Unknown entry type!!! */ ";
        break;
    case OUTPUT_JSON:
        // The extension's "data" member needs a value to stay valid JSON.
        out << pad << "null";
        break;
    case OUTPUT_XML:
        break;
    }
}

void asm_list_symbols_begin(uint32_t length, OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "/* Data Symbols (" << asSigned(length) / 4 << ") */\n\n.symbols\n\n";
        break;
    case OUTPUT_JSON:
        out << pad << "{\n";
        ++pad.level;
        out << pad << "\"size\": " << asSigned(length) << ",\n";
        out << pad << "\"symbols\": [\n";
        ++pad.level;
        break;
    case OUTPUT_XML:
        out << pad << "<datasyms size=\"" << asSigned(length) << "\">\n";
        ++pad.level;
        break;
    }
}

void asm_list_symbols_end(OutputType format, Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        break;
    case OUTPUT_JSON:
        --pad.level;
        out << "\n" << pad << "]";
        --pad.level;
        out << "\n" << pad << "}";
        break;
    case OUTPUT_XML:
        --pad.level;
        out << pad << "</datasyms>\n";
        break;
    }
}

void asm_list_literal(const DataSymbol &symbol, const std::string &bytes, OutputType format,
                      Padding &pad, std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << bytes << "\t /* Literal@" << symbol.offset << " */\n";
        break;
    case OUTPUT_JSON:
        out << pad << "{\"type\": " << asSigned(symbol.type) << ", \"offset\": " << symbol.offset
            << ", \"literal\": \"" << jsonEscape(bytes) << "\"}";
        break;
    case OUTPUT_XML:
        out << pad << "<literal offset=\"" << symbol.offset << "\" value=\">" << xmlEscape(bytes)
            << "\" />\n";
        break;
    }
}

void asm_list_unknown_symbol(const DataSymbol &symbol, OutputType format, Padding &pad,
                             std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "Data section error: unknown symbol type " << asSigned(symbol.type) << "\n";
        break;
    case OUTPUT_JSON:
        out << pad << "{\"type\": " << asSigned(symbol.type) << "}";
        break;
    case OUTPUT_XML:
        out << pad << "<symbol type=\"" << asSigned(symbol.type) << "\" />\n";
        break;
    }
}

void asm_list_array_begin(const DataSymbol &symbol, OutputType format, Padding &pad,
                          std::ostream &out)
{
    const bool literals = symbol.type == DataSymbol::LiteralArray;
    switch (format) {
    case OUTPUT_TEXT:
        out << (literals ? "/* Array of literals  --> */\n" : "/* Array of numbers  --> */\n");
        break;
    case OUTPUT_JSON:
        out << pad << "{\n";
        ++pad.level;
        out << pad << "\"type\": " << asSigned(symbol.type) << ",\n";
        out << pad << "\"size\": " << asSigned(symbol.size) << ",\n";
        out << pad << "\"array\":    [\n";
        ++pad.level;
        break;
    case OUTPUT_XML:
        out << pad << "<array type=\"" << asSigned(symbol.type) << "\" size=\""
            << asSigned(symbol.size) << "\">\n";
        ++pad.level;
        break;
    }
}

void asm_list_array_number(uint32_t value, uint32_t index, OutputType format, Padding &pad,
                           std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT:
        out << "\t" << value << "\n";
        break;
    case OUTPUT_JSON:
        if (index > 0)
            out << pad << ",\n";
        out << pad << value;
        break;
    case OUTPUT_XML:
        out << pad << "<number value=\"" << value << "\"/>\n";
        break;
    }
}

void asm_list_array_end(const DataSymbol &symbol, OutputType format, Padding &pad,
                        std::ostream &out)
{
    const bool literals = symbol.type == DataSymbol::LiteralArray;
    switch (format) {
    case OUTPUT_TEXT:
        out << (literals ? "/* <-- Array of literals */\n" : "/* <-- Array of numbers */\n");
        break;
    case OUTPUT_JSON:
        // The closing bracket stays at the elements' level and the closing
        // brace one level in, as the listing has always written them.
        if (literals)
            out << "\n";
        out << pad << "]\n";
        --pad.level;
        out << pad << "}";
        --pad.level;
        break;
    case OUTPUT_XML:
        --pad.level;
        out << pad << "</array>\n";
        break;
    }
}

namespace {

void debugSymsText(const DebugInfo &info, uint32_t length, std::ostream &out)
{
    out << "/* Debug Symbols (" << info.files.size() << " files, " << length << ") */\n";
    out << "\n.files\n\n";
    for (const std::string &path : info.files)
        out << ".file " << path << "\n";
    out << "\n.symbols\n\n";
    for (const DebugLoc &loc : info.locations) {
        out << ".debug_loc\t" << asm_dism_u32(loc.start) << "\t" << asm_dism_u32(loc.end) << "\n";
        out << "           \t" << asm_dism_u32(loc.idx) << "\t" << asm_dism_u32(loc.fromLine) << "\t"
            << asm_dism_u32(loc.fromColumn) << "\t" << asm_dism_u32(loc.toLine) << "\t"
            << asm_dism_u32(loc.toColumn) << "\n";
    }
}

void debugSymsJSON(const DebugInfo &info, uint32_t length, Padding &pad, std::ostream &out)
{
    out << pad << "{\n";
    ++pad.level;
    out << pad << "\"size\": " << length << ",\n";
    out << pad << "\"files\":    [\n";
    ++pad.level;
    for (size_t i = 0; i < info.files.size(); ++i) {
        if (i > 0)
            out << ",\n";
        out << pad << "\"" << jsonEscape(info.files[i]) << "\"";
    }
    out << "\n";
    --pad.level;
    out << pad << "],\n";
    out << pad << "\"debug_loc\":    [\n";
    ++pad.level;
    for (size_t i = 0; i < info.locations.size(); ++i) {
        const DebugLoc &loc = info.locations[i];
        if (i > 0)
            out << ",\n";
        out << pad << "{\n";
        ++pad.level;
        out << pad << "\"start\": " << loc.start << ",\n";
        out << pad << "\"end\": " << loc.end << ",\n";
        out << pad << "\"idx\": " << loc.idx << ",\n";
        out << pad << "\"from\": {\"line\": " << loc.fromLine << ", \"column\": " << loc.fromColumn
            << "},\n";
        out << pad << "\"to\": {\"line\": " << loc.toLine << ", \"column\": " << loc.toColumn
            << "}\n";
        --pad.level;
        out << pad << "}";
    }
    --pad.level;
    out << "\n" << pad << "]";
    --pad.level;
    out << "\n" << pad << "}";
}

void debugSymsXML(const DebugInfo &info, uint32_t length, Padding &pad, std::ostream &out)
{
    out << pad << "<debugsyms size=\"" << length << "\" >\n";
    ++pad.level;
    out << pad << "<filetable count=\"" << info.files.size() << "\">\n";
    ++pad.level;
    for (const std::string &path : info.files)
        out << pad << "<file name=\"" << xmlEscape(path) << "\" />\n";
    --pad.level;
    out << pad << "</filetable>\n";
    out << pad << "<entries count=\"" << info.locations.size() << "\">\n";
    ++pad.level;
    for (const DebugLoc &loc : info.locations) {
        out << pad << "<debug_loc start=\"" << loc.start << "\" end=\"" << loc.end << "\" idx=\""
            << loc.idx << "\">";
        ++pad.level;
        out << pad << "<from line=\"" << loc.fromLine << "\" column=\"" << loc.fromColumn
            << "\" />\n";
        out << pad << "<to line=\"" << loc.toLine << "\" column=\"" << loc.toColumn << "\" />\n";
        --pad.level;
        out << pad << "</debug_loc>\n";
    }
    --pad.level;
    out << pad << "</entries>\n";
    --pad.level;
    out << pad << "</debugsyms>\n";
}

} // namespace

void asm_list_debugsyms(const DebugInfo &info, uint32_t length, OutputType format, Padding &pad,
                        std::ostream &out)
{
    switch (format) {
    case OUTPUT_TEXT: debugSymsText(info, length, out); break;
    case OUTPUT_JSON: debugSymsJSON(info, length, pad, out); break;
    case OUTPUT_XML: debugSymsXML(info, length, pad, out); break;
    }
}

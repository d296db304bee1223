#ifndef KOLM_DISASM_TYPES_H
#define KOLM_DISASM_TYPES_H

// What the disassembler decodes from an image and hands to the listing
// writers of kolm_disasm_format.h.

#include "kolm_image_format.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Listing form: 0 text, 1 JSON, 2 XML; any other value writes nothing.
enum OutputType : int { OUTPUT_TEXT = 0, OUTPUT_JSON = 1, OUTPUT_XML = 2 };

// Indentation of the JSON and XML listings: width spaces per level.
struct Padding {
    uint32_t width = 4;
    uint32_t level = 0;
};

// Writes width x level spaces.
std::ostream &operator<<(std::ostream &out, const Padding &pad);

// One decoded instruction.
struct AsmOp {
    uint32_t EIP = 0;                // ROM offset of the opcode byte
    uint8_t opcode = 0;
    std::vector<std::string> args;   // operand texts in operand order
};

// One record of a data-symbol ("TS") extension.
struct DataSymbol {
    enum Type : uint32_t {
        Literal = kolm_image::SYMBOL_LITERAL,
        LiteralArray = kolm_image::SYMBOL_LITERAL_ARRAY,
        NumberArray = kolm_image::SYMBOL_NUMBER_ARRAY,
        Unresolved = 0xFFFFFFFF,
    };
    uint32_t offset = 0;  // relative to the start of the data section
    uint32_t type = 0;    // Type; any other value is an unknown symbol
    uint32_t size = 0;    // a literal's length in bytes, an array's element count
};

// One location of a debug-information ("DS") extension.
struct DebugLoc {
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t idx = 0;
    uint32_t fromLine = 0;
    uint32_t fromColumn = 0;
    uint32_t toLine = 0;
    uint32_t toColumn = 0;
};

// The decoded content of a "DS" extension; paths already cut at their first
// zero byte.
struct DebugInfo {
    std::vector<std::string> files;
    std::vector<DebugLoc> locations;
};

// Mnemonic of an opcode; "inv" for a byte that names no instruction.
const char *opcode_str(uint8_t opcode);

// An immediate's text: "0x" and eight lowercase hexadecimal digits.
std::string asm_dism_u32(uint32_t value);

#endif

#include "kolm_disasm_types.h"

#include "kolm_opcodes.h"

#include <cstdio>

std::ostream &operator<<(std::ostream &out, const Padding &pad)
{
    return out << std::string(size_t(pad.width) * pad.level, ' ');
}

const char *opcode_str(uint8_t opcode)
{
    const char *mnemonic = kolm_isa::opcodeInfo(opcode).mnemonic;
    return mnemonic ? mnemonic : "inv";
}

std::string asm_dism_u32(uint32_t value)
{
    char text[11];
    std::snprintf(text, sizeof text, "0x%08x", unsigned(value));
    return text;
}

// Listing of the debug-information ("DS") extension.

#include "kolm_disasm.h"

#include "kolm_disasm_format.h"
#include "kolm_disasm_read.h"

namespace {

// Reads from EIP what lies inside the image. Every count is only a loop
// bound: nothing is reserved by it, and each pass reads at least four bytes,
// so the first read past the image ends the loop.
bool readDebugInfo(DebugInfo &info)
{
    uint32_t files = 0;
    if (!asm_dism_read_u32(files))
        return false;
    for (uint32_t i = 0; i < files; ++i) {
        uint32_t length = 0;
        std::string path;
        if (!asm_dism_read_u32(length) || !asm_dism_read_bytes(length, path))
            return false;
        info.files.push_back(path.substr(0, path.find('\0')));
    }
    uint32_t entries = 0;
    if (!asm_dism_read_u32(entries))
        return false;
    for (uint32_t i = 0; i < entries; ++i) {
        DebugLoc loc;
        uint32_t *fields[] = {&loc.start, &loc.end, &loc.idx, &loc.fromLine, &loc.fromColumn,
                              &loc.toLine, &loc.toColumn};
        for (uint32_t *field : fields)
            if (!asm_dism_read_u32(*field))
                return false;
        info.locations.push_back(loc);
    }
    return true;
}

} // namespace

bool asm_dism_debugsyms(uint16_t size, OutputType format, Padding &pad, std::ostream &out)
{
    DebugInfo info;
    const bool inImage = readDebugInfo(info);
    asm_list_debugsyms(info, size, format, pad, out);
    return inImage;
}

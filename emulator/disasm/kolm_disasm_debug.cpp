// Listing of the debug-information ("DS") extension.

#include "kolm_disasm.h"

#include "kolm_disasm_format.h"
#include "kolm_disasm_read.h"

namespace {

// Reads at the cursor within the extension, which ends at end: a value
// that would pass that end is not read, so the bytes of the extensions that
// follow are not listed as debug information.
class SectionReader {
public:
    explicit SectionReader(uint64_t end) : m_end(end) {}

    // False when the value does not fit in the extension or leaves the
    // image.
    bool u32(uint32_t &value) { return fits(4) && asm_dism_read_u32(value); }
    bool bytes(uint32_t length, std::string &text) { return fits(length) && asm_dism_read_bytes(length, text); }

private:
    bool fits(uint64_t length) const { return uint64_t(g_asm_walk.EIP) + length <= m_end; }
    uint64_t m_end;
};

// Reads from EIP what lies inside the extension and the image. Every count
// is only a loop bound: nothing is reserved by it, and each pass reads at
// least four bytes, so the first read past the extension ends the loop.
// False when a read did not fit in the extension or the image.
bool readDebugInfo(SectionReader &in, DebugInfo &info)
{
    uint32_t files = 0;
    if (!in.u32(files))
        return false;
    for (uint32_t i = 0; i < files; ++i) {
        uint32_t length = 0;
        std::string path;
        if (!in.u32(length) || !in.bytes(length, path))
            return false;
        info.files.push_back(path.substr(0, path.find('\0')));
    }
    uint32_t entries = 0;
    if (!in.u32(entries))
        return false;
    for (uint32_t i = 0; i < entries; ++i) {
        DebugLoc loc;
        uint32_t *fields[] = {&loc.start, &loc.end, &loc.idx, &loc.fromLine, &loc.fromColumn,
                              &loc.toLine, &loc.toColumn};
        for (uint32_t *field : fields)
            if (!in.u32(*field))
                return false;
        info.locations.push_back(loc);
    }
    return true;
}

} // namespace

bool asm_dism_debugsyms(uint16_t size, OutputType format, Padding &pad, std::ostream &out)
{
    DebugInfo info;
    SectionReader in(uint64_t(g_asm_walk.EIP) + size);
    readDebugInfo(in, info);
    asm_list_debugsyms(info, size, format, pad, out);
    return !g_asm_walk.leftImage;
}

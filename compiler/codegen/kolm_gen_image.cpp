// The bytecode image: the header written by begin, and finalize, which
// appends the initialisation code and the "DT", "TS" and "DS" sections,
// resolves the fix-ups and fills in the header.

#include "console_printer.h"
#include "kolm_gen_context.h"
#include "kolm_gen_stream.h"
#include "kolm_image_format.h"
#include "kolm_opcodes.h"

#include <filesystem>
#include <sstream>

using namespace kolm_isa;
using namespace kolm_image;
using kolm_gen::position;
using kolm_gen::writeU16;
using kolm_gen::writeU32;

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kMaxSectionLength = 0xFFFF;
constexpr uint32_t kMaxCodeEnd = 0x10000; // call targets are masked to 16 bits

void writeTag(std::ostream *out, const char *tag)
{
    out->write(tag, 2);
}

// Writes a tagged section: tag, u16 payload length, payload. False, with
// nothing written, when the payload outgrows the 16-bit length.
bool writeSection(std::ostream *out, const char *tag, const std::string &payload)
{
    if (payload.size() > kMaxSectionLength)
        return false;
    writeTag(out, tag);
    writeU16(out, uint16_t(payload.size()));
    out->write(payload.data(), std::streamsize(payload.size()));
    return true;
}

// A path made absolute against the working directory, in normal form.
fs::path absolutePath(const std::string &file)
{
    const fs::path path(file);
    return (path.is_absolute() ? path : fs::path(KolmGenContext::cwd()) / path).lexically_normal();
}

// A source file's path relative to the main file's directory, worked out
// on the names alone.
std::string relativeName(const std::string &file, const fs::path &baseDir)
{
    if (file.empty())
        return file;
    const fs::path absolute = absolutePath(file);
    const fs::path relative = absolute.lexically_relative(baseDir);
    return (relative.empty() ? absolute : relative).generic_u8string();
}

} // namespace

bool KolmGenContext::begin(std::ostream *out, bool debug, bool flag2)
{
    debugInfo = debug;
    writeU16(out, kByteOrderMark);
    writeU16(out, kMagic);
    writeU16(out, kLanguageRevision);
    m_imageFlags = uint16_t((debug ? kFlagDebug : 0) | (flag2 ? kFlagSecond : 0));
    writeU16(out, m_imageFlags);
    writeTag(out, kTagCode);
    writeU16(out, 0);
    for (uint32_t i = 0; i < kEntryCount; ++i)
        writeU32(out, 0);
    m_literals.clear();
    m_literalOrder.clear();
    m_arrays.clear();
    m_arrayOrder.clear();
    m_data.clear();
    m_history.clear();
    m_jumpTargetMark = 0;
    bssSize = 0;
    return true;
}

bool KolmGenContext::finalize(const std::string &mainFile, std::ostream *out, std::string &error)
{
    if (m_entries[0] == 0) {
        error = "undefined reference to 'main'";
        return false;
    }
    const std::string init = m_initStream.str();
    if (!init.empty()) {
        const uint32_t initStart = position(out);
        out->write(init.data(), std::streamsize(init.size()));
        write_goto(m_entries[0], out);
        m_entries[0] = initStart;
    }
    const uint32_t globalArea = boardPackage().abi * uint32_t(m_globals.size());
    const uint32_t codeEnd = position(out);
    if (codeEnd > kMaxCodeEnd) {
        error = "code too large - it ends at " + std::to_string(codeEnd) + ", beyond offset 65536";
        return false;
    }
    textSize = codeEnd - kHeaderSize;
    bssSize += globalArea;
    m_entries[5] = globalArea;
    out->seekp(kCodeLengthOffset);
    writeU16(out, uint16_t(codeEnd - kEntryTableOffset));
    for (uint32_t entry : m_entries)
        writeU32(out, entry);
    out->seekp(codeEnd);
    return writeSections(mainFile, out, error) && trimToEnd(out, error);
}

bool KolmGenContext::writeSections(const std::string &mainFile, std::ostream *out, std::string &error)
{
    dataSize = 0;
    if (!m_data.empty()) {
        if (!writeSection(out, kTagData, m_data)) {
            error = "data section too large - " + std::to_string(m_data.size()) + " bytes";
            return false;
        }
        dataSize = uint32_t(m_data.size());
    }
    if (!applyFixUps(out, error))
        return false;
    std::ostringstream table;
    for (const std::string &key : m_literalOrder) {
        const DataString &literal = m_literals.at(key);
        for (uint32_t value : {literal.offset, uint32_t(SYMBOL_LITERAL), literal.length})
            writeU32(&table, value);
    }
    for (const std::string &name : m_arrayOrder) {
        const DataArray &array = m_arrays.at(name);
        for (uint32_t value : {array.offset, uint32_t(array.numbers ? SYMBOL_NUMBER_ARRAY : SYMBOL_LITERAL_ARRAY), uint32_t(array.count)})
            writeU32(&table, value);
    }
    if (!writeSection(out, kTagSymbols, table.str())) {
        error = "static object table too large - " + std::to_string(m_literalOrder.size() + m_arrayOrder.size()) +
                " objects";
        return false;
    }
    return !debugInfo || writeDebugSection(mainFile, out);
}

// Patches every call and function-address load of a function whose entry
// was not known when it was written.
bool KolmGenContext::applyFixUps(std::ostream *out, std::string &error)
{
    const uint32_t end = position(out);
    for (const auto &calls : m_callFixUps) {
        const FunctionEntry *entry = function(calls.first);
        if (!entry || entry->entry == kUnresolved) {
            error = "undefined reference to " + calls.first;
            return false;
        }
        for (const FixUp &fix : calls.second) {
            out->seekp(fix.offset);
            write_call(entry->entry, fix.value, out);
            dropLastInstr();
        }
    }
    for (const auto &loads : m_addressFixUps) {
        const FunctionEntry *entry = function(loads.first);
        if (!entry || entry->entry == kUnresolved) {
            error = "undefined reference to " + loads.first;
            return false;
        }
        for (const FixUp &fix : loads.second) {
            if (fix.value == OP_sto) {
                out->seekp(fix.offset + 2);
            } else if (fix.value == OP_spvi) {
                out->seekp(fix.offset + 1);
            } else {
                error = "optimization bug - opcode " + std::to_string(fix.value) + " unsupported";
                return false;
            }
            writeU32(out, entry->entry);
        }
    }
    out->seekp(end);
    return true;
}

// The file table lists each source file once, in the order of first use.
// A section that would outgrow its 16-bit length is left out with a warning.
bool KolmGenContext::writeDebugSection(const std::string &mainFile, std::ostream *out)
{
    std::vector<std::string> files;
    std::unordered_map<std::string, uint32_t> index;
    for (const DebugEntry &entry : m_debugEntries) {
        if (index.emplace(entry.file, uint32_t(files.size())).second)
            files.push_back(entry.file);
    }
    const fs::path baseDir = absolutePath(mainFile).parent_path();
    std::ostringstream payload;
    writeU32(&payload, uint32_t(files.size()));
    for (const std::string &file : files) {
        const std::string name = relativeName(file, baseDir);
        writeU32(&payload, uint32_t(name.size()));
        payload.write(name.data(), std::streamsize(name.size()));
    }
    writeU32(&payload, uint32_t(m_debugEntries.size()));
    for (const DebugEntry &entry : m_debugEntries) {
        for (uint32_t value : {entry.codeStart, entry.codeEnd, index.at(entry.file), entry.firstLine,
                               entry.firstColumn, entry.lastLine, entry.lastColumn})
            writeU32(&payload, value);
    }
    if (!writeSection(out, kTagDebug, payload.str())) {
        const auto end = out->tellp();
        out->seekp(kFlagsOffset);
        writeU16(out, uint16_t(m_imageFlags & ~kFlagDebug));
        out->seekp(end);
        console_output("kcc", "warning", CONSOLE_YELLOW, "debug information too large - omitted\n");
    }
    return true;
}

// Cuts off bytes that a fold left behind the end of the image. Possible for
// in-memory streams; a stream that cannot be cut fails the build instead of
// carrying stale bytes.
bool KolmGenContext::trimToEnd(std::ostream *out, std::string &error)
{
    const auto end = out->tellp();
    out->seekp(0, std::ios::end);
    const auto physicalEnd = out->tellp();
    out->seekp(end);
    if (physicalEnd <= end)
        return true;
    auto *buffer = dynamic_cast<std::stringbuf *>(out->rdbuf());
    if (!buffer) {
        error = "image stream cannot be truncated to the end of the image";
        return false;
    }
    buffer->str(buffer->str().substr(0, size_t(end)));
    out->seekp(0, std::ios::end);
    return true;
}

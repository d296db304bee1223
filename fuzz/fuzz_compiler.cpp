// The compiler: any source text must preprocess, parse, precompile and
// compile to an image in memory, or fail with a diagnostic; never crash,
// hang or exhaust the stack. The input is the main source, optionally
// followed by include files, each after a line "//--- NAME"; includes are
// looked up only among these, never on the file system.

#include "console_printer.h"
#include "kolm_gen_context.h"
#include "lexer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>

namespace {

const char kFileMark[] = "\n//--- ";

// Splits the input into the main source and the named include files.
std::string splitFiles(const std::string &input, std::map<std::string, std::string> &files)
{
    size_t at = input.find(kFileMark);
    const std::string main = input.substr(0, at);
    while (at != std::string::npos) {
        const size_t nameStart = at + sizeof kFileMark - 1;
        const size_t nameEnd = input.find('\n', nameStart);
        const size_t next = nameEnd == std::string::npos ? std::string::npos : input.find(kFileMark, nameEnd);
        const std::string name = input.substr(nameStart, nameEnd - nameStart);
        files[name] = nameEnd == std::string::npos ? std::string() : input.substr(nameEnd + 1, next - nameEnd - 1);
        at = next;
    }
    return main;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static std::ostringstream log;
    log.str(std::string());
    console_set_output(&log);

    std::map<std::string, std::string> files;
    const std::string main = splitFiles(std::string(reinterpret_cast<const char *>(data), size), files);
    KolmGenContext context;
    context.setIncludeFiles(&files);
    context.optimizeLevel = int(size % 2);
    kolm::Compiler driver(&context);
    driver.defines = context.definesMap();
    if (!driver.parse_string(main, "main.kos") || !driver.root ||
        !driver.root->precompile(&context, driver.replace_ops))
        return 0;
    std::stringstream image;
    std::string message;
    if (context.begin(&image, true, false) && driver.root->compile(&context, &image))
        context.finalize("main.kos", &image, message);
    return 0;
}

#include "kolm_compile.h"

#include "console_printer.h"
#include "kolm_board_package.h"
#include "kolm_gen_context.h"
#include "kolm_scanner.h"
#include "lexer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

const char kUsage[] = "usage: kolm-compile [-O0|-O1] [-g] [--bsp FILE] [-I DIR]... [-D NAME=VALUE]...\n"
                      "                    [--tokens|--preprocessed|--tree|--tree-xml] -o OUT.kcs IN.kos\n";

struct Options {
    int optimize = 0;
    bool debug = false;
    std::string bsp;
    std::vector<std::string> includes;
    std::vector<std::pair<std::string, std::string>> defines;
    std::string listing; // "", "--tokens", "--preprocessed", "--tree", "--tree-xml"
    std::string output;
    std::string input;
};

bool parseOptions(const std::vector<std::string> &args, Options &options, std::ostream &err)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "-O0" || arg == "-O1") {
            options.optimize = arg[2] - '0';
        } else if (arg == "-g") {
            options.debug = true;
        } else if ((arg == "--bsp" || arg == "-I" || arg == "-D" || arg == "-o") && hasValue) {
            const std::string &value = args[++i];
            if (arg == "--bsp") {
                options.bsp = value;
            } else if (arg == "-I") {
                options.includes.push_back(value);
            } else if (arg == "-o") {
                options.output = value;
            } else {
                const size_t equals = value.find('=');
                if (equals == 0 || equals == std::string::npos) {
                    err << "kolm-compile: -D needs NAME=VALUE, got " << value << "\n";
                    return false;
                }
                options.defines.emplace_back(value.substr(0, equals), value.substr(equals + 1));
            }
        } else if ((arg == "--tokens" || arg == "--preprocessed" || arg == "--tree" || arg == "--tree-xml") &&
                   options.listing.empty()) {
            options.listing = arg;
        } else if (!arg.empty() && arg[0] != '-' && options.input.empty()) {
            options.input = arg;
        } else {
            err << "kolm-compile: unexpected argument " << arg << "\n";
            return false;
        }
    }
    if (options.input.empty() || (options.listing.empty() && options.output.empty())) {
        err << "kolm-compile: an input file and an output file are needed\n";
        return false;
    }
    return true;
}

// Writes the image through a temporary file renamed over the target, so a
// failed write never leaves a partial image.
bool writeImage(const std::string &path, const std::string &image, std::ostream &err)
{
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        err << "kolm-compile: cannot write " << path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    size_t written = 0;
    while (written < image.size()) {
        const ssize_t n = write(fd, image.data() + written, image.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += size_t(n);
    }
    const bool ok = written == image.size() && close(fd) == 0;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        err << "kolm-compile: cannot write " << path << ": " << std::strerror(errno) << "\n";
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// The token table of the preprocessed text: position, token name, text.
bool listTokens(kolm::Compiler &driver, const std::string &input, std::ostream &out)
{
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        driver.error(input + ": No such file or directory");
        return false;
    }
    std::stringstream text;
    if (!driver.preprocess_stream(in, text, input))
        return false;
    kolm::Scanner scanner(&text, nullptr);
    scanner.setErrorHandler([&](const kolm::location &where, const std::string &message) { driver.error(where, message); });
    kolm::location loc(&driver.file_name);
    kolm::Parser::semantic_type value;
    for (;;) {
        const int token = scanner.lex(&value, &loc);
        if (token == kolm::Token::EndOfFile)
            break;
        out << loc.begin.line << "." << loc.begin.column << "-" << loc.end.line << "." << loc.end.column << " "
            << kolm::tokenName(token) << " " << scanner.YYText() << "\n";
        if (token < kolm::Token::Sizeof)
            delete value.text;
    }
    return !driver.error_flag;
}

// The build, in the order of the IDE's project page.
int build(const Options &options, std::ostream &out, std::ostream &log)
{
    KolmGenContext context;
    for (const std::string &dir : options.includes)
        context.addIncludePath(dir);
    for (const auto &define : options.defines) {
        std::string message;
        if (!context.addDefine(define.first, define.second, &message)) {
            console_output("kcc", "error", CONSOLE_RED, "%s\n", message.c_str());
            return 1;
        }
    }
    context.optimizeLevel = options.optimize;
    KolmBoardPackageParser package;
    if (!options.bsp.empty()) {
        std::string message;
        if (!package.parse(options.bsp, &message)) {
            console_output("kcc", "error", CONSOLE_RED, "%s: %s\n", options.bsp.c_str(), message.c_str());
            return 1;
        }
        context.setBoardPackage(&package);
    }
    kolm::Compiler driver(&context);
    driver.defines = context.definesMap();
    if (options.listing == "--tokens")
        return listTokens(driver, options.input, out) ? 0 : 1;
    if (options.listing == "--preprocessed") {
        std::ifstream in(options.input, std::ios::binary);
        if (!in) {
            driver.error(options.input + ": No such file or directory");
            return 1;
        }
        return driver.preprocess_stream(in, out, options.input) ? 0 : 1;
    }
    if (!driver.parse_file(options.input) || !driver.root)
        return 1;
    if (!driver.root->precompile(&context, driver.replace_ops))
        return 1;
    if (options.listing == "--tree") {
        for (const KolmStatement *statement : driver.root->statements)
            out << statement->toString() << "\n";
        return 0;
    }
    if (options.listing == "--tree-xml") {
        driver.root->toXML(4, 0, &out);
        return 0;
    }
    std::stringstream image;
    std::string message;
    if (!context.begin(&image, options.debug, false) || !driver.root->compile(&context, &image))
        return 1;
    if (!context.finalize(options.input, &image, message)) {
        console_output("kcc", "error", CONSOLE_RED, "%s\n", message.c_str());
        return 1;
    }
    return writeImage(options.output, image.str(), log) ? 0 : 1;
}

} // namespace

int kolmCompile(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    Options options;
    if (!parseOptions(args, options, err)) {
        err << kUsage;
        return 2;
    }
    std::ostringstream log;
    g_output_colorized = false;
    console_set_output(&log);
    const int status = build(options, out, log);
    console_set_output(nullptr);
    err << log.str();
    return status;
}

// The command line of halvane-kdb: any arguments are parsed into options,
// values and positional arguments, or refused with a message, and every
// answer halvane-kdb asks of the parser afterwards can be given.
//
// The input holds the arguments separated by NUL bytes. Help and version end
// the process when they are met, so the parser here has every option of
// halvane-kdb but those two, whose texts are built instead.

#include "fuzz_check.h"
#include "kdb_options.h"
#include "stdcommandlineparser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace {

bool isBuiltIn(const StdCommandLineOption &option)
{
    return option.names.front() == "h" || option.names.front() == "v";
}

// halvane-kdb's parser without the options that end the process.
StdCommandLineParser kdbParser()
{
    StdCommandLineParser declared;
    kdb_declare_options(declared);
    StdCommandLineParser parser;
    parser.applicationDescription = declared.applicationDescription;
    parser.applicationNotice = declared.applicationNotice;
    parser.applicationEpilog = declared.applicationEpilog;
    parser.applicationVersion = declared.applicationVersion;
    for (const StdCommandLineOption &option : declared.options()) {
        if (!isBuiltIn(option))
            check(parser.addOption(option));
    }
    return parser;
}

std::vector<std::string> argumentsOf(const uint8_t *data, size_t size)
{
    std::vector<std::string> arguments{"halvane-kdb"};
    const std::string text(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\0', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const StdCommandLineParser prototype = kdbParser();
    StdCommandLineParser parser = prototype;
    const std::vector<std::string> arguments = argumentsOf(data, size);
    std::vector<const char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(argument.c_str());

    const bool ok = parser.parse(int(argv.size()), argv.data());
    check(ok == parser.errorText.empty());
    for (const std::string &positional : parser.positionalArguments())
        check(!positional.empty());
    for (const StdCommandLineOption &option : parser.options()) {
        const std::list<std::string> values = parser.values(option);
        check(!values.empty() && parser.value(option) == values.back());
        check(parser.isSet(option.name()) == parser.isSet(option));
    }
    for (const std::string &name : parser.optionNames())
        check(parser.isSet(name));
    (void)kdb_level_word(parser);
    check(!parser.helpText().empty() && !parser.versionText().empty());
    return 0;
}

#ifndef STDCOMMANDLINEPARSER_H
#define STDCOMMANDLINEPARSER_H

#include "stdcommandlineoption.h"

#include <deque>
#include <list>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The command-line parser of halvane-kdb. The program declares its options,
// calls parse() and then asks isSet(), value() and positionalArguments().
// Help and version are answered by the parser itself, which then ends the
// process.
class StdCommandLineParser
{
public:
    using OptionList = std::deque<StdCommandLineOption>;

    StdCommandLineParser() = default;

    // "0.5.0" for {0, 5, 0}; empty for an empty list.
    void setApplicationVersion(const std::vector<int> &version);

    // False, adding nothing, when the option has no names or shares a name
    // with a registered option.
    bool addOption(const StdCommandLineOption &option);
    // "-h, --help"; placed at the front, behind the version option when
    // that one is at the front already.
    StdCommandLineOption addHelpOption();
    // "-v, --version"; always placed at the front.
    StdCommandLineOption addVersionOption();
    // False when a positional argument of that name was declared before.
    bool addPositionalArgument(const std::string &name, const std::string &description);

    // Reads the arguments; argv[0] is the program name. False on the first
    // error, whose message is then in errorText. Help and version end the
    // process when they are met.
    bool parse(int argc, const char *const argv[]);

    // The first registered option that has the name; options().end() if none.
    OptionList::const_iterator find(const std::string &name) const;
    const OptionList &options() const { return m_options; }

    bool isSet(const StdCommandLineOption &option) const;
    bool isSet(const std::string &name) const;
    // Value of the last occurrence, else the option's default. By name:
    // empty when no option has the name.
    std::string value(const StdCommandLineOption &option) const;
    std::string value(const std::string &name) const;
    // All values in order of occurrence, else a list holding the default.
    // By name: a list of one empty string when no option has the name.
    std::list<std::string> values(const StdCommandLineOption &option) const;
    std::list<std::string> values(const std::string &name) const;

    std::list<std::string> positionalArguments() const { return m_positionalArguments; }
    // name() of the option of every parsed occurrence, sorted by first name.
    std::list<std::string> optionNames() const;

    std::string versionText() const;
    std::string helpText() const;
    // Write their text to standard output and end the process.
    [[noreturn]] void showHelp(int exitStatus) const;
    [[noreturn]] void showVersion() const;

    std::string applicationDescription;
    std::string applicationVersion;
    std::string applicationNotice;
    std::string applicationEpilog;
    std::string errorText;

private:
    bool parseLong(const std::string &text, size_t &cursor);
    bool parseShort(const std::string &text, size_t &cursor);
    // Help and version act at once; any other option is recorded.
    void actOnBuiltIn(const StdCommandLineOption &option) const;
    bool nextArgument(size_t &cursor, std::string &value) const;
    static StdCommandLineOption versionOption();

    OptionList m_options;
    std::list<std::pair<std::string, std::string>> m_positionalDeclarations;
    std::string m_programName;
    std::vector<std::string> m_arguments;
    std::multimap<StdCommandLineOption, std::string> m_values;
    std::list<std::string> m_positionalArguments;
};

#endif

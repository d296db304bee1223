#ifndef STDCOMMANDLINEOPTION_H
#define STDCOMMANDLINEOPTION_H

#include <list>
#include <string>

// One command-line option of halvane-kdb: its names, help description and,
// for an option that takes a value, the value's name and default.
class StdCommandLineOption
{
public:
    // A name of one character is a short name ("-p"), a longer one a long
    // name ("--port"). An empty valueName makes the option a flag.
    StdCommandLineOption(const std::list<std::string> &names,
                         const std::string &description = std::string(),
                         const std::string &valueName = std::string(),
                         const std::string &defaultValue = std::string());

    // The first name of two or more characters, else the first name; empty
    // for an option without names.
    std::string name() const;

    // The names as written on the command line, joined by ", ", followed by
    // " <valueName>" for an option that takes a value: "-p, --port <port>".
    std::string helpOpts() const;

    // Same names in the same order.
    bool operator==(const StdCommandLineOption &other) const;
    // Byte-wise order of the first names; an option without names first.
    bool operator<(const StdCommandLineOption &other) const;

    std::list<std::string> names;
    std::string description;
    std::string valueName;
    std::string defaultValue;
};

#endif

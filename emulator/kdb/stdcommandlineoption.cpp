#include "stdcommandlineoption.h"

StdCommandLineOption::StdCommandLineOption(const std::list<std::string> &names,
                                           const std::string &description,
                                           const std::string &valueName,
                                           const std::string &defaultValue)
    : names(names), description(description), valueName(valueName), defaultValue(defaultValue)
{
}

std::string StdCommandLineOption::name() const
{
    for (const std::string &n : names) {
        if (n.size() >= 2)
            return n;
    }
    return names.empty() ? std::string() : names.front();
}

std::string StdCommandLineOption::helpOpts() const
{
    std::string text;
    for (const std::string &n : names) {
        if (!text.empty())
            text += ", ";
        text += (n.size() == 1 ? "-" : "--") + n;
    }
    if (!valueName.empty())
        text += " <" + valueName + ">";
    return text;
}

bool StdCommandLineOption::operator==(const StdCommandLineOption &other) const
{
    return names == other.names;
}

bool StdCommandLineOption::operator<(const StdCommandLineOption &other) const
{
    if (names.empty())
        return !other.names.empty();
    if (other.names.empty())
        return false;
    return names.front() < other.names.front();
}

#include "stdcommandlineparser.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>

void StdCommandLineParser::setApplicationVersion(const std::vector<int> &version)
{
    applicationVersion.clear();
    for (size_t i = 0; i < version.size(); ++i) {
        if (i > 0)
            applicationVersion += ".";
        applicationVersion += std::to_string(version[i]);
    }
}

bool StdCommandLineParser::addOption(const StdCommandLineOption &option)
{
    if (option.names.empty())
        return false;
    for (const std::string &n : option.names) {
        if (find(n) != m_options.end())
            return false;
    }
    m_options.push_back(option);
    return true;
}

StdCommandLineOption StdCommandLineParser::versionOption()
{
    return StdCommandLineOption({"v", "version"}, "Displays version information.");
}

StdCommandLineOption StdCommandLineParser::addVersionOption()
{
    auto it = find("version");
    if (it != m_options.end())
        return *it;
    m_options.push_front(versionOption());
    return m_options.front();
}

StdCommandLineOption StdCommandLineParser::addHelpOption()
{
    auto it = find("help");
    if (it != m_options.end())
        return *it;
    StdCommandLineOption help({"h", "help"}, "Displays help on commandline options.");
    if (!m_options.empty() && m_options.front().names.front() == "v") {
        m_options.pop_front();
        m_options.push_front(help);
        m_options.push_front(versionOption());
    } else {
        m_options.push_front(help);
    }
    return help;
}

bool StdCommandLineParser::addPositionalArgument(const std::string &name, const std::string &description)
{
    for (const auto &declared : m_positionalDeclarations) {
        if (declared.first == name)
            return false;
    }
    m_positionalDeclarations.emplace_back(name, description);
    return true;
}

bool StdCommandLineParser::parse(int argc, const char *const argv[])
{
    m_arguments.assign(argv, argv + std::max(argc, 0));
    m_values.clear();
    m_positionalArguments.clear();
    if (m_arguments.empty())
        return true;
    m_programName = m_arguments.front();
    for (size_t cursor = 1; cursor < m_arguments.size(); ++cursor) {
        const std::string &arg = m_arguments[cursor];
        if (arg.empty())
            continue;
        if (arg[0] != '-' || arg == "-") {
            m_positionalArguments.push_back(arg);
        } else if (arg.compare(0, 2, "--") == 0) {
            if (!parseLong(arg.substr(2), cursor))
                return false;
        } else if (!parseShort(arg.substr(1), cursor)) {
            return false;
        }
    }
    return true;
}

bool StdCommandLineParser::nextArgument(size_t &cursor, std::string &value) const
{
    if (cursor + 1 >= m_arguments.size())
        return false;
    value = m_arguments[++cursor];
    return true;
}

void StdCommandLineParser::actOnBuiltIn(const StdCommandLineOption &option) const
{
    const std::string &first = option.names.front();
    if (first == "h")
        showHelp(0);
    if (first == "v")
        showVersion();
}

bool StdCommandLineParser::parseLong(const std::string &text, size_t &cursor)
{
    size_t equals = text.find('=');
    std::string name = text.substr(0, equals);
    auto it = find(name);
    if (it == m_options.end()) {
        errorText = "Unknown option '" + name + "'.";
        return false;
    }
    actOnBuiltIn(*it);
    std::string value;
    if (it->valueName.empty()) {
        if (equals != std::string::npos) {
            errorText = "Unexpected value after '--" + name + "'.";
            return false;
        }
    } else if (equals != std::string::npos) {
        value = text.substr(equals + 1);
    } else if (!nextArgument(cursor, value)) {
        errorText = "Missing value after '--" + name + "'.";
        return false;
    }
    m_values.emplace(*it, value);
    return true;
}

bool StdCommandLineParser::parseShort(const std::string &text, size_t &cursor)
{
    // Flags may be clustered (-dj); an option with a value takes the rest of
    // the cluster or the next argument and ends the cluster.
    for (size_t pos = 0; pos < text.size(); ++pos) {
        std::string name(1, text[pos]);
        auto it = find(name);
        if (it == m_options.end()) {
            errorText = "Unknown option '" + name + "'.";
            return false;
        }
        actOnBuiltIn(*it);
        if (it->valueName.empty()) {
            m_values.emplace(*it, std::string());
            continue;
        }
        std::string value;
        if (pos + 1 < text.size()) {
            value = text.substr(pos + 1);
        } else if (!nextArgument(cursor, value)) {
            errorText = "Missing value after '-" + name + "'.";
            return false;
        }
        m_values.emplace(*it, value);
        return true;
    }
    return true;
}

StdCommandLineParser::OptionList::const_iterator StdCommandLineParser::find(const std::string &name) const
{
    return std::find_if(m_options.begin(), m_options.end(), [&](const StdCommandLineOption &o) {
        return std::find(o.names.begin(), o.names.end(), name) != o.names.end();
    });
}

bool StdCommandLineParser::isSet(const StdCommandLineOption &option) const
{
    return m_values.count(option) > 0;
}

bool StdCommandLineParser::isSet(const std::string &name) const
{
    auto it = find(name);
    return it != m_options.end() && isSet(*it);
}

std::string StdCommandLineParser::value(const StdCommandLineOption &option) const
{
    return values(option).back();
}

std::string StdCommandLineParser::value(const std::string &name) const
{
    auto it = find(name);
    return it == m_options.end() ? std::string() : value(*it);
}

std::list<std::string> StdCommandLineParser::values(const StdCommandLineOption &option) const
{
    std::list<std::string> result;
    auto range = m_values.equal_range(option);
    for (auto it = range.first; it != range.second; ++it)
        result.push_back(it->second);
    if (result.empty())
        result.push_back(option.defaultValue);
    return result;
}

std::list<std::string> StdCommandLineParser::values(const std::string &name) const
{
    auto it = find(name);
    return it == m_options.end() ? std::list<std::string>{std::string()} : values(*it);
}

std::list<std::string> StdCommandLineParser::optionNames() const
{
    std::list<std::string> names;
    for (const auto &entry : m_values)
        names.push_back(entry.first.name());
    return names;
}

std::string StdCommandLineParser::versionText() const
{
    std::string program = applicationDescription;
    if (!m_programName.empty()) {
        std::string base = std::filesystem::path(m_programName).filename().string();
        program = base.empty() ? m_programName : base;
    }
    std::string text = program + " " + applicationVersion;
    if (!applicationNotice.empty())
        text += " " + applicationNotice;
    return text + "\n";
}

std::string StdCommandLineParser::helpText() const
{
    std::string text = versionText();
    text += "Usage: " + m_programName + " [options]\n";
    text += applicationDescription;
    text += "\nOptions:\n";
    size_t width = 1;
    for (const StdCommandLineOption &o : m_options)
        width = std::max(width, o.helpOpts().size());
    for (const StdCommandLineOption &o : m_options) {
        std::string opts = o.helpOpts();
        text += " " + opts;
        if (!o.description.empty())
            text += std::string(width - opts.size(), ' ') + "\t" + o.description;
        text += "\n";
    }
    if (!applicationEpilog.empty())
        text += "\n" + applicationEpilog + "\n";
    return text;
}

void StdCommandLineParser::showHelp(int exitStatus) const
{
    std::cout << helpText() << std::flush;
    std::exit(exitStatus);
}

void StdCommandLineParser::showVersion() const
{
    std::cout << versionText() << std::flush;
    std::exit(0);
}

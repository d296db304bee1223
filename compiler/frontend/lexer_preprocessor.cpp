// The line preprocessor: conditional directives decide which lines reach
// the scanner; #define, #undef and #include lines are checked, recorded and
// passed on in a plain form. Every line that does not reach the scanner is
// recorded in the line mapping.

#include "lexer.h"

#include "console_printer.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace kolm {

namespace {

// The directive without a trailing // comment (outside quotes), blanks and
// carriage return.
std::string stripTail(const std::string &directive)
{
    bool quoted = false;
    size_t end = directive.size();
    for (size_t i = 0; i < directive.size(); ++i) {
        const char c = directive[i];
        if (quoted && c == '\\') {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '/' && i + 1 < directive.size() && directive[i + 1] == '/') {
            end = i;
            break;
        }
    }
    while (end > 0 && (directive[end - 1] == ' ' || directive[end - 1] == '\t' || directive[end - 1] == '\r' ||
                       directive[end - 1] == '\v' || directive[end - 1] == '\f'))
        --end;
    return directive.substr(0, end);
}

} // namespace

bool PreprocessorConditional::startBranch(int line, int outputLine, bool condition, bool isElse)
{
    const bool active = enclosing_active && (isElse || condition) && !taken;
    if (active)
        taken = true;
    branches.push_back({line, outputLine, active});
    return true;
}

bool Compiler::preprocess_stream(std::istream &in, std::ostream &out, const std::string &name)
{
    file_name = name;
    replace_ops.clear();
    local_defines.clear();
    conditionals.clear();
    input_line = 0;
    output_line = 0;
    removed_count = 0;

    std::string line;
    while (std::getline(in, line)) {
        if (line.empty())
            writeLine(line, out);
        else if (!processInputLine(line, out))
            return false;
        ++input_line;
    }
    if (!conditionals.empty()) {
        console_output("kcc", "error", CONSOLE_RED, "%s:%d: unterminated #if\n", file_name.c_str(),
                       conditionals.back().branches.front().line + 1);
        error_flag = true;
        return false;
    }
    return true;
}

bool Compiler::processInputLine(const std::string &line, std::ostream &out)
{
    const size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '#')
        return processMacro(line.substr(first), out);
    if (linesActive())
        writeLine(line, out);
    else
        dropLine();
    return true;
}

bool Compiler::processMacro(const std::string &directive, std::ostream &out)
{
    const std::string text = stripTail(directive);
    std::smatch match;
    if (!std::regex_match(text, match, re_word)) {
        if (!linesActive()) {
            dropLine();
            return true;
        }
        return preprocessorError("%s:%d: invalid preprocessor directive %s\n", text);
    }
    const std::string word = match[1];
    if (word == "if" || word == "ifdef" || word == "ifndef" || word == "elif" || word == "else" ||
        word == "endif") {
        dropLine();
        return processConditional(word, text);
    }
    if (!linesActive()) {
        dropLine();
        return true;
    }
    return processPassedOn(word, text, out);
}

bool Compiler::processConditional(const std::string &word, const std::string &directive)
{
    // Inside an inactive region only the nesting counts.
    const bool enclosing = word == "if" || word == "ifdef" || word == "ifndef"
                               ? linesActive()
                               : conditionals.empty() || conditionals.back().enclosing_active;
    if (word == "else" || word == "endif") {
        if (enclosing && !std::regex_match(directive, word == "else" ? re_else : re_endif))
            return preprocessorError("%s:%d: invalid preprocessor directive %s\n", directive);
        return word == "else" ? processMacroElse() : processMacroEndif();
    }
    bool condition = false;
    if (enclosing) {
        bool matched = false;
        if (!evaluateCondition(directive, &matched, &condition))
            return false;
        if (!matched)
            return preprocessorError("%s:%d: invalid preprocessor directive %s\n", directive);
    }
    if (word == "elif")
        return processMacroElif(condition);
    return processMacroIf(condition, enclosing);
}

bool Compiler::evaluateCondition(const std::string &directive, bool *matched, bool *condition)
{
    std::smatch match;
    *matched = true;
    if (std::regex_match(directive, match, re_ifdef)) {
        *condition = isDefined(match[2]) == (match[1] == "ifdef");
        return true;
    }
    if (std::regex_match(directive, match, re_if_defined)) {
        *condition = isDefined(match[2]) != (match[1] == "!");
        return true;
    }
    if (std::regex_match(directive, match, re_if_value)) {
        int value = 0;
        if (!getDefineValue(match[2], &value))
            return false;
        *condition = value != 0;
        return true;
    }
    if (std::regex_match(directive, match, re_if_compare)) {
        int left = 0;
        int right = 0;
        if (!getDefineValue(match[2], &left) || !getDefineValue(match[4], &right))
            return false;
        const std::string op = match[3];
        if (op == "==")
            *condition = left == right;
        else if (op == "!=")
            *condition = left != right;
        else if (op == "<")
            *condition = left < right;
        else if (op == ">")
            *condition = left > right;
        else if (op == "<=")
            *condition = left <= right;
        else if (op == ">=")
            *condition = left >= right;
        else
            return preprocessorError("%s:%d: token \"%s\" is not valid in preprocessor expressions\n", op);
        return true;
    }
    *matched = false;
    return true;
}

bool Compiler::processPassedOn(const std::string &word, const std::string &directive, std::ostream &out)
{
    std::smatch match;
    if (word == "define" && std::regex_match(directive, match, re_define)) {
        const std::string name = match[1].matched ? match[1] : match[2];
        const std::string value = match[3];
        if (!std::regex_match(value, re_define_value))
            return preprocessorError("%s:%d: invalid define value %s\n", value);
        local_defines.emplace(name, value);
        writeLine("#define " + name + (value.empty() ? "" : " " + value), out);
        return true;
    }
    if (word == "undef" && std::regex_match(directive, match, re_undef)) {
        local_defines.erase(match[1]);
        defines.erase(match[1]);
        writeLine("#undef " + match[1].str(), out);
        return true;
    }
    if (word == "include" && std::regex_match(directive, match, re_include)) {
        writeLine(match[1].matched ? "#include \"" + match[1].str() + "\"" : "#include <" + match[2].str() + ">",
                  out);
        return true;
    }
    return preprocessorError("%s:%d: invalid preprocessor directive %s\n", directive);
}

bool Compiler::processMacroIf(bool condition, bool enclosingActive)
{
    PreprocessorConditional group;
    group.enclosing_active = enclosingActive;
    conditionals.push_back(group);
    return conditionals.back().startBranch(input_line, output_line, condition, false);
}

bool Compiler::processMacroElif(bool condition)
{
    if (conditionals.empty())
        return preprocessorError("%s:%d: #elif without #if\n");
    if (conditionals.back().else_seen)
        return preprocessorError("%s:%d: #elif after #else\n");
    return conditionals.back().startBranch(input_line, output_line, condition, false);
}

bool Compiler::processMacroElse()
{
    if (conditionals.empty())
        return preprocessorError("%s:%d: #else without #if\n");
    if (conditionals.back().else_seen)
        return preprocessorError("%s:%d: #else after another #else\n");
    conditionals.back().else_seen = true;
    return conditionals.back().startBranch(input_line, output_line, false, true);
}

bool Compiler::processMacroEndif()
{
    if (conditionals.empty())
        return preprocessorError("%s:%d #endif without #if\n");
    conditionals.pop_back();
    return true;
}

bool Compiler::getDefineValue(const std::string &token, int *value)
{
    const std::string *defined = nullptr;
    for (const auto *map : {&defines, &local_defines}) {
        const auto found = map->find(token);
        if (!defined && found != map->end())
            defined = &found->second;
    }
    const bool isDefine = defined != nullptr;
    const std::string text = isDefine ? *defined : token;
    const char *begin = text.c_str();
    char *end = nullptr;
    errno = 0;
    const long long number = std::strtoll(begin, &end, 0);
    if (end == begin || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        if (isDefine)
            return preprocessorError("%s:%d: token \"%s\" is not valid in preprocessor expressions\n", text);
        *value = 0;
        return true;
    }
    *value = int(number);
    return true;
}

bool Compiler::isDefined(const std::string &name) const
{
    return defines.count(name) != 0 || local_defines.count(name) != 0;
}

bool Compiler::linesActive() const
{
    return conditionals.empty() || conditionals.back().branches.back().active;
}

void Compiler::writeLine(const std::string &text, std::ostream &out)
{
    ++output_line;
    if (removed_count > 0) {
        replace_ops.push_back({removed_from, output_line, removed_count, 0});
        removed_count = 0;
    }
    out << text << '\n';
}

void Compiler::dropLine()
{
    if (removed_count == 0)
        removed_from = input_line + 1;
    ++removed_count;
}

bool Compiler::preprocessorError(const char *format, const std::string &argument)
{
    console_output("kcc", "error", CONSOLE_RED, format, file_name.c_str(), input_line + 1, argument.c_str());
    error_flag = true;
    return false;
}

} // namespace kolm

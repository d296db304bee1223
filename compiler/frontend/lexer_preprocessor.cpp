// The line preprocessor: conditional directives decide which lines reach
// the scanner; #define, #undef and #include lines are checked, recorded and
// passed on in a plain form. Every line that does not reach the scanner is
// recorded in the line mapping.

#include "lexer.h"

#include "console_printer.h"
#include "kolm_gen_context.h"
#include "preprocessor_directives.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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
    output_bytes = 0;

    std::string line;
    while (sourceFits() && std::getline(in, line)) {
        if (line.empty())
            writeLine(line, out);
        else if (!processInputLine(line, out))
            return false;
        ++input_line;
    }
    if (!sourceFits())
        return preprocessorError("%s:%d: source too large after includes\n");
    // A stream that fails part-way (an I/O error, memory running out for a
    // line) is no shorter source.
    if (in.bad())
        return readError(std::strerror(EIO));
    if (!conditionals.empty()) {
        console_output("kcc", "error", CONSOLE_RED, "%s:%d: unterminated #if\n", file_name.c_str(),
                       conditionals.back().branches.front().line + 1);
        error_flag = true;
        return false;
    }
    if (context)
        context->countSource(output_bytes);
    return true;
}

bool Compiler::sourceFits() const
{
    return !context || context->sourceFits(1, output_bytes);
}

bool Compiler::readError(const std::string &reason)
{
    console_output("kcc", "error", CONSOLE_RED, "Cannot read %s: %s\n", file_name.c_str(), reason.c_str());
    error_flag = true;
    return false;
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
    std::string word;
    if (!directive::word(text, &word)) {
        if (!linesActive()) {
            dropLine();
            return true;
        }
        return preprocessorError("%s:%d: invalid preprocessor directive %s\n", text);
    }
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
        if (enclosing && !directive::bare(directive, word.c_str()))
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

bool Compiler::evaluateCondition(const std::string &text, bool *matched, bool *condition)
{
    *matched = true;
    bool positive = false;
    bool negated = false;
    std::string name, left, op, right;
    if (directive::ifdef(text, &positive, &name)) {
        *condition = isDefined(name) == positive;
        return true;
    }
    if (directive::ifDefined(text, &negated, &name)) {
        *condition = isDefined(name) != negated;
        return true;
    }
    if (directive::ifValue(text, &left)) {
        int value = 0;
        if (!getDefineValue(left, &value))
            return false;
        *condition = value != 0;
        return true;
    }
    if (directive::ifCompare(text, &left, &op, &right)) {
        int a = 0;
        int b = 0;
        if (!getDefineValue(left, &a) || !getDefineValue(right, &b))
            return false;
        if (op == "==")
            *condition = a == b;
        else if (op == "!=")
            *condition = a != b;
        else if (op == "<")
            *condition = a < b;
        else if (op == ">")
            *condition = a > b;
        else if (op == "<=")
            *condition = a <= b;
        else if (op == ">=")
            *condition = a >= b;
        else
            return preprocessorError("%s:%d: token \"%s\" is not valid in preprocessor expressions\n", op);
        return true;
    }
    *matched = false;
    return true;
}

bool Compiler::processPassedOn(const std::string &word, const std::string &text, std::ostream &out)
{
    std::string name, value;
    bool system = false;
    if (word == "define" && directive::define(text, &name, &value)) {
        if (!directive::defineValue(value))
            return preprocessorError("%s:%d: invalid define value %s\n", value);
        local_defines.emplace(name, value);
        writeLine("#define " + name + (value.empty() ? "" : " " + value), out);
        return true;
    }
    if (word == "undef" && directive::undef(text, &name)) {
        local_defines.erase(name);
        defines.erase(name);
        writeLine("#undef " + name, out);
        return true;
    }
    if (word == "include" && directive::include(text, &name, &system)) {
        writeLine(system ? "#include <" + name + ">" : "#include \"" + name + "\"", out);
        return true;
    }
    return preprocessorError("%s:%d: invalid preprocessor directive %s\n", text);
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
    output_bytes += text.size() + 1;
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
    console_output("kcc", "error", CONSOLE_RED, format, file_name.c_str(), input_line + 1,
                   console_quote(argument).c_str());
    error_flag = true;
    return false;
}

} // namespace kolm

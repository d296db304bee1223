// Integer constants, character constants and string literals: reading their
// source texts into values.

#include "ast.h"
#include "console_printer.h"
#include "kolm_gen_context.h"

#include <cerrno>
#include <cstdlib>

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// Reads at most `max` digits of the base from text[i], advancing i.
unsigned readDigits(const std::string &text, size_t &i, int base, int max, int *count)
{
    unsigned value = 0;
    *count = 0;
    while (i < text.size() && *count < max && digitValue(text[i]) < base) {
        value = value * unsigned(base) + unsigned(digitValue(text[i]));
        ++i;
        ++*count;
    }
    return value;
}

} // namespace

bool KolmInteger::setValue(const std::string &text, int base)
{
    if (base == 0 && setConstant(text))
        return true;
    // Unsigned 32-bit reading as strtoul does: leading blanks and a sign,
    // digits up to the first character that is none; a minus negates.
    const char *begin = text.c_str();
    char *end = nullptr;
    errno = 0;
    const unsigned long long magnitude = std::strtoull(begin, &end, base);
    if (end == begin || errno == ERANGE || magnitude > 0xFFFFFFFFull) {
        console_output("kcc", "error", CONSOLE_RED, "%s: Cannot convert %s to integer (%s)\n\n", location().c_str(),
                       text.c_str(), "stoul");
        valid = false;
        return false;
    }
    size_t first = text.find_first_not_of(" \t\n\v\f\r");
    const bool negative = first != std::string::npos && text[first] == '-';
    value = negative ? uint32_t(0u - uint32_t(magnitude)) : uint32_t(magnitude);
    valid = true;
    return true;
}

bool KolmInteger::setConstant(const std::string &text)
{
    if (text.size() < 3 || text.front() != '\'' || text.back() != '\'')
        return false;
    switch (text.size()) {
    case 3:
        value = uint32_t(int32_t(int8_t(text[1])));
        break;
    case 4: {
        static const std::pair<char, uint32_t> escapes[] = {{'0', 0},  {'a', 7},  {'b', 8},  {'f', 12},
                                                           {'n', 10}, {'r', 13}, {'t', 9},  {'v', 11},
                                                           {'\\', 92}, {'\'', 39}, {'"', 34}};
        bool found = false;
        for (const auto &escape : escapes)
            if (escape.first == text[2]) {
                value = escape.second;
                found = true;
            }
        if (!found) {
            console_output("kcc", "error", CONSOLE_RED, "%s: unknown escape sequence %s\n\n", location().c_str(),
                           text.c_str());
            valid = false;
            return false;
        }
        break;
    }
    case 6: {
        size_t i = 3;
        int count = 0;
        const unsigned code = readDigits(text, i, 16, 2, &count);
        if (count == 0) {
            console_output("kcc", "error", CONSOLE_RED, "%s: invalid character code %s (%s)\n\n",
                           location().c_str(), text.c_str(), "stoi");
            valid = false;
            return false;
        }
        value = code;
        break;
    }
    default:
        return false;
    }
    valid = true;
    return true;
}

bool KolmInteger::isCompileTimeConstant(KolmGenContext *) const
{
    return true;
}

uint32_t KolmInteger::compileTimeValue(KolmGenContext *) const
{
    return value;
}

bool KolmStaticSizeof::isCompileTimeConstant(KolmGenContext *) const
{
    return true;
}

uint32_t KolmStaticSizeof::compileTimeValue(KolmGenContext *ctx) const
{
    return ctx->boardPackage().abi;
}

bool KolmLiteral::setLiteral(const std::string &quoted)
{
    text.clear();
    text.reserve(quoted.size());
    size_t i = 0;
    while (i < quoted.size()) {
        const char c = quoted[i++];
        if (c != '\\' || i == quoted.size()) {
            text += c;
            continue;
        }
        const char e = quoted[i++];
        int count = 0;
        switch (e) {
        case '"': case '\'': case '\\': text += e; break;
        case 'a': text += '\a'; break;
        case 'b': text += '\b'; break;
        case 'f': text += '\f'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        case 'v': text += '\v'; break;
        case '0': text += '\0'; break;
        case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
            --i;
            text += char(readDigits(quoted, i, 8, 3, &count) & 0xFF);
            break;
        }
        case 'x': case 'X': {
            const unsigned code = readDigits(quoted, i, 16, 2, &count);
            if (count == 0) {
                text += '\\';
                text += e;
            } else {
                text += char(code);
            }
            break;
        }
        default:
            text += '\\';
            text += e;
        }
    }
    valid = true;
    return true;
}

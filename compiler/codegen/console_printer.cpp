#include "console_printer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

bool g_output_colorized = false;

namespace {

std::ostream *g_output = &std::cerr;

const char kBold[] = "\033[1m";
const char kReset[] = "\033[0m";
const char kInvalid[] = "<invalid diagnostic>";

unsigned g_error_count = 0;

} // namespace

void console_set_output(std::ostream *stream)
{
    g_output = stream ? stream : &std::cerr;
}

void console_output(const char *tool, const char *severity, const char *colour,
                    const char *format, ...)
{
    std::ostream &out = *g_output;
    if (severity && std::strcmp(severity, "error") == 0)
        ++g_error_count;
    if (!tool || !severity || !colour || !format) {
        out << kInvalid << '\n';
        return;
    }

    if (g_output_colorized)
        out << kBold;
    out << tool << ": ";
    if (g_output_colorized)
        out << kReset << colour;
    out << severity << ": ";
    if (g_output_colorized)
        out << kReset;

    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        out << kInvalid << '\n';
        return;
    }
    std::vector<char> text(size_t(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    out << text.data();
}

std::string console_quote(const std::string &text)
{
    if (text.size() <= kConsoleQuoteLimit)
        return text;
    size_t end = kConsoleQuoteLimit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end) + "\u2026";
}

unsigned console_error_count()
{
    return g_error_count;
}

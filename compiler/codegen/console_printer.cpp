#include "console_printer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <utility>
#include <vector>

bool g_output_colorized = false;

namespace {

std::ostream *g_output = &std::cerr;

const char kBold[] = "\033[1m";
const char kReset[] = "\033[0m";
const char kInvalid[] = "<invalid diagnostic>";

unsigned g_error_count = 0;

// The trace being written: its line count, and its last lines, which are
// held back until it is known whether they are among the last ones.
struct Trace {
    size_t lines = 0;
    std::deque<std::string> tail;
};
Trace g_trace;

std::string format_diagnostic(const char *tool, const char *severity, const char *colour,
                              const char *format, va_list args)
{
    if (severity && std::strcmp(severity, "error") == 0)
        ++g_error_count;
    if (!tool || !severity || !colour || !format)
        return std::string(kInvalid) + '\n';

    std::string out;
    if (g_output_colorized)
        out += kBold;
    out += tool;
    out += ": ";
    if (g_output_colorized) {
        out += kReset;
        out += colour;
    }
    out += severity;
    out += ": ";
    if (g_output_colorized)
        out += kReset;

    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        return out + kInvalid + '\n';
    std::vector<char> text(size_t(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    return out + text.data();
}

// Ends the trace being written: the lines held back, after a note on those
// left out between the first and the last ones.
void end_trace()
{
    std::ostream &out = *g_output;
    const size_t left_out = g_trace.lines - kConsoleTraceHead - g_trace.tail.size();
    if (g_trace.lines > kConsoleTraceHead && left_out > 0)
        out << "kcc: note: " << left_out << " more \"while compiling\" lines left out\n";
    for (const std::string &line : g_trace.tail)
        out << line;
    g_trace = Trace();
}

} // namespace

void console_set_output(std::ostream *stream)
{
    end_trace();
    g_output = stream ? stream : &std::cerr;
}

void console_output(const char *tool, const char *severity, const char *colour,
                    const char *format, ...)
{
    end_trace();
    va_list args;
    va_start(args, format);
    const std::string text = format_diagnostic(tool, severity, colour, format, args);
    va_end(args);
    *g_output << text;
}

void console_trace(const char *tool, const char *severity, const char *colour,
                   const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = format_diagnostic(tool, severity, colour, format, args);
    va_end(args);
    if (++g_trace.lines <= kConsoleTraceHead) {
        *g_output << text;
        return;
    }
    g_trace.tail.push_back(std::move(text));
    if (g_trace.tail.size() > kConsoleTraceTail)
        g_trace.tail.pop_front();
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

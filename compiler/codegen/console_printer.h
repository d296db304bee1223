#ifndef CONSOLE_PRINTER_H
#define CONSOLE_PRINTER_H

#include <cstddef>
#include <ostream>
#include <string>

// Escape sequences for the severity word.
#define CONSOLE_RED "\033[31m"
#define CONSOLE_YELLOW "\033[33m"

// When true, diagnostics carry terminal escape sequences around the tool and
// severity words.
extern bool g_output_colorized;

// Selects the stream that diagnostics go to; null selects standard error.
// The stream is not owned.
void console_set_output(std::ostream *stream);

// Writes one diagnostic: "tool: severity: " and the formatted message. The
// caller puts the trailing newline into the format. A diagnostic that cannot
// be written (a null argument, a format that fails) writes
// "<invalid diagnostic>" in its place and leaves the stream usable.
void console_output(const char *tool, const char *severity, const char *colour,
                    const char *format, ...) __attribute__((format(printf, 4, 5)));

// Writes one line of a failure's trace, the "while compiling" line that each
// enclosing node adds as the failure travels outwards. Consecutive trace
// lines form one trace, of which only the first kConsoleTraceHead and the
// last kConsoleTraceTail lines are written, with one note in between that
// says how many were left out. The trace ends at the next diagnostic or
// when the output stream is selected again (the end of a capture); the
// lines it keeps back until then are written there.
void console_trace(const char *tool, const char *severity, const char *colour,
                   const char *format, ...) __attribute__((format(printf, 4, 5)));

constexpr size_t kConsoleTraceHead = 5;
constexpr size_t kConsoleTraceTail = 5;

// The most characters of a source text (a node's text form, a directive
// line) that one diagnostic quotes.
constexpr size_t kConsoleQuoteLimit = 200;

// The text as a diagnostic quotes it: unchanged up to kConsoleQuoteLimit
// bytes, else its first bytes up to that limit (not splitting a UTF-8
// character) followed by "\u2026".
std::string console_quote(const std::string &text);

// The number of diagnostics of severity "error" written so far in this
// process. A pass compares it before and after to fail on any error, also
// one whose reporting code went on.
unsigned console_error_count();

#endif

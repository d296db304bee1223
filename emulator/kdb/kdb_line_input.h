#ifndef KDB_LINE_INPUT_H
#define KDB_LINE_INPUT_H

// Line reader of the console: reads a file descriptor directly (no stdio
// buffer in between), so that waiting for the next line can watch for the
// program's signals at the same time.

#include <string>

class KdbLineInput
{
public:
    enum class Result { Line, End, Signal };

    explicit KdbLineInput(int fd) : m_fd(fd) {}

    // Line: the next line, without its line feed (a last line without one
    // counts too). End: no more input (or the descriptor cannot be read).
    // Signal: a signal was recorded while waiting; the bits stay for
    // SignalHandler::getSignals().
    Result readLine(std::string &line);

private:
    // A line longer than this is handed over in pieces of this length.
    static constexpr size_t kMaxLine = 4096;

    int m_fd;
    std::string m_buffer;
    bool m_end = false;
};

#endif

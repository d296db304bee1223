#include "kdb_line_input.h"

#include "signalhandler.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

KdbLineInput::Result KdbLineInput::readLine(std::string &line)
{
    for (;;) {
        // A line is cut at kMaxLine characters however the reads happened to
        // split the input; a line of exactly kMaxLine characters waits for
        // the character behind it to see whether its line feed follows.
        const size_t feed = m_buffer.find('\n');
        const bool whole = feed != std::string::npos && feed <= kMaxLine;
        if (whole || m_buffer.size() > kMaxLine || (m_end && !m_buffer.empty())) {
            const size_t length = whole ? feed : std::min(m_buffer.size(), kMaxLine);
            line = m_buffer.substr(0, length);
            m_buffer.erase(0, whole ? length + 1 : length);
            return Result::Line;
        }
        if (m_end)
            return Result::End;

        switch (SignalHandler::instance().waitReadable(m_fd, -1)) {
        case SignalHandler::WaitResult::Signal:
            return Result::Signal;
        case SignalHandler::WaitResult::Ready:
            break;
        default:
            m_end = true;
            continue;
        }
        char chunk[1024];
        const ssize_t got = ::read(m_fd, chunk, sizeof chunk);
        if (got > 0)
            m_buffer.append(chunk, size_t(got));
        else if (got == 0 || errno != EINTR)
            m_end = true;
    }
}

#include "kdb_line_input.h"

#include "signalhandler.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

KdbLineInput::Result KdbLineInput::readLine(std::string &line)
{
    for (;;) {
        const size_t feed = m_buffer.find('\n');
        if (feed != std::string::npos || m_buffer.size() >= kMaxLine || (m_end && !m_buffer.empty())) {
            const size_t length = feed != std::string::npos ? feed : std::min(m_buffer.size(), kMaxLine);
            line = m_buffer.substr(0, length);
            m_buffer.erase(0, feed != std::string::npos ? length + 1 : length);
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

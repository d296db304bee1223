#ifndef KOLM_TEST_CHILD_PROCESS_H
#define KOLM_TEST_CHILD_PROCESS_H

// Runs a program as a child process for the tests of whole programs: feeds
// its standard input, collects standard output and error, sends signals,
// and never waits without a bound (a child that outlives its bound is
// killed and reported as timed out).

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct ChildResult {
    int status = -1;        // exit status; -1 when killed or timed out
    bool timedOut = false;
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string> &args)
    {
        std::signal(SIGPIPE, SIG_IGN);
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
            throw std::runtime_error("pipe failed");
        m_pid = fork();
        if (m_pid == 0) {
            std::signal(SIGPIPE, SIG_DFL);
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
                close(fd);
            std::vector<char *> argv;
            for (const std::string &a : args)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        m_in = in[1];
        m_out = out[0];
        m_err = err[0];
        fcntl(m_out, F_SETFL, O_NONBLOCK);
        fcntl(m_err, F_SETFL, O_NONBLOCK);
    }

    ~ChildProcess()
    {
        if (!m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_in, m_out, m_err})
            if (fd >= 0)
                close(fd);
    }

    void write(const std::string &data)
    {
        size_t done = 0;
        while (m_in >= 0 && done < data.size()) {
            const ssize_t n = ::write(m_in, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += size_t(n);
        }
    }

    void closeInput()
    {
        if (m_in >= 0)
            close(m_in);
        m_in = -1;
    }

    void signal(int sig) { kill(m_pid, sig); }
    pid_t pid() const { return m_pid; }

    // Reads output until standard output holds text at or after position
    // from; false after timeoutMs.
    bool waitForOutput(const std::string &text, int timeoutMs, size_t from = 0)
    {
        return waitFor(m_result.out, text, timeoutMs, from);
    }

    // The same for standard error.
    bool waitForError(const std::string &text, int timeoutMs, size_t from = 0)
    {
        return waitFor(m_result.err, text, timeoutMs, from);
    }

    // Standard output received so far.
    const std::string &output() const { return m_result.out; }

    // Waits until the child has its own handlers for SIGINT and SIGTERM;
    // false after timeoutMs.
    bool waitForSignalHandlers(int timeoutMs)
    {
        const uint64_t wanted = (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1));
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
            std::string line;
            while (std::getline(status, line)) {
                if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) & wanted) == wanted)
                    return true;
            }
            usleep(5000);
        }
        return false;
    }

    // Closes standard input, waits for the end of the child within
    // timeoutMs and returns everything it wrote.
    ChildResult finish(int timeoutMs)
    {
        closeInput();
        return wait(timeoutMs);
    }

    // Waits for the end of the child within timeoutMs, its standard input
    // left open, and returns everything it wrote.
    ChildResult wait(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (pump(deadline)) {
        }
        int status = 0;
        while (!m_reaped) {
            const pid_t done = waitpid(m_pid, &status, WNOHANG);
            if (done == m_pid) {
                m_reaped = true;
                break;
            }
            if (Clock::now() >= deadline) {
                m_result.timedOut = true;
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
                m_reaped = true;
                break;
            }
            usleep(2000);
        }
        m_result.status = WIFEXITED(status) && !m_result.timedOut ? WEXITSTATUS(status) : -1;
        return m_result;
    }

private:
    using Clock = std::chrono::steady_clock;

    // Reads output until the collected stream holds text at or after
    // position from; false after timeoutMs.
    bool waitFor(const std::string &stream, const std::string &text, int timeoutMs, size_t from)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (stream.find(text, from) == std::string::npos) {
            if (Clock::now() >= deadline || !pump(deadline))
                return stream.find(text, from) != std::string::npos;
        }
        return true;
    }

    // Reads what is available; false when both outputs are at their end or
    // the deadline has passed.
    bool pump(Clock::time_point deadline)
    {
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
        int open = 0;
        for (pollfd &p : fds)
            open += p.fd >= 0;
        if (open == 0)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        if (poll(fds, 2, int(left > 50 ? 50 : left)) < 0 && errno != EINTR)
            return false;
        drain(m_out, m_result.out);
        drain(m_err, m_result.err);
        return true;
    }

    void drain(int &fd, std::string &into)
    {
        if (fd < 0)
            return;
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0) {
                into.append(buffer, size_t(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                close(fd);
                fd = -1;
            }
            return;
        }
    }

    pid_t m_pid = -1;
    int m_in = -1, m_out = -1, m_err = -1;
    bool m_reaped = false;
    ChildResult m_result;
};

// Runs the program to its end with the given standard input.
inline ChildResult runChild(const std::vector<std::string> &args, const std::string &input = std::string(),
                            int timeoutMs = 20000)
{
    ChildProcess child(args);
    child.write(input);
    return child.finish(timeoutMs);
}

#endif

#ifndef KOLM_TEST_NETWORK_PROCESS_H
#define KOLM_TEST_NETWORK_PROCESS_H

// halvane-kdb in a network mode as a child process on a free loopback port,
// and plain client connections to it.

#include "child_process.h"
#include "free_port.h"
#include "kdb_program.h"

#include <arpa/inet.h>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// One client connection with line reads bounded in time.
class Connection
{
public:
    explicit Connection(int fd) : m_fd(fd) {}
    ~Connection() { close(m_fd); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    int fd() const { return m_fd; }

    void send(const std::string &bytes) { ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

    // The next line with its LF; empty after the time-out or at the end.
    std::string line(int timeoutMs = 5000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const size_t lf = m_buffer.find('\n');
            if (lf != std::string::npos) {
                std::string line = m_buffer.substr(0, lf + 1);
                m_buffer.erase(0, lf + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, int(left)) <= 0)
                return std::string();
            char bytes[4096];
            const ssize_t n = recv(m_fd, bytes, sizeof bytes, 0);
            if (n <= 0)
                return std::string();
            m_buffer.append(bytes, size_t(n));
        }
    }

    // Sends one command line and returns the lines up to its echo line.
    std::string command(const std::string &text, char letter)
    {
        send(text);
        std::string lines;
        for (std::string l = line(); !l.empty(); l = line()) {
            lines += l;
            if (l == std::string(1, letter) + "\n")
                break;
        }
        return lines;
    }

private:
    int m_fd;
    std::string m_buffer;
};

// halvane-kdb in a network mode on a free port. A port taken between the
// probe and the program's bind ends the program: it starts again on
// another port.
class NetworkProcess
{
public:
    bool start(std::vector<std::string> args, const std::string &input = std::string())
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            port = freePort();
            std::vector<std::string> all{kProgram, "-p", std::to_string(port)};
            all.insert(all.end(), args.begin(), args.end());
            child = std::make_unique<ChildProcess>(all);
            child->write(input);
            child->closeInput();
            if (child->waitForSignalHandlers(10000) && (connection = connect()))
                return true;
        }
        return false;
    }

    std::unique_ptr<ChildProcess> child;
    std::unique_ptr<Connection> connection;
    int port = 0;

    // A new connection to the program; null after five seconds of trying.
    std::unique_ptr<Connection> connect()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in address = loopbackAddress(port);
            if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
                return std::make_unique<Connection>(fd);
            close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return nullptr;
    }
};

#endif

#ifndef KOLM_BENCH_EMU_CLIENT_H
#define KOLM_BENCH_EMU_CLIENT_H

// A client of halvane-kdb's emulator mode with plain sockets and the
// emulator's own framer: device packets from the host (port 2) out, whole
// frames back, in the order they came.

#include "free_port.h"
#include "kolm_slip.h"

#include <chrono>
#include <deque>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class EmuClient
{
public:
    EmuClient() = default;
    EmuClient(const EmuClient &) = delete;
    EmuClient &operator=(const EmuClient &) = delete;
    ~EmuClient() { disconnect(); }

    // Connects to the loopback port, retrying while the server starts.
    bool connect(int port, int attempts = 500)
    {
        disconnect();
        for (int i = 0; i < attempts; ++i) {
            m_fd = socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in a = loopbackAddress(port);
            if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) == 0) {
                const int on = 1;
                setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                return true;
            }
            close(m_fd);
            m_fd = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    void disconnect()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
        m_frames.clear();
        slip_reset(m_context);
    }

    // One packet from the host to the port, framed.
    static std::string frame(uint8_t port, const std::string &payload)
    {
        const std::string packet = std::string{0, char(port << 4 | 2), '\xFF', '\xFF', '\xFF', '\xFF'} + payload;
        s_out.clear();
        slip_process(reinterpret_cast<const uint8_t *>(packet.data()), int(packet.size()), true,
                     [](uint8_t byte) {
                         s_out.push_back(char(byte));
                         return true;
                     });
        return s_out;
    }

    // The bytes of a management command (port 1): command, sub-code, data.
    static std::string commandFrame(uint8_t cmd, uint16_t sub, const std::string &data = {})
    {
        return frame(1, std::string{char(cmd), char(sub), char(sub >> 8)} + data);
    }

    bool sendRaw(const std::string &bytes)
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += size_t(n);
        }
        return true;
    }

    // Sends one packet and waits for the next frame that comes back; false
    // when the link is gone.
    bool request(uint8_t port, const std::string &payload) { return sendRaw(frame(port, payload)) && receive(); }

    bool command(uint8_t cmd, uint16_t sub, const std::string &data = {})
    {
        return sendRaw(commandFrame(cmd, sub, data)) && receive();
    }

    // Waits up to timeoutMs (for ever when negative) for one whole frame;
    // it is then in last() (packet bytes and checksum).
    bool receive(int timeoutMs = -1)
    {
        while (m_frames.empty()) {
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0)
                return false;
            uint8_t bytes[4096];
            const ssize_t n = recv(m_fd, bytes, sizeof bytes, 0);
            if (n <= 0)
                return false;
            s_into = &m_frames;
            slip_receive(m_context, bytes, uint32_t(n), [](const uint8_t *f, uint32_t length) {
                s_into->emplace_back(reinterpret_cast<const char *>(f), length);
            });
        }
        m_last = std::move(m_frames.front());
        m_frames.pop_front();
        return true;
    }

    // The last received packet's data, after the 6-byte header, without the
    // checksum.
    std::string lastData() const { return m_last.size() > 7 ? m_last.substr(6, m_last.size() - 7) : std::string(); }

    // Reads and drops whatever already came, without waiting.
    void drain()
    {
        uint8_t bytes[4096];
        while (recv(m_fd, bytes, sizeof bytes, MSG_DONTWAIT) > 0) {
        }
    }

private:
    static inline std::string s_out;
    static inline std::deque<std::string> *s_into = nullptr;
    int m_fd = -1;
    uint8_t m_buffer[1024] = {};
    SlipContext m_context{0, m_buffer, sizeof m_buffer, 0};
    std::deque<std::string> m_frames;
    std::string m_last;
};

#endif

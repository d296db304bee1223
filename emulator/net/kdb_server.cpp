#include "kdb_server.h"

#include "kolm_dbg.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

KDBServer gdbserver;

namespace {

constexpr uint32_t kError = KOLM_LOG_NET | KOLM_LOG_ERROR;
constexpr uint32_t kWarning = KOLM_LOG_NET | KOLM_LOG_WARNING;
constexpr uint32_t kInfo = KOLM_LOG_NET | KOLM_LOG_INFO;

enum : int { kReadable = 1, kWritable = 2 };

// select() on one descriptor, for reading and, when asked, for writing: the
// kReadable and kWritable bits of what is ready, 0 after the time-out, <0
// on failure.
int waitReady(int fd, bool forWriting, int timeoutMs)
{
    if (fd >= FD_SETSIZE) {
        errno = EBADF;
        return -1;
    }
    fd_set readable, writable;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_SET(fd, &readable);
    if (forWriting)
        FD_SET(fd, &writable);
    timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = select(fd + 1, &readable, forWriting ? &writable : nullptr, nullptr, &timeout);
    if (ready <= 0)
        return ready;
    return (FD_ISSET(fd, &readable) ? kReadable : 0) | (FD_ISSET(fd, &writable) ? kWritable : 0);
}

} // namespace

KDBServer::~KDBServer()
{
    dropClient();
    if (m_listen >= 0)
        close(m_listen);
}

void KDBServer::dropClient()
{
    if (m_client >= 0)
        close(m_client);
    m_client = -1;
    m_count = 0;
    m_queueStart = m_queueEnd = 0;
}

bool KDBServer::start(int port)
{
    if (m_listen >= 0) {
        asm_debug(kWarning, "socket already created");
        return false;
    }
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    if (m_listen < 0) {
        asm_debug(kError, "socket creation error");
        return false;
    }
    asm_debug(kInfo, "socket created");
    // A connection of an earlier run may linger in TIME_WAIT on the port
    // (the emulator ended before its client): the port is still ours to
    // listen on.
    const int reuse = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    m_serverAddress = sockaddr_in{};
    m_serverAddress.sin_family = AF_INET;
    m_serverAddress.sin_port = htons(uint16_t(port));
    m_serverAddress.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(m_listen, reinterpret_cast<sockaddr *>(&m_serverAddress), sizeof m_serverAddress) != 0) {
        asm_debug(kError, "socket bind ::%d failed (%d)", port, errno);
        return false;
    }
    asm_debug(kInfo, "bound to ::%d", port);
    if (listen(m_listen, kListenBacklog) != 0) {
        asm_debug(kError, "socket listen ::%d failed (%d)", port, errno);
        return false;
    }
    // Port 0 lets the system choose: the log names the port it chose.
    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    m_port = getsockname(m_listen, reinterpret_cast<sockaddr *>(&bound), &boundLength) == 0 ? ntohs(bound.sin_port)
                                                                                              : port;
    asm_debug(kInfo, "listening at ::%d", m_port);
    const int flags = fcntl(m_listen, F_GETFL, 0);
    if (flags < 0) {
        asm_debug(kError, "socket flags query error (%d)", errno);
        return false;
    }
    if (!(flags & O_NONBLOCK))
        fcntl(m_listen, F_SETFL, flags | O_NONBLOCK);
    asm_debug(kInfo, "waiting for connection");
    return true;
}

bool KDBServer::wait(int timeoutMs)
{
    if (m_listen < 0) {
        asm_debug(kWarning, "cannot accept - invalid socket");
        return false;
    }
    const int ready = waitReady(m_listen, false, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return true;
    if (ready < 0) {
        asm_debug(kError, "server select error %d", errno);
        return false;
    }
    socklen_t length = sizeof m_clientAddress;
    const int client = accept(m_listen, reinterpret_cast<sockaddr *>(&m_clientAddress), &length);
    if (client < 0) {
        // The peer gave up between select() and accept(): nothing to take.
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED || errno == EINTR)
            return true;
        asm_debug(kError, "socket accept failed (%d)", errno);
        return false;
    }
    // Replies are queued rather than waited for: a client that does not
    // read must not stop the program.
    const int flags = fcntl(client, F_GETFL, 0);
    if (flags < 0 || fcntl(client, F_SETFL, flags | O_NONBLOCK) != 0) {
        asm_debug(kError, "socket flags query error (%d)", errno);
        close(client);
        return true;
    }
    const int sendBuffer = kClientSendBuffer;
    setsockopt(client, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    m_client = client;
    // Each client starts with an empty receive buffer and output queue: a
    // partial request of the one before must not precede its data.
    m_count = 0;
    m_queueStart = m_queueEnd = 0;
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &m_clientAddress.sin_addr, text, sizeof text);
    asm_debug(kInfo, "client %s:%d connected (%d)", text, ntohs(m_clientAddress.sin_port), client);
    return true;
}

bool KDBServer::poll(Consumer consumer, int timeoutMs)
{
    if (m_client < 0 || !flush())
        return false;
    const int ready = waitReady(m_client, queuedCount() > 0, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return true;
    if (ready < 0) {
        asm_debug(kError, "client failed with error %d", errno);
        dropClient();
        return false;
    }
    if ((ready & kWritable) && !flush())
        return false;
    if (!(ready & kReadable))
        return true;
    const ssize_t n = read(m_client, m_buffer + m_count, size_t(kReceiveBufferSize - m_count));
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    if (n <= 0) {
        asm_debug(kError, "client receive error (%d)", n < 0 ? errno : 0);
        dropClient();
        return false;
    }
    asm_debug(kInfo, "client %d received %d", m_client, int(n));
    m_count += int(n);
    // A consumer that takes one unit at a time gets the rest too, until it
    // takes no more.
    while (consumeBuffered(consumer)) {
    }
    return m_client >= 0;
}

bool KDBServer::consumeBuffered(Consumer consumer)
{
    if (m_count == 0)
        return false;
    int used = consumer(m_buffer, m_count);
    // A reply that dropped the client also dropped what it had sent.
    if (used <= 0 || m_client < 0)
        return false;
    if (used > m_count)
        used = m_count;
    std::memmove(m_buffer, m_buffer + used, size_t(m_count - used));
    m_count -= used;
    return true;
}

long KDBServer::sendNow(const uint8_t *data, uint32_t length)
{
    if (m_outputHeld)
        return 0;
    // A client that has gone must not end the process with SIGPIPE: the
    // failed send drops it instead.
    const ssize_t n = send(m_client, data, length, MSG_NOSIGNAL);
    if (n >= 0)
        return long(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 0;
    asm_debug(kError, "client transmit error (%d)", errno);
    dropClient();
    return -1;
}

bool KDBServer::enqueue(const uint8_t *data, uint32_t length)
{
    if (length > kOutputQueueSize - queuedCount())
        return false;
    if (queuedCount() == 0)
        m_queuedSince = m_clock();
    if (length > kOutputQueueSize - m_queueEnd) {
        std::memmove(m_queue, m_queue + m_queueStart, queuedCount());
        m_queueEnd -= m_queueStart;
        m_queueStart = 0;
    }
    std::memcpy(m_queue + m_queueEnd, data, length);
    m_queueEnd += length;
    return true;
}

bool KDBServer::flush()
{
    if (m_client < 0)
        return false;
    if (queuedCount() == 0)
        return true;
    const long n = sendNow(m_queue + m_queueStart, queuedCount());
    if (n < 0)
        return false;
    m_queueStart += uint32_t(n);
    if (m_queueStart == m_queueEnd) {
        m_queueStart = m_queueEnd = 0;
        return true;
    }
    // A client that reads takes everything queued within moments; the
    // system lets a few bytes through now and then even to one that never
    // reads, so only an emptied queue counts.
    if (m_clock() - m_queuedSince >= std::chrono::milliseconds(m_stallTimeoutMs)) {
        asm_debug(kWarning, "client does not read - dropped");
        dropClient();
        return false;
    }
    return true;
}

bool KDBServer::write(const void *data, uint32_t length)
{
    if (m_client < 0) {
        asm_debug(kError, "cannot write - client not connected");
        return false;
    }
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    // Bytes queued before go first.
    if (!flush())
        return false;
    long sent = 0;
    if (queuedCount() == 0 && (sent = sendNow(bytes, length)) < 0)
        return false;
    if (uint32_t(sent) < length && !enqueue(bytes + sent, length - uint32_t(sent))) {
        asm_debug(kWarning, "client output queue full - dropped");
        dropClient();
        return false;
    }
    asm_debug(kInfo, "written %d to client", int(sent));
    if (uint32_t(sent) < length)
        asm_debug(kInfo, "queued %u for client", length - uint32_t(sent));
    return true;
}

bool KDBServer::print(const char *format, ...)
{
    char text[kPrintBufferSize];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length < 0)
        length = 0;
    if (length > kPrintBufferSize - 1)
        length = kPrintBufferSize - 1;
    return write(text, uint32_t(length));
}

#ifndef KDB_SERVER_H
#define KDB_SERVER_H

// The program's one network endpoint: a TCP server on IPv4 that listens on
// all local interfaces and serves exactly one client at a time. It is driven
// by the program's single main loop and never blocks longer than the wait it
// is given: the client socket is non-blocking, and what the client does not
// take at once waits in a bounded output queue that every poll flushes. A
// client whose queue overflows, or that leaves it unemptied for a few
// seconds, is dropped. Every step is logged in the network category.

#include <chrono>
#include <cstdint>
#include <netinet/in.h>

class KDBServer
{
public:
    static constexpr int kReceiveBufferSize = 4096;
    static constexpr int kPrintBufferSize = 1024;
    static constexpr uint32_t kOutputQueueSize = 256 * 1024;
    // The system's send buffer for the client (it may double it): left to
    // grow, it takes megabytes of replies to a client that does not read,
    // which then goes unnoticed for as long as the requests behind them
    // take to answer.
    static constexpr int kClientSendBuffer = 64 * 1024;
    // A client that leaves output queued this long without taking all of
    // it does not read: it is dropped.
    static constexpr int kStallTimeoutMs = 5000;
    // Connections waiting to be accepted while a client is served.
    static constexpr int kListenBacklog = 4;

    // Takes the buffered bytes; returns how many from the start it used
    // (0 keeps them all buffered).
    using Consumer = int (*)(const uint8_t *data, int length);

    explicit KDBServer(int stallTimeoutMs = kStallTimeoutMs) : m_stallTimeoutMs(stallTimeoutMs) {}
    ~KDBServer();
    KDBServer(const KDBServer &) = delete;
    KDBServer &operator=(const KDBServer &) = delete;

    // Opens the listening socket on the port (non-blocking); port 0 lets
    // the system choose one, which port() then gives.
    bool start(int port);
    // Waits up to timeoutMs for a client and accepts it. False only when
    // the listening socket fails; true with or without a new client.
    bool wait(int timeoutMs = 1000);
    // Sends what the output queue holds, then waits up to timeoutMs for
    // data from the client (or for room to send more), reads what came and
    // hands the buffer to the consumer, again while it uses some. False
    // when there is no client or it was just dropped.
    bool poll(Consumer consumer, int timeoutMs);
    // Hands the bytes still buffered to the consumer again, without
    // reading, for consumers that take one unit at a time. True when it used
    // some; false as well when the consumer's replies dropped the client.
    bool consumeBuffered(Consumer consumer);
    // Sends the bytes after those queued before; what the client does not
    // take now is queued. A failed send or a full queue drops the client
    // (false).
    bool write(const void *data, uint32_t length);
    // Sends what the output queue holds, as much as the client takes now.
    // False when that dropped the client.
    bool flush();
    // printf into a 1024-byte buffer (cut to 1023 characters), then write.
    bool print(const char *format, ...) __attribute__((format(printf, 2, 3)));

    bool connected() const { return m_client >= 0; }
    // The descriptors to wait on: -1 when there is none.
    int listenSocket() const { return m_listen; }
    int clientSocket() const { return m_client; }
    int bufferedCount() const { return m_count; }
    uint32_t queuedCount() const { return m_queueEnd - m_queueStart; }
    // The port listened on; 0 before start().
    int port() const { return m_port; }

    // Closes the client socket, if any, and forgets its received and queued
    // bytes: nothing the client sent is carried out after it was dropped.
    void dropClient();

    // For tests, which decide the output queue's state and age themselves
    // rather than leave them to the system's socket buffers and the time a
    // loaded machine takes: the clock the stall rule reads (the steady
    // clock again when null), and a hold under which nothing is sent, so
    // everything written waits in the queue.
    using Clock = std::chrono::steady_clock::time_point (*)();
    void setClock(Clock clock) { m_clock = clock ? clock : &std::chrono::steady_clock::now; }
    void holdOutput(bool held) { m_outputHeld = held; }

private:
    // Queues the bytes behind those waiting; false when they do not fit.
    bool enqueue(const uint8_t *data, uint32_t length);
    // One non-blocking send: the bytes taken, 0 when the client takes none
    // now, -1 after a failure (logged, the client dropped).
    long sendNow(const uint8_t *data, uint32_t length);

    int m_stallTimeoutMs;
    int m_port = 0;
    int m_listen = -1;
    int m_client = -1;
    sockaddr_in m_serverAddress{};
    sockaddr_in m_clientAddress{};
    uint8_t m_buffer[kReceiveBufferSize];
    int m_count = 0;
    // The output queue: bytes [m_queueStart, m_queueEnd) wait to be sent;
    // m_queuedSince is when the queue, empty before, got its first bytes.
    uint8_t m_queue[kOutputQueueSize];
    uint32_t m_queueStart = 0;
    uint32_t m_queueEnd = 0;
    std::chrono::steady_clock::time_point m_queuedSince;
    Clock m_clock = &std::chrono::steady_clock::now;
    bool m_outputHeld = false;
};

// The one server of the program.
extern KDBServer gdbserver;

#endif

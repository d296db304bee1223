#ifndef KDB_SERVER_H
#define KDB_SERVER_H

// The program's one network endpoint: a TCP server on IPv4 that listens on
// all local interfaces and serves exactly one client at a time. It is driven
// by the program's single main loop: it never blocks longer than the wait it
// is given, spawns no threads and buffers no outgoing data. Every step is
// logged in the network category.

#include <cstdint>
#include <netinet/in.h>

class KDBServer
{
public:
    static constexpr int kReceiveBufferSize = 4096;
    static constexpr int kPrintBufferSize = 1024;

    // Takes the buffered bytes; returns how many from the start it used
    // (0 keeps them all buffered).
    using Consumer = int (*)(const uint8_t *data, int length);

    KDBServer() = default;
    ~KDBServer();
    KDBServer(const KDBServer &) = delete;
    KDBServer &operator=(const KDBServer &) = delete;

    // Opens the listening socket on the port (non-blocking, backlog 1).
    bool start(int port);
    // Waits up to timeoutMs for a client and accepts it. False only when
    // the listening socket fails; true with or without a new client.
    bool wait(int timeoutMs = 1000);
    // Waits up to timeoutMs for data from the client, reads what came and
    // hands the buffer to the consumer, again while it uses some. False
    // when there is no client or it was just dropped.
    bool poll(Consumer consumer, int timeoutMs);
    // Hands the bytes still buffered to the consumer again, without
    // reading, for consumers that take one unit at a time. True when it used
    // some.
    bool consumeBuffered(Consumer consumer);
    // One send of all bytes; a failed send drops the client.
    bool write(const void *data, uint32_t length);
    // printf into a 1024-byte buffer (cut to 1023 characters), then write.
    bool print(const char *format, ...) __attribute__((format(printf, 2, 3)));

    bool connected() const { return m_client >= 0; }
    // The descriptors to wait on: -1 when there is none.
    int listenSocket() const { return m_listen; }
    int clientSocket() const { return m_client; }
    int bufferedCount() const { return m_count; }

    // Closes the client socket, if any.
    void dropClient();

private:
    int m_listen = -1;
    int m_client = -1;
    sockaddr_in m_serverAddress{};
    sockaddr_in m_clientAddress{};
    uint8_t m_buffer[kReceiveBufferSize];
    int m_count = 0;
};

// The one server of the program.
extern KDBServer gdbserver;

#endif

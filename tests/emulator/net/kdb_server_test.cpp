// The one-client TCP server against plain loopback sockets of the test.

#include "free_port.h"
#include "kdb_server.h"
#include "kolm_dbg.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string g_consumed;
int g_take = -1;
// The time the server's stall rule reads: it moves only when a test moves it.
std::chrono::steady_clock::time_point g_now;

std::chrono::steady_clock::time_point testNow()
{
    return g_now;
}

// Takes everything, or g_take bytes when that is not negative.
int consume(const uint8_t *data, int length)
{
    const int used = g_take < 0 ? length : std::min(g_take, length);
    g_consumed.append(reinterpret_cast<const char *>(data), size_t(used));
    return used;
}

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        kolm_hal_set_debug_stream(&log);
        kolm_hal_set_level(KOLM_LOG_NET | KOLM_LOG_INFO);
        g_consumed.clear();
        g_take = -1;
        server.setClock(&testNow);
    }

    void TearDown() override
    {
        if (client >= 0)
            close(client);
        kolm_hal_set_debug_stream(nullptr);
    }

    // Starts the server on a free port (another one if it was taken
    // meanwhile) and connects a client that the server accepts.
    void connectClient()
    {
        for (int attempt = 0; attempt < 5 && !started; ++attempt) {
            const int probe = boundLoopbackSocket(&port);
            close(probe);
            started = server.start(port);
        }
        ASSERT_TRUE(started);
        client = socket(AF_INET, SOCK_STREAM, 0);
        // Small buffers on both sides, so queued output reaches the client
        // in many partial sends.
        const int small = 4096;
        setsockopt(client, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        const sockaddr_in address = loopbackAddress(port);
        ASSERT_EQ(connect(client, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        ASSERT_TRUE(server.wait(5000));
        ASSERT_TRUE(server.connected());
        setsockopt(server.clientSocket(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    }

    void send(const std::string &bytes) { ::send(client, bytes.data(), bytes.size(), 0); }

    std::string receive()
    {
        pollfd p{client, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return std::string();
        char bytes[4096];
        const ssize_t n = recv(client, bytes, sizeof bytes, 0);
        return n > 0 ? std::string(bytes, size_t(n)) : std::string();
    }

    bool logged(const std::string &text) const { return log.str().find(text) != std::string::npos; }

    // Sends bytes that the consumer leaves buffered.
    void bufferUnused(const std::string &bytes)
    {
        g_take = 0;
        send(bytes);
        for (int i = 0; i < 100 && server.bufferedCount() < int(bytes.size()); ++i)
            server.poll(consume, 50);
    }

    // Fills the output queue, held back from the client, up to at least
    // `bytes` (or until that drops the client).
    void fillQueue(uint32_t bytes)
    {
        server.holdOutput(true);
        const std::string block(1000, 'q');
        while (server.connected() && server.queuedCount() < bytes)
            server.write(block.data(), uint32_t(block.size()));
    }

    // A short stall time, so the test of a client that never reads is quick.
    static constexpr int kStallMs = 1000;
    KDBServer server{kStallMs};
    bool started = false;
    int port = 0;
    int client = -1;
    std::ostringstream log;
};

TEST_F(ServerTest, PollWithoutClientIsFalseAndSilent)
{
    EXPECT_FALSE(server.poll(consume, 0));
    EXPECT_EQ(log.str(), "");
    EXPECT_FALSE(server.write("x", 1));
    EXPECT_TRUE(logged("cannot write - client not connected"));
}

TEST_F(ServerTest, PortInUseFailsAtBind)
{
    const int holder = boundLoopbackSocket(&port);
    listen(holder, 1);
    EXPECT_FALSE(server.start(port));
    EXPECT_TRUE(logged("socket bind ::" + std::to_string(port) + " failed (98)")) << log.str();
    EXPECT_FALSE(server.start(port));
    EXPECT_TRUE(logged("socket already created"));
    close(holder);
}

TEST_F(ServerTest, DataReachesTheConsumerAndRepliesTheClient)
{
    connectClient();
    send("hello");
    for (int i = 0; i < 100 && g_consumed.empty(); ++i)
        ASSERT_TRUE(server.poll(consume, 50));
    EXPECT_EQ(g_consumed, "hello");
    EXPECT_EQ(server.bufferedCount(), 0);
    EXPECT_TRUE(server.write("abc", 3));
    EXPECT_EQ(receive(), "abc");
}

TEST_F(ServerTest, UnusedBytesStayForTheNextCall)
{
    connectClient();
    g_take = 2;
    send("abcd");
    for (int i = 0; i < 100 && g_consumed.empty(); ++i)
        server.poll(consume, 50);
    // Two bytes at a time until the consumer takes no more.
    EXPECT_EQ(g_consumed, "abcd");
    g_take = 0;
    g_consumed.clear();
    send("xyz");
    for (int i = 0; i < 100 && server.bufferedCount() == 0; ++i)
        server.poll(consume, 50);
    EXPECT_EQ(server.bufferedCount(), 3);
    g_take = -1;
    EXPECT_TRUE(server.consumeBuffered(consume));
    EXPECT_EQ(g_consumed, "xyz");
}

TEST_F(ServerTest, FullBufferThatIsNeverUsedDropsTheClient)
{
    connectClient();
    g_take = 0;
    send(std::string(KDBServer::kReceiveBufferSize + 10, 'x'));
    bool connected = true;
    for (int i = 0; i < 200 && connected; ++i)
        connected = server.poll(consume, 50);
    EXPECT_FALSE(connected);
    EXPECT_TRUE(logged("client receive error"));
}

TEST_F(ServerTest, ClosedClientIsDroppedAndTheNextOneStartsEmpty)
{
    connectClient();
    bufferUnused("partial");
    close(client);
    client = -1;
    bool connected = true;
    for (int i = 0; i < 100 && connected; ++i)
        connected = server.poll(consume, 50);
    EXPECT_FALSE(connected);
    EXPECT_TRUE(logged("client receive error (0)"));

    client = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopbackAddress(port);
    ASSERT_EQ(connect(client, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ASSERT_TRUE(server.wait(5000));
    ASSERT_TRUE(server.connected());
    EXPECT_EQ(server.bufferedCount(), 0);
}

// Writing to a client that has reset the connection drops it and never
// raises SIGPIPE (which would end this test program).
TEST_F(ServerTest, WriteToAGoneClientDropsIt)
{
    connectClient();
    linger reset{1, 0};
    setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(client);
    client = -1;
    const std::string block(1000, 'x');
    for (int i = 0; i < 100 && server.connected(); ++i) {
        server.write(block.data(), uint32_t(block.size()));
        usleep(1000);
    }
    EXPECT_FALSE(server.connected());
    EXPECT_TRUE(logged("client transmit error"));
}

TEST_F(ServerTest, PortZeroListensOnThePortTheSystemChose)
{
    ASSERT_TRUE(server.start(0));
    EXPECT_GT(server.port(), 0);
    EXPECT_TRUE(logged("listening at ::" + std::to_string(server.port()) + "\n")) << log.str();
    client = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopbackAddress(server.port());
    ASSERT_EQ(connect(client, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ASSERT_TRUE(server.wait(5000));
    EXPECT_TRUE(server.connected());
}

// What a client that reads late did not take at once waits in the queue
// and reaches it in order; writing never waits for it.
TEST_F(ServerTest, QueuedOutputReachesAClientThatReadsLate)
{
    connectClient();
    server.holdOutput(true);
    std::string sent;
    for (int i = 0; sent.size() < 100000; ++i) {
        const std::string piece = std::string(997, char('a' + i % 26)) + std::to_string(i % 1000);
        ASSERT_TRUE(server.write(piece.data(), uint32_t(piece.size())));
        sent += piece;
    }
    ASSERT_EQ(server.queuedCount(), sent.size());
    server.holdOutput(false);
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (received.size() < sent.size() && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(server.poll(consume, 0));
        char bytes[65536];
        const ssize_t n = recv(client, bytes, sizeof bytes, MSG_DONTWAIT);
        if (n > 0)
            received.append(bytes, size_t(n));
        else
            usleep(1000);
    }
    EXPECT_EQ(received, sent);
    EXPECT_EQ(server.queuedCount(), 0u);
}

TEST_F(ServerTest, QueueOverflowDropsTheClientAndItsInput)
{
    connectClient();
    bufferUnused("unused");
    ASSERT_EQ(server.bufferedCount(), 6);
    fillQueue(KDBServer::kOutputQueueSize + 1);
    EXPECT_FALSE(server.connected());
    EXPECT_TRUE(logged("client output queue full - dropped")) << log.str();
    EXPECT_EQ(server.bufferedCount(), 0);
    EXPECT_EQ(server.queuedCount(), 0u);
    EXPECT_FALSE(server.consumeBuffered(consume));
    EXPECT_EQ(g_consumed, "");
}

TEST_F(ServerTest, ClientThatLeavesOutputQueuedForTheStallTimeIsDropped)
{
    connectClient();
    fillQueue(64 * 1024);
    ASSERT_TRUE(server.connected());
    g_now += std::chrono::milliseconds(kStallMs - 1);
    EXPECT_TRUE(server.poll(consume, 0));
    EXPECT_FALSE(logged("client does not read - dropped")) << log.str();
    g_now += std::chrono::milliseconds(1);
    EXPECT_FALSE(server.poll(consume, 0));
    EXPECT_FALSE(server.connected());
    EXPECT_TRUE(logged("client does not read - dropped")) << log.str();
    EXPECT_EQ(server.queuedCount(), 0u);
}

TEST_F(ServerTest, PrintIsCutAt1023Characters)
{
    connectClient();
    EXPECT_TRUE(server.print("%s", std::string(2000, 'y').c_str()));
    std::string text;
    while (text.size() < 1023) {
        const std::string more = receive();
        if (more.empty())
            break;
        text += more;
    }
    EXPECT_EQ(text, std::string(1023, 'y'));
}

} // namespace

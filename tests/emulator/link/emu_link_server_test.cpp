// The emulator link behind the program's server, with a loopback client of
// the test whose replies the server holds back.

#include "emu_link.h"
#include "flash.h"
#include "free_port.h"
#include "kdb_server.h"
#include "kolm_slip.h"
#include "vm_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string g_framed;

// A management command from the host, framed with its checksum.
std::string commandFrame(uint8_t cmd, uint16_t sub, const std::string &data)
{
    const std::string packet =
        std::string("\x00\x12\xFF\xFF\xFF\xFF", 6) + std::string{char(cmd), char(sub), char(sub >> 8)} + data;
    g_framed.clear();
    slip_process(reinterpret_cast<const uint8_t *>(packet.data()), int(packet.size()), true, [](uint8_t byte) {
        g_framed.push_back(char(byte));
        return true;
    });
    return g_framed;
}

class LinkServer : public VmFixture, public ::testing::Test
{
protected:
    void SetUp() override
    {
        kolm_rom_erase();
        emu_link_reset();
        // The queue's state and age are the test's: nothing is sent, and
        // the time the stall rule reads stands still.
        gdbserver.setClock(&LinkServer::now);
        gdbserver.holdOutput(true);
        ASSERT_TRUE(gdbserver.start(0));
        client = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = loopbackAddress(gdbserver.port());
        ASSERT_EQ(connect(client, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        ASSERT_TRUE(gdbserver.wait(5000));
        ASSERT_TRUE(gdbserver.connected());
    }

    void TearDown() override
    {
        gdbserver.dropClient();
        gdbserver.holdOutput(false);
        gdbserver.setClock(nullptr);
        close(client);
    }

    static std::chrono::steady_clock::time_point now() { return {}; }

    // Fills the output queue up to `room` free bytes.
    void fillQueueUpTo(uint32_t room)
    {
        const std::string block(4096, 'q');
        while (gdbserver.queuedCount() < KDBServer::kOutputQueueSize - room) {
            const uint32_t left = KDBServer::kOutputQueueSize - room - gdbserver.queuedCount();
            ASSERT_TRUE(gdbserver.write(block.data(), std::min<uint32_t>(left, uint32_t(block.size()))));
        }
        ASSERT_EQ(gdbserver.queuedCount(), KDBServer::kOutputQueueSize - room);
    }

    int client = -1;
};

// The reply to the first ROM write does not fit the full queue and drops
// the client: the second write, read with it, is never carried out.
TEST_F(LinkServer, RequestsAfterTheReplyThatDroppedTheClientAreNotCarriedOut)
{
    fillQueueUpTo(8);
    const std::string both = commandFrame(34, 0, "ab") + commandFrame(34, 2, "cd");
    ASSERT_EQ(send(client, both.data(), both.size(), 0), ssize_t(both.size()));
    for (int i = 0; i < 100 && gdbserver.connected(); ++i)
        gdbserver.poll(emu_cmd_process, 50);
    EXPECT_FALSE(gdbserver.connected());
    EXPECT_TRUE(logged("client output queue full - dropped")) << log.str();
    EXPECT_EQ(kolm_rom_size(), 2u);
    EXPECT_EQ(gdbserver.bufferedCount(), 0);
    EXPECT_EQ(gdbserver.queuedCount(), 0u);
}

} // namespace

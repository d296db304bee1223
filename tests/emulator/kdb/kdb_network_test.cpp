// halvane-kdb's network modes as a process: signals, port errors and the
// text command server, spoken to over plain loopback sockets.

#include "kdb_images.h"
#include "kdb_program.h"
#include "network_process.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

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

namespace {

TEST(EmulatorMode, TerminateSignalEndsWithStatusZero)
{
    NetworkProcess emulator;
    ASSERT_TRUE(emulator.start({"-e", "-l", "warn", "--log-emu"}));
    emulator.child->signal(SIGTERM);
    const ChildResult r = emulator.child->wait(10000);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("emu warning: signal(s) 4 received - abort\n"), std::string::npos) << r.err;
    EXPECT_TRUE(endsWith(r.err, "Return value: 0\n")) << r.err;
}

struct PortCase {
    const char *name;
    const char *mode;
    const char *port;
    std::string message;
};

class BadPort : public ::testing::TestWithParam<PortCase> {};

TEST_P(BadPort, EndsWithStatusSix)
{
    const PortCase &c = GetParam();
    TempDir dir;
    const ChildResult r = runChild({kProgram, c.mode, "-p", c.port, dir.write("image.kcs", returningImage(1))});
    EXPECT_EQ(r.status, 6);
    EXPECT_EQ(r.err, c.message);
}

INSTANTIATE_TEST_SUITE_P(Table, BadPort, ::testing::Values(
    PortCase{"Word", "-e", "abc", "invalid port abc - is not an integer\n"},
    PortCase{"Empty", "-g", "", "invalid port  - is not an integer\n"},
    PortCase{"TooLarge", "-e", "70000", "invalid port 70000 - out of range\n"},
    PortCase{"Negative", "-g", "-1", "invalid port -1 - out of range\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// The text command server on an image with all interrupt routines, paused
// after main's first instruction (EAX = 5), in its endless loop.
class TextServer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start({"-g", "-"}, interruptImage().bytes));
        ASSERT_EQ(text("R\n", 'R'), "R\n");
        ASSERT_EQ(text("S\n", 'S'), "S\n");
    }

    std::string text(const std::string &line, char letter) { return server.connection->command(line, letter); }

    // The RAM bytes from offset, as the "m" dump shows them.
    std::string ram(size_t offset, size_t count)
    {
        const std::string dump = text("m\n", 'm');
        std::string bytes;
        for (size_t i = offset; i < offset + count; ++i)
            bytes += char(std::stoul(dump.substr(1 + 5 * i, 4), nullptr, 16));
        return bytes;
    }

    // Lets the script run until its message routine has returned.
    void runAWhile()
    {
        text("P\n", 'P');
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        text("C\n", 'C');
    }

    NetworkProcess server;
};

struct TextCase {
    const char *name;
    std::string line;
    std::string answer;
};

class TextCommands : public TextServer, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextCommands, Answer)
{
    const TextCase &c = GetParam();
    EXPECT_EQ(text(c.line, c.answer[c.answer.size() - 2]), c.answer);
}

const std::string k58(58, 'x');

INSTANTIATE_TEST_SUITE_P(Table, TextCommands, ::testing::Values(
    TextCase{"Pause", "C\n", "C\n"},
    TextCase{"PauseWithArgument", "Cfoo\n", "C\n"},
    TextCase{"Acknowledge", "A1\n", "A\n"},
    TextCase{"AcknowledgeBadFormat", "Afoo\n", "einvalid format\nA\n"},
    TextCase{"External", "E1f,1\n", "E\n"},
    TextCase{"ExternalBadFormat", "Ezz\n", "einvalid format\nE\n"},
    TextCase{"ExternalWithoutArgument", "E\n", "einvalid format\nE\n"},
    TextCase{"Message58", "M" + k58 + "\n", "M\n"},
    TextCase{"Message59", "M" + k58 + "y\n", "emessage too long\nM\n"},
    TextCase{"UnknownLetter", "z\n", "z\n"},
    TextCase{"LeadingLineFeeds", "\n\n\nC\n\n", "C\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TextServer, RestartAndStepMoveTheInstructionPointer)
{
    EXPECT_EQ(text("R\n", 'R'), "R\n");
    EXPECT_EQ(text("r\n", 'r').substr(45, 10), "0x00000024");
    EXPECT_EQ(text("S\n", 'S'), "S\n");
    EXPECT_EQ(text("r\n", 'r').substr(45, 10), "0x0000002a");
}

TEST_F(TextServer, RegistersWithAndWithoutArgument)
{
    for (const char *line : {"r\n", "rx\n"})
        EXPECT_EQ(text(line, 'r'), "r0x00000005,0x00000000,0x00000000,0x00000000,0x0000002a,0x00000000,0x00000000\nr\n");
}

TEST_F(TextServer, EmptyStackIsAnEmptyLine)
{
    EXPECT_EQ(text("s\n", 's'), "s\n");
    EXPECT_EQ(server.connection->line(), "s\n");
}

TEST_F(TextServer, RamDumpHas256Bytes)
{
    const std::string dump = text("m\n", 'm');
    EXPECT_EQ(dump.size(), 1 + 256 * 5 + 1 + 2u);
    EXPECT_EQ(dump.substr(0, 11), "m0x00,0x00,");
}

struct EscapeCase {
    const char *name;
    std::string argument;
    std::string delivered;
};

class TextEscapes : public TextServer, public ::testing::WithParamInterface<EscapeCase> {};

// The message reaches the script's routine, which copies its size and
// first bytes to RAM.
TEST_P(TextEscapes, MessageBytesReachTheScript)
{
    const EscapeCase &c = GetParam();
    ASSERT_EQ(text("M" + c.argument + "\n", 'M'), "M\n");
    runAWhile();
    EXPECT_EQ(uint8_t(ram(0, 1)[0]), c.delivered.size());
    EXPECT_EQ(ram(12, c.delivered.size()), c.delivered);
}

INSTANTIATE_TEST_SUITE_P(Table, TextEscapes, ::testing::Values(
    EscapeCase{"Plain", "abc", "abc"},
    EscapeCase{"CrIsLineFeed", "ab\rc", "ab\nc"},
    EscapeCase{"CrCrIsCr", "a\r\r", "a\r"},
    EscapeCase{"FinalCrDropped", "ab\r", "ab"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TextServer, TwoCommandsInOneSegmentAreBothCarriedOut)
{
    EXPECT_EQ(text("C\nP\n", 'C'), "C\n");
    EXPECT_EQ(server.connection->line(), "P\n");
}

TEST_F(TextServer, ExitEndsWithTheFinalLine)
{
    EXPECT_EQ(text("X\n", 'X'), "X\n");
    EXPECT_EQ(server.connection->line(), "Q0x5,0x256\n");
    const ChildResult r = server.child->wait(10000);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(endsWith(r.err, "Return value: null [crashed]\n")) << r.err;
}

TEST(TextServerMessages, ScriptMessageIsOneEscapedLine)
{
    const std::string sent = "a\nb\rc";
    const std::string image = ImageBuilder()
                                  .ins(OP_spvi, {uint32_t(sent.size())})
                                  .ins(OP_spvi, {KOLM_ADDR_DATA})
                                  .ins(OP_spvi, {0x4130000C})
                                  .ins(OP_mcp)
                                  .ins(OP_halt)
                                  .data(sent)
                                  .build();
    NetworkProcess server;
    ASSERT_TRUE(server.start({"-g", "-"}, image));
    EXPECT_EQ(server.connection->line(), "pa\rb\r\rc\n");
    EXPECT_EQ(server.connection->line(), "Q0x" + std::to_string(sent.size()) + ",0x2048\n");
    EXPECT_EQ(server.child->wait(10000).status, 0);
}

} // namespace

// halvane-kdb's network modes with a client that sends requests and never
// reads the replies: the program goes on serving, takes the next client,
// ends promptly on SIGTERM, and its memory stays bounded.

#include "kdb_images.h"
#include "network_process.h"
#include "resident_memory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Resident memory may grow this much while the replies pile up: the
// program's output queue, not the flood of replies.
constexpr long kBoundedGrowthKb = 8 * 1024;

// Sends the request over and over for the given time without reading
// anything, never blocking; stops early once the program has dropped the
// connection. Returns the largest resident memory of the program seen
// meanwhile.
long flood(const Connection &client, const std::string &request, std::chrono::milliseconds time, pid_t program)
{
    std::string burst;
    while (burst.size() < 4096)
        burst += request;
    long largest = residentKb(program);
    const Clock::time_point end = Clock::now() + time;
    Clock::time_point nextSample = Clock::now();
    while (Clock::now() < end) {
        pollfd p{client.fd(), POLLOUT, 0};
        if (::poll(&p, 1, 50) > 0) {
            if (send(client.fd(), burst.data(), burst.size(), MSG_DONTWAIT | MSG_NOSIGNAL) < 0 && errno != EAGAIN &&
                errno != EWOULDBLOCK)
                break;
        }
        if (Clock::now() >= nextSample) {
            largest = std::max(largest, residentKb(program));
            nextSample = Clock::now() + std::chrono::milliseconds(50);
        }
    }
    return std::max(largest, residentKb(program));
}

// Reads until the bytes hold the text; false after the time-out.
bool answered(const Connection &client, const std::string &text, int timeoutMs)
{
    std::string received;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (received.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{client.fd(), POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, int(left)) <= 0)
            return false;
        char bytes[4096];
        const ssize_t n = recv(client.fd(), bytes, sizeof bytes, 0);
        if (n <= 0)
            return false;
        received.append(bytes, size_t(n));
    }
    return true;
}

// The own-address request, framed with its checksum, and the start of its
// reply frame (from the management port to the host).
const std::string kAddressRequest("\xC0\x00\x12\xFF\xFF\xFF\xFF\x01\x00\x00\x0F\xC0", 12);
const std::string kAddressReply("\xC0\x00\x21", 3);
// The start command (35/1) and the echo of its command in the reply.
const std::string kStartRequest("\xC0\x00\x12\xFF\xFF\xFF\xFF\x23\x01\x00\x32\xC0", 12);
const std::string kStartReply("\x23\x01\x00", 3);

struct StuckCase {
    const char *name;
    std::vector<std::string> args;
    std::string input;   // the image on standard input
    std::string setup;   // sent first (and its answer read)
    std::string request; // one whole request
    std::string answer;  // what its answer holds
};

void PrintTo(const StuckCase &c, std::ostream *out)
{
    *out << c.name;
}

class StuckClient : public ::testing::TestWithParam<StuckCase> {};

TEST_P(StuckClient, NextClientIsServedAndTerminateEndsWithinASecond)
{
    const StuckCase &c = GetParam();
    NetworkProcess program;
    ASSERT_TRUE(program.start(c.args, c.input));
    const pid_t pid = program.child->pid();
    if (!c.setup.empty()) {
        ASSERT_EQ(send(program.connection->fd(), c.setup.data(), c.setup.size(), MSG_NOSIGNAL),
                  ssize_t(c.setup.size()));
        ASSERT_TRUE(answered(*program.connection, kStartReply, 10000));
    }
    const long before = residentKb(pid);

    // The first connection of the start-up is the client that never reads.
    const long largest = flood(*program.connection, c.request, std::chrono::seconds(3), pid);
    EXPECT_LE(largest - before, kBoundedGrowthKb) << before << " kB before, " << largest << " kB at most";

    std::unique_ptr<Connection> next = program.connect();
    ASSERT_TRUE(next);
    ASSERT_EQ(send(next->fd(), c.request.data(), c.request.size(), MSG_NOSIGNAL), ssize_t(c.request.size()));
    EXPECT_TRUE(answered(*next, c.answer, 20000)) << "the next client was not served";

    // It stops reading as well: a terminate signal still ends the run
    // within a second (its final report; the sanitizers' checks at exit
    // come after it).
    flood(*next, c.request, std::chrono::milliseconds(500), pid);
    const Clock::time_point signalled = Clock::now();
    program.child->signal(SIGTERM);
    EXPECT_TRUE(program.child->waitForError("Return value: ", 1000)) << "no final report within a second";
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - signalled).count();
    const ChildResult r = program.child->wait(10000);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(took, 1000) << "SIGTERM took " << took << " ms";
}

INSTANTIATE_TEST_SUITE_P(Modes, StuckClient, ::testing::Values(
    StuckCase{"EmulatorHalted", {"-e"}, "", "", kAddressRequest, kAddressReply},
    StuckCase{"EmulatorBusyScript", {"-e", "-"}, loopingImage(), kStartRequest, kAddressRequest, kAddressReply},
    StuckCase{"TextServer", {"-g", "-"}, loopingImage(), "", "r\n", "\nr\n"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace

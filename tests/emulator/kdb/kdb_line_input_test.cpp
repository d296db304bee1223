// The console's line reader on a pipe: lines, the last line without a line
// feed, the end of input, overlong lines and signals while waiting.

#include "kdb_line_input.h"
#include "signalhandler.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr size_t kMaxLine = 4096;

struct ReadCase {
    const char *name;
    std::vector<std::string> chunks; // written one after another, with a pause
    std::vector<std::string> lines;  // what the reader hands over before the end
};

class LineInput : public ::testing::TestWithParam<ReadCase> {};

// The writer pauses between chunks, so the reader has taken everything of
// one chunk before the next one arrives.
TEST_P(LineInput, HandsOverTheLinesThenTheEnd)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        for (const std::string &chunk : GetParam().chunks) {
            size_t done = 0;
            while (done < chunk.size()) {
                const ssize_t n = write(fds[1], chunk.data() + done, chunk.size() - done);
                if (n <= 0)
                    break;
                done += size_t(n);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        close(fds[1]);
    });
    KdbLineInput input(fds[0]);
    std::vector<std::string> lines;
    std::string line;
    KdbLineInput::Result result;
    while ((result = input.readLine(line)) == KdbLineInput::Result::Line && lines.size() < 10)
        lines.push_back(line);
    writer.join();
    close(fds[0]);
    EXPECT_EQ(result, KdbLineInput::Result::End);
    EXPECT_EQ(lines, GetParam().lines);
    // The end stays the end.
    EXPECT_EQ(input.readLine(line), KdbLineInput::Result::End);
}

const std::string kLong(kMaxLine + 915, 'a');

INSTANTIATE_TEST_SUITE_P(Table, LineInput, ::testing::Values(
    ReadCase{"Lines", {"s\nprint 0\n"}, {"s", "print 0"}},
    ReadCase{"LineInPieces", {"pri", "nt 0\nq", "uit"}, {"print 0", "quit"}},
    ReadCase{"EmptyLines", {"\n\n x \n"}, {"", "", " x "}},
    ReadCase{"Nothing", {}, {}},
    ReadCase{"OverlongAtOnce", {kLong + "\nq\n"}, {kLong.substr(0, kMaxLine), kLong.substr(kMaxLine), "q"}},
    // The first part ends short of the limit; the line feed comes with the
    // second part, beyond the limit: the line is still cut at the limit.
    ReadCase{"OverlongInTwoParts", {kLong.substr(0, 4000), kLong.substr(4000) + "\nq\n"},
             {kLong.substr(0, kMaxLine), kLong.substr(kMaxLine), "q"}},
    ReadCase{"ExactlyTheLimit", {std::string(kMaxLine, 'b') + "\n"}, {std::string(kMaxLine, 'b')}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LineInputSignals, SignalWhileWaitingIsReportedAndTheLineStillComes)
{
    SignalHandler::init(0xE);
    SignalHandler::instance().getSignals();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pthread_t reader = pthread_self();
    std::thread sender([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pthread_kill(reader, SIGINT);
    });
    KdbLineInput input(fds[0]);
    std::string line;
    EXPECT_EQ(input.readLine(line), KdbLineInput::Result::Signal);
    sender.join();
    EXPECT_EQ(SignalHandler::instance().getSignals(), 2u);
    ASSERT_EQ(write(fds[1], "c\n", 2), 2);
    EXPECT_EQ(input.readLine(line), KdbLineInput::Result::Line);
    EXPECT_EQ(line, "c");
    close(fds[0]);
    close(fds[1]);
}

} // namespace

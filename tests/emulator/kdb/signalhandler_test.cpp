#include "signalhandler.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

// The program's mask: SIGINT and SIGTERM caught, SIGHUP left alone.
constexpr int kProgramMask = 0xE;

class Signals : public ::testing::Test {
protected:
    void SetUp() override
    {
        SignalHandler::init(kProgramMask);
        SignalHandler::instance().getSignals();
    }
};

struct RaiseCase {
    std::vector<int> signals;
    uint32_t recorded;
};

class RaiseSignals : public Signals, public ::testing::WithParamInterface<RaiseCase> {};

TEST_P(RaiseSignals, RecordsLogicalBitsOnceUntilCollected)
{
    for (int signal : GetParam().signals)
        ASSERT_EQ(raise(signal), 0);
    EXPECT_EQ(SignalHandler::instance().getSignals(), GetParam().recorded);
    EXPECT_EQ(SignalHandler::instance().getSignals(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, RaiseSignals, ::testing::Values(
    RaiseCase{{}, 0},
    RaiseCase{{SIGINT}, 2},
    RaiseCase{{SIGINT, SIGINT}, 2},
    RaiseCase{{SIGINT, SIGTERM}, 6},
    RaiseCase{{SIGTERM}, 4},
    RaiseCase{{SIGTERM, SIGTERM, SIGINT}, 6}));

TEST(SignalMapping, LogicalToPhysical)
{
    EXPECT_EQ(POSIX_logicalToPhysical(2), SIGINT);
    EXPECT_EQ(POSIX_logicalToPhysical(4), SIGTERM);
    EXPECT_EQ(POSIX_logicalToPhysical(8), SIGTERM);
    EXPECT_EQ(POSIX_logicalToPhysical(16), SIGHUP);
    for (int logical : {-1, 0, 1, 3, 5, 6, 7, 9, 15, 17, 32, 64})
        EXPECT_EQ(POSIX_logicalToPhysical(logical), -1) << logical;
}

TEST(SignalMapping, PhysicalToLogical)
{
    EXPECT_EQ(POSIX_physicalToLogical(SIGHUP), 16);
    EXPECT_EQ(POSIX_physicalToLogical(SIGINT), 2);
    EXPECT_EQ(POSIX_physicalToLogical(SIGTERM), 4);
    for (int signal : {-1, 0, 3, 9, 14, 16, 17, 31, 64})
        EXPECT_EQ(POSIX_physicalToLogical(signal), 0) << signal;
}

// Masks other than the program's need a process of their own: the handler
// takes only its first mask.
TEST(SignalMasks, HangUpEndsTheProcessUnderTheProgramMask)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            SignalHandler::init(kProgramMask);
            raise(SIGHUP);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGHUP), "");
}

TEST(SignalMasks, HangUpIsRecordedWithItsBitAndTheFirstMaskStays)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            SignalHandler::init(0x10);
            SignalHandler::init(kProgramMask);
            raise(SIGHUP);
            uint32_t hangUp = SignalHandler::instance().getSignals();
            // SIGINT has no handler under this mask: its default action ends
            // the process.
            if (hangUp == 16)
                raise(SIGINT);
            std::exit(int(hangUp));
        },
        ::testing::KilledBySignal(SIGINT), "");
}

TEST(SignalMasks, TerminateThroughBitEightIsRecordedAsFour)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            SignalHandler::init(0x8);
            raise(SIGTERM);
            std::exit(int(SignalHandler::instance().getSignals()));
        },
        ::testing::ExitedWithCode(4), "");
}

// Waits on one pipe end.
class Wait : public Signals {
protected:
    void SetUp() override
    {
        Signals::SetUp();
        ASSERT_EQ(pipe(m_pipe), 0);
    }
    void TearDown() override
    {
        close(m_pipe[0]);
        if (m_pipe[1] >= 0)
            close(m_pipe[1]);
    }
    int m_pipe[2] = {-1, -1};
};

TEST_F(Wait, ReadableInputEndsTheWait)
{
    ASSERT_EQ(write(m_pipe[1], "x", 1), 1);
    EXPECT_EQ(SignalHandler::instance().waitReadable(m_pipe[0], 5000), SignalHandler::WaitResult::Ready);
}

TEST_F(Wait, EndOfInputEndsTheWait)
{
    close(m_pipe[1]);
    m_pipe[1] = -1;
    EXPECT_EQ(SignalHandler::instance().waitReadable(m_pipe[0], -1), SignalHandler::WaitResult::Ready);
}

TEST_F(Wait, NothingToReadTimesOut)
{
    EXPECT_EQ(SignalHandler::instance().waitReadable(m_pipe[0], 20), SignalHandler::WaitResult::Timeout);
    EXPECT_EQ(SignalHandler::instance().waitReadable(m_pipe[0], 0), SignalHandler::WaitResult::Timeout);
}

// Room to send ends the wait only when asked for: a client with queued
// replies is served as soon as it can take them.
TEST_F(Wait, RoomToSendEndsTheWaitWhenAskedFor)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_EQ(SignalHandler::instance().waitReady(pair[0], false, 20), SignalHandler::WaitResult::Timeout);
    EXPECT_EQ(SignalHandler::instance().waitReady(pair[0], true, 5000), SignalHandler::WaitResult::Ready);
    close(pair[0]);
    close(pair[1]);
}

TEST_F(Wait, SignalRecordedBeforeReturnsAtOnceAndStaysForCollection)
{
    ASSERT_EQ(write(m_pipe[1], "x", 1), 1);
    raise(SIGTERM);
    EXPECT_EQ(SignalHandler::instance().waitReadable(m_pipe[0], -1), SignalHandler::WaitResult::Signal);
    EXPECT_EQ(SignalHandler::instance().getSignals(), 4u);
}

TEST_F(Wait, SignalDuringTheWaitEndsIt)
{
    // Nothing else can end the wait before its limit.
    const pthread_t waiter = pthread_self();
    std::thread sender([waiter] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pthread_kill(waiter, SIGINT);
    });
    SignalHandler::WaitResult result = SignalHandler::instance().waitReadable(m_pipe[0], 5000);
    sender.join();
    EXPECT_EQ(result, SignalHandler::WaitResult::Signal);
    EXPECT_EQ(SignalHandler::instance().getSignals(), 2u);
}

TEST_F(Wait, SignalBetweenCheckAndWaitIsNotMissed)
{
    // The signal is sent at once, racing with the start of the wait.
    const pthread_t waiter = pthread_self();
    for (int round = 0; round < 20; ++round) {
        std::thread sender([waiter] { pthread_kill(waiter, SIGINT); });
        SignalHandler::WaitResult result = SignalHandler::instance().waitReadable(m_pipe[0], 2000);
        sender.join();
        ASSERT_EQ(result, SignalHandler::WaitResult::Signal) << round;
        ASSERT_EQ(SignalHandler::instance().getSignals(), 2u);
    }
}

TEST_F(Wait, ForeignSignalDoesNotEndTheWait)
{
    struct sigaction action {};
    action.sa_handler = [](int) {};
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    const pthread_t waiter = pthread_self();
    std::thread sender([waiter] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pthread_kill(waiter, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pthread_kill(waiter, SIGTERM);
    });
    SignalHandler::WaitResult result = SignalHandler::instance().waitReadable(m_pipe[0], 5000);
    sender.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(result, SignalHandler::WaitResult::Signal);
    EXPECT_EQ(SignalHandler::instance().getSignals(), 4u);
}

TEST_F(Wait, DescriptorsSelectCannotWatchAreErrors)
{
    EXPECT_EQ(SignalHandler::instance().waitReadable(-1, 0), SignalHandler::WaitResult::Error);
    EXPECT_EQ(SignalHandler::instance().waitReadable(FD_SETSIZE, 0), SignalHandler::WaitResult::Error);
    int closed = dup(m_pipe[0]);
    close(closed);
    EXPECT_EQ(SignalHandler::instance().waitReadable(closed, 0), SignalHandler::WaitResult::Error);
}

} // namespace

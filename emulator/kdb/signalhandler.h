#ifndef SIGNALHANDLER_H
#define SIGNALHANDLER_H

#include <atomic>
#include <cstdint>

// Logical signals of halvane-kdb, one bit each: 2 interrupt (SIGINT),
// 4 terminate (SIGTERM), 8 installs on SIGTERM too, 16 hang-up (SIGHUP);
// 1 and 32 have no POSIX signal.
//
// The handler only records the logical bit; the program's loops collect the
// recorded bits once per pass with getSignals().
class SignalHandler
{
public:
    static SignalHandler &instance();

    // First call only: installs the handler for the POSIX signal of every
    // set bit among 1, 2, 4, 8, 16, 32. Later calls change nothing.
    static void init(int mask);

    // The bits recorded since the last call; clears them in the same step.
    uint32_t getSignals();

    // True while bits are recorded; leaves them for getSignals().
    bool hasSignals() const { return m_pending.load(std::memory_order_relaxed) != 0; }

    enum class WaitResult { Ready, Signal, Timeout, Error };

    // Waits until fd is readable (data or end of input), a signal is
    // recorded, or timeoutMs milliseconds pass (negative: no limit). A signal
    // recorded before the call or during the wait returns Signal at once;
    // the recorded bits stay for getSignals(). Error for an fd that select()
    // cannot watch or a failing select().
    WaitResult waitReadable(int fd, int timeoutMs);

    // Waits like waitReadable; with forWriting, room to send on fd is Ready
    // as well.
    WaitResult waitReady(int fd, bool forWriting, int timeoutMs);

    // Waits like waitReadable for a signal or the timeout alone.
    WaitResult waitSignal(int timeoutMs);

    ~SignalHandler();
    SignalHandler(const SignalHandler &) = delete;
    SignalHandler &operator=(const SignalHandler &) = delete;

private:
    SignalHandler() = default;
    // fd < 0: no descriptor to watch.
    WaitResult wait(int fd, bool forWriting, int timeoutMs);
    friend void POSIX_handleFunc(int signal);

    uint32_t m_mask = 0;
    std::atomic<uint32_t> m_pending{0};
    bool m_initialised = false;
};

static_assert(std::atomic<uint32_t>::is_always_lock_free,
              "the signal handler needs a lock-free word");

// The POSIX signal installed for a logical bit (2, 4, 8, 16); -1 otherwise.
int POSIX_logicalToPhysical(int logical);
// The logical bit recorded for a POSIX signal; 0 for an unhandled one.
int POSIX_physicalToLogical(int signal);
// The installed handler: records the signal's logical bit.
void POSIX_handleFunc(int signal);

#endif

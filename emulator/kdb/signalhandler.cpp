#include "signalhandler.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <sys/select.h>

namespace {

// The six logical bits in the order in which init() installs them.
constexpr int kLogicalBits[] = {1, 2, 4, 8, 16, 32};

// Set once by the main thread before any handler is installed, so the
// handler never constructs the singleton.
std::atomic<SignalHandler *> g_handler{nullptr};

} // namespace

int POSIX_logicalToPhysical(int logical)
{
    switch (logical) {
    case 2: return SIGINT;
    case 4: return SIGTERM;
    case 8: return SIGTERM;
    case 16: return SIGHUP;
    default: return -1;
    }
}

int POSIX_physicalToLogical(int signal)
{
    switch (signal) {
    case SIGHUP: return 16;
    case SIGINT: return 2;
    case SIGTERM: return 4;
    default: return 0;
    }
}

void POSIX_handleFunc(int signal)
{
    SignalHandler *handler = g_handler.load();
    if (handler)
        handler->m_pending.fetch_or(uint32_t(POSIX_physicalToLogical(signal)));
}

SignalHandler &SignalHandler::instance()
{
    static SignalHandler handler;
    g_handler.store(&handler);
    return handler;
}

void SignalHandler::init(int mask)
{
    SignalHandler &handler = instance();
    if (handler.m_initialised)
        return;
    handler.m_initialised = true;
    handler.m_mask = uint32_t(mask);
    for (int bit : kLogicalBits) {
        int signal = POSIX_logicalToPhysical(bit);
        if ((mask & bit) && signal > 0)
            std::signal(signal, POSIX_handleFunc);
    }
}

SignalHandler::~SignalHandler()
{
    g_handler.store(nullptr);
    for (int bit : kLogicalBits) {
        int signal = POSIX_logicalToPhysical(bit);
        if ((m_mask & uint32_t(bit)) && signal > 0)
            std::signal(signal, SIG_DFL);
    }
}

uint32_t SignalHandler::getSignals()
{
    // A plain read first: the run loops ask far more often than signals come.
    if (m_pending.load(std::memory_order_relaxed) == 0)
        return 0;
    return m_pending.exchange(0);
}

SignalHandler::WaitResult SignalHandler::waitReadable(int fd, int timeoutMs)
{
    return waitReady(fd, false, timeoutMs);
}

SignalHandler::WaitResult SignalHandler::waitReady(int fd, bool forWriting, int timeoutMs)
{
    if (fd < 0 || fd >= FD_SETSIZE)
        return WaitResult::Error;
    return wait(fd, forWriting, timeoutMs);
}

SignalHandler::WaitResult SignalHandler::waitSignal(int timeoutMs)
{
    return wait(-1, false, timeoutMs);
}

SignalHandler::WaitResult SignalHandler::wait(int fd, bool forWriting, int timeoutMs)
{
    // The handled signals stay blocked between the check of the recorded
    // bits and the wait; pselect() unblocks them only while it waits, so a
    // signal that arrives in between ends the wait instead of being missed.
    sigset_t handled;
    sigemptyset(&handled);
    for (int bit : kLogicalBits) {
        int signal = POSIX_logicalToPhysical(bit);
        if ((m_mask & uint32_t(bit)) && signal > 0)
            sigaddset(&handled, signal);
    }
    sigset_t previous;
    if (sigprocmask(SIG_BLOCK, &handled, &previous) != 0)
        return WaitResult::Error;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    WaitResult result = WaitResult::Error;
    for (;;) {
        if (m_pending.load() != 0) {
            result = WaitResult::Signal;
            break;
        }
        timespec timeout{};
        timespec *limit = nullptr;
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
            if (left.count() < 0)
                left = left.zero();
            timeout.tv_sec = time_t(left.count() / 1000000000);
            timeout.tv_nsec = long(left.count() % 1000000000);
            limit = &timeout;
        }
        fd_set readable, writable;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        if (fd >= 0)
            FD_SET(fd, &readable);
        if (fd >= 0 && forWriting)
            FD_SET(fd, &writable);
        int ready = pselect(fd + 1, &readable, forWriting ? &writable : nullptr, nullptr, limit, &previous);
        if (ready > 0) {
            result = WaitResult::Ready;
            break;
        }
        if (ready == 0) {
            result = WaitResult::Timeout;
            break;
        }
        // Interrupted by a signal that is not ours: wait on for the rest.
        if (errno != EINTR)
            break;
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return result;
}

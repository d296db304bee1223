#include "quit_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const int Caught[3] = {SIGTERM, SIGINT, SIGHUP};

// The writing end of the live object's socket pair; one object at a time.
volatile sig_atomic_t writeEnd = -1;

void onSignal(int signal)
{
    const int saved = errno;
    const char number = char(signal);
    if (writeEnd >= 0)
        (void)::write(writeEnd, &number, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_pair) != 0) {
        m_pair[0] = m_pair[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignals);
    writeEnd = m_pair[0];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        sigaction(Caught[i], &action, &m_previous[i]);
}

QuitSignals::~QuitSignals()
{
    if (m_pair[0] < 0)
        return;
    for (int i = 0; i < 3; ++i)
        sigaction(Caught[i], &m_previous[i], nullptr);
    writeEnd = -1;
    delete m_notifier;
    ::close(m_pair[0]);
    ::close(m_pair[1]);
}

void QuitSignals::readSignals()
{
    char numbers[16];
    ssize_t n;
    while ((n = ::read(m_pair[1], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            emit received(int(numbers[i]));
    }
}

#ifndef KOLM_TEST_FILE_SIZE_LIMIT_H
#define KOLM_TEST_FILE_SIZE_LIMIT_H

// Lowers this process's file size limit while it lives, so that writes past
// the limit fail with EFBIG (as on a full disk) instead of raising SIGXFSZ.
// Tests run as root, so permissions cannot make a write fail. The limit is
// per process and restored on destruction; other tests are not affected.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

#endif

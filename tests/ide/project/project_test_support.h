#pragma once

// Small file helpers shared by the project model's tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <csignal>
#include <sys/resource.h>

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QJsonObject readJsonObject(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

// A built-in board package as it lies in the source tree.
inline QByteArray builtinPackage(const QString& fileName)
{
    return readBytes(QStringLiteral(KOLM_BSP_DIR "/") + fileName);
}

// Lowers this process's file size limit while it lives, so that writes past
// the limit fail with EFBIG (as on a full disk) instead of raising SIGXFSZ.
// Tests run as root, so permissions cannot make a write fail. The limit is
// per process and restored on destruction; other tests are not affected.
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

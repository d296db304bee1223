#pragma once

#include "dfu_status.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// What a bootloader does with the commands of the updater, whatever carries
// them: image memory, a write address, erases and writes that stay busy for
// a number of status reads (or a time per programmed byte), staged faults,
// and a record of every command in a readable form ("erase 168",
// "address 56", "data 56 56", "storage erase").
//
// The transport side runs it from the updater's worker thread while a test
// reads it from its own: everything is behind one lock.
class SimulatedBootloaderCore
{
public:
    SimulatedBootloaderCore() { m_clock.start(); }

    // What the bootloader reports; flags, error and address are its live
    // state and change with the commands.
    DFUStatus status;

    // Staged behaviour, set before an operation starts.
    // Status reads that still show an erase or a write; -1: it never ends.
    int erasePolls = 0;
    int writePolls = 0;
    // Time a write stays busy per programmed byte, on top of writePolls.
    qint64 busyNsPerByte = 0;
    // Error code reported once an application erase or storage erase starts.
    uint8_t eraseError = 0;
    uint8_t storageEraseError = 0;
    // The write of this index (0 = the first since the erase) ends with
    // writeError, once.
    int writeErrorAt = -1;
    uint8_t writeError = 7;
    // Set-address commands are ignored.
    bool stuckAddress = false;
    // The bootloader restarts just before the write of this index: its write
    // address is back at 0, what it has written stays.
    int restartAtWrite = -1;
    // Runs after each write with its index, outside the lock, on the thread
    // that carried the write out: what happens around the bootloader while
    // it writes (a package file that changes, say).
    std::function<void(int index)> afterWrite;

    // The application area and storage as written; an erase fills them with
    // 0xFF.
    QByteArray memory() const
    {
        QMutexLocker lock(&m_lock);
        return m_memory;
    }
    QStringList commands() const
    {
        QMutexLocker lock(&m_lock);
        return m_commands;
    }
    int statusReads() const
    {
        QMutexLocker lock(&m_lock);
        return m_statusReads;
    }

    // Erases the application area; `size` is the image size the command
    // names, none when negative.
    void erase(qint64 size)
    {
        QMutexLocker lock(&m_lock);
        m_commands.append(size < 0 ? QStringLiteral("erase") : QStringLiteral("erase %1").arg(size));
        m_memory = QByteArray(int(qMax<qint64>(size, 0)), char(0xFF));
        startErase(eraseError);
        m_writes = 0;
    }

    void eraseStorage()
    {
        QMutexLocker lock(&m_lock);
        m_commands.append(QStringLiteral("storage erase"));
        startErase(storageEraseError);
    }

    void setAddress(uint32_t address)
    {
        QMutexLocker lock(&m_lock);
        m_commands.append(QStringLiteral("address %1").arg(address));
        if (!stuckAddress)
            status.address = address;
    }

    // Writes `bytes` at the write address, which moves on by `advance`.
    void write(const QByteArray &bytes, uint32_t advance, const char *kind)
    {
        QMutexLocker lock(&m_lock);
        const int index = m_writes++;
        if (index == restartAtWrite)
            status.address = 0;
        m_commands.append(QStringLiteral("%1 %2 %3").arg(QLatin1String(kind)).arg(status.address).arg(bytes.size()));
        const int end = int(status.address) + bytes.size();
        if (m_memory.size() < end)
            m_memory.resize(end);
        m_memory.replace(int(status.address), bytes.size(), bytes);
        status.address += advance;
        status.flags |= DFUStatus::Writing;
        m_writing = true;
        m_writePollsLeft = writePolls;
        m_busyUntilNs = m_clock.nsecsElapsed() + busyNsPerByte * bytes.size();
        if (index == writeErrorAt) {
            status.error = writeError;
            writeErrorAt = -1;
        }
        lock.unlock();
        if (afterWrite)
            afterWrite(index);
    }

    // One status read: what the bootloader reports now; a busy state counts
    // down.
    DFUStatus read()
    {
        QMutexLocker lock(&m_lock);
        ++m_statusReads;
        // Only a busy state of the bootloader's own ends by itself.
        if (m_erasing && m_erasePollsLeft == 0) {
            status.flags &= uint8_t(~DFUStatus::Erasing);
            m_erasing = false;
        }
        if (m_writing && m_writePollsLeft == 0 && m_clock.nsecsElapsed() >= m_busyUntilNs) {
            status.flags &= uint8_t(~DFUStatus::Writing);
            m_writing = false;
        }
        const DFUStatus now = status;
        if (m_erasePollsLeft > 0)
            --m_erasePollsLeft;
        if (m_writePollsLeft > 0)
            --m_writePollsLeft;
        return now;
    }

private:
    void startErase(uint8_t error)
    {
        status.address = 0;
        status.error = error;
        status.flags = DFUStatus::Erasing;
        m_erasePollsLeft = erasePolls;
        m_erasing = true;
    }

    mutable QMutex m_lock;
    QElapsedTimer m_clock;
    QByteArray m_memory;
    QStringList m_commands;
    int m_statusReads = 0;
    int m_erasePollsLeft = 0;
    int m_writePollsLeft = 0;
    qint64 m_busyUntilNs = 0;
    int m_writes = 0;
    bool m_erasing = false;
    bool m_writing = false;
};

#pragma once

#include "serial_port_catalog.h"

#include <QByteArray>
#include <QString>

#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal pair standing in for a serial adapter: the port under
// test opens the slave device by its path, the test plays the device on the
// master side.
class PtyPair
{
public:
    PtyPair()
    {
        int slave = -1;
        char name[256] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
            return;
        // Until the port under test opens the slave, this descriptor keeps
        // the line from hanging up.
        m_slave = slave;
        m_path = QString::fromLocal8Bit(name);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        closeSlave();
        closeMaster();
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString path() const { return m_path; }

    // The catalog entry under which the port is listed.
    serial_port_catalog::Port listing() const
    {
        serial_port_catalog::Port port;
        port.portName = m_path;
        port.systemLocation = m_path;
        return port;
    }

    void closeSlave()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool write(const QByteArray &bytes)
    {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Everything the port wrote, collected until `count` bytes arrived or
    // `timeoutMs` passed.
    QByteArray read(int count, int timeoutMs = 5000)
    {
        QByteArray bytes;
        pollfd fd = {m_master, POLLIN, 0};
        while (bytes.size() < count && poll(&fd, 1, timeoutMs) > 0) {
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, int(n));
        }
        return bytes;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// Lists the given ports instead of the system's while it lives.
class ScopedPortListing
{
public:
    explicit ScopedPortListing(QList<serial_port_catalog::Port> ports)
    {
        serial_port_catalog::setSource([ports] { return ports; });
    }
    ~ScopedPortListing() { serial_port_catalog::setSource({}); }
    ScopedPortListing(const ScopedPortListing &) = delete;
    ScopedPortListing &operator=(const ScopedPortListing &) = delete;
};

// A pseudo-terminal pair whose slave the serial port listing shows while it
// lives.
class ListedPty : public PtyPair
{
public:
    ListedPty()
        : m_listing({listing()})
    {
    }

private:
    ScopedPortListing m_listing;
};

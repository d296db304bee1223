#pragma once

#include "zuhal_device.h"
#include "zuhal_packet.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class QEventLoop;

// The transport interface: one link to one device (USB HID, serial port, TCP
// or UDP). The owner opens it with the `address` of a ZuHalDevice record,
// sends packets, and on dataReady() takes every received packet with pop().
// Every transport fills the receive queue the same way (receivePacket).
//
// disconnected() is delivered queued, after control returns to the event
// loop, so a receiver may delete the transport in its slot. Each concrete
// transport also offers a static `QList<ZuHalDevice> enumerate()`.
class ZuHalAbstractMessenger : public QObject
{
    Q_OBJECT

public:
    enum Type {
        ZU_HAL_HID = 0,
        ZU_HAL_UART = 1,
        ZU_HAL_TCP = 2,
        ZU_HAL_UDP = 3,
        ZU_HAL_OTHER = 4
    };
    Q_ENUM(Type)

    explicit ZuHalAbstractMessenger(QObject *parent = nullptr);
    // Ends a running pollData(): a transport deleted inside the wait is not
    // touched again.
    ~ZuHalAbstractMessenger() override;

    // Closes whatever is open, then opens the device the address names.
    // True when the open was started or done (see the transport).
    virtual bool open(const QVariant &address) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // The open peer: a port name, or address and port joined by a colon.
    virtual QString toString() const = 0;
    virtual Type type() const = 0;
    // "usb" or "network".
    virtual QString transport() const = 0;
    // The underlying device's own error code and text.
    virtual int error() const = 0;
    virtual QString errorString() const = 0;
    // Only the HID transport polls; the others return 0 and ignore it.
    virtual int pollTime() const = 0;
    virtual void setPollTime(int msec) = 0;
    // Waits for received packets up to `msec` (no limit for 0 or less)
    // without emitting dataReady(); true when the queue holds packets.
    // Closing the transport, by any path, ends the wait.
    virtual bool pollData(int msec) = 0;

    int queue() const { return m_queue.size(); }
    // The oldest received packet; a default packet when none is queued.
    ZuHalPacket pop();

public slots:
    virtual bool send(const ZuHalPacket &packet) = 0;

signals:
    void connected();
    void disconnected();
    void dataReady();

protected slots:
    // One received frame: parsed, queued, announced by dataReady(). Frames
    // shorter than a header or longer than the packet format allows are
    // dropped.
    void receivePacket(const QByteArray &frame);
    // The link went down. Transports connect their device's link-down
    // signal here with a queued connection. A notice that comes while
    // pollData() blocks this object's signals is delivered after the wait.
    void notifyDisconnected();

protected:
    virtual void packet_received(const ZuHalPacket &packet);

    // The wait of pollData(): runs `loop`, which the transport has set to
    // quit on its device's data and error signals, with this object's
    // signals blocked, ended after `msec` when that is above 0.
    bool waitForPackets(QEventLoop &loop, int msec);
    // Ends every running pollData(); each transport's close() calls it.
    void endWaits();
    // Forgets a link-down notice held back by pollData(): a new link is up.
    void dropDisconnectNotice();

private:
    QList<ZuHalPacket> m_queue;
    QList<QEventLoop *> m_waits;
    bool m_disconnectPending = false;
};

#pragma once

#include "serial_port_catalog.h"
#include "zuhal_messenger.h"

#include <QSerialPort>

#include <functional>

class SlipBuffer;

// The transport over a serial port (the USB serial interface of the maker's
// controllers): device packets in SLIP frames with the checksum on, the line
// set up from the settings group "Serial".
class ZuHalUartMessenger : public ZuHalAbstractMessenger
{
    Q_OBJECT

public:
    // Bytes of frames held for a device that is slow to read; send() refuses
    // a frame that would go past it.
    static constexpr qint64 MaxQueuedBytes = 256 * 1024;

    explicit ZuHalUartMessenger(QObject *parent = nullptr);

    // The serial ports that may be the maker's devices, labelled with the
    // strings of the USB device behind them.
    static QList<ZuHalDevice> enumerate();
    // Whether a listed port may be one of the maker's devices: no or the
    // maker's manufacturer text, no or the controller's product id.
    static bool qualifies(const serial_port_catalog::Port &port);

    bool open(const QVariant &address) override;
    bool isOpen() const override;
    void close() override;
    QString toString() const override;
    Type type() const override;
    QString transport() const override;
    int error() const override;
    QString errorString() const override;
    int pollTime() const override;
    void setPollTime(int ms) override;
    bool pollData(int msec) override;

public slots:
    // True when the frame was taken: written, or queued behind earlier ones
    // while the device is slow to read; false past MaxQueuedBytes.
    bool send(const ZuHalPacket &packet) override;

private slots:
    void readData();
    void com_error(QSerialPort::SerialPortError error);

private:
    // Runs `action` once control is back in the event loop, unless the
    // transport was opened again before.
    void afterEventsOfThisLink(std::function<void()> action);

    QSerialPort *m_port;
    SlipBuffer *m_slip;
    // Counts the opens, so that what the end of one link queued does not
    // act on the next.
    quint64 m_link = 0;
};

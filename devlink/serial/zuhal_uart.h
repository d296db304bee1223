#pragma once

#include "serial_port_catalog.h"
#include "zuhal_messenger.h"

#include <QSerialPort>

class SlipBuffer;

// The transport over a serial port (the USB serial interface of the maker's
// controllers): device packets in SLIP frames with the checksum on, the line
// set up from the settings group "Serial".
class ZuHalUartMessenger : public ZuHalAbstractMessenger
{
    Q_OBJECT

public:
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
    bool send(const ZuHalPacket &packet) override;

private slots:
    void readData();
    void com_error(QSerialPort::SerialPortError error);

private:
    QSerialPort *m_port;
    SlipBuffer *m_slip;
};

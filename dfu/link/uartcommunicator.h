#pragma once

#include "uart_frame.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QVariantHash>

#include <cstdint>

class QCommandLineParser;

// The firmware updater's serial link to a bootloader on a UART or RS485
// line: every payload goes out in a frame addressed to one device, and the
// frames that come back are queued as messages for a caller that sends a
// request and then waits a bounded time for the answer.
//
// The link lives in one thread at a time and carries its port with it when
// it is moved. Receivers of disconnected() may delete the link.
class UARTCommunicator : public QObject
{
    Q_OBJECT
    // The line rate that reply time-outs are sized from; always positive.
    Q_PROPERTY(int baud READ baud WRITE setBaud)
    // The device that send() and the bootloader commands address.
    Q_PROPERTY(uint8_t target READ target WRITE setTarget)
    // The port's name and ":" and the target in decimal; empty while closed.
    Q_PROPERTY(QString portName READ portName)

public:
    static constexpr int DefaultBaud = 115200;
    // The target before one is chosen, and the address of get()'s answer on
    // an empty queue.
    static constexpr uint8_t NoAddress = 0xFF;
    static constexpr int DefaultWaitMs = 30000;
    // Added to every positive wait for the time a frame takes on the line.
    static constexpr int WaitMarginMs = 500;
    // The settings group of the line settings and the command-line options.
    static constexpr char SettingsGroup[] = "RS485";

    explicit UARTCommunicator(QObject *parent = nullptr);
    ~UARTCommunicator() override;

    int baud() const { return m_baud; }
    // Keeps the current rate when `rate` is zero or less.
    void setBaud(int rate);
    uint8_t target() const { return m_target; }
    void setTarget(uint8_t address) { m_target = address; }
    QString portName() const;

    bool isOpen() const;
    // Opens the listed port with the line settings of the "RS485" group of
    // `cfg` ("RS485/Baud" and so on), or of the application settings when
    // `cfg` is empty. Queued messages stay.
    bool open(const QString &port, const QVariantHash &cfg);
    bool open(const QString &port);
    // Closes the port; queued messages stay.
    void close();
    // Discards every queued message.
    void drop();
    // Discards what the open port holds unread.
    void clear();
    bool pending() const { return !m_messages.isEmpty(); }
    int queue() const { return int(m_messages.size()); }
    // The oldest queued message; (NoAddress, empty) when none is queued.
    UARTMessage get();

    // Waits in a local event loop until the next good frame arrives.
    // 0: returns pending() at once. Positive: gives up after ms plus
    // WaitMarginMs; true when a message is queued or the port holds unread
    // bytes. Negative: no time limit. Every wait ends when the port closes.
    bool waitMessageReady(int ms);
    bool waitMessageReady();

    // Command-line options for a serial line: "baud", "parity", "stop" and
    // "address".
    static void app_addParserOptions(QCommandLineParser &parser);
    // True when any of the options above was given.
    static bool app_parserOptionsSet(const QCommandLineParser &parser);
    // Stores the given options under "RS485/..." in the application
    // settings, in the order address, parity, baud, stop; stops at the first
    // bad value with its message in `error`.
    static bool app_processParserOptions(QCommandLineParser &parser, QString &error);

public slots:
    // False, sending nothing, when the port is closed or the payload is over
    // 255 bytes; otherwise whether the whole frame was written and flushed.
    bool sendto(uint8_t addr, const QByteArray &msg);
    bool sendto(const UARTMessage &msg);
    bool send(const QByteArray &msg);
    // Takes in whatever the open port holds now.
    void readAll();

signals:
    // One per good frame queued; connected slots run before parsing goes on.
    void readyRead();
    // The port is closing: by close(), or after a fatal port error.
    void disconnected();

private slots:
    void hnd_readyRead();
    void hnd_error(QSerialPort::SerialPortError error);

private:
    int m_baud = DefaultBaud;
    uint8_t m_target = NoAddress;
    QSerialPort *m_serial;
    uart_frame::Parser m_rx;
    QList<UARTMessage> m_messages;
};

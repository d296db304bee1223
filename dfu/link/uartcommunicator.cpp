#include "uartcommunicator.h"

#include "qcomport.h"

#include <QEventLoop>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <climits>

UARTCommunicator::UARTCommunicator(QObject *parent)
    : QObject(parent)
    , m_serial(new QSerialPort(this))
{
    connect(m_serial, &QSerialPort::readyRead, this, &UARTCommunicator::hnd_readyRead);
    connect(m_serial, &QSerialPort::errorOccurred, this, &UARTCommunicator::hnd_error);
    // Queued: a receiver that deletes the link must not pull the port out
    // from under its own close().
    connect(m_serial, &QSerialPort::aboutToClose, this, &UARTCommunicator::disconnected,
            Qt::QueuedConnection);
}

UARTCommunicator::~UARTCommunicator()
{
    disconnect(m_serial, nullptr, this, nullptr);
    if (m_serial->isOpen()) {
        m_serial->flush();
        m_serial->close();
    }
}

void UARTCommunicator::setBaud(int rate)
{
    if (rate <= 0)
        return;
    m_baud = rate;
    if (m_serial->isOpen())
        m_serial->setBaudRate(rate, QSerialPort::AllDirections);
}

QString UARTCommunicator::portName() const
{
    if (!m_serial->isOpen())
        return QString();
    return m_serial->portName() + QLatin1Char(':') + QString::number(m_target);
}

bool UARTCommunicator::isOpen() const
{
    return m_serial->isOpen();
}

bool UARTCommunicator::open(const QString &port, const QVariantHash &cfg)
{
    if (m_serial->isOpen())
        close();
    m_rx.clear();
    if (!cfg.isEmpty())
        return QComPort::setupComPortFromHash(port, cfg, QLatin1String(SettingsGroup), *m_serial);
    QSettings settings;
    return QComPort::setupComPortFromSettings(port, settings, QLatin1String(SettingsGroup), *m_serial);
}

bool UARTCommunicator::open(const QString &port)
{
    return open(port, QVariantHash());
}

void UARTCommunicator::close()
{
    if (m_serial->isOpen()) {
        m_serial->flush();
        m_serial->close();
    }
    m_rx.clear();
}

void UARTCommunicator::drop()
{
    m_messages.clear();
}

void UARTCommunicator::clear()
{
    while (m_serial->isOpen() && !m_serial->readAll().isEmpty()) {
    }
}

UARTMessage UARTCommunicator::get()
{
    if (m_messages.isEmpty())
        return UARTMessage(NoAddress, QByteArray());
    return m_messages.takeFirst();
}

bool UARTCommunicator::waitMessageReady(int ms)
{
    // A closed port brings no frame: nothing to wait for.
    if (ms == 0 || !m_serial->isOpen())
        return pending();
    QEventLoop loop;
    connect(this, &UARTCommunicator::readyRead, &loop, &QEventLoop::quit);
    connect(this, &UARTCommunicator::disconnected, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (ms > 0)
        timer.start(int(std::min<qint64>(qint64(ms) + WaitMarginMs, INT_MAX)));
    const QPointer<UARTCommunicator> alive(this);
    loop.exec();
    if (!alive)
        return false;
    return pending() || (m_serial->isOpen() && m_serial->bytesAvailable() > 0);
}

bool UARTCommunicator::waitMessageReady()
{
    return waitMessageReady(DefaultWaitMs);
}

bool UARTCommunicator::sendto(uint8_t addr, const QByteArray &msg)
{
    if (!m_serial->isOpen())
        return false;
    const QByteArray frame = uart_frame::encode(addr, msg);
    if (frame.isEmpty())
        return false;
    if (m_serial->write(frame) != frame.size())
        return false;
    return m_serial->flush();
}

bool UARTCommunicator::sendto(const UARTMessage &msg)
{
    return sendto(msg.first, msg.second);
}

bool UARTCommunicator::send(const QByteArray &msg)
{
    return sendto(m_target, msg);
}

void UARTCommunicator::readAll()
{
    if (m_serial->isOpen())
        hnd_readyRead();
}

void UARTCommunicator::hnd_readyRead()
{
    for (QByteArray chunk = m_serial->readAll(); !chunk.isEmpty(); chunk = m_serial->readAll())
        m_rx.append(chunk);
    // A receiver of readyRead() may close or delete the link.
    const QPointer<UARTCommunicator> alive(this);
    UARTMessage message;
    while (m_rx.next(&message)) {
        m_messages.append(message);
        emit readyRead();
        if (!alive)
            return;
    }
}

void UARTCommunicator::hnd_error(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
    case QSerialPort::TimeoutError:
    case QSerialPort::NotOpenError:
        break;
    default:
        return;
    }
    if (!m_serial->isOpen())
        return;
    // Closed from the event loop: the port is still inside its own signal.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_serial->isOpen())
                close();
        },
        Qt::QueuedConnection);
}

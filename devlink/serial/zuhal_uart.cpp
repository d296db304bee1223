#include "zuhal_uart.h"

#include "qcomport.h"
#include "slip.h"
#include "usb_enumerator.h"

#include <QEventLoop>
#include <QPointer>
#include <QSettings>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {

constexpr char MakerManufacturer[] = "Halvane Devices";
constexpr quint16 ControllerProductId = 0xA26A;
constexpr char SettingsGroup[] = "Serial";

// Whether the port's device is gone (unplugged, the line hung up) rather than
// only slow to read: a full output buffer, which Qt reports as a resource
// error too, is not a lost device.
bool deviceGone(const QSerialPort &port)
{
#ifdef Q_OS_UNIX
    pollfd fd = {int(port.handle()), 0, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    Q_UNUSED(port);
    return true;
#endif
}

} // namespace

ZuHalUartMessenger::ZuHalUartMessenger(QObject *parent)
    : ZuHalAbstractMessenger(parent)
    , m_port(new QSerialPort(this))
    , m_slip(new SlipBuffer(this))
{
    m_slip->setCrc8(true);
    connect(m_port, &QSerialPort::aboutToClose, this,
            [this] { afterEventsOfThisLink([this] { notifyDisconnected(); }); });
    connect(m_port, &QSerialPort::errorOccurred, this, &ZuHalUartMessenger::com_error);
    connect(m_port, &QSerialPort::readyRead, this, &ZuHalUartMessenger::readData);
    connect(m_slip, &SlipBuffer::pktReady, this, &ZuHalUartMessenger::receivePacket);
}

bool ZuHalUartMessenger::qualifies(const serial_port_catalog::Port &port)
{
    return (port.manufacturer.isEmpty() || port.manufacturer == QLatin1String(MakerManufacturer))
           && (!port.hasProductIdentifier || port.productIdentifier == ControllerProductId);
}

QList<ZuHalDevice> ZuHalUartMessenger::enumerate()
{
    const QHash<QString, UsbEnumerator::UsbDevice> usbDevices = UsbEnumerator::instance().enumerate();
    QList<ZuHalDevice> devices;
    for (const serial_port_catalog::Port &port : serial_port_catalog::availablePorts()) {
        if (!qualifies(port))
            continue;
        ZuHalDevice device;
        device.address = port.portName;
        // A port without a serial number (a built-in UART) is not the USB
        // device that reports none.
        const auto usb = port.serialNumber.isEmpty() ? usbDevices.constEnd()
                                                     : usbDevices.constFind(port.serialNumber);
        device.manufacturer = usb == usbDevices.constEnd() ? tr("Unknown Manufacturer") : usb->manufacturer;
        device.product = usb == usbDevices.constEnd() ? QStringLiteral("----") : usb->product;
        device.serial = port.serialNumber;
        devices.append(device);
    }
    return devices;
}

bool ZuHalUartMessenger::open(const QVariant &address)
{
    close();
    if (!address.canConvert<QString>())
        return false;
    const bool wasBlocked = m_port->blockSignals(true);
    QSettings settings;
    if (!QComPort::setupComPortFromSettings(address.toString(), settings,
                                            QLatin1String(SettingsGroup), *m_port)) {
        m_port->blockSignals(wasBlocked);
        return false;
    }
    // The old link's end, if not yet delivered, is not delivered after this
    // start.
    ++m_link;
    dropDisconnectNotice();
    emit connected();
    m_port->blockSignals(wasBlocked);
    // Two END bytes: a receiver between frames is left waiting in an empty one.
    m_port->write(QByteArray("\xC0\xC0", 2));
    m_port->flush();
    return true;
}

bool ZuHalUartMessenger::isOpen() const
{
    return m_port->isOpen();
}

void ZuHalUartMessenger::close()
{
    m_port->close();
    endWaits();
}

QString ZuHalUartMessenger::toString() const
{
    return m_port->portName();
}

ZuHalAbstractMessenger::Type ZuHalUartMessenger::type() const
{
    return ZU_HAL_UART;
}

QString ZuHalUartMessenger::transport() const
{
    return QStringLiteral("usb");
}

int ZuHalUartMessenger::error() const
{
    return int(m_port->error());
}

QString ZuHalUartMessenger::errorString() const
{
    return m_port->errorString();
}

int ZuHalUartMessenger::pollTime() const
{
    return 0;
}

void ZuHalUartMessenger::setPollTime(int)
{
}

bool ZuHalUartMessenger::send(const ZuHalPacket &packet)
{
    if (!isOpen())
        return false;
    const QByteArray frame = m_slip->encode(packet.serialize());
    // Frames for a device that is slow to read wait in the port, up to a
    // bound; past it a frame is refused rather than queued without end.
    if (m_port->bytesToWrite() + frame.size() > MaxQueuedBytes)
        return false;
    if (m_port->write(frame) != frame.size())
        return false;
    // Writes what the device takes now; the rest follows as it reads.
    m_port->flush();
    return true;
}

bool ZuHalUartMessenger::pollData(int msec)
{
    if (!isOpen())
        return false;
    QEventLoop loop;
    connect(m_port, &QSerialPort::errorOccurred, &loop, &QEventLoop::quit);
    connect(m_slip, &SlipBuffer::pktReady, &loop, &QEventLoop::quit);
    return waitForPackets(loop, msec);
}

void ZuHalUartMessenger::readData()
{
    // A receiver of dataReady() may delete this transport.
    const QPointer<ZuHalUartMessenger> alive(this);
    for (QByteArray bytes = m_port->readAll(); !bytes.isEmpty(); bytes = m_port->readAll()) {
        m_slip->decode(bytes);
        if (!alive)
            return;
    }
}

void ZuHalUartMessenger::com_error(QSerialPort::SerialPortError error)
{
    bool lost = false;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
        lost = true;
        break;
    case QSerialPort::ResourceError:
        lost = deviceGone(*m_port);
        break;
    default:
        break;
    }
    if (lost)
        afterEventsOfThisLink([this] { close(); });
}

void ZuHalUartMessenger::afterEventsOfThisLink(std::function<void()> action)
{
    // A reopen in the meantime makes the action stale: the link it was
    // meant for is gone, and it would close or end the new one.
    QMetaObject::invokeMethod(
        this,
        [this, link = m_link, action = std::move(action)] {
            if (link == m_link)
                action();
        },
        Qt::QueuedConnection);
}

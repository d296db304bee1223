#include "zuhal_uart.h"

#include "qcomport.h"
#include "slip.h"
#include "usb_enumerator.h"

#include <QEventLoop>
#include <QPointer>
#include <QSettings>

namespace {

constexpr char MakerManufacturer[] = "Halvane Devices";
constexpr quint16 ControllerProductId = 0xA26A;
constexpr char SettingsGroup[] = "Serial";

} // namespace

ZuHalUartMessenger::ZuHalUartMessenger(QObject *parent)
    : ZuHalAbstractMessenger(parent)
    , m_port(new QSerialPort(this))
    , m_slip(new SlipBuffer(this))
{
    m_slip->setCrc8(true);
    connect(m_port, &QSerialPort::aboutToClose, this, &ZuHalUartMessenger::notifyDisconnected,
            Qt::QueuedConnection);
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
        const auto usb = usbDevices.constFind(port.serialNumber);
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
    if (m_port->write(m_slip->encode(packet.serialize())) <= 0)
        return false;
    return m_port->flush();
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
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
        break;
    default:
        break;
    }
}

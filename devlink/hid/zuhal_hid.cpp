#include "zuhal_hid.h"

#include "hid_device_name.h"
#include "hidproxy_desktop.h"

#include <QEventLoop>

namespace {

constexpr int ControllerVendorId = 0x0483;
constexpr int ControllerProductId = 0xA26A;
constexpr char ControllerProducts[] = "KOLM-(.*)";
constexpr int ReportNumber = 1;
constexpr int ReportDataSize = 63;
// The report holds the length byte and at most this many packet bytes.
constexpr int MaxPacketSize = ReportDataSize - 1;

ZuHalHidMessenger::ProxyFactory &customFactory()
{
    static ZuHalHidMessenger::ProxyFactory factory;
    return factory;
}

} // namespace

ZuHalHidMessenger::ZuHalHidMessenger(QObject *parent)
    : ZuHalAbstractMessenger(parent)
{
}

QList<ZuHalDevice> ZuHalHidMessenger::enumerate()
{
    QList<ZuHalDevice> devices;
    const auto listed = HIDProxyDesktop::availableHidDevicesList(
        ControllerVendorId, ControllerProductId, QString::fromLatin1(ControllerProducts));
    for (const HIDProxy::Descriptor &descriptor : listed) {
        ZuHalDevice device;
        device.address = hid_device_name::listed(descriptor.vendorId, descriptor.productId,
                                                 descriptor.serialNumber);
        device.manufacturer = descriptor.manufacturer;
        device.product = descriptor.product;
        device.serial = descriptor.serialNumber;
        devices.append(device);
    }
    return devices;
}

void ZuHalHidMessenger::setProxyFactory(ProxyFactory factory)
{
    customFactory() = std::move(factory);
}

bool ZuHalHidMessenger::open(const QVariant &device)
{
    close();
    m_proxy = customFactory() ? customFactory()(this) : new HIDProxyDesktop(this);
    if (!m_proxy->setDevice(device.toString())) {
        releaseProxy();
        return false;
    }
    connect(m_proxy, &HIDProxy::processInRequest, this, &ZuHalHidMessenger::hid_in);
    connect(m_proxy, &HIDProxy::disconnected, this, &ZuHalHidMessenger::hid_disconnected);
    emit connected();
    return true;
}

bool ZuHalHidMessenger::isOpen() const
{
    return m_proxy && m_proxy->isOpen();
}

void ZuHalHidMessenger::releaseProxy()
{
    if (!m_proxy)
        return;
    m_proxy->disconnect(this);
    m_proxy->deleteLater();
    m_proxy = nullptr;
}

void ZuHalHidMessenger::close()
{
    endWaits();
    if (!m_proxy)
        return;
    m_proxy->disconnect(this);
    m_proxy->close();
    releaseProxy();
}

QString ZuHalHidMessenger::toString() const
{
    return isOpen() ? m_proxy->device() : tr("Not opened");
}

ZuHalAbstractMessenger::Type ZuHalHidMessenger::type() const
{
    return ZU_HAL_HID;
}

QString ZuHalHidMessenger::transport() const
{
    return QStringLiteral("usb");
}

int ZuHalHidMessenger::error() const
{
    return isOpen() ? 0 : -1;
}

QString ZuHalHidMessenger::errorString() const
{
    return isOpen() ? QString() : tr("Not opened");
}

int ZuHalHidMessenger::pollTime() const
{
    return m_proxy ? m_proxy->pollInterval() : -1;
}

void ZuHalHidMessenger::setPollTime(int ms)
{
    if (m_proxy)
        m_proxy->setPollInterval(ms);
}

bool ZuHalHidMessenger::send(const ZuHalPacket &pkt)
{
    if (!isOpen())
        return false;
    const QByteArray packet = pkt.serialize();
    if (packet.size() > MaxPacketSize)
        return false;
    QByteArray report(ReportDataSize, '\0');
    report[0] = char(packet.size());
    report.replace(1, packet.size(), packet);
    return m_proxy->sendPacket(report, ReportNumber);
}

bool ZuHalHidMessenger::pollData(int timeoutMs)
{
    if (!isOpen())
        return false;
    QEventLoop loop;
    connect(m_proxy, &HIDProxy::disconnected, &loop, &QEventLoop::quit);
    connect(m_proxy, &HIDProxy::processInRequest, &loop, &QEventLoop::quit);
    return waitForPackets(loop, timeoutMs);
}

void ZuHalHidMessenger::hid_in(const QByteArray &data)
{
    if (!isOpen() || data.isEmpty() || (unsigned char)data[0] != ReportNumber)
        return;
    const int length = data.size() > 1 ? (unsigned char)data[1] : 0;
    receivePacket(data.mid(2, length));
}

void ZuHalHidMessenger::hid_disconnected()
{
    // The proxy is in the middle of its poll tick: it goes with deleteLater,
    // and the notice waits for the event loop.
    releaseProxy();
    QMetaObject::invokeMethod(this, &ZuHalHidMessenger::notifyDisconnected, Qt::QueuedConnection);
}

#include "hidproxy_desktop.h"

#include "hid_device_filter.h"
#include "hid_device_name.h"
#include "usb_string_descriptor.h"
#include "usb_zero_length_packet.h"

#include <hidapi.h>
#include <libusb.h>

#include <string>

namespace {

constexpr int MaxSerialChars = 128;
constexpr char InvalidTypeMessage[] = "getDescriptorString: invalid return type";

QString fromWide(const wchar_t *text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

QList<HIDProxy::Descriptor> listDevices(const HidDeviceFilter &filter)
{
    QList<HIDProxy::Descriptor> devices;
    hid_device_info *list = hid_enumerate((unsigned short)filter.listingVendorId(),
                                          (unsigned short)filter.listingProductId());
    for (const hid_device_info *info = list; info; info = info->next) {
        HIDProxy::Descriptor device;
        device.vendorId = info->vendor_id;
        device.productId = info->product_id;
        device.manufacturer = fromWide(info->manufacturer_string);
        device.product = fromWide(info->product_string);
        device.serialNumber = fromWide(info->serial_number);
        if (filter.matches(device))
            devices.append(device);
    }
    hid_free_enumeration(list);
    return devices;
}

QStringList listedNames(const QList<HIDProxy::Descriptor> &devices)
{
    QStringList names;
    for (const HIDProxy::Descriptor &device : devices)
        names.append(hid_device_name::listed(device.vendorId, device.productId, device.serialNumber));
    return names;
}

HIDProxy::UsbClass usbClass(uint8_t deviceClass, uint8_t subClass, uint8_t protocol)
{
    HIDProxy::UsbClass result;
    result.deviceClass = deviceClass;
    result.subClass = subClass;
    result.protocol = protocol;
    return result;
}

} // namespace

HIDProxyDesktop::HIDProxyDesktop(QObject *parent)
    : HIDProxy(parent)
{
    HIDProxy::initContext();
}

HIDProxyDesktop::~HIDProxyDesktop()
{
    closeRaw();
    if (m_hid)
        hid_close(m_hid);
}

QStringList HIDProxyDesktop::availableHidDevices(int vid, int pid, const QString &product)
{
    return listedNames(listDevices(HidDeviceFilter(vid, pid, QString(), product)));
}

QStringList HIDProxyDesktop::availableHidDevices(const QString &manufacturer, const QString &product)
{
    return listedNames(listDevices(HidDeviceFilter(-1, -1, manufacturer, product)));
}

QList<HIDProxy::Descriptor> HIDProxyDesktop::availableHidDevicesList(int vid, int pid,
                                                                     const QString &product)
{
    HIDProxy::initContext();
    return listDevices(HidDeviceFilter(vid, pid, QString(), product));
}

QString HIDProxyDesktop::hidSerialNumber() const
{
    wchar_t serial[MaxSerialChars + 1] = {};
    if (!m_hid || hid_get_serial_number_string(m_hid, serial, MaxSerialChars) != 0)
        return QString();
    return QString::fromWCharArray(serial);
}

QString HIDProxyDesktop::device() const
{
    if (!m_hid)
        return QString();
    return hid_device_name::format(m_vendorId, m_productId, hidSerialNumber());
}

bool HIDProxyDesktop::setDevice(const QString &name)
{
    if (isOpen())
        close();
    int vendorId = 0;
    int productId = 0;
    QString serial;
    if (name.isEmpty() || !hid_device_name::parse(name, &vendorId, &productId, &serial))
        return false;
    const std::wstring wideSerial = serial.toStdWString();
    m_hid = hid_open((unsigned short)vendorId, (unsigned short)productId, wideSerial.c_str());
    if (!m_hid)
        return false;
    m_vendorId = vendorId;
    m_productId = productId;
    hid_set_nonblocking(m_hid, 1);
    startPolling();
    emit deviceChanged(name);
    return true;
}

bool HIDProxyDesktop::isOpen() const
{
    return m_hid != nullptr;
}

bool HIDProxyDesktop::hasPermission() const
{
    return true;
}

void HIDProxyDesktop::close()
{
    stopTraffic();
    closeRaw();
    if (!m_hid)
        return;
    hid_close(m_hid);
    m_hid = nullptr;
    emit deviceChanged(QString());
}

int HIDProxyDesktop::getQuirks() const
{
    return m_quirks;
}

void HIDProxyDesktop::setQuirks(int quirks)
{
    m_quirks = quirks;
}

int HIDProxyDesktop::periodic()
{
    if (!m_hid)
        return -1;
    return hid_read(m_hid, inputBuffer(), size_t(reportSize() + 1));
}

bool HIDProxyDesktop::writeReport(int length)
{
    if (!m_hid || length < 0 || length > BufferSize)
        return false;
    return hid_write(m_hid, outputBuffer(), size_t(length)) >= length;
}

bool HIDProxyDesktop::writeFeature(const unsigned char *data, int length)
{
    if (!m_hid || length < 0 || length > BufferSize)
        return false;
    return hid_send_feature_report(m_hid, data, size_t(length)) == length;
}

bool HIDProxyDesktop::getFeature(int length, QByteArray &out, int reportId)
{
    out.clear();
    if (!m_hid || length < 0 || length > MaxReportSize)
        return false;
    unsigned char buffer[BufferSize] = {};
    if (reportId >= 0)
        buffer[0] = (unsigned char)reportId;
    else if (reportID() >= 0)
        buffer[0] = (unsigned char)reportID();
    const int received = hid_get_feature_report(m_hid, buffer, size_t(length + 1));
    if (received < 0)
        return false;
    if (received > 1)
        out = QByteArray(reinterpret_cast<const char *>(buffer + 1), qMin(received, int(BufferSize)) - 1);
    return true;
}

bool HIDProxyDesktop::openRaw()
{
    libusb_context *usb = HIDProxy::context();
    if (!m_hid || !usb)
        return false;
    const QString hidSerial = hidSerialNumber();
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(usb, &list);
    if (count <= 0) {
        if (list)
            libusb_free_device_list(list, 1);
        return false;
    }
    for (ssize_t i = 0; i < count && !m_raw; ++i) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0
            || descriptor.idVendor != m_vendorId || descriptor.idProduct != m_productId)
            continue;
        libusb_device_handle *handle = nullptr;
        if (libusb_open(list[i], &handle) != 0)
            continue;
        int error = 0;
        const QString serial = usb_string_descriptor::read(handle, descriptor.iSerialNumber, &error,
                                                           InvalidTypeMessage);
        if (error != 0 || serial != hidSerial) {
            libusb_close(handle);
            continue;
        }
        if (libusb_get_config_descriptor(list[i], 0, &m_config) == 0)
            m_raw = handle;
        else
            libusb_close(handle);
        break;
    }
    libusb_free_device_list(list, 1);
    return m_raw != nullptr;
}

bool HIDProxyDesktop::ensureRaw()
{
    return m_raw || openRaw();
}

void HIDProxyDesktop::closeRaw()
{
    if (m_config)
        libusb_free_config_descriptor(m_config);
    m_config = nullptr;
    if (m_raw)
        libusb_close(m_raw);
    m_raw = nullptr;
}

HIDProxy::UsbClass HIDProxyDesktop::deviceClass()
{
    libusb_device_descriptor descriptor;
    if (!ensureRaw() || libusb_get_device_descriptor(libusb_get_device(m_raw), &descriptor) != 0)
        return UsbClass();
    return usbClass(descriptor.bDeviceClass, descriptor.bDeviceSubClass, descriptor.bDeviceProtocol);
}

int HIDProxyDesktop::interfaceCount()
{
    return ensureRaw() ? m_config->bNumInterfaces : 0;
}

HIDProxy::UsbClass HIDProxyDesktop::interfaceClass(int interface)
{
    if (interface < 0 || interface >= interfaceCount()
        || m_config->interface[interface].num_altsetting < 1)
        return UsbClass();
    const libusb_interface_descriptor &setting = m_config->interface[interface].altsetting[0];
    return usbClass(setting.bInterfaceClass, setting.bInterfaceSubClass, setting.bInterfaceProtocol);
}

int HIDProxyDesktop::endpointCount(int interface)
{
    if (interface < 0 || interface >= interfaceCount()
        || m_config->interface[interface].num_altsetting < 1)
        return 0;
    return m_config->interface[interface].altsetting[0].bNumEndpoints;
}

const libusb_endpoint_descriptor *HIDProxyDesktop::bulkEndpoint(int interface, bool in)
{
    if (endpointCount(interface) == 0)
        return nullptr;
    const libusb_interface_descriptor &setting = m_config->interface[interface].altsetting[0];
    for (int i = 0; i < setting.bNumEndpoints; ++i) {
        const libusb_endpoint_descriptor &endpoint = setting.endpoint[i];
        const bool isIn = (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0;
        if ((endpoint.bmAttributes & 3) == LIBUSB_TRANSFER_TYPE_BULK && isIn == in)
            return &endpoint;
    }
    return nullptr;
}

bool HIDProxyDesktop::rawSend(int interface, const QByteArray &data, int timeoutMs)
{
    const libusb_endpoint_descriptor *endpoint = bulkEndpoint(interface, false);
    if (!endpoint)
        return false;
    const bool claimed = libusb_claim_interface(m_raw, interface) == 0;
    QByteArray bytes = data;
    int transferred = 0;
    const int result = libusb_bulk_transfer(m_raw, endpoint->bEndpointAddress,
                                            reinterpret_cast<unsigned char *>(bytes.data()),
                                            bytes.size(), &transferred, unsigned(timeoutMs));
    if (result == 0 && needsZeroLengthPacket(transferred, endpoint->wMaxPacketSize)) {
        int none = 0;
        libusb_bulk_transfer(m_raw, endpoint->bEndpointAddress, nullptr, 0, &none, unsigned(timeoutMs));
    }
    if (claimed)
        libusb_release_interface(m_raw, interface);
    return result == 0 && transferred == data.size();
}

QByteArray HIDProxyDesktop::rawReceive(int interface, int length, int timeoutMs, bool *ok)
{
    if (ok)
        *ok = false;
    const libusb_endpoint_descriptor *endpoint = bulkEndpoint(interface, true);
    if (!endpoint || length < 0)
        return QByteArray();
    const bool claimed = libusb_claim_interface(m_raw, interface) == 0;
    QByteArray buffer(length, '\0');
    int received = 0;
    const int result = libusb_bulk_transfer(m_raw, endpoint->bEndpointAddress,
                                            reinterpret_cast<unsigned char *>(buffer.data()),
                                            length, &received, unsigned(timeoutMs));
    if (claimed)
        libusb_release_interface(m_raw, interface);
    if (result < 0)
        return QByteArray();
    if (ok)
        *ok = true;
    buffer.truncate(received);
    return buffer;
}

#include "usb_enumerator.h"

#include "usb_string_descriptor.h"

#include <libusb.h>

namespace {

constexpr int MakerVendorId = 0x0483;
constexpr int ControllerProductId = 0xA26A;
constexpr char InvalidTypeMessage[] = "usbGetDescriptorString: Invalid return type";

// Reads manufacturer, product and serial of one open device into `devices`;
// a device with an unreadable string contributes nothing.
void readStrings(libusb_device_handle *handle, const libusb_device_descriptor &descriptor,
                 QHash<QString, UsbEnumerator::UsbDevice> &devices)
{
    int error = 0;
    UsbEnumerator::UsbDevice device;
    device.manufacturer = usb_string_descriptor::read(handle, descriptor.iManufacturer, &error,
                                                      InvalidTypeMessage);
    if (error != 0)
        return;
    device.product = usb_string_descriptor::read(handle, descriptor.iProduct, &error,
                                                 InvalidTypeMessage);
    if (error != 0)
        return;
    const QString serial = usb_string_descriptor::read(handle, descriptor.iSerialNumber, &error,
                                                       InvalidTypeMessage);
    if (error != 0)
        return;
    devices.insert(serial, device);
}

UsbEnumerator::Source &customSource()
{
    static UsbEnumerator::Source source;
    return source;
}

} // namespace

UsbEnumerator &UsbEnumerator::instance()
{
    static UsbEnumerator *enumerator = new UsbEnumerator;
    return *enumerator;
}

UsbEnumerator::UsbEnumerator()
    : m_started(libusb_init(nullptr) == 0)
{
}

bool UsbEnumerator::qualifies(int vendorId, int productId)
{
    return vendorId == MakerVendorId || productId == ControllerProductId;
}

void UsbEnumerator::setSource(Source source)
{
    customSource() = std::move(source);
}

QHash<QString, UsbEnumerator::UsbDevice> UsbEnumerator::enumerate() const
{
    if (customSource())
        return customSource()();
    QHash<QString, UsbDevice> devices;
    if (!m_started)
        return devices;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &list);
    if (count < 0)
        return devices;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0
            || !qualifies(descriptor.idVendor, descriptor.idProduct))
            continue;
        libusb_device_handle *handle = nullptr;
        if (libusb_open(list[i], &handle) != 0)
            continue;
        readStrings(handle, descriptor, devices);
        libusb_close(handle);
    }
    libusb_free_device_list(list, 1);
    return devices;
}

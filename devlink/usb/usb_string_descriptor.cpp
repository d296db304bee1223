#include "usb_string_descriptor.h"

#include <QTextCodec>
#include <QtGlobal>

#include <libusb.h>

namespace usb_string_descriptor {

namespace {

constexpr int DescriptorBufferSize = 256;
constexpr int DescriptorTimeoutMs = 1000;
constexpr unsigned char StringDescriptorType = 3;

// Without a UTF-16LE codec: every code unit with a zero high byte keeps its
// low byte, every other one becomes "?".
QString lossyUtf16(const unsigned char *chars, int units)
{
    QByteArray latin1;
    latin1.reserve(units);
    for (int i = 0; i < units; ++i)
        latin1.append(chars[2 * i + 1] == 0 ? char(chars[2 * i]) : '?');
    return QString::fromLatin1(latin1);
}

} // namespace

QString decode(const unsigned char *data, int received, int *status,
               const char *invalidTypeMessage)
{
    *status = 0;
    if (received < 4)
        return QString();
    const int length = qMin(received, int(data[0]));
    if (length < 4)
        return QString();
    const char *text = reinterpret_cast<const char *>(data + 2);
    if (data[3] != 0)
        return QString::fromLatin1(text, length - 2);
    if (data[1] != StringDescriptorType) {
        qCritical("%s", invalidTypeMessage);
        *status = InvalidType;
        return QString();
    }
    if (QTextCodec *codec = QTextCodec::codecForName("UTF-16LE"))
        return codec->toUnicode(text, length - 2);
    qCritical("Cannot get codec for UTF-16LE - using lossy conversion");
    return lossyUtf16(data + 2, length / 2 - 1);
}

QString read(libusb_device_handle *handle, int index, int *error,
             const char *invalidTypeMessage)
{
    unsigned char buffer[DescriptorBufferSize] = {};
    const int received = libusb_control_transfer(
        handle, LIBUSB_ENDPOINT_IN | LIBUSB_REQUEST_TYPE_STANDARD | LIBUSB_RECIPIENT_DEVICE,
        LIBUSB_REQUEST_GET_DESCRIPTOR, uint16_t((LIBUSB_DT_STRING << 8) | (index & 0xFF)), 0,
        buffer, sizeof buffer, DescriptorTimeoutMs);
    if (received < 0) {
        *error = received;
        return QString();
    }
    return decode(buffer, received, error, invalidTypeMessage);
}

} // namespace usb_string_descriptor

#pragma once

#include <QString>

// The text by which a HID device is listed and opened: vendor id, product id
// and serial number, as in "0483:a26a:0123456789".
namespace hid_device_name {

// Serial text of a device that reports no serial number.
inline const char NoSerial[] = "S/N";

// Both ids as 4-digit lower-case hexadecimal, then the serial number.
QString format(int vendorId, int productId, const QString &serial);

// The name under which a device is listed: "S/N" stands in for a missing
// serial number.
QString listed(int vendorId, int productId, const QString &serial);

// Reads a name with hexadecimal digits in either case; false when it does
// not have the form above.
bool parse(const QString &name, int *vendorId, int *productId, QString *serial);

} // namespace hid_device_name

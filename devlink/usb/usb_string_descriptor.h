#pragma once

#include <QString>

struct libusb_device_handle;

// Text of USB string descriptors, as the controller's firmware, its
// bootloader and generic adapters send them.
namespace usb_string_descriptor {

// Status of a decoded descriptor: 0 for a usable (possibly empty) text,
// -2 when the descriptor is not a string descriptor.
constexpr int InvalidType = -2;

// Decodes the `received` bytes of a GET_DESCRIPTOR answer. The descriptor's
// own length byte limits the text; descriptors shorter than 4 bytes give an
// empty text. A descriptor whose first character has a non-zero high byte is
// taken as 8-bit text, otherwise as UTF-16LE. `invalidTypeMessage` is logged
// as a critical message when the type byte is not that of a string.
QString decode(const unsigned char *data, int received, int *status,
               const char *invalidTypeMessage);

// Reads string descriptor `index` of an open device (1000 ms time-out).
// `error` gets 0 on success, the negative libusb code of a failed transfer,
// or InvalidType.
QString read(libusb_device_handle *handle, int index, int *error,
             const char *invalidTypeMessage);

} // namespace usb_string_descriptor

#pragma once

#include <QMetaType>
#include <QString>

// One device that a transport can reach, as its `enumerate()` lists it.
// Callers use the named fields: `address` is what the transport's `open`
// takes (a serial port name, "host:port", a HID device name).
struct ZuHalDevice
{
    QString address;      // what `open` takes
    QString manufacturer; // maker or platform, shown to the user
    QString product;      // product or device name, shown to the user
    QString serial;       // serial number or identifier

    bool operator==(const ZuHalDevice &other) const
    {
        return address == other.address && manufacturer == other.manufacturer
            && product == other.product && serial == other.serial;
    }
};

Q_DECLARE_METATYPE(ZuHalDevice)

#pragma once

#include <QHash>
#include <QString>

#include <functional>

// Reads the manufacturer and product strings of the maker's USB devices
// straight from the bus, keyed by their serial number, so that serial ports
// can be matched to the USB adapter behind them.
class UsbEnumerator
{
public:
    struct UsbDevice
    {
        QString manufacturer;
        QString product;
    };

    // The process-wide instance, created on first use and never destroyed.
    static UsbEnumerator &instance();

    // Whether a USB device qualifies for reading: the maker's vendor id or
    // the controller's product id.
    static bool qualifies(int vendorId, int productId);

    // Every qualifying device that can be opened and whose three strings can
    // be read; empty when the USB library could not be started.
    QHash<QString, UsbDevice> enumerate() const;

    // Replaces what enumerate() reads from the bus (tests list devices of
    // their own); an empty source restores the bus.
    using Source = std::function<QHash<QString, UsbDevice>()>;
    static void setSource(Source source);

private:
    UsbEnumerator();

    bool m_started = false;
};

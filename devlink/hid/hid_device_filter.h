#pragma once

#include "hidproxy.h"

#include <QRegularExpression>

// Selects listed HID devices by vendor and product id (negative: any) and by
// regular expressions over the manufacturer and product strings, which must
// match the whole string (empty: anything).
class HidDeviceFilter
{
public:
    HidDeviceFilter(int vendorId, int productId, const QString &manufacturer, const QString &product);

    bool matches(const HIDProxy::Descriptor &device) const;

    // The ids to hand to the HID library's own listing; 0 stands for any.
    int listingVendorId() const { return m_vendorId < 0 ? 0 : m_vendorId; }
    int listingProductId() const { return m_productId < 0 ? 0 : m_productId; }

private:
    int m_vendorId;
    int m_productId;
    QRegularExpression m_manufacturer;
    QRegularExpression m_product;
};

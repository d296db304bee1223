#include "hid_device_filter.h"

namespace {

QRegularExpression wholeStringPattern(const QString &pattern)
{
    return QRegularExpression(
        QRegularExpression::anchoredPattern(pattern.isEmpty() ? QStringLiteral(".*") : pattern));
}

} // namespace

HidDeviceFilter::HidDeviceFilter(int vendorId, int productId, const QString &manufacturer,
                                 const QString &product)
    : m_vendorId(vendorId)
    , m_productId(productId)
    , m_manufacturer(wholeStringPattern(manufacturer))
    , m_product(wholeStringPattern(product))
{
}

bool HidDeviceFilter::matches(const HIDProxy::Descriptor &device) const
{
    if (m_vendorId >= 0 && device.vendorId != m_vendorId)
        return false;
    if (!m_manufacturer.match(device.manufacturer).hasMatch())
        return false;
    if (m_productId >= 0 && device.productId != m_productId)
        return false;
    return m_product.match(device.product).hasMatch();
}

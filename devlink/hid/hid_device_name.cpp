#include "hid_device_name.h"

#include <QRegularExpression>

namespace hid_device_name {

QString format(int vendorId, int productId, const QString &serial)
{
    return QStringLiteral("%1:%2:")
               .arg(vendorId & 0xFFFF, 4, 16, QLatin1Char('0'))
               .arg(productId & 0xFFFF, 4, 16, QLatin1Char('0'))
           + serial;
}

QString listed(int vendorId, int productId, const QString &serial)
{
    return format(vendorId, productId, serial.isEmpty() ? QString::fromLatin1(NoSerial) : serial);
}

bool parse(const QString &name, int *vendorId, int *productId, QString *serial)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("([0-9A-F]{4,4}):([0-9A-F]{4,4}):(.+)")),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return false;
    *vendorId = match.captured(1).toInt(nullptr, 16);
    *productId = match.captured(2).toInt(nullptr, 16);
    *serial = match.captured(3);
    return true;
}

} // namespace hid_device_name

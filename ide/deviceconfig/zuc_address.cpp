#include "zuc_address.h"

QString ZUC_ADDRESS::toString(quint16 address)
{
    if (address == Broadcast)
        return QStringLiteral("bcst");
    return QString::number(address, 16).rightJustified(4, QLatin1Char('0')).toUpper()
        + QLatin1Char('h');
}

quint16 ZUC_ADDRESS::fromString(const QString &text, bool *ok)
{
    if (ok)
        *ok = false;
    const QString lower = text.toLower();
    if (lower == QLatin1String("all") || lower == QLatin1String("bcst")) {
        if (ok)
            *ok = true;
        return Broadcast;
    }
    bool parsed = false;
    const uint decimal = text.toUInt(&parsed, 10);
    if (parsed && decimal <= 0xFFFF) {
        if (ok)
            *ok = true;
        return quint16(decimal);
    }
    QString hex = text;
    hex.remove(QStringLiteral("0x")).remove(QLatin1Char('h'));
    const uint value = hex.toUInt(&parsed, 16);
    if (parsed && value <= 0xFFFF) {
        if (ok)
            *ok = true;
        return quint16(value);
    }
    return Broadcast;
}

#pragma once
// Text form of a 16-bit device address. 0xFFFF is the broadcast address.

#include <QString>
#include <QtGlobal>

class ZUC_ADDRESS
{
public:
    static constexpr quint16 Broadcast = 0xFFFF;

    // "bcst" for the broadcast address, else four upper-case hexadecimal
    // digits and "h" ("002Ah").
    static QString toString(quint16 address);
    // Reads "all" or "bcst" (any case), a decimal number up to 65535, or a
    // hexadecimal number up to FFFF once every "0x" and "h" is removed.
    // Decimal wins, so "12" is twelve and "12h" eighteen. Text that is no
    // address gives 0xFFFF with *ok false; ok may be null.
    static quint16 fromString(const QString &text, bool *ok = nullptr);
};

#pragma once

#include "dfu_status.h"

#include <QByteArray>
#include <QtEndian>

// The 14 status bytes a bootloader reports, USB and serial alike: flags,
// error, then address, limit and hardware id as 32-bit little-endian.
inline QByteArray bootloaderStatusBytes(const DFUStatus &status)
{
    QByteArray bytes(14, '\0');
    bytes[0] = char(status.flags);
    bytes[1] = char(status.error);
    qToLittleEndian<quint32>(status.address, bytes.data() + 2);
    qToLittleEndian<quint32>(status.limit, bytes.data() + 6);
    qToLittleEndian<quint32>(status.hardwareId, bytes.data() + 10);
    return bytes;
}

inline bool operator==(const DFUStatus &a, const DFUStatus &b)
{
    return a.flags == b.flags && a.error == b.error && a.address == b.address && a.limit == b.limit
           && a.hardwareId == b.hardwareId;
}

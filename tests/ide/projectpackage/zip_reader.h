#pragma once

// Reads the entries of a zip archive through its central directory, so the
// tests see exactly what the export wrote: names as raw bytes, flags,
// method, and the data inflated with zlib.

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <zlib.h>

struct ZipEntry
{
    QByteArray name;
    quint16 flags = 0;
    quint16 method = 0;
    QByteArray data;
};

inline QByteArray inflateRaw(const QByteArray& packed, qint64 size)
{
    QByteArray out(int(size), '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return QByteArray();
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray("<inflate failed>");
}

// The entries in central directory order; empty when the archive is not
// one this reader understands.
inline QList<ZipEntry> readZip(const QByteArray& zip)
{
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    const int end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return {};
    QList<ZipEntry> entries;
    int at = int(u32(end + 16));
    for (int i = 0; i < u16(end + 10); ++i) {
        if (at + 46 > zip.size() || u32(at) != 0x02014b50)
            return {};
        ZipEntry entry;
        entry.flags = u16(at + 8);
        entry.method = u16(at + 10);
        const quint32 packedSize = u32(at + 20);
        const quint32 size = u32(at + 24);
        const int nameLength = u16(at + 28);
        const int skip = u16(at + 30) + u16(at + 32);
        const int local = int(u32(at + 42));
        entry.name = zip.mid(at + 46, nameLength);
        const int data = local + 30 + u16(local + 26) + u16(local + 28);
        const QByteArray packed = zip.mid(data, int(packedSize));
        entry.data = entry.method == 8 ? inflateRaw(packed, size) : packed;
        entries.append(entry);
        at += 46 + nameLength + skip;
    }
    return entries;
}

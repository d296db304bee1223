#pragma once

// Writes small zip archives byte by byte, so a test can put into a package
// exactly what an attacker could: any entry name, including empty ones,
// absolute ones and ones with "..", and entries of zeros deflated to a
// thousandth of their size.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QtEndian>

#include <cstdint>

#include <zlib.h>

class ZipBuilder
{
public:
    // name: the raw bytes of the entry name; flagged UTF-8 unless utf8 is false.
    ZipBuilder& add(const QByteArray& name, const QByteArray& data, bool utf8 = true)
    {
        m_entries.append({name, data, utf8, 0, crc32(data), quint32(data.size())});
        return *this;
    }
    // An entry of `size` zero bytes, deflated a megabyte at a time; the
    // same size is deflated once.
    ZipBuilder& addZeros(const QByteArray& name, quint32 size)
    {
        static QMap<quint32, Entry> deflated;
        if (deflated.contains(size)) {
            Entry entry = deflated.value(size);
            entry.name = name;
            m_entries.append(entry);
            return *this;
        }
        const QByteArray zeros(1 << 20, '\0');
        z_stream stream{};
        deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        QByteArray packed;
        char out[64 * 1024];
        uLong crc = ::crc32(0, nullptr, 0);
        for (quint32 left = size;;) {
            const uInt piece = uInt(qMin<quint32>(left, quint32(zeros.size())));
            crc = ::crc32(crc, reinterpret_cast<const Bytef*>(zeros.constData()), piece);
            left -= piece;
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
            stream.avail_in = piece;
            const int flush = left ? Z_NO_FLUSH : Z_FINISH;
            do {
                stream.next_out = reinterpret_cast<Bytef*>(out);
                stream.avail_out = sizeof out;
                deflate(&stream, flush);
                packed.append(out, int(sizeof out - stream.avail_out));
            } while (stream.avail_out == 0);
            if (!left)
                break;
        }
        deflateEnd(&stream);
        m_entries.append({name, packed, true, 8, quint32(crc), size});
        deflated.insert(size, m_entries.last());
        return *this;
    }
    ZipBuilder& manifest(const QByteArray& json) { return add(".manifest", json); }

    QByteArray bytes() const
    {
        QByteArray archive;
        QByteArray directory;
        for (const Entry& entry : m_entries) {
            const quint32 offset = quint32(archive.size());
            const quint32 crc = entry.crc;
            const quint16 flags = entry.utf8 ? 0x0800 : 0;
            put32(archive, 0x04034b50);
            put16(archive, 20);
            put16(archive, flags);
            put16(archive, entry.method);
            put16(archive, 0);       // time
            put16(archive, 0x21);    // 1980-01-01
            put32(archive, crc);
            put32(archive, quint32(entry.data.size()));
            put32(archive, entry.size);
            put16(archive, quint16(entry.name.size()));
            put16(archive, 0);
            archive += entry.name;
            archive += entry.data;

            put32(directory, 0x02014b50);
            put16(directory, 20);
            put16(directory, 20);
            put16(directory, flags);
            put16(directory, entry.method);
            put16(directory, 0);
            put16(directory, 0x21);
            put32(directory, crc);
            put32(directory, quint32(entry.data.size()));
            put32(directory, entry.size);
            put16(directory, quint16(entry.name.size()));
            put16(directory, 0);     // extra
            put16(directory, 0);     // comment
            put16(directory, 0);     // disk
            put16(directory, 0);     // internal attributes
            put32(directory, 0);     // external attributes
            put32(directory, offset);
            directory += entry.name;
        }
        const quint32 directoryOffset = quint32(archive.size());
        archive += directory;
        put32(archive, 0x06054b50);
        put16(archive, 0);
        put16(archive, 0);
        put16(archive, quint16(m_entries.size()));
        put16(archive, quint16(m_entries.size()));
        put32(archive, quint32(directory.size()));
        put32(archive, directoryOffset);
        put16(archive, 0);
        return archive;
    }

private:
    struct Entry
    {
        QByteArray name;
        QByteArray data;  // as stored: deflated when method is 8
        bool utf8;
        quint16 method;
        quint32 crc;
        quint32 size;     // once inflated
    };

    static void put16(QByteArray& out, quint16 value)
    {
        char bytes[2];
        qToLittleEndian(value, bytes);
        out.append(bytes, 2);
    }
    static void put32(QByteArray& out, quint32 value)
    {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    }
    static quint32 crc32(const QByteArray& data)
    {
        return quint32(::crc32(::crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()),
                               uInt(data.size())));
    }

    QList<Entry> m_entries;
};

#pragma once

// Writes small zip archives byte by byte, stored without compression, so a
// test can put into a package exactly what an attacker could: any entry
// name, including empty ones, absolute ones and ones with "..".

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <cstdint>

class ZipBuilder
{
public:
    // name: the raw bytes of the entry name; flagged UTF-8 unless utf8 is false.
    ZipBuilder& add(const QByteArray& name, const QByteArray& data, bool utf8 = true)
    {
        m_entries.append({name, data, utf8});
        return *this;
    }
    ZipBuilder& manifest(const QByteArray& json) { return add(".manifest", json); }

    QByteArray bytes() const
    {
        QByteArray archive;
        QByteArray directory;
        for (const Entry& entry : m_entries) {
            const quint32 offset = quint32(archive.size());
            const quint32 crc = crc32(entry.data);
            const quint16 flags = entry.utf8 ? 0x0800 : 0;
            put32(archive, 0x04034b50);
            put16(archive, 20);
            put16(archive, flags);
            put16(archive, 0);       // stored
            put16(archive, 0);       // time
            put16(archive, 0x21);    // 1980-01-01
            put32(archive, crc);
            put32(archive, quint32(entry.data.size()));
            put32(archive, quint32(entry.data.size()));
            put16(archive, quint16(entry.name.size()));
            put16(archive, 0);
            archive += entry.name;
            archive += entry.data;

            put32(directory, 0x02014b50);
            put16(directory, 20);
            put16(directory, 20);
            put16(directory, flags);
            put16(directory, 0);
            put16(directory, 0);
            put16(directory, 0x21);
            put32(directory, crc);
            put32(directory, quint32(entry.data.size()));
            put32(directory, quint32(entry.data.size()));
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
        QByteArray data;
        bool utf8;
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
        quint32 crc = 0xffffffffu;
        for (const char c : data) {
            crc ^= quint8(c);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    }

    QList<Entry> m_entries;
};

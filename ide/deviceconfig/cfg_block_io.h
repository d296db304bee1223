#pragma once
// Helpers shared by both configuration block layouts: little-endian field
// access on a byte array and the lines of the block's text dump.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace CfgBlockIO {

// Header bit fields, common to both layouts.
inline int headerId(quint16 header) { return header & 0x000F; }
inline int headerMcuId(quint16 header) { return (header >> 4) & 0x7; }
inline int headerIface(quint16 header) { return (header >> 7) & 0x7; }
inline int headerLang(quint16 header) { return (header >> 10) & 0x3; }
inline int headerTransport(quint16 header) { return (header >> 12) & 0x7; }
// Bit 15 is not interpreted and survives init().
constexpr quint16 HeaderKeptBits = 0x8000;

// Readers and writers of little-endian fields. The caller has checked that
// offset + width lies inside the array.
quint16 readU16(const QByteArray &data, int offset);
quint32 readU32(const QByteArray &data, int offset);
void writeU16(QByteArray &data, int offset, quint16 value);
void writeU32(QByteArray &data, int offset, quint32 value);

// Dump lines: "I<name>:\n", "II.<name>\t<value>\n" and "I<name>:\t<value>\n"
// where I is the indentation.
QString sectionLine(const QString &indent, const QString &name);
QString subFieldLine(const QString &indent, const QString &name, quint32 value);
QString fieldLine(const QString &indent, const QString &name, quint32 value);
// The "Header" section with its five sub-fields.
QString headerLines(const QString &indent, quint16 header);

} // namespace CfgBlockIO

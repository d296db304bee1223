#include "cfg_block_io.h"

#include <QtEndian>

namespace CfgBlockIO {

quint16 readU16(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 readU32(const QByteArray &data, int offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

void writeU16(QByteArray &data, int offset, quint16 value)
{
    qToLittleEndian<quint16>(value, data.data() + offset);
}

void writeU32(QByteArray &data, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, data.data() + offset);
}

QString sectionLine(const QString &indent, const QString &name)
{
    return QStringLiteral("%1%2:\n").arg(indent, name);
}

QString subFieldLine(const QString &indent, const QString &name, quint32 value)
{
    return QStringLiteral("%1%1.%2\t%3\n").arg(indent, name, QString::number(value));
}

QString fieldLine(const QString &indent, const QString &name, quint32 value)
{
    return QStringLiteral("%1%2:\t%3\n").arg(indent, name, QString::number(value));
}

QString headerLines(const QString &indent, quint16 header)
{
    return sectionLine(indent, QStringLiteral("Header"))
        + subFieldLine(indent, QStringLiteral("id"), headerId(header))
        + subFieldLine(indent, QStringLiteral("mcuid"), headerMcuId(header))
        + subFieldLine(indent, QStringLiteral("iface"), headerIface(header))
        + subFieldLine(indent, QStringLiteral("lang"), headerLang(header))
        + subFieldLine(indent, QStringLiteral("transport"), headerTransport(header));
}

} // namespace CfgBlockIO

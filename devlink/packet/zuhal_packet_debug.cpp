// The debug text form of a packet, for qDebug() while debugging.
#include "zuhal_packet.h"

#include <algorithm>

namespace {

QString addressText(quint16 address)
{
    if (address == ZuHalPacket::Broadcast)
        return QStringLiteral("bcst");
    return QStringLiteral("%1h").arg(QString::number(address, 16).toUpper(), 4, QLatin1Char('0'));
}

QString payloadText(const QByteArray &data)
{
    const bool printable = std::all_of(data.begin(), data.end(), [](char c) {
        const uchar b = uchar(c);
        return (b >= 32 && b <= 126) || (b >= 9 && b <= 13);
    });
    return printable ? QString::fromLatin1(data) : QString();
}

// One bit of the frame control byte in an 8-character row of dashes, at the
// position of the bit, most significant bit first.
QString bitRow(uchar fcf, int bit)
{
    QString row(8, QLatin1Char('-'));
    row[7 - bit] = (fcf >> bit) & 1 ? QLatin1Char('1') : QLatin1Char('0');
    return row;
}

} // namespace

QDebug operator<<(QDebug debug, const ZuHalPacket &packet)
{
    const QDebugStateSaver saver(debug);
    const uchar fcf = packet.m_fcf;
    const QString sequence = QStringLiteral("---%1----").arg(fcf >> 4, 0, 16);
    debug.nospace().noquote()
        << "ZU Packet:\n"
        << "  FCF:\n"
        << "    SEQ   " << sequence << "\n"
        << "    CRYPT " << bitRow(fcf, 2) << "\n"
        << "    FF    " << bitRow(fcf, 1) << "\n"
        << "    ACK   " << bitRow(fcf, 0) << "\n"
        << "  DPT: " << int(packet.m_dstPort) << "\n"
        << "  SPT: " << int(packet.m_srcPort) << "\n"
        << "  DST:   " << addressText(packet.m_destination) << "\n"
        << "  SRC:   " << addressText(packet.m_source) << "\n"
        << "  DAT: " << QString::fromLatin1(packet.m_data.toHex().toUpper()) << " ("
        << packet.m_data.size() << " bytes;" << payloadText(packet.m_data) << ")";
    return debug;
}

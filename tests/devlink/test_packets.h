#pragma once

#include "zuhal_packet.h"

#include <QByteArray>

inline QByteArray hexBytes(const char *text)
{
    return QByteArray::fromHex(text);
}

// A plain packet with the given header fields and payload.
inline ZuHalPacket makePacket(quint16 destination, quint16 source, uchar dstPort, uchar srcPort,
                              const QByteArray &payload)
{
    static const ZuHalPacket::Key noKey = {};
    ZuHalPacket packet;
    packet.setDestination(destination);
    packet.setSource(source);
    packet.setDstPort(dstPort);
    packet.setSrcPort(srcPort);
    packet.setData(payload, noKey);
    return packet;
}

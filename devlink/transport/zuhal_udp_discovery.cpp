// Broadcast discovery of mesh devices: a device information request for the
// identifier item, answered by each device with its identifier text.
#include "zuhal_udp.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSettings>
#include <QUdpSocket>

namespace {

const QByteArray identifierRequest("\x01\x06\x00", 3);
constexpr uchar ManagementPort = 1;
constexpr uchar HostPort = 2;
constexpr int QuietMs = 1000;
// A peer that never stops sending must not hold the caller forever.
constexpr int ScanLimitMs = 10000;

} // namespace

QList<ZuHalDevice> ZuHalUDPMessenger::enumerate()
{
    const QSettings settings;
    if (!settings.value(QStringLiteral("RemoteUDP/Scan"), false).toBool())
        return {};
    const quint16 meshPort = quint16(settings.value(QStringLiteral("RemoteUDP/MeshPort"), DefaultMeshPort).toUInt());
    return discover(QHostAddress::Broadcast, meshPort);
}

ZuHalPacket ZuHalUDPMessenger::discoveryProbe()
{
    static const ZuHalPacket::Key noKey = {};
    ZuHalPacket probe;
    probe.setDestination(ZuHalPacket::Broadcast);
    probe.setSource(ZuHalPacket::Broadcast);
    probe.setDstPort(ManagementPort);
    probe.setSrcPort(HostPort);
    probe.setData(identifierRequest, noKey);
    return probe;
}

bool ZuHalUDPMessenger::discoveryRecord(const QByteArray &datagram, const QHostAddress &sender, quint16 senderPort,
                                        QSet<quint16> &seenSources, ZuHalDevice &record)
{
    ZuHalPacket reply;
    if (datagram.size() > ZuHalPacket::MaxFrameSize || !reply.parse(datagram.constData(), uchar(datagram.size())))
        return false;
    const QByteArray payload = reply.data();
    if (reply.srcPort() != ManagementPort || payload.size() <= identifierRequest.size()
        || !payload.startsWith(identifierRequest))
        return false;
    if (seenSources.contains(reply.source()))
        return false;
    seenSources.insert(reply.source());

    // A dual-stack socket reports IPv4 senders as mapped IPv6 addresses.
    bool isV4 = false;
    const quint32 v4 = sender.toIPv4Address(&isV4);
    const QString host = isV4 ? QHostAddress(v4).toString() : sender.toString();
    record.address = host + QLatin1Char(':') + QString::number(senderPort);
    record.manufacturer = tr("Unknown");
    record.product = tr("Unknown");
    record.serial = QString::fromLatin1(payload.mid(identifierRequest.size()));
    return true;
}

QList<ZuHalDevice> ZuHalUDPMessenger::discover(const QHostAddress &target, quint16 port)
{
    QList<ZuHalDevice> devices;
    QUdpSocket socket;
    if (socket.writeDatagram(discoveryProbe().serialize(), target, port) < 0)
        return devices;

    QSet<quint16> seenSources;
    QElapsedTimer scan;
    scan.start();
    while (scan.elapsed() < ScanLimitMs && socket.waitForReadyRead(QuietMs)) {
        while (socket.hasPendingDatagrams() && scan.elapsed() < ScanLimitMs) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            ZuHalDevice device;
            if (discoveryRecord(datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()),
                                seenSources, device))
                devices.append(device);
        }
    }
    return devices;
}

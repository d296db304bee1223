#pragma once

#include "zuhal_messenger.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QSet>

class QUdpSocket;

// The transport over UDP, for mesh gateways. Each datagram carries exactly
// one packet, without framing. The local socket is bound to the mesh port of
// the settings ("RemoteUDP/MeshPort", default 54242); packets go to the peer
// given to open(). Datagrams are taken from any sender. This transport emits
// neither connected() nor disconnected().
class ZuHalUDPMessenger : public ZuHalAbstractMessenger
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultMeshPort = 54242;

    explicit ZuHalUDPMessenger(QObject *parent = nullptr);

    // Broadcast discovery on the mesh port when "RemoteUDP/Scan" is on;
    // otherwise an empty list at once.
    static QList<ZuHalDevice> enumerate();
    // The discovery itself, sent to `target`:`port`. Collects replies until
    // one second passes without any (and for at most ten seconds in all).
    static QList<ZuHalDevice> discover(const QHostAddress &target, quint16 port);
    // The probe: device information, identifier item (01 06 00), broadcast.
    static ZuHalPacket discoveryProbe();
    // Whether one datagram of a scan is a discovery reply from a device not
    // yet seen (by its packet source address); if so, its record.
    static bool discoveryRecord(const QByteArray &datagram, const QHostAddress &sender, quint16 senderPort,
                                QSet<quint16> &seenSources, ZuHalDevice &record);

    // Binds the mesh port and sets the peer "ip:port"; false (and closed)
    // when the address is not an IP address with a port or the bind fails.
    bool open(const QVariant &address) override;
    // Bound and with a peer.
    bool isOpen() const override;
    void close() override;
    QString toString() const override;
    Type type() const override { return ZU_HAL_UDP; }
    QString transport() const override { return QStringLiteral("network"); }
    int error() const override;
    QString errorString() const override;
    int pollTime() const override { return 0; }
    void setPollTime(int) override {}
    bool pollData(int msec) override;

public slots:
    bool send(const ZuHalPacket &packet) override;

private slots:
    void readData();
    void com_error(QAbstractSocket::SocketError error);

private:
    QHostAddress m_peer;
    quint16 m_peerPort = 0;
    QUdpSocket *m_socket;
};

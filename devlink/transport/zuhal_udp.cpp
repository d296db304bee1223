#include "zuhal_udp.h"

#include "zuhal_network.h"

#include <QEventLoop>
#include <QNetworkDatagram>
#include <QPointer>
#include <QSettings>
#include <QUdpSocket>

ZuHalUDPMessenger::ZuHalUDPMessenger(QObject *parent)
    : ZuHalAbstractMessenger(parent)
    , m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::errorOccurred, this, &ZuHalUDPMessenger::com_error);
    connect(m_socket, &QUdpSocket::readyRead, this, &ZuHalUDPMessenger::readData);
}

bool ZuHalUDPMessenger::open(const QVariant &address)
{
    close();
    QString host;
    quint16 port = 0;
    if (!splitHostPort(address, host, port))
        return false;
    const QHostAddress peer(host);
    if (peer.isNull())
        return false;

    const QSettings settings;
    const quint16 meshPort = quint16(settings.value(QStringLiteral("RemoteUDP/MeshPort"), DefaultMeshPort).toUInt());
    if (!m_socket->bind(QHostAddress::Any, meshPort))
        return false;
    m_peer = peer;
    m_peerPort = port;
    return true;
}

bool ZuHalUDPMessenger::isOpen() const
{
    return !m_peer.isNull() && m_socket->state() == QAbstractSocket::BoundState;
}

void ZuHalUDPMessenger::close()
{
    m_socket->close();
    m_peer.clear();
    endWaits();
}

QString ZuHalUDPMessenger::toString() const
{
    return m_peer.toString() + QLatin1Char(':') + QString::number(m_peerPort);
}

int ZuHalUDPMessenger::error() const
{
    return m_socket->error();
}

QString ZuHalUDPMessenger::errorString() const
{
    return m_socket->errorString();
}

bool ZuHalUDPMessenger::pollData(int msec)
{
    if (!isOpen())
        return false;
    QEventLoop loop;
    connect(m_socket, &QUdpSocket::errorOccurred, &loop, &QEventLoop::quit);
    connect(m_socket, &QUdpSocket::readyRead, &loop, &QEventLoop::quit);
    return waitForPackets(loop, msec);
}

bool ZuHalUDPMessenger::send(const ZuHalPacket &packet)
{
    if (!isOpen())
        return false;
    const QByteArray datagram = packet.serialize();
    return m_socket->writeDatagram(datagram, m_peer, m_peerPort) == datagram.size();
}

void ZuHalUDPMessenger::readData()
{
    // A receiver of dataReady() may delete this transport.
    const QPointer<ZuHalUDPMessenger> alive(this);
    while (alive && m_socket->hasPendingDatagrams())
        receivePacket(m_socket->receiveDatagram().data());
}

void ZuHalUDPMessenger::com_error(QAbstractSocket::SocketError error)
{
    // Closed once the socket's own error handling has returned.
    if (socketErrorEndsLink(error))
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

#include "zuhal_tcp.h"

#include "slip.h"
#include "zuhal_network.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QPointer>
#include <QSettings>
#include <QTcpSocket>

ZuHalTCPMessenger::ZuHalTCPMessenger(QObject *parent)
    : ZuHalAbstractMessenger(parent)
    , m_socket(new QTcpSocket(this))
    , m_slip(new SlipBuffer(this))
{
    m_slip->setCrc8(true);
    connect(m_socket, &QTcpSocket::disconnected, this, &ZuHalTCPMessenger::notifyDisconnected,
            Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::connected, this, &ZuHalTCPMessenger::com_connected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ZuHalTCPMessenger::com_error);
    connect(m_socket, &QTcpSocket::readyRead, this, &ZuHalTCPMessenger::readData);
    connect(m_slip, &SlipBuffer::pktReady, this, &ZuHalTCPMessenger::receivePacket);
}

QList<ZuHalDevice> ZuHalTCPMessenger::enumerate()
{
    QSettings settings;
    if (!settings.value(QStringLiteral("RemoteTCP/EMUEnabled"), true).toBool())
        return {};
    const int port = settings.value(QStringLiteral("RemoteTCP/EMUPort"), 5542).toInt();
    return {ZuHalDevice{QStringLiteral("127.0.0.1:%1").arg(port), tr("KOLM-Platform"), tr("Emulator"),
                        QStringLiteral("EMU-0000000000")}};
}

bool ZuHalTCPMessenger::open(const QVariant &address)
{
    close();
    QString host;
    quint16 port = 0;
    if (!splitHostPort(address, host, port))
        return false;
    m_socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    return true;
}

bool ZuHalTCPMessenger::isOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void ZuHalTCPMessenger::close()
{
    m_socket->close();
    endWaits();
}

QString ZuHalTCPMessenger::toString() const
{
    return m_socket->peerAddress().toString() + QLatin1Char(':') + QString::number(m_socket->peerPort());
}

int ZuHalTCPMessenger::error() const
{
    return m_socket->error();
}

QString ZuHalTCPMessenger::errorString() const
{
    return m_socket->errorString();
}

bool ZuHalTCPMessenger::pollData(int msec)
{
    if (!isOpen())
        return false;
    QEventLoop loop;
    connect(m_socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    connect(m_slip, &SlipBuffer::pktReady, &loop, &QEventLoop::quit);
    return waitForPackets(loop, msec);
}

bool ZuHalTCPMessenger::send(const ZuHalPacket &packet)
{
    if (!isOpen())
        return false;
    if (m_socket->write(m_slip->encode(packet.serialize())) <= 0)
        return false;
    return m_socket->flush();
}

void ZuHalTCPMessenger::readData()
{
    // A receiver of dataReady() may delete this transport.
    const QPointer<ZuHalTCPMessenger> alive(this);
    for (QByteArray bytes = m_socket->readAll(); !bytes.isEmpty(); bytes = m_socket->readAll()) {
        m_slip->decode(bytes);
        if (!alive)
            return;
    }
}

void ZuHalTCPMessenger::com_error(QAbstractSocket::SocketError error)
{
    // Closed once the socket's own error handling has returned.
    if (socketErrorEndsLink(error))
        QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void ZuHalTCPMessenger::com_connected()
{
    m_socket->write("\x0C\x0C", 2);
    m_socket->flush();
    emit connected();
}

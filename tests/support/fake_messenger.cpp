#include "fake_messenger.h"

#include "test_packets.h"

#include <QEventLoop>

FakeMessenger::FakeMessenger(const QString &transport, QObject *parent)
    : ZuHalAbstractMessenger(parent)
    , m_transport(transport)
{
}

FakeMessenger *FakeMessenger::openLink(const QString &transport, QObject *parent)
{
    auto *fake = new FakeMessenger(transport, parent);
    fake->setOnOpen(OnOpen::Stall);
    fake->open(QStringLiteral("fake"));
    fake->connectNow();
    return fake;
}

bool FakeMessenger::open(const QVariant &address)
{
    close();
    m_address = address.toString();
    ++m_openCount;
    m_connecting = m_onOpen != OnOpen::Refuse;
    switch (m_onOpen) {
    case OnOpen::Refuse:
        return false;
    case OnOpen::Stall:
        return true;
    case OnOpen::Connect:
        QMetaObject::invokeMethod(
            this, [this] { connectNow(); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void FakeMessenger::connectNow()
{
    if (!m_connecting)
        return;
    m_connecting = false;
    m_open = true;
    dropDisconnectNotice();
    emit connected();
}

void FakeMessenger::close()
{
    endWaits();
    m_connecting = false;
    if (!m_open)
        return;
    m_open = false;
    ++m_closeCount;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_open) // not when opened again in the meantime
                notifyDisconnected();
        },
        Qt::QueuedConnection);
}

bool FakeMessenger::send(const ZuHalPacket &packet)
{
    if (!m_open || m_refuseSends)
        return false;
    m_sent.append(packet);
    if (m_responder) {
        const QList<ZuHalPacket> replies = m_responder(packet);
        for (const ZuHalPacket &reply : replies)
            injectLater(reply);
    }
    return true;
}

bool FakeMessenger::inject(const ZuHalPacket &packet)
{
    const QByteArray frame = packet.serialize();
    if (frame.size() < ZuHalPacket::HeaderSize || frame.size() > ZuHalPacket::MaxFrameSize)
        return false;
    receivePacket(frame);
    return true;
}

void FakeMessenger::injectLater(const ZuHalPacket &packet)
{
    QMetaObject::invokeMethod(
        this, [this, packet] { inject(packet); }, Qt::QueuedConnection);
}

void FakeMessenger::packet_received(const ZuHalPacket &packet)
{
    ZuHalAbstractMessenger::packet_received(packet);
    endWaits();
}

bool FakeMessenger::pollData(int msec)
{
    if (queue() > 0)
        return true;
    if (!m_open)
        return false;
    QEventLoop loop;
    return waitForPackets(loop, msec);
}

QByteArray FakeMessenger::mcPayload(quint8 command, quint16 sub, const QByteArray &data)
{
    QByteArray payload;
    payload.append(char(command));
    payload.append(char(sub & 0xFF));
    payload.append(char(sub >> 8));
    return payload + data;
}

ZuHalPacket FakeMessenger::mcReply(quint8 command, quint16 sub, const QByteArray &data, quint16 source,
                                   quint16 destination)
{
    return toHost(1, mcPayload(command, sub, data), source, destination);
}

ZuHalPacket FakeMessenger::toHost(uchar srcPort, const QByteArray &payload, quint16 source, quint16 destination)
{
    return makePacket(destination, source, 2, srcPort, payload);
}

#include "zuhal_messenger.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

ZuHalAbstractMessenger::ZuHalAbstractMessenger(QObject *parent)
    : QObject(parent)
{
}

ZuHalAbstractMessenger::~ZuHalAbstractMessenger()
{
    endWaits();
}

ZuHalPacket ZuHalAbstractMessenger::pop()
{
    if (m_queue.isEmpty())
        return ZuHalPacket();
    return m_queue.takeFirst();
}

void ZuHalAbstractMessenger::receivePacket(const QByteArray &frame)
{
    if (frame.size() > ZuHalPacket::MaxFrameSize)
        return;
    ZuHalPacket packet;
    if (!packet.parse(frame.constData(), uchar(frame.size())))
        return;
    packet_received(packet);
    if (!m_queue.isEmpty())
        emit dataReady();
}

void ZuHalAbstractMessenger::packet_received(const ZuHalPacket &packet)
{
    m_queue.append(packet);
}

void ZuHalAbstractMessenger::notifyDisconnected()
{
    if (signalsBlocked()) {
        m_disconnectPending = true;
        return;
    }
    m_disconnectPending = false;
    emit disconnected();
}

bool ZuHalAbstractMessenger::waitForPackets(QEventLoop &loop, int msec)
{
    const QPointer<ZuHalAbstractMessenger> alive(this);
    const bool wasBlocked = blockSignals(true);

    QTimer timer;
    timer.setSingleShot(true);
    if (msec > 0) {
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(msec);
    }
    m_waits.append(&loop);
    loop.exec();
    if (alive)
        m_waits.removeOne(&loop);
    timer.stop();
    QCoreApplication::processEvents();

    // Something run by the nested loop may have deleted this transport.
    if (!alive)
        return false;
    blockSignals(wasBlocked);
    if (m_disconnectPending && !wasBlocked) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_disconnectPending)
                    notifyDisconnected();
            },
            Qt::QueuedConnection);
    }
    return !m_queue.isEmpty();
}

void ZuHalAbstractMessenger::dropDisconnectNotice()
{
    m_disconnectPending = false;
}

void ZuHalAbstractMessenger::endWaits()
{
    for (QEventLoop *loop : qAsConst(m_waits))
        loop->quit();
}

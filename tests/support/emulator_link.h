#ifndef KOLM_TEST_EMULATOR_LINK_H
#define KOLM_TEST_EMULATOR_LINK_H

// A TCP link to a running local emulator, as a window's connection reaches
// it: opened to 127.0.0.1 on the emulator's port, with the emulator's own
// address asked as a connection's first request (1/0) does, since the
// emulator picks it when it starts. For tests and benchmarks that attach the
// link to a window themselves.

#include "zuhal_packet.h"
#include "zuhal_tcp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

// Opens `link` and stores the emulator's address; false when the emulator
// does not answer within `timeoutMs`.
inline bool openEmulatorLink(ZuHalTCPMessenger &link, int port, quint16 &address, int timeoutMs)
{
    if (!link.open(QStringLiteral("127.0.0.1:%1").arg(port)))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!link.isOpen() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ZuHalPacket ask;
    ask.setDstPort(1);
    ask.setSrcPort(2);
    const unsigned char noKey[8] = {};
    if (!link.isOpen() || !ask.setData(QByteArray("\x01\x00\x00", 3), noKey) || !link.send(ask))
        return false;
    while (link.queue() == 0 && clock.elapsed() < timeoutMs)
        link.pollData(100);
    if (link.queue() == 0)
        return false;
    address = link.pop().source();
    return true;
}

#endif

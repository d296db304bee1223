#ifndef KOLM_TEST_SIM_EXCHANGE_H
#define KOLM_TEST_SIM_EXCHANGE_H

// Watching a request chain between a window and the simulated controller:
// the requests as short texts, and a wait until the chain has come to rest.

#include "fake_messenger.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QtEndian>

// The requests sent so far as "command/sub-command", the command in
// hexadecimal and the sub-command in decimal ("20/1", "3/48"); empty when
// the transport is gone.
inline QStringList requestTexts(const FakeMessenger *fake)
{
    QStringList list;
    if (!fake)
        return list;
    for (const ZuHalPacket &p : fake->sent()) {
        const QByteArray d = p.data();
        if (d.size() >= 3)
            list << QStringLiteral("%1/%2").arg(quint8(d[0]), 0, 16).arg(qFromLittleEndian<quint16>(d.constData() + 1));
    }
    return list;
}

// Runs the event loop until nothing new has been sent for 100 ms and no
// modal window is open, or 20 s have passed.
inline void settleExchange(const QPointer<FakeMessenger> &fake)
{
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    int last = -1;
    while (quiet < 4 && clock.elapsed() < 20000) {
        QTest::qWait(25);
        const int now = fake ? fake->sent().size() : -1;
        quiet = (now == last && !QApplication::activeModalWidget()) ? quiet + 1 : 0;
        last = now;
    }
}

#endif

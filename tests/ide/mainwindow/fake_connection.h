#ifndef KOLM_TEST_FAKE_CONNECTION_H
#define KOLM_TEST_FAKE_CONNECTION_H

// A window connected through the fake transport, as a completed Connect
// leaves it: the device at `address` reached through `local`.

#include "fake_messenger.h"
#include "zurovurazev.h"

inline FakeMessenger *connectFake(ZuROVUrazev *window, quint16 address, quint16 local,
                                  const QString &transport = QStringLiteral("usb"))
{
    auto *fake = new FakeMessenger(transport, window);
    fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    fake->open(QStringLiteral("fake"));
    fake->connectNow();
    window->attachTransport(fake, address, local);
    return fake;
}

#endif

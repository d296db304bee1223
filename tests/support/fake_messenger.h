#ifndef KOLM_TEST_FAKE_MESSENGER_H
#define KOLM_TEST_FAKE_MESSENGER_H

// A transport without a device for the tests of the main window's device
// control: it records every packet the window sends, lets the test inject
// the device's replies, and plays the link coming up, stalling or going
// down. The transport name ("usb" or "network") is chosen by the test.
//
//     auto *fake = new FakeMessenger(QStringLiteral("usb"), &window);
//     fake->setResponder([](const ZuHalPacket &request) {
//         return QList<ZuHalPacket>{FakeMessenger::mcReply(1, 0, QByteArray("\x2a\x00", 2))};
//     });
//     ... the window sends 1/0 ...
//     QCOMPARE(fake->sent().first().data(), FakeMessenger::mcPayload(1, 0));
//
// Like the real transports it announces a lost link with disconnected()
// from the event loop, so a receiver may delete it in its slot; hold it in
// a QPointer when the code under test may drop it.

#include "zuhal_messenger.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class FakeMessenger : public ZuHalAbstractMessenger
{
    Q_OBJECT

public:
    // What open() does.
    enum class OnOpen {
        Connect, // opens; connected() follows from the event loop
        Stall,   // returns true, but the link comes up only on connectNow()
        Refuse   // returns false and stays closed
    };

    // The replies of the device to one packet the window sent; they arrive
    // from the event loop, one dataReady() each, as a device's would.
    using Responder = std::function<QList<ZuHalPacket>(const ZuHalPacket &sent)>;

    explicit FakeMessenger(const QString &transport = QStringLiteral("usb"), QObject *parent = nullptr);

    // A fake whose link is up already, as a finished Connect hands it over.
    static FakeMessenger *openLink(const QString &transport, QObject *parent = nullptr);

    void setOnOpen(OnOpen onOpen) { m_onOpen = onOpen; }
    // Brings a pending open up: open, and connected() at once. Nothing
    // without an open() in progress.
    void connectNow();
    // While set, send() refuses every packet (nothing is recorded).
    void setRefuseSends(bool refuse) { m_refuseSends = refuse; }
    void setResponder(Responder responder) { m_responder = std::move(responder); }

    // A received frame, queued now (dataReady() before this returns). False
    // when the transport drops it: shorter than a header or over 255 bytes.
    bool inject(const ZuHalPacket &packet);
    // The same from the event loop.
    void injectLater(const ZuHalPacket &packet);

    // Every packet that send() accepted, oldest first.
    const QList<ZuHalPacket> &sent() const { return m_sent; }
    void clearSent() { m_sent.clear(); }
    // The address of the last open() and how often open() and a close of
    // an open link happened.
    QString openedAddress() const { return m_address; }
    int openCount() const { return m_openCount; }
    int closeCount() const { return m_closeCount; }

    // The payload of a device command: command, sub-command (little-endian),
    // data.
    static QByteArray mcPayload(quint8 command, quint16 sub, const QByteArray &data = QByteArray());
    // A device's reply to a command: from port 1 of `source` to port 2 of
    // `destination`.
    static ZuHalPacket mcReply(quint8 command, quint16 sub, const QByteArray &data = QByteArray(),
                               quint16 source = 0xFFFF, quint16 destination = 0xFFFF);
    // Any packet to the window's port 2.
    static ZuHalPacket toHost(uchar srcPort, const QByteArray &payload, quint16 source = 0xFFFF,
                              quint16 destination = 0xFFFF);

    bool open(const QVariant &address) override;
    bool isOpen() const override { return m_open; }
    QString toString() const override { return m_address; }
    Type type() const override { return ZU_HAL_OTHER; }
    QString transport() const override { return m_transport; }
    int error() const override { return 0; }
    QString errorString() const override { return QString(); }
    int pollTime() const override { return m_pollTime; }
    void setPollTime(int msec) override { m_pollTime = msec; }
    // Closing an open link, by the code under test or by the test as the
    // device going away, sends disconnected() from the event loop.
    void close() override;
    // Waits for an injected packet; a close or a delete ends the wait.
    bool pollData(int msec) override;

public slots:
    bool send(const ZuHalPacket &packet) override;

protected:
    void packet_received(const ZuHalPacket &packet) override;

private:
    QString m_transport;
    QString m_address;
    OnOpen m_onOpen = OnOpen::Connect;
    Responder m_responder;
    QList<ZuHalPacket> m_sent;
    bool m_open = false;
    bool m_connecting = false;
    bool m_refuseSends = false;
    int m_openCount = 0;
    int m_closeCount = 0;
    int m_pollTime = 0;
};

#endif

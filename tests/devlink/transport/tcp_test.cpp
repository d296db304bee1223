// The TCP transport against a server of the test's own on a free loopback
// port.
#include "slip.h"
#include "temp_settings.h"
#include "test_packets.h"
#include "zuhal_tcp.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

namespace {

QByteArray frameOf(const ZuHalPacket &packet)
{
    SlipBuffer slip;
    slip.setCrc8(true);
    return slip.encode(packet.serialize());
}

// A request from the host (port 2) to a device's management port.
ZuHalPacket packetWith(quint16 destination, const QByteArray &payload)
{
    return makePacket(destination, 0x0002, 1, 2, payload);
}

// Reads from the peer until `size` bytes came or the time is up.
QByteArray readExactly(QTcpSocket &peer, int size)
{
    QByteArray bytes;
    while (bytes.size() < size && (peer.bytesAvailable() > 0 || peer.waitForReadyRead(5000)))
        bytes += peer.read(size - bytes.size());
    return bytes;
}

// A server on a free loopback port, a transport connected to it, and the
// server's end of the connection with the greeting already read.
struct Link
{
    QTcpServer server;
    ZuHalTCPMessenger messenger;
    QTcpSocket *peer = nullptr;
    QByteArray greeting;

    bool connect()
    {
        if (!server.listen(QHostAddress::LocalHost, 0))
            return false;
        QSignalSpy up(&messenger, &ZuHalAbstractMessenger::connected);
        if (!messenger.open(QStringLiteral("127.0.0.1:%1").arg(server.serverPort())))
            return false;
        if (!server.waitForNewConnection(5000))
            return false;
        peer = server.nextPendingConnection();
        if (up.isEmpty() && !up.wait(5000))
            return false;
        greeting = readExactly(*peer, 2);
        return messenger.isOpen();
    }
};

} // namespace

class TcpTest : public QObject
{
    Q_OBJECT

private slots:
    void greetingComesFirst()
    {
        Link link;
        QVERIFY(link.connect());
        QCOMPARE(link.greeting, hexBytes("0c0c"));
        QCOMPARE(link.messenger.toString(), QStringLiteral("127.0.0.1:%1").arg(link.server.serverPort()));
        QCOMPARE(link.messenger.type(), ZuHalAbstractMessenger::ZU_HAL_TCP);
        QCOMPARE(link.messenger.transport(), QStringLiteral("network"));
    }

    // The owner sends its first request from connected(): the greeting is
    // on the wire before it.
    void greetingPrecedesRequestsSentOnConnected()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        ZuHalTCPMessenger messenger;
        const ZuHalPacket request = packetWith(0xFFFF, hexBytes("010000"));
        connect(&messenger, &ZuHalAbstractMessenger::connected, this, [&] { QVERIFY(messenger.send(request)); });
        QVERIFY(messenger.open(QStringLiteral("127.0.0.1:%1").arg(server.serverPort())));
        QVERIFY(!messenger.isOpen());
        QVERIFY(server.waitForNewConnection(5000));
        std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
        QTRY_VERIFY(messenger.isOpen());
        const QByteArray expected = hexBytes("0c0c") + frameOf(request);
        QCOMPARE(readExactly(*peer, expected.size()), expected);
    }

    void packetsTravelAsFramesToThePeer()
    {
        Link link;
        QVERIFY(link.connect());
        const ZuHalPacket first = packetWith(0x1234, hexBytes("0100c0db"));
        const ZuHalPacket second = packetWith(0xFFFF, QByteArray());
        QVERIFY(link.messenger.send(first));
        QVERIFY(link.messenger.send(second));
        const QByteArray expected = frameOf(first) + frameOf(second);
        QCOMPARE(readExactly(*link.peer, expected.size()), expected);
    }

    void framesFromThePeerAreQueued()
    {
        Link link;
        QVERIFY(link.connect());
        QSignalSpy ready(&link.messenger, &ZuHalAbstractMessenger::dataReady);
        const QByteArray a = frameOf(packetWith(0x0001, "one"));
        const QByteArray b = frameOf(packetWith(0x0002, "two"));
        const QByteArray c = frameOf(packetWith(0x0003, "three"));
        QByteArray corrupt = frameOf(packetWith(0x0009, "bad"));
        corrupt[corrupt.size() - 2] = char(corrupt.at(corrupt.size() - 2) ^ 0x01);
        // Two frames in one write, a corrupt one, and one split in two.
        link.peer->write(a + b + corrupt + c.left(4));
        link.peer->flush();
        QTRY_COMPARE(link.messenger.queue(), 2);
        link.peer->write(c.mid(4));
        link.peer->flush();
        QTRY_COMPARE(link.messenger.queue(), 3);
        QVERIFY(ready.count() >= 2);
        QCOMPARE(link.messenger.pop().data(), QByteArray("one"));
        QCOMPARE(link.messenger.pop().data(), QByteArray("two"));
        const ZuHalPacket third = link.messenger.pop();
        QCOMPARE(third.destination(), quint16(0x0003));
        QCOMPARE(third.data(), QByteArray("three"));
    }

    void peerCloseEmitsDisconnected()
    {
        Link link;
        QVERIFY(link.connect());
        QSignalSpy down(&link.messenger, &ZuHalAbstractMessenger::disconnected);
        link.peer->close();
        QVERIFY(down.wait(5000));
        QCOMPARE(down.count(), 1);
        QVERIFY(!link.messenger.isOpen());
        QVERIFY(!link.messenger.send(packetWith(1, "late")));
    }

    // The owner drops and deletes the transport in its disconnected() slot.
    void receiverMayDeleteTransportOnDisconnect()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QPointer<ZuHalTCPMessenger> messenger = new ZuHalTCPMessenger;
        connect(messenger, &ZuHalAbstractMessenger::disconnected, this, [&messenger] { delete messenger; });
        QVERIFY(messenger->open(QStringLiteral("127.0.0.1:%1").arg(server.serverPort())));
        QVERIFY(server.waitForNewConnection(5000));
        QTRY_VERIFY(messenger && messenger->isOpen());
        std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
        peer->close();
        QTRY_VERIFY(messenger.isNull());
    }

    void pollDataWaitsForAFrame()
    {
        Link link;
        QVERIFY(link.connect());
        QSignalSpy ready(&link.messenger, &ZuHalAbstractMessenger::dataReady);
        QVERIFY(!link.messenger.pollData(20));
        QTimer::singleShot(20, link.peer, [&link] {
            link.peer->write(frameOf(packetWith(7, "reply")));
            link.peer->flush();
        });
        QVERIFY(link.messenger.pollData(0));
        QCOMPARE(link.messenger.pop().data(), QByteArray("reply"));
        QCOMPARE(ready.count(), 0);
    }

    void pollDataOnClosedTransportFails()
    {
        ZuHalTCPMessenger messenger;
        QVERIFY(!messenger.pollData(0));
    }

    // The peer closing during the wait ends it, and the link-down notice
    // still reaches the owner afterwards.
    void peerCloseDuringPoll()
    {
        Link link;
        QVERIFY(link.connect());
        QSignalSpy down(&link.messenger, &ZuHalAbstractMessenger::disconnected);
        QTimer::singleShot(20, link.peer, [&link] { link.peer->close(); });
        QVERIFY(!link.messenger.pollData(0));
        QTRY_COMPARE(down.count(), 1);
    }

    void openRefusesBadAddresses_data()
    {
        QTest::addColumn<QVariant>("address");
        QTest::newRow("no colon") << QVariant(QStringLiteral("localhost"));
        QTest::newRow("leading colon") << QVariant(QStringLiteral(":5542"));
        QTest::newRow("no port") << QVariant(QStringLiteral("localhost:"));
        QTest::newRow("port 0") << QVariant(QStringLiteral("localhost:0"));
        QTest::newRow("port 70000") << QVariant(QStringLiteral("localhost:70000"));
        QTest::newRow("port not a number") << QVariant(QStringLiteral("localhost:abc"));
        QTest::newRow("port with sign") << QVariant(QStringLiteral("localhost:-1"));
        QTest::newRow("no value") << QVariant();
        QTest::newRow("not text") << QVariant::fromValue(QVariantList{1, 2});
    }
    void openRefusesBadAddresses()
    {
        QFETCH(QVariant, address);
        ZuHalTCPMessenger messenger;
        QSignalSpy up(&messenger, &ZuHalAbstractMessenger::connected);
        QVERIFY(!messenger.open(address));
        QVERIFY(!messenger.isOpen());
        QCOMPARE(messenger.findChild<QTcpSocket *>()->state(), QAbstractSocket::UnconnectedState);
    }

    void refusedConnectionReportsTheError()
    {
        quint16 port;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        ZuHalTCPMessenger messenger;
        QSignalSpy up(&messenger, &ZuHalAbstractMessenger::connected);
        QSignalSpy down(&messenger, &ZuHalAbstractMessenger::disconnected);
        QVERIFY(messenger.open(QStringLiteral("127.0.0.1:%1").arg(port)));
        QTRY_COMPARE(messenger.error(), int(QAbstractSocket::ConnectionRefusedError));
        QVERIFY(!messenger.errorString().isEmpty());
        QVERIFY(!messenger.isOpen());
        QCOMPARE(up.count(), 0);
        QCOMPARE(down.count(), 0);
    }

    void enumerate_data()
    {
        QTest::addColumn<QVariant>("enabled");
        QTest::addColumn<QVariant>("port");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("no settings") << QVariant() << QVariant() << QStringList{"127.0.0.1:5542"};
        QTest::newRow("other port") << QVariant() << QVariant(6000) << QStringList{"127.0.0.1:6000"};
        QTest::newRow("enabled") << QVariant(true) << QVariant() << QStringList{"127.0.0.1:5542"};
        QTest::newRow("disabled") << QVariant(false) << QVariant(6000) << QStringList{};
    }
    void enumerate()
    {
        QFETCH(QVariant, enabled);
        QFETCH(QVariant, port);
        QFETCH(QStringList, addresses);
        TempSettings settings;
        if (enabled.isValid())
            settings.set(QStringLiteral("RemoteTCP/EMUEnabled"), enabled);
        if (port.isValid())
            settings.set(QStringLiteral("RemoteTCP/EMUPort"), port);
        const QList<ZuHalDevice> devices = ZuHalTCPMessenger::enumerate();
        QStringList listed;
        for (const ZuHalDevice &device : devices) {
            listed.append(device.address);
            QCOMPARE(device.manufacturer, QStringLiteral("KOLM-Platform"));
            QCOMPARE(device.product, QStringLiteral("Emulator"));
            QCOMPARE(device.serial, QStringLiteral("EMU-0000000000"));
        }
        QCOMPARE(listed, addresses);
    }
};

QTEST_GUILESS_MAIN(TcpTest)
#include "tcp_test.moc"

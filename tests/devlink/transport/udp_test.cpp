// The UDP transport and its discovery on loopback.
#include "temp_settings.h"
#include "test_packets.h"
#include "zuhal_udp.h"

#include <QNetworkDatagram>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

namespace {

// A reply from a device's management port to the host (port 2).
ZuHalPacket packetWith(quint16 source, const QByteArray &payload)
{
    return makePacket(0x0002, source, 2, 1, payload);
}

// A discovery reply: management port, the request echoed, the identifier.
QByteArray replyFrom(quint16 source, const QByteArray &identifier)
{
    return packetWith(source, hexBytes("010600") + identifier).serialize();
}

QNetworkDatagram receiveOne(QUdpSocket &socket)
{
    if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(5000))
        return QNetworkDatagram();
    return socket.receiveDatagram();
}

} // namespace

class UdpTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    QUdpSocket m_peer;

private slots:
    void init()
    {
        m_settings.reset(new TempSettings);
        // The transport's local port: any free one.
        m_settings->set(QStringLiteral("RemoteUDP/MeshPort"), 0);
        QVERIFY(m_peer.bind(QHostAddress(QHostAddress::LocalHost), 0));
    }
    void cleanup()
    {
        m_peer.close();
        m_settings.reset();
    }

    void packetsTravelAsDatagrams()
    {
        ZuHalUDPMessenger messenger;
        QVERIFY(messenger.open(QStringLiteral("127.0.0.1:%1").arg(m_peer.localPort())));
        QVERIFY(messenger.isOpen());
        QCOMPARE(messenger.toString(), QStringLiteral("127.0.0.1:%1").arg(m_peer.localPort()));
        QCOMPARE(messenger.type(), ZuHalAbstractMessenger::ZU_HAL_UDP);

        const ZuHalPacket request = packetWith(0x0002, hexBytes("0100c0db"));
        QVERIFY(messenger.send(request));
        const QNetworkDatagram sent = receiveOne(m_peer);
        QCOMPARE(sent.data(), request.serialize());

        // Replies from the peer and from an unrelated sender are both queued.
        QSignalSpy ready(&messenger, &ZuHalAbstractMessenger::dataReady);
        m_peer.writeDatagram(packetWith(0x0010, "peer").serialize(), sent.senderAddress(), quint16(sent.senderPort()));
        QUdpSocket stranger;
        stranger.writeDatagram(packetWith(0x0020, "stranger").serialize(), QHostAddress::LocalHost,
                               quint16(sent.senderPort()));
        QTRY_COMPARE(messenger.queue(), 2);
        QCOMPARE(ready.count(), 2);
        QStringList payloads{QString::fromLatin1(messenger.pop().data()), QString::fromLatin1(messenger.pop().data())};
        payloads.sort();
        QCOMPARE(payloads, (QStringList{"peer", "stranger"}));
    }

    void datagramsOutsideThePacketFormatAreDropped()
    {
        ZuHalUDPMessenger messenger;
        QVERIFY(messenger.open(QStringLiteral("127.0.0.1:%1").arg(m_peer.localPort())));
        QVERIFY(messenger.send(ZuHalPacket()));
        const QNetworkDatagram sent = receiveOne(m_peer);
        const auto to = [&](const QByteArray &data) {
            m_peer.writeDatagram(data, sent.senderAddress(), quint16(sent.senderPort()));
        };
        to(hexBytes("0000ffffff"));
        to(QByteArray(300, '\x01'));
        to(packetWith(0x0030, "last").serialize());
        QTRY_COMPARE(messenger.queue(), 1);
        QCOMPARE(messenger.pop().data(), QByteArray("last"));
    }

    void pollDataWaitsForADatagram()
    {
        ZuHalUDPMessenger messenger;
        QVERIFY(!messenger.pollData(0));
        QVERIFY(messenger.open(QStringLiteral("127.0.0.1:%1").arg(m_peer.localPort())));
        QVERIFY(messenger.send(ZuHalPacket()));
        const QNetworkDatagram sent = receiveOne(m_peer);
        QSignalSpy ready(&messenger, &ZuHalAbstractMessenger::dataReady);
        QTimer::singleShot(20, &m_peer, [&] {
            m_peer.writeDatagram(packetWith(1, "reply").serialize(), sent.senderAddress(),
                                 quint16(sent.senderPort()));
        });
        QVERIFY(messenger.pollData(0));
        QCOMPARE(messenger.pop().data(), QByteArray("reply"));
        QCOMPARE(ready.count(), 0);
    }

    void closeForgetsThePeer()
    {
        ZuHalUDPMessenger messenger;
        QVERIFY(messenger.open(QStringLiteral("127.0.0.1:%1").arg(m_peer.localPort())));
        messenger.close();
        QVERIFY(!messenger.isOpen());
        QVERIFY(messenger.toString().startsWith(QLatin1Char(':')));
        QVERIFY(!messenger.send(ZuHalPacket()));
    }

    void openRefusesBadAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("no colon") << QStringLiteral("127.0.0.1");
        QTest::newRow("leading colon") << QStringLiteral(":54242");
        QTest::newRow("host name") << QStringLiteral("localhost:54242");
        QTest::newRow("port 0") << QStringLiteral("127.0.0.1:0");
        QTest::newRow("port 70000") << QStringLiteral("127.0.0.1:70000");
    }
    void openRefusesBadAddresses()
    {
        QFETCH(QString, address);
        ZuHalUDPMessenger messenger;
        QVERIFY(!messenger.open(address));
        QVERIFY(!messenger.isOpen());
    }

    // The mesh port comes from the settings; when it is taken, open fails
    // and the transport stays closed.
    void bindFailureLeavesItClosed()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::Any, 0, QAbstractSocket::DontShareAddress));
        m_settings->set(QStringLiteral("RemoteUDP/MeshPort"), holder.localPort());
        ZuHalUDPMessenger messenger;
        QVERIFY(!messenger.open(QStringLiteral("127.0.0.1:%1").arg(m_peer.localPort())));
        QVERIFY(!messenger.isOpen());
        QCOMPARE(messenger.error(), int(QAbstractSocket::AddressInUseError));
        QVERIFY(!messenger.send(ZuHalPacket()));
    }

    void enumerateWithoutScanSettingIsEmpty()
    {
        QVERIFY(ZuHalUDPMessenger::enumerate().isEmpty());
        m_settings->set(QStringLiteral("RemoteUDP/Scan"), false);
        QVERIFY(ZuHalUDPMessenger::enumerate().isEmpty());
    }

    void discoveryProbe()
    {
        QCOMPARE(ZuHalUDPMessenger::discoveryProbe().serialize(), hexBytes("0012ffffffff010600"));
    }

    void discoveryRecord_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("serial");
        QTest::newRow("reply") << replyFrom(0x0010, "EMU") << QStringLiteral("EMU");
        QTest::newRow("Latin-1 identifier") << replyFrom(0x0010, "\xe9t\xe9") << QStringLiteral("\u00e9t\u00e9");
        QTest::newRow("payload only the request") << replyFrom(0x0010, QByteArray()) << QString();
        QTest::newRow("other request echoed") << packetWith(0x0010, hexBytes("010400") + "id").serialize() << QString();
        QTest::newRow("not from the management port")
            << [] {
                   ZuHalPacket packet = packetWith(0x0010, hexBytes("010600") + "id");
                   packet.setSrcPort(0);
                   return packet.serialize();
               }()
            << QString();
        QTest::newRow("short datagram") << hexBytes("0001") << QString();
        QTest::newRow("oversize datagram") << replyFrom(0x0010, QByteArray(300, 'x')) << QString();
        QTest::newRow("already seen source") << replyFrom(0x0777, "again") << QString();
    }
    void discoveryRecord()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, serial);
        QSet<quint16> seen{0x0777};
        ZuHalDevice record;
        const bool accepted = ZuHalUDPMessenger::discoveryRecord(datagram, QHostAddress(QStringLiteral("::ffff:10.0.0.7")),
                                                                 54242, seen, record);
        QCOMPARE(accepted, !serial.isNull());
        if (!accepted) {
            QCOMPARE(seen, QSet<quint16>{0x0777});
            return;
        }
        QCOMPARE(record.address, QStringLiteral("10.0.0.7:54242"));
        QCOMPARE(record.manufacturer, QStringLiteral("Unknown"));
        QCOMPARE(record.product, QStringLiteral("Unknown"));
        QCOMPARE(record.serial, serial);
        QCOMPARE(seen, (QSet<quint16>{0x0777, 0x0010}));
    }

    // A scan aimed at a responder on loopback: one record per device
    // address, however many replies and from wherever.
    void discoverCollectsReplies()
    {
        // The responder blocks on its own thread while the scan blocks this one.
        QSemaphore bound;
        quint16 responderPort = 0;
        QByteArray probe;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            QUdpSocket responder;
            QUdpSocket answerer;
            const bool ok = responder.bind(QHostAddress(QHostAddress::LocalHost), 0);
            responderPort = responder.localPort();
            bound.release();
            if (!ok || !responder.waitForReadyRead(10000))
                return;
            const QNetworkDatagram request = responder.receiveDatagram();
            probe = request.data();
            const auto reply = [&](QUdpSocket &from, const QByteArray &data) {
                from.writeDatagram(data, request.senderAddress(), quint16(request.senderPort()));
            };
            reply(responder, replyFrom(0x0010, "EMU-1"));
            reply(answerer, replyFrom(0x0010, "EMU-1 again"));
            reply(responder, replyFrom(0x0011, QByteArray()));
            reply(responder, hexBytes("00"));
            reply(responder, replyFrom(0x0020, "EMU-2"));
        }));
        thread->start();
        bound.acquire();
        QVERIFY(responderPort != 0);
        const QList<ZuHalDevice> devices = ZuHalUDPMessenger::discover(QHostAddress::LocalHost, responderPort);
        QVERIFY(thread->wait(10000));

        QCOMPARE(probe, ZuHalUDPMessenger::discoveryProbe().serialize());
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices.at(0).serial, QStringLiteral("EMU-1"));
        QCOMPARE(devices.at(0).address, QStringLiteral("127.0.0.1:%1").arg(responderPort));
        QCOMPARE(devices.at(1).serial, QStringLiteral("EMU-2"));
    }
};

QTEST_GUILESS_MAIN(UdpTest)
#include "udp_test.moc"

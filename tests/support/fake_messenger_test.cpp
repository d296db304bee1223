// The fake transport that the device control tests hand to the main window:
// it must behave like a real transport where the window relies on it
// (signals from the event loop, a receive queue, refused sends) and keep what
// the tests read back.
#include "fake_messenger.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(FakeMessenger::OnOpen)

class FakeMessengerTest : public QObject
{
    Q_OBJECT

private slots:
    void transportNameIsChosen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("usb") << QStringLiteral("usb");
        QTest::newRow("network") << QStringLiteral("network");
    }

    void transportNameIsChosen()
    {
        QFETCH(QString, name);
        FakeMessenger fake(name);
        QCOMPARE(fake.transport(), name);
    }

    void openModes_data()
    {
        QTest::addColumn<FakeMessenger::OnOpen>("mode");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("connectedAfterLoop");
        QTest::newRow("connect") << FakeMessenger::OnOpen::Connect << true << 1;
        QTest::newRow("stall") << FakeMessenger::OnOpen::Stall << true << 0;
        QTest::newRow("refuse") << FakeMessenger::OnOpen::Refuse << false << 0;
    }

    // The link comes up from the event loop, never inside open(): the window
    // shows its progress dialog between the two.
    void openModes()
    {
        QFETCH(FakeMessenger::OnOpen, mode);
        QFETCH(bool, result);
        QFETCH(int, connectedAfterLoop);
        FakeMessenger fake;
        fake.setOnOpen(mode);
        QSignalSpy connected(&fake, &ZuHalAbstractMessenger::connected);
        QCOMPARE(fake.open(QStringLiteral("dev-1")), result);
        QCOMPARE(fake.openedAddress(), QStringLiteral("dev-1"));
        QCOMPARE(fake.toString(), QStringLiteral("dev-1"));
        QCOMPARE(connected.count(), 0);
        QVERIFY(!fake.isOpen());
        QTest::qWait(20);
        QCOMPARE(connected.count(), connectedAfterLoop);
        QCOMPARE(fake.isOpen(), connectedAfterLoop == 1);

        fake.connectNow();
        const bool pending = mode == FakeMessenger::OnOpen::Stall;
        QCOMPARE(connected.count(), connectedAfterLoop + (pending ? 1 : 0));
        QCOMPARE(fake.isOpen(), mode != FakeMessenger::OnOpen::Refuse);
    }

    // A link handed over open: it sends, and its first close is announced.
    void openLinkIsUp()
    {
        QObject owner;
        QPointer<FakeMessenger> fake = FakeMessenger::openLink(QStringLiteral("network"), &owner);
        QCOMPARE(fake->parent(), &owner);
        QVERIFY(fake->isOpen());
        QCOMPARE(fake->transport(), QStringLiteral("network"));
        QCOMPARE(fake->openCount(), 1);
        QVERIFY(fake->send(FakeMessenger::mcReply(1, 0)));
        QSignalSpy disconnected(fake.data(), &ZuHalAbstractMessenger::disconnected);
        fake->close();
        QTRY_COMPARE(disconnected.count(), 1);
    }

    // Cancelling the progress dialog closes a transport that is still
    // connecting: it must not come up afterwards.
    void closeWhileConnectingKeepsItDown()
    {
        FakeMessenger fake;
        QSignalSpy connected(&fake, &ZuHalAbstractMessenger::connected);
        QSignalSpy disconnected(&fake, &ZuHalAbstractMessenger::disconnected);
        QVERIFY(fake.open(QStringLiteral("dev-1")));
        fake.close();
        QTest::qWait(20);
        QCOMPARE(connected.count(), 0);
        QCOMPARE(disconnected.count(), 0);
        QVERIFY(!fake.isOpen());
        QCOMPARE(fake.closeCount(), 0);
    }

    void sendRecordsWhatWasAccepted()
    {
        FakeMessenger fake;
        const ZuHalPacket request = FakeMessenger::mcReply(1, 0);
        QVERIFY(!fake.send(request)); // not open yet
        fake.setOnOpen(FakeMessenger::OnOpen::Stall);
        fake.open(QStringLiteral("dev"));
        fake.connectNow();
        QVERIFY(fake.send(request));
        fake.setRefuseSends(true);
        QVERIFY(!fake.send(FakeMessenger::mcReply(2, 0)));
        fake.setRefuseSends(false);
        QVERIFY(fake.send(FakeMessenger::mcReply(3, 0x1234, "ab")));
        QCOMPARE(fake.sent().size(), 2);
        QCOMPARE(fake.sent().at(0).serialize(), request.serialize());
        QCOMPARE(fake.sent().at(1).data(), QByteArray::fromHex("0334126162"));
        fake.clearSent();
        QVERIFY(fake.sent().isEmpty());
    }

    void replyBuildersLayOutTheHeader()
    {
        const ZuHalPacket reply = FakeMessenger::mcReply(0x20, 0x0102, "x", 0x00A1, 0x0007);
        // frame control 0, ports 2 (destination) and 1 (source), destination
        // 0007, source 00A1, then command, sub-command and data.
        QCOMPARE(reply.serialize(), QByteArray::fromHex("00210700a100200201") + "x");
        const ZuHalPacket chat = FakeMessenger::toHost(2, "hi");
        QCOMPARE(chat.serialize(), QByteArray::fromHex("0022ffffffff") + "hi");
    }

    void injectedPacketsArriveInOrder()
    {
        FakeMessenger fake;
        QList<int> queueAtSignal;
        connect(&fake, &ZuHalAbstractMessenger::dataReady, this, [&] { queueAtSignal.append(fake.queue()); });
        QVERIFY(fake.inject(FakeMessenger::mcReply(1, 0)));
        QVERIFY(fake.inject(FakeMessenger::mcReply(1, 3)));
        QCOMPARE(queueAtSignal, (QList<int>{1, 2}));
        QCOMPARE(fake.pop().data(), FakeMessenger::mcPayload(1, 0));
        QCOMPARE(fake.pop().data(), FakeMessenger::mcPayload(1, 3));
    }

    void injectRefusesWhatNoTransportDelivers()
    {
        FakeMessenger fake;
        QSignalSpy ready(&fake, &ZuHalAbstractMessenger::dataReady);
        QVERIFY(!fake.inject(FakeMessenger::toHost(1, QByteArray(250, 'x'))));
        QVERIFY(fake.inject(FakeMessenger::toHost(1, QByteArray(249, 'x'))));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(fake.queue(), 1);
    }

    // Replies come from the event loop, after send() has returned, as a
    // device's would; never inside the sender's own call.
    void responderAnswersFromTheEventLoop()
    {
        FakeMessenger fake;
        fake.setOnOpen(FakeMessenger::OnOpen::Stall);
        fake.open(QStringLiteral("dev"));
        fake.connectNow();
        QList<QByteArray> asked;
        fake.setResponder([&](const ZuHalPacket &request) {
            asked.append(request.data());
            return QList<ZuHalPacket>{FakeMessenger::mcReply(1, 0, QByteArray::fromHex("2a00")),
                                      FakeMessenger::mcReply(1, 3)};
        });
        QSignalSpy ready(&fake, &ZuHalAbstractMessenger::dataReady);
        QVERIFY(fake.send(FakeMessenger::mcReply(1, 0)));
        QCOMPARE(fake.queue(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 2, 5000);
        QCOMPARE(asked, QList<QByteArray>{FakeMessenger::mcPayload(1, 0)});
        QCOMPARE(fake.pop().data(), FakeMessenger::mcPayload(1, 0, QByteArray::fromHex("2a00")));
    }

    void pollTimeIsKept()
    {
        FakeMessenger fake;
        fake.setPollTime(100);
        QCOMPARE(fake.pollTime(), 100);
    }

    // The window deletes the transport in its disconnected() slot.
    void closeAnnouncesFromTheEventLoopAndMayBeDeleted()
    {
        QPointer<FakeMessenger> fake = new FakeMessenger;
        fake->setOnOpen(FakeMessenger::OnOpen::Stall);
        fake->open(QStringLiteral("dev"));
        fake->connectNow();
        int announced = 0;
        connect(fake, &ZuHalAbstractMessenger::disconnected, this, [&] {
            ++announced;
            delete fake;
        });
        fake->close();
        QCOMPARE(announced, 0);
        QVERIFY(!fake->isOpen());
        QCOMPARE(fake->closeCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 5000);
        QCOMPARE(announced, 1);
    }

    void reopenedBeforeTheNoticeStaysUp()
    {
        FakeMessenger fake;
        fake.setOnOpen(FakeMessenger::OnOpen::Stall);
        fake.open(QStringLiteral("a"));
        fake.connectNow();
        QSignalSpy disconnected(&fake, &ZuHalAbstractMessenger::disconnected);
        fake.open(QStringLiteral("b")); // closes "a"
        fake.connectNow();
        QTest::qWait(20);
        QCOMPARE(disconnected.count(), 0);
        QVERIFY(fake.isOpen());
        QCOMPARE(fake.openCount(), 2);
    }

    void pollDataEndsOnPacketCloseOrDelete_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("result");
        QTest::newRow("packet") << QStringLiteral("packet") << true;
        QTest::newRow("close") << QStringLiteral("close") << false;
        QTest::newRow("delete") << QStringLiteral("delete") << false;
    }

    void pollDataEndsOnPacketCloseOrDelete()
    {
        QFETCH(QString, event);
        QFETCH(bool, result);
        QPointer<FakeMessenger> fake = new FakeMessenger;
        fake->setOnOpen(FakeMessenger::OnOpen::Stall);
        fake->open(QStringLiteral("dev"));
        fake->connectNow();
        QSignalSpy ready(fake, &ZuHalAbstractMessenger::dataReady);
        QTimer::singleShot(10, this, [&] {
            if (event == QLatin1String("packet"))
                fake->inject(FakeMessenger::mcReply(1, 0));
            else if (event == QLatin1String("close"))
                fake->close();
            else
                delete fake;
        });
        const bool got = fake->pollData(0); // no limit: only the event ends it
        QCOMPARE(got, result);
        QCOMPARE(ready.count(), 0); // the wait takes packets without the signal
        delete fake;
    }
};

QTEST_MAIN(FakeMessengerTest)
#include "fake_messenger_test.moc"

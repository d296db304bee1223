// The receive queue that every transport shares, through a transport of our
// own that receives whatever the test hands it.
#include "device_less_messenger.h"
#include "test_packets.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// The device of the loopback transport: it announces each packet it carries.
class Wire : public QObject
{
    Q_OBJECT
signals:
    void arrived();
};

class LoopbackMessenger : public DeviceLessMessenger
{
    Q_OBJECT

public:
    bool open(const QVariant &) override { return m_open = true; }
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    Wire wire;

    // Waits until the wire carries a packet or the time is up.
    bool pollData(int msec) override
    {
        if (!isOpen())
            return false;
        QEventLoop loop;
        connect(&wire, &Wire::arrived, &loop, &QEventLoop::quit);
        return waitForPackets(loop, msec);
    }

public slots:
    bool send(const ZuHalPacket &packet) override
    {
        receivePacket(packet.serialize());
        emit wire.arrived();
        return true;
    }

private:
    bool m_open = false;
};

} // namespace

class MessengerTest : public QObject
{
    Q_OBJECT

private slots:
    void popOnEmptyQueueGivesDefaultPacket()
    {
        LoopbackMessenger messenger;
        const ZuHalPacket packet = messenger.pop();
        QCOMPARE(packet.serialize(), hexBytes("0000ffffffff"));
        QCOMPARE(messenger.queue(), 0);
    }

    void framesArePoppedInArrivalOrder()
    {
        LoopbackMessenger messenger;
        QSignalSpy ready(&messenger, &ZuHalAbstractMessenger::dataReady);
        QList<int> queueAtSignal;
        connect(&messenger, &ZuHalAbstractMessenger::dataReady, this,
                [&] { queueAtSignal.append(messenger.queue()); });
        messenger.receivePacket(hexBytes("000001000000") + "a");
        messenger.receivePacket(hexBytes("000002000000") + "b");
        messenger.receivePacket(hexBytes("000003000000"));
        QCOMPARE(queueAtSignal, (QList<int>{1, 2, 3}));
        QCOMPARE(messenger.pop().data(), QByteArray("a"));
        QCOMPARE(messenger.pop().destination(), quint16(2));
        QCOMPARE(messenger.pop().destination(), quint16(3));
        QCOMPARE(messenger.queue(), 0);
    }

    void framesOutsideThePacketFormatAreDropped_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("queued");
        QTest::newRow("empty") << 0 << false;
        QTest::newRow("5 bytes") << 5 << false;
        QTest::newRow("6 bytes") << 6 << true;
        QTest::newRow("255 bytes") << 255 << true;
        QTest::newRow("256 bytes") << 256 << false;
        QTest::newRow("511 bytes") << 511 << false;
    }
    void framesOutsideThePacketFormatAreDropped()
    {
        QFETCH(int, size);
        QFETCH(bool, queued);
        LoopbackMessenger messenger;
        QSignalSpy ready(&messenger, &ZuHalAbstractMessenger::dataReady);
        messenger.receivePacket(QByteArray(size, '\x01'));
        QCOMPARE(messenger.queue(), queued ? 1 : 0);
        QCOMPARE(ready.count(), queued ? 1 : 0);
        if (queued)
            QCOMPARE(messenger.pop().data().size(), size - 6);
    }

    void pollDataOnClosedTransportReturnsAtOnce()
    {
        LoopbackMessenger messenger;
        QVERIFY(!messenger.pollData(0));
    }

    void pollDataWaitsWithoutDataReady()
    {
        LoopbackMessenger messenger;
        messenger.open(QString());
        QSignalSpy ready(&messenger, &ZuHalAbstractMessenger::dataReady);
        QTimer::singleShot(10, &messenger, [&] { messenger.send(ZuHalPacket()); });
        QVERIFY(messenger.pollData(0));
        QCOMPARE(messenger.queue(), 1);
        QCOMPARE(ready.count(), 0);
        QVERIFY(!messenger.signalsBlocked());
    }

    void pollDataEndsAfterItsTime()
    {
        LoopbackMessenger messenger;
        messenger.open(QString());
        QVERIFY(!messenger.pollData(20));
    }

    // A link-down notice while the signals are blocked for the wait is
    // delivered after the wait instead of being lost.
    void disconnectDuringPollIsDeliveredAfterwards()
    {
        LoopbackMessenger messenger;
        messenger.open(QString());
        QSignalSpy down(&messenger, &ZuHalAbstractMessenger::disconnected);
        QTimer::singleShot(10, &messenger, [&] {
            messenger.notifyDisconnected();
            emit messenger.wire.arrived();
        });
        QVERIFY(!messenger.pollData(0));
        QCOMPARE(down.count(), 0);
        QVERIFY(down.wait(1000));
        QCOMPARE(down.count(), 1);
    }
};

QTEST_GUILESS_MAIN(MessengerTest)
#include "messenger_test.moc"

#include "pty_pair.h"
#include "uartcommunicator.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QByteArray frame(uint8_t address, const QByteArray &payload)
{
    return uart_frame::encode(address, payload);
}

const QVariantHash LineSettings{{QStringLiteral("RS485/Baud"), 115200}};

} // namespace

class UartCommunicatorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void framesBothWays();
    void oversizedPayloadSendsNothing();
    void sendOnClosedPortFails();
    void getOnEmptyQueue();
    void zeroWaitNeverBlocks();
    void positiveWaitEndsAtNextFrame();
    void queuedMessageDoesNotShortenWait();
    void positiveWaitTimesOut();
    void negativeWaitUntilFrame();
    void waitEndsWhenLinkGoes_data();
    void waitEndsWhenLinkGoes();
    void closeKeepsQueueDropEmptiesIt();
    void readyReadReceiverMayDeleteLink();
    void peerGoingAwayDisconnects();
    void portErrors_data();
    void portErrors();
    void portNameCarriesTarget();
    void baudKeepsPositiveRate_data();
    void baudKeepsPositiveRate();
    void openUnlistedPortFails();

private:
    void openLink();

    std::unique_ptr<ListedPty> m_pty;
    UARTCommunicator *m_link = nullptr;
};

void UartCommunicatorTest::init()
{
    m_pty = std::make_unique<ListedPty>();
    QVERIFY(m_pty->isValid());
    m_link = new UARTCommunicator;
}

void UartCommunicatorTest::cleanup()
{
    delete m_link;
    m_link = nullptr;
    m_pty.reset();
}

void UartCommunicatorTest::openLink()
{
    QVERIFY(m_link->open(m_pty->path(), LineSettings));
    QVERIFY(m_link->isOpen());
}

void UartCommunicatorTest::framesBothWays()
{
    openLink();
    m_link->setTarget(5);
    QVERIFY(m_link->send(QByteArray::fromHex("03")));
    QVERIFY(m_link->sendto(UARTMessage(9, QByteArray())));
    QCOMPARE(m_pty->read(9), QByteArray::fromHex("7e01050387") + QByteArray::fromHex("7e000987"));

    QSignalSpy readyRead(m_link, &UARTCommunicator::readyRead);
    QList<int> queuedAtSignal;
    connect(m_link, &UARTCommunicator::readyRead, this, [&] { queuedAtSignal.append(m_link->queue()); });
    QVERIFY(m_pty->write(frame(5, "first") + frame(6, "second")));
    QTRY_COMPARE(m_link->queue(), 2);
    // One signal per frame, each sent before the next frame was parsed.
    QCOMPARE(readyRead.size(), 2);
    QCOMPARE(queuedAtSignal, QList<int>({1, 2}));
    QCOMPARE(m_link->get(), UARTMessage(5, "first"));
    QCOMPARE(m_link->get(), UARTMessage(6, "second"));
    QVERIFY(!m_link->pending());
}

void UartCommunicatorTest::oversizedPayloadSendsNothing()
{
    openLink();
    QVERIFY(!m_link->sendto(1, QByteArray(256, 'x')));
    QCOMPARE(m_pty->read(1, 100), QByteArray());
    QVERIFY(m_link->sendto(1, QByteArray(255, 'x')));
    QCOMPARE(m_pty->read(259), frame(1, QByteArray(255, 'x')));
}

void UartCommunicatorTest::sendOnClosedPortFails()
{
    QVERIFY(!m_link->send("x"));
    openLink();
    m_link->close();
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->sendto(1, "x"));
}

void UartCommunicatorTest::getOnEmptyQueue()
{
    QCOMPARE(m_link->get(), UARTMessage(0xFF, QByteArray()));
    openLink();
    QCOMPARE(m_link->get(), UARTMessage(0xFF, QByteArray()));
}

void UartCommunicatorTest::zeroWaitNeverBlocks()
{
    openLink();
    // A wait that ran an event loop would let the timer fire.
    bool fired = false;
    QTimer::singleShot(0, this, [&] { fired = true; });
    QVERIFY(!m_link->waitMessageReady(0));
    QVERIFY(!fired);
    QVERIFY(m_pty->write(frame(2, "x")));
    QTRY_VERIFY(m_link->pending());
    QVERIFY(m_link->waitMessageReady(0));
}

void UartCommunicatorTest::positiveWaitEndsAtNextFrame()
{
    openLink();
    QTimer::singleShot(50, this, [&] { m_pty->write(frame(4, "late")); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_link->waitMessageReady(60000));
    QVERIFY(clock.elapsed() < 30000);
    QCOMPARE(m_link->get(), UARTMessage(4, "late"));
}

void UartCommunicatorTest::queuedMessageDoesNotShortenWait()
{
    openLink();
    QVERIFY(m_pty->write(frame(1, "old")));
    QTRY_VERIFY(m_link->pending());
    QTimer::singleShot(50, this, [&] { m_pty->write(frame(2, "new")); });
    QVERIFY(m_link->waitMessageReady(60000));
    QCOMPARE(m_link->queue(), 2);
}

void UartCommunicatorTest::positiveWaitTimesOut()
{
    openLink();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_link->waitMessageReady(100));
    // 100 ms and the margin of 500 ms; coarse timers may end a little early.
    QVERIFY2(clock.elapsed() >= 550, qPrintable(QString::number(clock.elapsed())));
}

void UartCommunicatorTest::negativeWaitUntilFrame()
{
    openLink();
    QTimer::singleShot(50, this, [&] { m_pty->write(frame(3, "x")); });
    QVERIFY(m_link->waitMessageReady(-1));
    QCOMPARE(m_link->get(), UARTMessage(3, "x"));
}

void UartCommunicatorTest::waitEndsWhenLinkGoes_data()
{
    QTest::addColumn<bool>("deleteLink");
    QTest::addColumn<int>("ms");

    QTest::newRow("closed, no time limit") << false << -1;
    QTest::newRow("closed, long time-out") << false << 60000;
    QTest::newRow("deleted, no time limit") << true << -1;
    QTest::newRow("deleted, long time-out") << true << 60000;
}

void UartCommunicatorTest::waitEndsWhenLinkGoes()
{
    QFETCH(bool, deleteLink);
    QFETCH(int, ms);
    openLink();
    QPointer<UARTCommunicator> link = m_link;
    QTimer::singleShot(30, this, [&] {
        if (deleteLink) {
            delete m_link;
            m_link = nullptr;
        } else {
            m_link->close();
        }
    });
    QVERIFY(!link->waitMessageReady(ms));
    QCOMPARE(link.isNull(), deleteLink);
    // Closed: no frame can come, so a further wait returns at once.
    if (link)
        QVERIFY(!link->waitMessageReady(-1));
}

void UartCommunicatorTest::closeKeepsQueueDropEmptiesIt()
{
    openLink();
    QVERIFY(m_pty->write(frame(1, "a") + frame(2, "b")));
    QTRY_COMPARE(m_link->queue(), 2);
    QSignalSpy disconnected(m_link, &UARTCommunicator::disconnected);
    m_link->close();
    QVERIFY(disconnected.wait());
    QCOMPARE(m_link->queue(), 2);
    QVERIFY(m_link->pending());
    m_link->drop();
    QCOMPARE(m_link->queue(), 0);
    QVERIFY(!m_link->pending());
}

void UartCommunicatorTest::readyReadReceiverMayDeleteLink()
{
    openLink();
    QPointer<UARTCommunicator> link = m_link;
    m_link = nullptr;
    connect(link, &UARTCommunicator::readyRead, this, [&] { delete link.data(); });
    QVERIFY(m_pty->write(frame(1, "a") + frame(2, "b") + frame(3, "c")));
    QTRY_VERIFY(link.isNull());
}

void UartCommunicatorTest::peerGoingAwayDisconnects()
{
    openLink();
    QSignalSpy disconnected(m_link, &UARTCommunicator::disconnected);
    m_pty->closeSlave();
    m_pty->closeMaster();
    QVERIFY(disconnected.wait(10000));
    QVERIFY(!m_link->isOpen());
    QVERIFY(!m_link->send("x"));
}

void UartCommunicatorTest::portErrors_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("closes");

    QTest::newRow("device not found") << QSerialPort::DeviceNotFoundError << true;
    QTest::newRow("write") << QSerialPort::WriteError << true;
    QTest::newRow("read") << QSerialPort::ReadError << true;
    QTest::newRow("resource") << QSerialPort::ResourceError << true;
    QTest::newRow("timeout") << QSerialPort::TimeoutError << true;
    QTest::newRow("not open") << QSerialPort::NotOpenError << true;
    QTest::newRow("parity") << QSerialPort::ParityError << false;
    QTest::newRow("framing") << QSerialPort::FramingError << false;
    QTest::newRow("permission") << QSerialPort::PermissionError << false;
    QTest::newRow("unknown") << QSerialPort::UnknownError << false;
}

void UartCommunicatorTest::portErrors()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, closes);
    openLink();
    QSignalSpy disconnected(m_link, &UARTCommunicator::disconnected);
    QVERIFY(QMetaObject::invokeMethod(m_link, "hnd_error", Q_ARG(QSerialPort::SerialPortError, error)));
    QTest::qWait(50);
    QCOMPARE(m_link->isOpen(), !closes);
    QCOMPARE(disconnected.size(), closes ? 1 : 0);
}

void UartCommunicatorTest::portNameCarriesTarget()
{
    m_link->setTarget(5);
    QCOMPARE(m_link->portName(), QString());
    openLink();
    const QString name = m_link->portName();
    QVERIFY2(name.endsWith(QLatin1String(":5")), qPrintable(name));
    QVERIFY(name.size() > 2);
    QCOMPARE(m_link->property("portName").toString(), name);
}

void UartCommunicatorTest::baudKeepsPositiveRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("expected");

    QTest::newRow("9600") << 9600 << 9600;
    QTest::newRow("zero keeps") << 0 << 115200;
    QTest::newRow("negative keeps") << -1 << 115200;
}

void UartCommunicatorTest::baudKeepsPositiveRate()
{
    QFETCH(int, rate);
    QCOMPARE(m_link->baud(), 115200);
    m_link->setBaud(rate);
    QTEST(m_link->baud(), "expected");
    openLink();
    QVERIFY(m_link->setProperty("baud", rate));
    QTEST(m_link->property("baud").toInt(), "expected");
}

void UartCommunicatorTest::openUnlistedPortFails()
{
    ScopedPortListing nothingListed({});
    QVERIFY(!m_link->open(m_pty->path(), LineSettings));
    QVERIFY(!m_link->isOpen());
}

QTEST_GUILESS_MAIN(UartCommunicatorTest)
#include "uartcommunicator_test.moc"

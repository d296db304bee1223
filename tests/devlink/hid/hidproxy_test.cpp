#include "memory_hid_proxy.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <limits>

namespace {

QByteArray report(const QByteArray &head, int size)
{
    QByteArray bytes = head;
    bytes.append(QByteArray(size - head.size(), '\0'));
    return bytes;
}

// Timeout long enough that no reply time-out fires while a test runs.
constexpr int LongReplyTimeoutMs = 60000;

} // namespace

class HidProxyTest : public QObject
{
    Q_OBJECT

private slots:
    void reportLayout_data();
    void reportLayout();
    void sendPacketZeroFillsStaleBytes();
    void sendPacketCutsToReportSize();
    void reportSizeKeptToBuffer();
    void setFeatureRefusesOversizedData();
    void inputReportFilter_data();
    void inputReportFilter();
    void queueWithoutReplyTimeoutSendsAtOnce();
    void queueHoldsReportsUntilReply();
    void queueIgnoresEmptyDataWhileReplyPending();
    void replyTimeoutDisconnects();
    void readFailureDisconnects();
    void receiverMayDeleteProxy_data();
    void receiverMayDeleteProxy();
    void pollIntervalBounds_data();
    void pollIntervalBounds();
    void pollingStartsOnOpen();
    void pollTickOnClosedProxyStopsPolling();
    void getDataBounds_data();
    void getDataBounds();
    void waitForReadyReadTimesOut();
    void waitForReadyReadCountsDataBytes_data();
    void waitForReadyReadCountsDataBytes();
    void waitForReadyReadReportsFailure();
    void replyTimeoutEndsWait();
    void closeEndsWait();
    void timeoutsOfZeroOrLessReturnAtOnce_data();
    void timeoutsOfZeroOrLessReturnAtOnce();
};

void HidProxyTest::reportLayout_data()
{
    QTest::addColumn<bool>("feature");
    QTest::addColumn<int>("memberId");
    QTest::addColumn<int>("argumentId");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray data = QByteArray::fromHex("0a0b0c");
    QTest::newRow("report, explicit id") << false << -1 << 7 << report(QByteArray::fromHex("070a0b0c"), 64);
    QTest::newRow("report, explicit id beats member") << false << 1 << 7 << report(QByteArray::fromHex("070a0b0c"), 64);
    QTest::newRow("report, member id") << false << 1 << -1 << report(QByteArray::fromHex("010a0b0c"), 64);
    QTest::newRow("report, id 0") << false << -1 << 0 << report(QByteArray::fromHex("000a0b0c"), 64);
    QTest::newRow("report, no id anywhere") << false << -1 << -1 << report(data, 63);
    QTest::newRow("report, id suppressed") << false << 1 << -2 << report(data, 63);
    QTest::newRow("feature, explicit id") << true << 1 << 5 << QByteArray::fromHex("050a0b0c");
    QTest::newRow("feature, member id") << true << 3 << -1 << QByteArray::fromHex("030a0b0c");
    QTest::newRow("feature, no id gives 0") << true << -1 << -1 << QByteArray::fromHex("000a0b0c");
}

void HidProxyTest::reportLayout()
{
    QFETCH(bool, feature);
    QFETCH(int, memberId);
    QFETCH(int, argumentId);
    QFETCH(QByteArray, expected);
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    proxy.setReportID(memberId);
    const QByteArray data = QByteArray::fromHex("0a0b0c");
    QVERIFY(feature ? proxy.setFeature(data, argumentId) : proxy.sendPacket(data, argumentId));
    QCOMPARE(feature ? proxy.writtenFeatures : proxy.writtenReports, QList<QByteArray>{expected});
}

void HidProxyTest::sendPacketZeroFillsStaleBytes()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    QVERIFY(proxy.sendPacket(QByteArray(63, '\xff'), 1));
    QVERIFY(proxy.sendPacket(QByteArray::fromHex("0102"), 1));
    QCOMPARE(proxy.writtenReports.last(), report(QByteArray::fromHex("010102"), 64));
}

void HidProxyTest::sendPacketCutsToReportSize()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    proxy.setReportSize(4);
    QVERIFY(proxy.sendPacket(QByteArray::fromHex("0102030405060708"), 9));
    QCOMPARE(proxy.writtenReports.last(), QByteArray::fromHex("0901020304"));
}

void HidProxyTest::reportSizeKeptToBuffer()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    proxy.setReportSize(200);
    QCOMPARE(proxy.reportSize(), 63);
    QVERIFY(proxy.sendPacket(QByteArray(200, 'x'), 1));
    QCOMPARE(proxy.writtenReports.last(), QByteArray(1, '\x01') + QByteArray(63, 'x'));
}

void HidProxyTest::setFeatureRefusesOversizedData()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    QVERIFY(proxy.setFeature(QByteArray(63, 'f'), 2));
    QCOMPARE(proxy.writtenFeatures.last(), QByteArray(1, '\x02') + QByteArray(63, 'f'));
    QVERIFY(!proxy.setFeature(QByteArray(64, 'f'), 2));
    QCOMPARE(proxy.writtenFeatures.size(), 1);
}

void HidProxyTest::inputReportFilter_data()
{
    QTest::addColumn<int>("memberId");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("signalled");

    QTest::newRow("matching id") << 1 << QByteArray::fromHex("010203") << true;
    QTest::newRow("other id") << 1 << QByteArray::fromHex("020203") << false;
    QTest::newRow("no id filter") << -1 << QByteArray::fromHex("020203") << true;
}

void HidProxyTest::inputReportFilter()
{
    QFETCH(int, memberId);
    QFETCH(QByteArray, input);
    QFETCH(bool, signalled);
    MemoryHidProxy proxy;
    proxy.setReportID(memberId);
    QSignalSpy spy(&proxy, &HIDProxy::processInRequest);
    proxy.inputReports.append(input);
    proxy.setPollInterval(5);
    QVERIFY(proxy.setDevice("dev"));
    QTRY_VERIFY(proxy.inputReports.isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(spy.size(), signalled ? 1 : 0);
    if (signalled)
        QCOMPARE(spy.first().first().toByteArray(), input);
}

void HidProxyTest::queueWithoutReplyTimeoutSendsAtOnce()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    proxy.queueReport(QByteArray::fromHex("01"), 1);
    proxy.queueReport(QByteArray::fromHex("02"), 1);
    QCOMPARE(proxy.writtenReports.size(), 2);
}

void HidProxyTest::queueHoldsReportsUntilReply()
{
    MemoryHidProxy proxy;
    proxy.setReportID(1);
    proxy.setReplyTimeout(LongReplyTimeoutMs);
    QVERIFY(proxy.setDevice("dev"));
    proxy.queueReport(QByteArray::fromHex("aa"), -1);
    proxy.queueReport(QByteArray::fromHex("bb"), -1);
    proxy.queueReport(QByteArray::fromHex("cc"), -1);
    QCOMPARE(proxy.writtenReports, QList<QByteArray>{report(QByteArray::fromHex("01aa"), 64)});

    // No reply: nothing more goes out. One reply lets exactly one queued
    // report out, with one report-ID byte and at full length.
    proxy.processPeriodic(0);
    QCOMPARE(proxy.writtenReports.size(), 1);
    proxy.inputReports.append(QByteArray::fromHex("0199"));
    proxy.setPollInterval(5);
    QTRY_COMPARE(proxy.writtenReports.size(), 2);
    QCOMPARE(proxy.writtenReports.last(), report(QByteArray::fromHex("01bb"), 64));
    QTest::qWait(30);
    QCOMPARE(proxy.writtenReports.size(), 2);

    proxy.inputReports.append(QByteArray::fromHex("0199"));
    QTRY_COMPARE(proxy.writtenReports.size(), 3);
    QCOMPARE(proxy.writtenReports.last(), report(QByteArray::fromHex("01cc"), 64));
    QVERIFY(proxy.isOpen());
}

void HidProxyTest::queueIgnoresEmptyDataWhileReplyPending()
{
    MemoryHidProxy proxy;
    proxy.setReplyTimeout(LongReplyTimeoutMs);
    QVERIFY(proxy.setDevice("dev"));
    proxy.queueReport(QByteArray::fromHex("aa"), 1);
    proxy.queueReport(QByteArray(), 1);
    proxy.inputReports.append(QByteArray::fromHex("01"));
    proxy.setPollInterval(5);
    QTRY_VERIFY(proxy.inputReports.isEmpty());
    QTest::qWait(30);
    QCOMPARE(proxy.writtenReports.size(), 1);
}

void HidProxyTest::replyTimeoutDisconnects()
{
    MemoryHidProxy proxy;
    proxy.setReplyTimeout(20);
    QVERIFY(proxy.setDevice("dev"));
    QSignalSpy disconnected(&proxy, &HIDProxy::disconnected);
    QSignalSpy deviceChanged(&proxy, &HIDProxy::deviceChanged);
    proxy.queueReport(QByteArray::fromHex("aa"), 1);
    proxy.queueReport(QByteArray::fromHex("bb"), 1);
    QVERIFY(disconnected.wait());
    QVERIFY(!proxy.isOpen());
    QVERIFY(!deviceChanged.isEmpty());
    QCOMPARE(deviceChanged.last().first().toString(), QString());
    // The queued report was dropped with the connection.
    QCOMPARE(proxy.writtenReports.size(), 1);
}

void HidProxyTest::readFailureDisconnects()
{
    MemoryHidProxy proxy;
    proxy.setPollInterval(5);
    QVERIFY(proxy.setDevice("dev"));
    QSignalSpy disconnected(&proxy, &HIDProxy::disconnected);
    proxy.failNextRead = true;
    QVERIFY(disconnected.wait());
    QVERIFY(!proxy.isOpen());
}

void HidProxyTest::receiverMayDeleteProxy_data()
{
    QTest::addColumn<QString>("event");

    QTest::newRow("input report") << "input";
    QTest::newRow("read failure") << "failure";
    QTest::newRow("reply time-out") << "timeout";
    QTest::newRow("read failure while waiting") << "wait";
    QTest::newRow("reply time-out while waiting") << "timeout in wait";
}

// The owner of a proxy may delete it in its slots, in the middle of the
// proxy's own poll tick, time-out or wait.
void HidProxyTest::receiverMayDeleteProxy()
{
    QFETCH(QString, event);
    QPointer<MemoryHidProxy> proxy = new MemoryHidProxy;
    const auto deleteProxy = [&] { delete proxy.data(); };
    connect(proxy, &HIDProxy::processInRequest, this, deleteProxy);
    connect(proxy, &HIDProxy::disconnected, this, deleteProxy);
    proxy->setReplyTimeout(event.startsWith("timeout") ? 20 : LongReplyTimeoutMs);
    QVERIFY(proxy->setDevice("dev"));
    proxy->queueReport(QByteArray::fromHex("aa"), 1);
    proxy->queueReport(QByteArray::fromHex("bb"), 1);
    if (event == "input")
        proxy->inputReports.append(QByteArray::fromHex("0102"));
    proxy->failNextRead = event == "failure" || event == "wait";
    if (event == "wait" || event == "timeout in wait")
        QVERIFY(proxy->waitForReadyRead(5000) < 0);
    else
        proxy->setPollInterval(5);
    QTRY_VERIFY(proxy.isNull());
}

void HidProxyTest::pollIntervalBounds_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("stored");

    QTest::newRow("zero") << 0 << 5;
    QTest::newRow("below minimum") << 3 << 5;
    QTest::newRow("negative") << -10 << 5;
    QTest::newRow("minimum") << 5 << 5;
    QTest::newRow("above minimum") << 20 << 20;
}

void HidProxyTest::pollIntervalBounds()
{
    QFETCH(int, requested);
    QFETCH(int, stored);
    MemoryHidProxy proxy;
    QCOMPARE(proxy.pollInterval(), 0);
    proxy.setPollInterval(requested);
    QCOMPARE(proxy.pollInterval(), stored);
}

void HidProxyTest::pollingStartsOnOpen()
{
    MemoryHidProxy proxy;
    QSignalSpy spy(&proxy, &HIDProxy::processInRequest);
    proxy.inputReports.append(QByteArray::fromHex("0102"));
    proxy.setPollInterval(5);
    QTest::qWait(30);
    QCOMPARE(spy.size(), 0);
    QVERIFY(proxy.setDevice("dev"));
    QTRY_COMPARE(spy.size(), 1);
}

void HidProxyTest::pollTickOnClosedProxyStopsPolling()
{
    MemoryHidProxy proxy;
    proxy.setPollInterval(5);
    QVERIFY(proxy.setDevice("dev"));
    QSignalSpy spy(&proxy, &HIDProxy::processInRequest);
    // Closed behind the proxy's back (as a back end whose handle vanished):
    // the next tick stops polling, so a later open without a new interval
    // reads nothing until polling is started again.
    proxy.openedName.clear();
    QTest::qWait(30);
    proxy.openedName = QStringLiteral("dev");
    proxy.inputReports.append(QByteArray::fromHex("0102"));
    QTest::qWait(30);
    QCOMPARE(spy.size(), 0);
    proxy.setPollInterval(5);
    QTRY_COMPARE(spy.size(), 1);
}

void HidProxyTest::getDataBounds_data()
{
    QTest::addColumn<int>("memberId");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray none;
    QTest::newRow("after id byte") << 1 << 2 << QByteArray::fromHex("0203");
    QTest::newRow("without id byte") << -1 << 2 << QByteArray::fromHex("0102");
    QTest::newRow("whole buffer after id") << 1 << 63 << report(QByteArray::fromHex("020304"), 63);
    QTest::newRow("past buffer after id") << 1 << 64 << none;
    QTest::newRow("whole buffer") << -1 << 64 << report(QByteArray::fromHex("01020304"), 64);
    QTest::newRow("past buffer") << -1 << 65 << none;
    QTest::newRow("negative") << -1 << -1 << none;
}

void HidProxyTest::getDataBounds()
{
    QFETCH(int, memberId);
    QFETCH(int, length);
    QFETCH(QByteArray, expected);
    MemoryHidProxy proxy;
    proxy.setReportID(memberId);
    QVERIFY(proxy.setDevice("dev"));
    proxy.inputReports.append(report(QByteArray::fromHex("01020304"), 64));
    QVERIFY(proxy.waitForReadyRead(1000) > 0);
    QCOMPARE(QByteArray(proxy.getData(length)), expected);
}

void HidProxyTest::waitForReadyReadTimesOut()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(proxy.waitForReadyRead(50), -1);
    QVERIFY(clock.elapsed() >= 45);
    QVERIFY(proxy.isOpen());
    // The wait pauses between reads instead of holding a core (a read per
    // pass of the event loop would be thousands).
    QVERIFY2(proxy.reads <= 100, qPrintable(QString::number(proxy.reads)));
}

void HidProxyTest::waitForReadyReadCountsDataBytes_data()
{
    QTest::addColumn<int>("memberId");
    QTest::addColumn<int>("count");

    QTest::newRow("id byte not counted") << 1 << 3;
    QTest::newRow("no id byte") << -1 << 4;
}

void HidProxyTest::waitForReadyReadCountsDataBytes()
{
    QFETCH(int, memberId);
    QFETCH(int, count);
    MemoryHidProxy proxy;
    proxy.setReportID(memberId);
    QVERIFY(proxy.setDevice("dev"));
    QSignalSpy spy(&proxy, &HIDProxy::processInRequest);
    QTimer::singleShot(10, &proxy, [&] { proxy.inputReports.append(QByteArray::fromHex("01020304")); });
    QCOMPARE(proxy.waitForReadyRead(5000), count);
    QCOMPARE(spy.size(), 0);
}

void HidProxyTest::waitForReadyReadReportsFailure()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("dev"));
    QSignalSpy disconnected(&proxy, &HIDProxy::disconnected);
    proxy.failNextRead = true;
    QVERIFY(proxy.waitForReadyRead(5000) < 0);
    QCOMPARE(disconnected.size(), 1);
    QVERIFY(!proxy.isOpen());
}

// The reply time-out closes the device in the middle of a wait: the wait
// ends there, and disconnected() is emitted once.
void HidProxyTest::replyTimeoutEndsWait()
{
    MemoryHidProxy proxy;
    proxy.setReplyTimeout(30);
    QVERIFY(proxy.setDevice("d"));
    QSignalSpy disconnected(&proxy, &HIDProxy::disconnected);
    QVERIFY(proxy.sendPacket(QByteArray("x"), 1));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(proxy.waitForReadyRead(10000), -1);
    QVERIFY2(clock.elapsed() < 5000, "the wait outlived the close");
    QVERIFY(!proxy.isOpen());
    QCoreApplication::processEvents();
    QCOMPARE(disconnected.size(), 1);
}

// The owner closes the device while a wait runs: the wait ends without
// reading the closed device and without a disconnected().
void HidProxyTest::closeEndsWait()
{
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("d"));
    QSignalSpy disconnected(&proxy, &HIDProxy::disconnected);
    QTimer::singleShot(20, &proxy, [&] { proxy.close(); });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(proxy.waitForReadyRead(10000), -1);
    QVERIFY2(clock.elapsed() < 5000, "the wait outlived the close");
    QCOMPARE(disconnected.size(), 0);
}

void HidProxyTest::timeoutsOfZeroOrLessReturnAtOnce_data()
{
    QTest::addColumn<bool>("sleep");
    QTest::addColumn<int>("timeoutMs");

    QTest::newRow("qSleep(-1)") << true << -1;
    QTest::newRow("qSleep(0)") << true << 0;
    QTest::newRow("qSleep(INT_MIN)") << true << std::numeric_limits<int>::min();
    QTest::newRow("waitForReadyRead(-1)") << false << -1;
    QTest::newRow("waitForReadyRead(0)") << false << 0;
}

void HidProxyTest::timeoutsOfZeroOrLessReturnAtOnce()
{
    QFETCH(bool, sleep);
    QFETCH(int, timeoutMs);
    MemoryHidProxy proxy;
    QVERIFY(proxy.setDevice("d"));
    QSignalSpy disconnected(&proxy, &HIDProxy::disconnected);
    // Should the wait not return, this ends a wait on the device after a
    // while, so that the row fails instead of hanging.
    QTimer::singleShot(3000, &proxy, [&] { proxy.close(); });
    QElapsedTimer clock;
    clock.start();
    if (sleep)
        HIDProxy::qSleep(timeoutMs);
    else
        QCOMPARE(proxy.waitForReadyRead(timeoutMs), -1);
    QVERIFY2(clock.elapsed() < 2000, "a time-out of 0 or less waited");
    QVERIFY(proxy.isOpen());
    QCOMPARE(disconnected.size(), 0);
}

QTEST_GUILESS_MAIN(HidProxyTest)
#include "hidproxy_test.moc"

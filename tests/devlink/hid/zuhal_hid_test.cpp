#include "memory_hid_proxy.h"
#include "zuhal_hid.h"

#include <QDir>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {

ZuHalPacket packetOf(const QByteArray &bytes)
{
    ZuHalPacket packet;
    packet.parse(bytes.constData(), uchar(bytes.size()));
    return packet;
}

// A header (FCF 0x10, ports 1 and 2, destination 0x0012, source 0xFFFF)
// followed by `payloadSize` payload bytes.
QByteArray packetBytes(int payloadSize)
{
    QByteArray bytes = QByteArray::fromHex("10121200ffff");
    for (int i = 0; i < payloadSize; ++i)
        bytes.append(char(0x40 + i));
    return bytes;
}

} // namespace

class ZuHalHidTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openAndIdentity();
    void openFailureLeavesTransportClosed();
    void pollTimeBounds();
    void outputReportLayout_data();
    void outputReportLayout();
    void sendReportsWriteFailure();
    void inputReportUnwrapping_data();
    void inputReportUnwrapping();
    void readFailureDisconnects();
    void receiverMayDeleteTransport_data();
    void receiverMayDeleteTransport();
    void pollDataWaitsForReportWithoutDataReady();
    void pollDataTimesOut();
    void enumerateWithoutDevices();
    void desktopOpenFailsWithoutDevice();

private:
    // Opens a transport on an in-memory device that polls every 5 ms.
    void openTransport();

    ZuHalHidMessenger *m_transport = nullptr;
    QPointer<MemoryHidProxy> m_device;
};

void ZuHalHidTest::init()
{
    ZuHalHidMessenger::setProxyFactory([this](QObject *parent) {
        m_device = new MemoryHidProxy(parent);
        return m_device.data();
    });
    m_transport = new ZuHalHidMessenger;
}

void ZuHalHidTest::cleanup()
{
    delete m_transport;
    m_transport = nullptr;
    ZuHalHidMessenger::setProxyFactory({});
}

void ZuHalHidTest::openTransport()
{
    QVERIFY(m_transport->open(QStringLiteral("0483:a26a:0042")));
    m_transport->setPollTime(5);
}

void ZuHalHidTest::openAndIdentity()
{
    QSignalSpy connected(m_transport, &ZuHalAbstractMessenger::connected);
    QCOMPARE(m_transport->toString(), QStringLiteral("Not opened"));
    QCOMPARE(m_transport->errorString(), QStringLiteral("Not opened"));
    QCOMPARE(m_transport->error(), -1);
    QVERIFY(m_transport->open(QStringLiteral("0483:a26a:0042")));
    QCOMPARE(connected.size(), 1);
    QVERIFY(m_transport->isOpen());
    QCOMPARE(m_transport->toString(), QStringLiteral("0483:a26a:0042"));
    QCOMPARE(m_transport->error(), 0);
    QCOMPARE(m_transport->errorString(), QString());
    QCOMPARE(int(m_transport->type()), 0);
    QCOMPARE(m_transport->transport(), QStringLiteral("usb"));
    // The device keeps its defaults: no report-ID filter, full reports, no
    // reply supervision.
    QCOMPARE(m_device->reportID(), -1);
    QCOMPARE(m_device->reportSize(), 63);
    QCOMPARE(m_device->replyTimeout(), 0);

    QSignalSpy disconnected(m_transport, &ZuHalAbstractMessenger::disconnected);
    m_transport->close();
    QVERIFY(!m_transport->isOpen());
    QTRY_VERIFY(m_device.isNull());
    QCOMPARE(disconnected.size(), 0);
}

void ZuHalHidTest::openFailureLeavesTransportClosed()
{
    openTransport();
    QSignalSpy connected(m_transport, &ZuHalAbstractMessenger::connected);
    QVERIFY(!m_transport->open(QString::fromLatin1(MemoryHidProxy::MissingDevice)));
    QCOMPARE(connected.size(), 0);
    QVERIFY(!m_transport->isOpen());
    QCOMPARE(m_transport->pollTime(), -1);
    QVERIFY(!m_transport->send(packetOf(packetBytes(0))));
    QTRY_VERIFY(m_device.isNull());
}

void ZuHalHidTest::pollTimeBounds()
{
    QCOMPARE(m_transport->pollTime(), -1);
    m_transport->setPollTime(100);
    QCOMPARE(m_transport->pollTime(), -1);
    QVERIFY(m_transport->open(QStringLiteral("0483:a26a:0042")));
    m_transport->setPollTime(1);
    QCOMPARE(m_transport->pollTime(), 5);
    m_transport->setPollTime(100);
    QCOMPARE(m_transport->pollTime(), 100);
}

void ZuHalHidTest::outputReportLayout_data()
{
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<bool>("sent");

    QTest::newRow("header only") << 0 << true;
    QTest::newRow("62-byte packet") << 56 << true;
    QTest::newRow("63-byte packet") << 57 << false;
    QTest::newRow("largest packet") << 249 << false;
}

void ZuHalHidTest::outputReportLayout()
{
    QFETCH(int, payloadSize);
    QFETCH(bool, sent);
    openTransport();
    const QByteArray bytes = packetBytes(payloadSize);
    QCOMPARE(m_transport->send(packetOf(bytes)), sent);
    if (!sent) {
        QVERIFY(m_device->writtenReports.isEmpty());
        return;
    }
    QByteArray expected = QByteArray::fromHex("01") + char(bytes.size()) + bytes;
    expected.append(QByteArray(64 - expected.size(), '\0'));
    QCOMPARE(m_device->writtenReports, QList<QByteArray>{expected});
}

void ZuHalHidTest::sendReportsWriteFailure()
{
    openTransport();
    m_device->failWrites = true;
    QVERIFY(!m_transport->send(packetOf(packetBytes(0))));
    QVERIFY(m_transport->isOpen());
}

void ZuHalHidTest::inputReportUnwrapping_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArray>("packet");

    const QByteArray eight = packetBytes(2);
    const QByteArray none;
    QTest::newRow("length and trailing zeros")
        << QByteArray::fromHex("0108") + eight + QByteArray(54, '\0') << eight;
    QTest::newRow("length longer than the report") << QByteArray::fromHex("01ff") + eight << eight;
    QTest::newRow("other report number") << QByteArray::fromHex("0208") + eight << none;
    QTest::newRow("length below a header") << QByteArray::fromHex("0105") + eight << none;
    QTest::newRow("report number only") << QByteArray::fromHex("01") << none;
}

void ZuHalHidTest::inputReportUnwrapping()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArray, packet);
    openTransport();
    QSignalSpy dataReady(m_transport, &ZuHalAbstractMessenger::dataReady);
    m_device->inputReports.append(report);
    QTRY_VERIFY(m_device->inputReports.isEmpty());
    QCoreApplication::processEvents();
    if (packet.isEmpty()) {
        QCOMPARE(m_transport->queue(), 0);
        QCOMPARE(dataReady.size(), 0);
        return;
    }
    QCOMPARE(dataReady.size(), 1);
    QCOMPARE(m_transport->queue(), 1);
    QCOMPARE(m_transport->pop().serialize(), packet);
}

void ZuHalHidTest::readFailureDisconnects()
{
    openTransport();
    QSignalSpy disconnected(m_transport, &ZuHalAbstractMessenger::disconnected);
    m_device->failNextRead = true;
    QVERIFY(disconnected.wait());
    QVERIFY(!m_transport->isOpen());
    QCOMPARE(m_transport->pollTime(), -1);
    QTRY_VERIFY(m_device.isNull());
}

void ZuHalHidTest::receiverMayDeleteTransport_data()
{
    QTest::addColumn<bool>("onData");

    QTest::newRow("on disconnected") << false;
    QTest::newRow("on data ready") << true;
}

// The owner drops the transport in its slots; the device goes with it while
// it is in the middle of its poll tick.
void ZuHalHidTest::receiverMayDeleteTransport()
{
    QFETCH(bool, onData);
    openTransport();
    QPointer<ZuHalHidMessenger> transport = m_transport;
    m_transport = nullptr;
    const auto dropTransport = [&] { delete transport.data(); };
    connect(transport, &ZuHalAbstractMessenger::disconnected, this, dropTransport);
    connect(transport, &ZuHalAbstractMessenger::dataReady, this, dropTransport);
    if (onData)
        m_device->inputReports.append(QByteArray::fromHex("0106") + packetBytes(0));
    else
        m_device->failNextRead = true;
    QTRY_VERIFY(transport.isNull());
    QTRY_VERIFY(m_device.isNull());
}

void ZuHalHidTest::pollDataWaitsForReportWithoutDataReady()
{
    openTransport();
    QSignalSpy dataReady(m_transport, &ZuHalAbstractMessenger::dataReady);
    const QByteArray bytes = packetBytes(1);
    QTimer::singleShot(20, m_device, [&] {
        m_device->inputReports.append(QByteArray::fromHex("0107") + bytes);
    });
    QVERIFY(m_transport->pollData(0));
    QCOMPARE(dataReady.size(), 0);
    QCOMPARE(m_transport->pop().serialize(), bytes);
}

void ZuHalHidTest::pollDataTimesOut()
{
    QVERIFY(!m_transport->pollData(10));
    openTransport();
    QVERIFY(!m_transport->pollData(30));
    QVERIFY(m_transport->isOpen());
}

void ZuHalHidTest::enumerateWithoutDevices()
{
    if (!QDir(QStringLiteral("/dev")).entryList({QStringLiteral("hidraw*")}, QDir::System).isEmpty())
        QSKIP("HID devices are attached to this machine");
    QVERIFY(ZuHalHidMessenger::enumerate().isEmpty());
}

void ZuHalHidTest::desktopOpenFailsWithoutDevice()
{
    ZuHalHidMessenger::setProxyFactory({});
    ZuHalHidMessenger transport;
    QVERIFY(!transport.open(QStringLiteral("0483:a26a:0042")));
    QVERIFY(!transport.isOpen());
    QCOMPARE(transport.toString(), QStringLiteral("Not opened"));
}

QTEST_GUILESS_MAIN(ZuHalHidTest)
#include "zuhal_hid_test.moc"

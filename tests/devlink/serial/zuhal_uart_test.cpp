#include "pty_pair.h"
#include "zuhal_uart.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ZuHalPacket packetOf(const QByteArray &bytes)
{
    ZuHalPacket packet;
    packet.parse(bytes.constData(), uchar(bytes.size()));
    return packet;
}

// A header and a payload holding both bytes that SLIP escapes.
const QByteArray SamplePacket = QByteArray::fromHex("1012120034000102c0db");

// SLIP frame of SamplePacket with its additive checksum (0x06).
QByteArray sampleFrame()
{
    return QByteArray::fromHex("c01012120034000102dbdcdbdd06c0");
}

serial_port_catalog::Port adapter(const QString &manufacturer, bool hasProductId, quint16 productId)
{
    serial_port_catalog::Port port;
    port.portName = QStringLiteral("ttyACM0");
    port.systemLocation = QStringLiteral("/dev/ttyACM0");
    port.manufacturer = manufacturer;
    port.serialNumber = QStringLiteral("0042");
    port.hasProductIdentifier = hasProductId;
    port.productIdentifier = productId;
    return port;
}

} // namespace

class ZuHalUartTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void portFilter_data();
    void portFilter();
    void enumerateLabelsUnknownAdapters();
    void openSendsGreetingAfterConnected();
    void openUnlistedPortFails();
    void packetsFramedBothWays();
    void pollDataWaitsForFrame();
    void peerCloseDisconnects();
    void receiverMayDeleteTransport_data();
    void receiverMayDeleteTransport();
    void portErrors_data();
    void portErrors();

private:
    void openTransport();

    QTemporaryDir m_settingsDir;
    std::unique_ptr<ListedPty> m_pty;
    ZuHalUartMessenger *m_transport = nullptr;
};

void ZuHalUartTest::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    QCoreApplication::setOrganizationName(QStringLiteral("kolm-test"));
    QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
}

void ZuHalUartTest::init()
{
    m_pty = std::make_unique<ListedPty>();
    QVERIFY(m_pty->isValid());
    m_transport = new ZuHalUartMessenger;
}

void ZuHalUartTest::cleanup()
{
    delete m_transport;
    m_transport = nullptr;
    m_pty.reset();
}

void ZuHalUartTest::openTransport()
{
    QVERIFY2(m_transport->open(m_pty->path()), qPrintable(m_transport->errorString()));
    QCOMPARE(m_pty->read(2), QByteArray("\xC0\xC0", 2));
}

void ZuHalUartTest::portFilter_data()
{
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<bool>("hasProductId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<bool>("listed");

    QTest::newRow("maker's controller") << "Halvane Devices" << true << 0xA26A << true;
    QTest::newRow("maker, other product") << "Halvane Devices" << true << 0x5740 << false;
    QTest::newRow("no manufacturer, no product id") << "" << false << 0 << true;
    QTest::newRow("maker without product id") << "Halvane Devices" << false << 0 << true;
    QTest::newRow("other manufacturer") << "FTDI" << true << 0xA26A << false;
    QTest::newRow("other manufacturer, no product id") << "FTDI" << false << 0 << false;
    QTest::newRow("manufacturer case differs") << "halvane devices" << true << 0xA26A << false;
}

void ZuHalUartTest::portFilter()
{
    QFETCH(QString, manufacturer);
    QFETCH(bool, hasProductId);
    QFETCH(int, productId);
    QTEST(ZuHalUartMessenger::qualifies(adapter(manufacturer, hasProductId, quint16(productId))),
          "listed");
}

void ZuHalUartTest::enumerateLabelsUnknownAdapters()
{
    ScopedPortListing ports({adapter("FTDI", true, 0x6001), adapter("Halvane Devices", true, 0xA26A)});
    const QList<ZuHalDevice> devices = ZuHalUartMessenger::enumerate();
    QCOMPARE(devices.size(), 1);
    QCOMPARE(devices[0].address, QStringLiteral("ttyACM0"));
    QCOMPARE(devices[0].manufacturer, QStringLiteral("Unknown Manufacturer"));
    QCOMPARE(devices[0].product, QStringLiteral("----"));
    QCOMPARE(devices[0].serial, QStringLiteral("0042"));
}

void ZuHalUartTest::openSendsGreetingAfterConnected()
{
    QByteArray seenAtConnected("unset");
    connect(m_transport, &ZuHalAbstractMessenger::connected, this,
            [&] { seenAtConnected = m_pty->read(1, 50); });
    openTransport();
    QCOMPARE(seenAtConnected, QByteArray());
    QVERIFY(m_transport->isOpen());
    QCOMPARE(int(m_transport->type()), 1);
    QCOMPARE(m_transport->transport(), QStringLiteral("usb"));
    QCOMPARE(m_transport->pollTime(), 0);
    QVERIFY(!m_transport->toString().isEmpty());
    // The line was set up from the "Serial" group, defaults written.
    QSettings settings;
    QCOMPARE(settings.value("Serial/Baud").toInt(), 115200);
}

void ZuHalUartTest::openUnlistedPortFails()
{
    ScopedPortListing nothingListed({});
    QSignalSpy connected(m_transport, &ZuHalAbstractMessenger::connected);
    QVERIFY(!m_transport->open(m_pty->path()));
    QVERIFY(!m_transport->isOpen());
    QCOMPARE(connected.size(), 0);
    QVERIFY(!m_transport->open(QPoint(1, 2)));
}

void ZuHalUartTest::packetsFramedBothWays()
{
    openTransport();
    QVERIFY(m_transport->send(packetOf(SamplePacket)));
    QVERIFY(m_transport->send(packetOf(SamplePacket)));
    QCOMPARE(m_pty->read(2 * sampleFrame().size()), sampleFrame() + sampleFrame());

    QSignalSpy dataReady(m_transport, &ZuHalAbstractMessenger::dataReady);
    // Noise outside frames, one frame in two pieces, one with a bad checksum.
    QVERIFY(m_pty->write(QByteArray::fromHex("0c0c") + sampleFrame().left(5)));
    QTest::qWait(20);
    QVERIFY(m_pty->write(sampleFrame().mid(5)));
    QByteArray corrupt = sampleFrame();
    corrupt[corrupt.size() - 2] = 0x07;
    QVERIFY(m_pty->write(corrupt + sampleFrame()));
    QTRY_COMPARE(m_transport->queue(), 2);
    QCOMPARE(dataReady.size(), 2);
    QCOMPARE(m_transport->pop().serialize(), SamplePacket);
    QCOMPARE(m_transport->pop().serialize(), SamplePacket);
}

void ZuHalUartTest::pollDataWaitsForFrame()
{
    QVERIFY(!m_transport->pollData(10));
    openTransport();
    QSignalSpy dataReady(m_transport, &ZuHalAbstractMessenger::dataReady);
    QTimer::singleShot(20, this, [&] { m_pty->write(sampleFrame()); });
    QVERIFY(m_transport->pollData(0));
    QCOMPARE(dataReady.size(), 0);
    QCOMPARE(m_transport->pop().serialize(), SamplePacket);
    QVERIFY(!m_transport->pollData(30));
    QVERIFY(m_transport->isOpen());
}

void ZuHalUartTest::peerCloseDisconnects()
{
    openTransport();
    QSignalSpy disconnected(m_transport, &ZuHalAbstractMessenger::disconnected);
    m_pty->closeSlave();
    m_pty->closeMaster();
    QVERIFY(disconnected.wait());
    QVERIFY(!m_transport->isOpen());
}

void ZuHalUartTest::receiverMayDeleteTransport_data()
{
    QTest::addColumn<bool>("onData");

    QTest::newRow("on disconnected") << false;
    QTest::newRow("on data ready, more frames pending") << true;
}

void ZuHalUartTest::receiverMayDeleteTransport()
{
    QFETCH(bool, onData);
    openTransport();
    QPointer<ZuHalUartMessenger> transport = m_transport;
    m_transport = nullptr;
    const auto dropTransport = [&] { delete transport.data(); };
    connect(transport, &ZuHalAbstractMessenger::disconnected, this, dropTransport);
    connect(transport, &ZuHalAbstractMessenger::dataReady, this, dropTransport);
    if (onData) {
        QVERIFY(m_pty->write(sampleFrame() + sampleFrame()));
    } else {
        m_pty->closeSlave();
        m_pty->closeMaster();
    }
    QTRY_VERIFY(transport.isNull());
}

void ZuHalUartTest::portErrors_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("closes");

    QTest::newRow("resource") << QSerialPort::ResourceError << true;
    QTest::newRow("read") << QSerialPort::ReadError << true;
    QTest::newRow("write") << QSerialPort::WriteError << true;
    QTest::newRow("permission") << QSerialPort::PermissionError << true;
    QTest::newRow("parity") << QSerialPort::ParityError << false;
    QTest::newRow("framing") << QSerialPort::FramingError << false;
    QTest::newRow("timeout") << QSerialPort::TimeoutError << false;
}

void ZuHalUartTest::portErrors()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, closes);
    openTransport();
    QSignalSpy disconnected(m_transport, &ZuHalAbstractMessenger::disconnected);
    QVERIFY(QMetaObject::invokeMethod(m_transport, "com_error", Q_ARG(QSerialPort::SerialPortError, error)));
    // The close, and the notice of it, both wait for the event loop.
    QVERIFY(m_transport->isOpen());
    QCOMPARE(disconnected.size(), 0);
    QTest::qWait(30);
    QCOMPARE(m_transport->isOpen(), !closes);
    QCOMPARE(disconnected.size(), closes ? 1 : 0);
}

QTEST_GUILESS_MAIN(ZuHalUartTest)
#include "zuhal_uart_test.moc"

#include "pty_pair.h"
#include "slip.h"
#include "test_packets.h"
#include "usb_enumerator.h"
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

// Frames of `packets` as the device reads them, once it reads `count`
// bytes (the event loop runs meanwhile, so the port goes on writing).
QList<QByteArray> framesRead(PtyPair &pty, int count)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (bytes.size() < count && clock.elapsed() < 30000) {
        QCoreApplication::processEvents();
        bytes += pty.read(count - bytes.size(), 10);
    }
    QList<QByteArray> frames;
    SlipBuffer slip;
    slip.setCrc8(true);
    QObject::connect(&slip, &SlipBuffer::pktReady, [&](const QByteArray &frame) { frames.append(frame); });
    slip.decode(bytes);
    return frames;
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
    void slowReaderKeepsLink();
    void emptySerialNeverMatches();
    void reopenSignalOrder_data();
    void reopenSignalOrder();

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
    UsbEnumerator::setSource({});
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

    // A full output buffer is reported as a resource error too; the port
    // that is really gone is closed (peerCloseDisconnects).
    QTest::newRow("resource, device still there") << QSerialPort::ResourceError << false;
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

// A device that stops reading for a while: the link stays up, frames queue
// up to a bound and are refused past it, and once the device reads again
// every accepted frame arrives, in order.
void ZuHalUartTest::slowReaderKeepsLink()
{
    openTransport();
    QSignalSpy disconnected(m_transport, &ZuHalAbstractMessenger::disconnected);
    QList<QByteArray> accepted;
    qint64 acceptedBytes = 0;
    bool refused = false;
    for (int i = 0; i < 20000 && !refused; ++i) {
        QByteArray payload(48, char(i));
        payload.prepend(QByteArray::number(i).rightJustified(6, '0'));
        const ZuHalPacket packet = makePacket(0x0012, 0x0002, 1, 2, payload);
        refused = !m_transport->send(packet);
        if (!refused) {
            accepted.append(packet.serialize());
            SlipBuffer slip;
            slip.setCrc8(true);
            acceptedBytes += slip.encode(packet.serialize()).size();
        }
        if (i % 64 == 0)
            QCoreApplication::processEvents();
    }
    QVERIFY2(refused, "the transport queued without bound");
    QVERIFY(acceptedBytes >= ZuHalUartMessenger::MaxQueuedBytes / 2);
    QTest::qWait(50);
    QVERIFY(m_transport->isOpen());
    QCOMPARE(disconnected.size(), 0);

    const QList<QByteArray> frames = framesRead(*m_pty, int(acceptedBytes));
    QCOMPARE(frames.size(), accepted.size());
    QVERIFY(frames == accepted);
    QVERIFY(m_transport->isOpen());
    QCOMPARE(disconnected.size(), 0);
    // With the queue drained, the link takes frames again.
    QVERIFY(m_transport->send(packetOf(SamplePacket)));
    QCOMPARE(m_pty->read(sampleFrame().size()), sampleFrame());
}

// A USB device that reports an empty serial number does not label a port
// without one (a built-in UART).
void ZuHalUartTest::emptySerialNeverMatches()
{
    UsbEnumerator::setSource([] {
        QHash<QString, UsbEnumerator::UsbDevice> devices;
        devices.insert(QString(), {QStringLiteral("Halvane Devices"), QStringLiteral("KOLM-Nano")});
        devices.insert(QStringLiteral("0042"), {QStringLiteral("Halvane Devices"), QStringLiteral("KOLM-One")});
        return devices;
    });
    serial_port_catalog::Port builtIn;
    builtIn.portName = QStringLiteral("ttyS0");
    builtIn.systemLocation = QStringLiteral("/dev/ttyS0");
    ScopedPortListing ports({builtIn, adapter("Halvane Devices", true, 0xA26A)});
    const QList<ZuHalDevice> devices = ZuHalUartMessenger::enumerate();
    QCOMPARE(devices.size(), 2);
    QCOMPARE(devices[0].address, QStringLiteral("ttyS0"));
    QCOMPARE(devices[0].manufacturer, QStringLiteral("Unknown Manufacturer"));
    QCOMPARE(devices[0].product, QStringLiteral("----"));
    QCOMPARE(devices[0].serial, QString());
    QCOMPARE(devices[1].manufacturer, QStringLiteral("Halvane Devices"));
    QCOMPARE(devices[1].product, QStringLiteral("KOLM-One"));
}

void ZuHalUartTest::reopenSignalOrder_data()
{
    QTest::addColumn<QString>("before");

    QTest::newRow("open on an open transport") << "";
    QTest::newRow("port error pending at the reopen") << "error";
    QTest::newRow("closed during pollData, reopened after it") << "poll";
}

// An owner that deletes the transport on disconnected() reopens it: nothing
// of the old link reaches it after the new link's connected().
void ZuHalUartTest::reopenSignalOrder()
{
    QFETCH(QString, before);
    openTransport();
    QPointer<ZuHalUartMessenger> transport = m_transport;
    m_transport = nullptr;
    QStringList events;
    connect(transport, &ZuHalAbstractMessenger::connected, this, [&] { events << "connected"; });
    connect(transport, &ZuHalAbstractMessenger::disconnected, this, [&] {
        events << "disconnected";
        delete transport.data();
    });
    if (before == "error") {
        QVERIFY(QMetaObject::invokeMethod(transport, "com_error",
                                          Q_ARG(QSerialPort::SerialPortError, QSerialPort::WriteError)));
    } else if (before == "poll") {
        // The old link's end is held back while the wait blocks the
        // transport's signals.
        QTimer::singleShot(20, transport, [&] { transport->close(); });
        QVERIFY(!transport->pollData(0));
    }
    QVERIFY(transport->open(m_pty->path()));
    QTest::qWait(50);
    QVERIFY2(!transport.isNull(), qPrintable(events.join(", ")));
    QVERIFY(transport->isOpen());
    QCOMPARE(events.lastIndexOf("connected"), events.size() - 1);
    QVERIFY(transport->send(packetOf(SamplePacket)));
    QVERIFY(m_pty->read(2 + sampleFrame().size()).endsWith(sampleFrame()));
    delete transport.data();
}

QTEST_GUILESS_MAIN(ZuHalUartTest)
#include "zuhal_uart_test.moc"

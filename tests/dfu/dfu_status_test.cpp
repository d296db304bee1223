#include "dfu_status.h"
#include "hid_bootloader.h"
#include "serial_bootloader.h"
#include "uartcommunicator.h"

#include <QPointer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(DFUStatus)

namespace {

DFUStatus statusOf(uint8_t flags, uint8_t error, uint32_t address, uint32_t limit, uint32_t hardwareId)
{
    DFUStatus status;
    status.flags = flags;
    status.error = error;
    status.address = address;
    status.limit = limit;
    status.hardwareId = hardwareId;
    return status;
}

// What a failed read must leave behind: the record as it was.
const DFUStatus Untouched = statusOf(0xAA, 0xBB, 0xCCCCCCCC, 0xDDDDDDDD, 0xEEEEEEEE);
const DFUStatus Reported = statusOf(0x02, 0x05, 0x00000038, 0x00010000, 0x12345678);

constexpr uint8_t Target = 0x21;

} // namespace

class DfuStatusTest : public QObject
{
    Q_OBJECT

private slots:
    void usbStatus_data();
    void usbStatus();
    void usbStatusWithoutDevice();
    void serialStatus_data();
    void serialStatus();
    void serialStatusIgnoresStaleFrame();
    void serialStatusWithoutLink();
    void serialStatusWhenLinkGoes_data();
    void serialStatusWhenLinkGoes();
    void errorStrings_data();
    void errorStrings();
};

void DfuStatusTest::usbStatus_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("read");
    QTest::addColumn<DFUStatus>("expected");

    const QByteArray bytes = bootloaderStatusBytes(Reported);
    QTest::newRow("14 bytes") << bytes << true << true << Reported;
    QTest::newRow("13 bytes unread") << bytes.left(13) << true << false << Untouched;
    QTest::newRow("16 bytes read from the first 14")
        << bytes + QByteArray::fromHex("ffff") << true << true << Reported;
    QTest::newRow("no bytes") << QByteArray() << true << false << Untouched;
    QTest::newRow("read fails") << bytes << false << false << Untouched;

    DFUStatus above = Reported;
    above.limit = 0x08010000;
    QTest::newRow("limit above the flash base")
        << bootloaderStatusBytes(above) << true << true << statusOf(0x02, 0x05, 0x38, 0x00010000, 0x12345678);
    DFUStatus base = Reported;
    base.limit = 0x08000000;
    QTest::newRow("limit at the flash base stays") << bootloaderStatusBytes(base) << true << true << base;
}

void DfuStatusTest::usbStatus()
{
    QFETCH(QByteArray, report);
    QFETCH(bool, readable);
    SimulatedHidBootloader bootloader;
    bootloader.statusReply = report;
    bootloader.failFeatureReads = !readable;
    DFUStatus status = Untouched;
    QTEST(getStatus(&bootloader, &status), "read");
    QTEST(status, "expected");
    QCOMPARE(bootloader.featureReads, QList<int>{3});
}

void DfuStatusTest::usbStatusWithoutDevice()
{
    DFUStatus status = Untouched;
    QVERIFY(!getStatus(nullptr, &status));
    SimulatedHidBootloader bootloader;
    bootloader.close();
    QVERIFY(!getStatus(&bootloader, &status));
    QCOMPARE(status, Untouched);
}

void DfuStatusTest::serialStatus_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("replyAddress");
    QTest::addColumn<int>("baud");
    QTest::addColumn<bool>("read");
    QTest::addColumn<DFUStatus>("expected");

    const QByteArray reply = QByteArray::fromHex("03") + bootloaderStatusBytes(Reported);
    QTest::newRow("15 bytes from the target") << reply << int(Target) << 115200 << true << Reported;
    QTest::newRow("echo byte not checked")
        << QByteArray::fromHex("77") + bootloaderStatusBytes(Reported) << int(Target) << 115200 << true << Reported;
    QTest::newRow("14 bytes") << reply.left(14) << int(Target) << 115200 << false << Untouched;
    QTest::newRow("16 bytes") << reply + "x" << int(Target) << 115200 << false << Untouched;
    QTest::newRow("another address") << reply << int(Target + 1) << 115200 << false << Untouched;
    // The limit comes unchanged over the serial line.
    DFUStatus above = Reported;
    above.limit = 0x08010000;
    QTest::newRow("limit taken unchanged")
        << QByteArray::fromHex("03") + bootloaderStatusBytes(above) << int(Target) << 115200 << true << above;
    // 4000000 / rate rounds to 0 ms above 4 Mbaud: the answer is still awaited.
    QTest::newRow("very fast line") << reply << int(Target) << 8000000 << true << Reported;
    QTest::newRow("no answer") << QByteArray() << int(Target) << 115200 << false << Untouched;
}

void DfuStatusTest::serialStatus()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, replyAddress);
    QFETCH(int, baud);
    ListedPty pty;
    QVERIFY(pty.isValid());
    SerialBootloaderPeer peer(pty, Target);
    if (reply.isEmpty())
        peer.silent = true;
    else
        peer.statusReply = reply;
    peer.replyAddress = uint8_t(replyAddress);
    UARTCommunicator link;
    QVERIFY(link.open(pty.path(), {{"RS485/Baud", 115200}}));
    link.setTarget(Target);
    link.setBaud(baud);

    DFUStatus status = Untouched;
    QTEST(getUStatus(&link, &status), "read");
    QTEST(status, "expected");
    QCOMPARE(peer.received, QList<UARTMessage>{UARTMessage(Target, QByteArray::fromHex("03"))});
    // The answer was consumed either way.
    QCOMPARE(link.queue(), 0);
}

void DfuStatusTest::serialStatusIgnoresStaleFrame()
{
    ListedPty pty;
    QVERIFY(pty.isValid());
    SerialBootloaderPeer peer(pty, Target);
    UARTCommunicator link;
    QVERIFY(link.open(pty.path(), {{"RS485/Baud", 115200}}));
    link.setTarget(Target);

    // A status frame left over from an earlier exchange.
    peer.status = statusOf(0x01, 0, 0, 0, 0x0BADBAD0);
    QVERIFY(peer.sendFrame(Target, peer.statusPayload()));
    QTRY_VERIFY(link.pending());
    peer.status = Reported;

    DFUStatus status = Untouched;
    QVERIFY(getUStatus(&link, &status));
    QCOMPARE(status, Reported);
}

void DfuStatusTest::serialStatusWithoutLink()
{
    DFUStatus status = Untouched;
    QVERIFY(!getUStatus(nullptr, &status));
    UARTCommunicator closed;
    QVERIFY(!getUStatus(&closed, &status));
    QCOMPARE(status, Untouched);
}

void DfuStatusTest::serialStatusWhenLinkGoes_data()
{
    QTest::addColumn<bool>("deleteLink");

    QTest::newRow("closed during the wait") << false;
    QTest::newRow("deleted during the wait") << true;
}

void DfuStatusTest::serialStatusWhenLinkGoes()
{
    QFETCH(bool, deleteLink);
    ListedPty pty;
    QVERIFY(pty.isValid());
    SerialBootloaderPeer peer(pty, Target);
    peer.silent = true;
    QPointer<UARTCommunicator> link = new UARTCommunicator;
    QVERIFY(link->open(pty.path(), {{"RS485/Baud", 115200}}));
    link->setTarget(Target);
    // A very slow line: without the end of the link the wait would last 400 s.
    link->setBaud(10);
    QTimer::singleShot(30, this, [&] {
        if (deleteLink)
            delete link.data();
        else
            link->close();
    });
    DFUStatus status = Untouched;
    QVERIFY(!getUStatus(link, &status));
    QCOMPARE(status, Untouched);
    QCOMPARE(link.isNull(), deleteLink);
    delete link.data();
}

void DfuStatusTest::errorStrings_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << 0 << "no error";
    QTest::newRow("1") << 1 << "flash operation";
    QTest::newRow("2") << 2 << "busy";
    QTest::newRow("3") << 3 << "invalid address";
    QTest::newRow("4") << 4 << "alignment error";
    QTest::newRow("5") << 5 << "write to non-erased area";
    QTest::newRow("6") << 6 << "read/write protected";
    QTest::newRow("7") << 7 << "crc error";
    QTest::newRow("8") << 8 << "overrun";
    QTest::newRow("9") << 9 << "unknown error";
    QTest::newRow("255") << 255 << "unknown error";
}

void DfuStatusTest::errorStrings()
{
    QFETCH(int, code);
    QTEST(dfu_error_string(static_cast<unsigned char>(code)), "text");
}

QTEST_GUILESS_MAIN(DfuStatusTest)
#include "dfu_status_test.moc"

#include "usb_enumerator.h"
#include "usb_string_descriptor.h"
#include "usb_zero_length_packet.h"

#include <QDir>
#include <QtTest>

class UsbStringDescriptorTest : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void zeroLengthPacket_data();
    void zeroLengthPacket();
    void enumeratorFilter_data();
    void enumeratorFilter();
    void enumerateWithoutDevices();
};

void UsbStringDescriptorTest::decode_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");

    QTest::newRow("utf-16le") << QByteArray::fromHex("0803480069002100") << "Hi!" << 0;
    QTest::newRow("utf-16le beyond latin-1")
        << QByteArray::fromHex("060341002004") << QString::fromUtf8("AР") << 0;
    QTest::newRow("8-bit text") << QByteArray::fromHex("0603414243") << "ABC" << 0;
    QTest::newRow("8-bit text of another type") << QByteArray::fromHex("0601414243") << "ABC" << 0;
    QTest::newRow("length byte shorter than the answer")
        << QByteArray::fromHex("0603480069002100") << "Hi" << 0;
    QTest::newRow("answer shorter than the length byte")
        << QByteArray::fromHex("20034800690021") << "Hi" << 0;
    QTest::newRow("too short") << QByteArray::fromHex("030348") << "" << 0;
    QTest::newRow("length byte below 4") << QByteArray::fromHex("0303480069") << "" << 0;
    QTest::newRow("empty answer") << QByteArray() << "" << 0;
    QTest::newRow("not a string descriptor")
        << QByteArray::fromHex("0602480069") << "" << int(usb_string_descriptor::InvalidType);
}

void UsbStringDescriptorTest::decode()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, text);
    QFETCH(int, status);
    if (status != 0)
        QTest::ignoreMessage(QtCriticalMsg, "test: bad type");
    int actualStatus = 1;
    const QString actual = usb_string_descriptor::decode(
        reinterpret_cast<const unsigned char *>(answer.constData()), answer.size(), &actualStatus,
        "test: bad type");
    QCOMPARE(actual, text);
    QCOMPARE(actualStatus, status);
}

void UsbStringDescriptorTest::zeroLengthPacket_data()
{
    QTest::addColumn<int>("transferred");
    QTest::addColumn<int>("maxPacketSize");
    QTest::addColumn<bool>("needed");

    QTest::newRow("64 on 64") << 64 << 64 << true;
    QTest::newRow("63 on 64") << 63 << 64 << false;
    QTest::newRow("512 on 512") << 512 << 512 << true;
    QTest::newRow("128 on 512") << 128 << 512 << true;
    QTest::newRow("100 on 512") << 100 << 512 << false;
    QTest::newRow("8 on 8") << 8 << 8 << true;
    QTest::newRow("24 on 8") << 24 << 8 << false;
    QTest::newRow("nothing") << 0 << 64 << true;
}

void UsbStringDescriptorTest::zeroLengthPacket()
{
    QFETCH(int, transferred);
    QFETCH(int, maxPacketSize);
    QFETCH(bool, needed);
    QCOMPARE(needsZeroLengthPacket(transferred, maxPacketSize), needed);
}

void UsbStringDescriptorTest::enumeratorFilter_data()
{
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<bool>("qualifies");

    QTest::newRow("controller") << 0x0483 << 0xA26A << true;
    QTest::newRow("maker's other product") << 0x0483 << 0x5740 << true;
    QTest::newRow("other vendor, controller product") << 0x1234 << 0xA26A << true;
    QTest::newRow("other device") << 0x1234 << 0x5740 << false;
}

void UsbStringDescriptorTest::enumeratorFilter()
{
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    QFETCH(bool, qualifies);
    QCOMPARE(UsbEnumerator::qualifies(vendorId, productId), qualifies);
}

void UsbStringDescriptorTest::enumerateWithoutDevices()
{
    if (QDir(QStringLiteral("/dev/bus/usb")).exists())
        QSKIP("USB devices may be attached to this machine");
    QVERIFY(UsbEnumerator::instance().enumerate().isEmpty());
}

QTEST_GUILESS_MAIN(UsbStringDescriptorTest)
#include "usb_string_descriptor_test.moc"

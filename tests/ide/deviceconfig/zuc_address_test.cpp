// Text forms of device addresses.

#include "zuc_address.h"

#include <QtTest>

class ZucAddressTest : public QObject
{
    Q_OBJECT
private slots:
    void fromString_data();
    void fromString();
    void nullOkIsAllowed();
    void toString_data();
    void toString();
    void everyAddressReadsBack();
};

void ZucAddressTest::fromString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("address");
    QTest::newRow("bcst") << "bcst" << true << 0xFFFF;
    QTest::newRow("BCST") << "BCST" << true << 0xFFFF;
    QTest::newRow("All") << "All" << true << 0xFFFF;
    QTest::newRow("65535") << "65535" << true << 0xFFFF;
    QTest::newRow("65536") << "65536" << false << 0xFFFF;
    QTest::newRow("FFFF") << "FFFF" << true << 0xFFFF;
    QTest::newRow("12 decimal first") << "12" << true << 12;
    QTest::newRow("12h") << "12h" << true << 0x12;
    QTest::newRow("0x12") << "0x12" << true << 0x12;
    QTest::newRow("0012h") << "0012h" << true << 0x12;
    QTest::newRow("1h2") << "1h2" << true << 0x12;
    QTest::newRow("0") << "0" << true << 0;
    QTest::newRow("empty") << "" << false << 0xFFFF;
    QTest::newRow("word") << "nobody" << false << 0xFFFF;
    QTest::newRow("negative") << "-1" << false << 0xFFFF;
    QTest::newRow("hex too wide") << "10000h" << false << 0xFFFF;
    QTest::newRow("upper H stays") << "12H" << false << 0xFFFF;
    QTest::newRow("huge") << "99999999999999999999" << false << 0xFFFF;
}

void ZucAddressTest::fromString()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, address);
    bool parsed = !ok;
    QCOMPARE(int(ZUC_ADDRESS::fromString(text, &parsed)), address);
    QCOMPARE(parsed, ok);
}

void ZucAddressTest::nullOkIsAllowed()
{
    QCOMPARE(ZUC_ADDRESS::fromString("2Ah"), quint16(0x2A));
    QCOMPARE(ZUC_ADDRESS::fromString("junk"), quint16(0xFFFF));
}

void ZucAddressTest::toString_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0000h";
    QTest::newRow("2A") << 0x2A << "002Ah";
    QTest::newRow("ABCD") << 0xABCD << "ABCDh";
    QTest::newRow("FFFE") << 0xFFFE << "FFFEh";
    QTest::newRow("broadcast") << 0xFFFF << "bcst";
}

void ZucAddressTest::toString()
{
    QFETCH(int, address);
    QFETCH(QString, text);
    QCOMPARE(ZUC_ADDRESS::toString(quint16(address)), text);
}

void ZucAddressTest::everyAddressReadsBack()
{
    for (int address = 0; address <= 0xFFFF; ++address) {
        bool ok = false;
        const QString text = ZUC_ADDRESS::toString(quint16(address));
        if (ZUC_ADDRESS::fromString(text, &ok) != address || !ok)
            QFAIL(qPrintable(QString("%1 does not read back").arg(text)));
    }
}

QTEST_GUILESS_MAIN(ZucAddressTest)
#include "zuc_address_test.moc"

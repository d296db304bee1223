// Configuration blocks of both layouts: factory state, byte layout, parsing
// of untrusted bytes, dump text and the name tables.

#include "v1_cc1101_v1.h"
#include "v2_io_v1.h"
#include "zucstrings.h"

#include <QRandomGenerator>
#include <QtTest>

class ConfigBlockTest : public QObject
{
    Q_OBJECT
private slots:
    void factoryBytes_data();
    void factoryBytes();
    void initKeepsOnlyReservedBits();
    void parseReadsFieldsAtTheirOffsets();
    void shortArrayIsRefused_data();
    void shortArrayIsRefused();
    void longerArrayParsesTheBlockOnly();
    void randomBlocksRoundTrip();
    void dumpOfFactoryV1();
    void dumpOfFactoryV2();
    void dumpShowsEveryBitField();
    void nameTables();
};

static QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

void ConfigBlockTest::factoryBytes_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("v1") << 1 << hex("B1140000766221002580010000000000");
    QTest::newRow("v2") << 2 << hex("9204000000000000");
}

void ConfigBlockTest::factoryBytes()
{
    QFETCH(int, version);
    QFETCH(QByteArray, bytes);
    if (version == 1) {
        CFG_V1::ZUC_RFPLCCONFIG block;
        block.init();
        QCOMPARE(block.serialize(), bytes);
    } else {
        CFG_V2::ZUC_RFPLCCONFIG block;
        block.init();
        QCOMPARE(block.serialize(), bytes);
    }
}

void ConfigBlockTest::initKeepsOnlyReservedBits()
{
    CFG_V1::ZUC_RFPLCCONFIG v1;
    v1.Header = 0xFFFF;
    v1.Address = 0x1234;
    v1.RFreq = 0xFFFFFFFF;
    v1.RFlags = 0xFFFFFFFF;
    v1.ASMBin = 99;
    v1.init();
    QCOMPARE(v1.Header, quint16(0x94B1));
    QCOMPARE(v1.Address, quint16(0));
    QCOMPARE(v1.RFreq, quint32(0x216276));
    QCOMPARE(v1.RFlags, quint32(0xFFFE0000 | 0x18025));
    QCOMPARE(v1.ASMBin, quint32(0));

    v1.RFlags = 1u << 20;
    v1.Header = 0;
    v1.init();
    QCOMPARE(v1.RFlags, quint32((1u << 20) | 0x18025));
    QCOMPARE(v1.Header, quint16(0x14B1));

    CFG_V2::ZUC_RFPLCCONFIG v2;
    v2.Header = 0xFFFF;
    v2.Address = 7;
    v2.ASMBin = 7;
    v2.init();
    QCOMPARE(v2.Header, quint16(0x8492));
    QCOMPARE(v2.Address, quint16(0));
    QCOMPARE(v2.ASMBin, quint32(0));
}

void ConfigBlockTest::parseReadsFieldsAtTheirOffsets()
{
    const QByteArray bytes = hex("0102030405060708090A0B0C0D0E0F10");
    CFG_V1::ZUC_RFPLCCONFIG v1;
    QVERIFY(v1.parse(bytes));
    QCOMPARE(v1.Header, quint16(0x0201));
    QCOMPARE(v1.Address, quint16(0x0403));
    QCOMPARE(v1.RFreq, quint32(0x08070605));
    QCOMPARE(v1.RFlags, quint32(0x0C0B0A09));
    QCOMPARE(v1.ASMBin, quint32(0x100F0E0D));

    CFG_V2::ZUC_RFPLCCONFIG v2;
    QVERIFY(v2.parse(bytes));
    QCOMPARE(v2.Header, quint16(0x0201));
    QCOMPARE(v2.Address, quint16(0x0403));
    QCOMPARE(v2.ASMBin, quint32(0x08070605));
}

void ConfigBlockTest::shortArrayIsRefused_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("size");
    QTest::newRow("v1 empty") << 1 << 0;
    QTest::newRow("v1 15 bytes") << 1 << 15;
    QTest::newRow("v2 empty") << 2 << 0;
    QTest::newRow("v2 7 bytes") << 2 << 7;
}

void ConfigBlockTest::shortArrayIsRefused()
{
    QFETCH(int, version);
    QFETCH(int, size);
    const QByteArray data(size, '\x5A');
    if (version == 1) {
        CFG_V1::ZUC_RFPLCCONFIG block;
        block.init();
        const QByteArray before = block.serialize();
        QVERIFY(!block.parse(data));
        QCOMPARE(block.serialize(), before);
    } else {
        CFG_V2::ZUC_RFPLCCONFIG block;
        block.init();
        const QByteArray before = block.serialize();
        QVERIFY(!block.parse(data));
        QCOMPARE(block.serialize(), before);
    }
}

void ConfigBlockTest::longerArrayParsesTheBlockOnly()
{
    const QByteArray block16 = hex("0102030405060708090A0B0C0D0E0F10");
    CFG_V1::ZUC_RFPLCCONFIG v1;
    QVERIFY(v1.parse(block16 + "\xEE"));
    QCOMPARE(v1.serialize(), block16);

    CFG_V2::ZUC_RFPLCCONFIG v2;
    QVERIFY(v2.parse(block16));
    QCOMPARE(v2.serialize(), block16.left(8));
}

void ConfigBlockTest::randomBlocksRoundTrip()
{
    QRandomGenerator random(38);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(16, '\0');
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        CFG_V1::ZUC_RFPLCCONFIG v1;
        QVERIFY(v1.parse(bytes));
        QCOMPARE(v1.serialize(), bytes);
        CFG_V2::ZUC_RFPLCCONFIG v2;
        QVERIFY(v2.parse(bytes));
        QCOMPARE(v2.serialize(), bytes.left(8));
    }
}

void ConfigBlockTest::dumpOfFactoryV1()
{
    CFG_V1::ZUC_RFPLCCONFIG block;
    block.init();
    QCOMPARE(block.dump(2),
             QString("  Header:\n"
                     "    .id\t1\n"
                     "    .mcuid\t3\n"
                     "    .iface\t1\n"
                     "    .lang\t1\n"
                     "    .transport\t1\n"
                     "  Address:\t0\n"
                     "  RFreq:\t2187894\n"
                     "  RFlags:\n"
                     "    .speed\t5\n"
                     "    .power\t4\n"
                     "    .channel\t0\n"
                     "    .init\t1\n"
                     "    .remote\t1\n"
                     "  ASMBin:\t0\n"));
}

void ConfigBlockTest::dumpOfFactoryV2()
{
    CFG_V2::ZUC_RFPLCCONFIG block;
    block.init();
    block.Address = 0xFFFF;
    QCOMPARE(block.dump(0),
             QString("Header:\n"
                     ".id\t2\n"
                     ".mcuid\t1\n"
                     ".iface\t1\n"
                     ".lang\t1\n"
                     ".transport\t0\n"
                     "Address:\t65535\n"
                     "ASMBin:\t0\n"));
}

// Every sub-field at its widest value, with the uninterpreted bits set too:
// a mask that is too wide or too narrow shows as a wrong number.
void ConfigBlockTest::dumpShowsEveryBitField()
{
    CFG_V1::ZUC_RFPLCCONFIG block;
    block.Header = 0xFFFF;
    block.RFlags = 0xFFFFFFFF;
    block.RFreq = 0xFFFFFFFF;
    block.ASMBin = 0x80000000;
    const QString text = block.dump(1);
    for (const char *line : {"  .id\t15\n", "  .mcuid\t7\n", "  .iface\t7\n", "  .lang\t3\n",
                             "  .transport\t7\n", " RFreq:\t4294967295\n", "  .speed\t7\n",
                             "  .power\t15\n", "  .channel\t255\n", "  .init\t1\n",
                             "  .remote\t1\n", " ASMBin:\t2147483648\n"})
        QVERIFY2(text.contains(QLatin1String(line)), line);

    // One field at a time, so neighbouring fields do not bleed into each other.
    block.Header = 0x7000;
    block.RFlags = 0x7F80;
    const QString single = block.dump(0);
    QVERIFY(single.contains(".id\t0\n.mcuid\t0\n.iface\t0\n.lang\t0\n.transport\t7\n"));
    QVERIFY(single.contains(".speed\t0\n.power\t0\n.channel\t255\n.init\t0\n.remote\t0\n"));
}

void ConfigBlockTest::nameTables()
{
    using namespace CFG_V1::ZUCStrings;
    QCOMPARE(RFPLCCONFIG_HEADER_MCUID(), QStringList({"INV", "F0", "F1", "L0", "L1", "WB"}));
    QCOMPARE(RFPLCCONFIG_HEADER_IFACE(), QStringList({"NONE", "USB", "UART"}));
    QCOMPARE(RFPLCCONFIG_HEADER_LANG(), QStringList({"NONE", "KolM"}));
    QCOMPARE(RFPLCCONFIG_HEADER_TRANSPORT(),
             QStringList({"NONE", "CC1101", "SI4463", "BLE", "WIFI", "LAN"}));
    QCOMPARE(RFPLCCONFIG_RFLAGS_SPEED(),
             QStringList({"1.2", "2.4", "4.8", "10", "38", "100", "250", "500"}));
    QCOMPARE(RFPLCCONFIG_RFLAGS_POWER(),
             QStringList({"12dBm", "10dBm", "7dBm", "5dBm", "0dBm", "-6dbm", "-10dbm",
                          "-15dbm", "-20dbm", "-30dbm"}));
    // The factory values name what init() promises.
    QCOMPARE(RFPLCCONFIG_RFLAGS_SPEED().at(5), QString("100"));
    QCOMPARE(RFPLCCONFIG_RFLAGS_POWER().at(4), QString("0dBm"));
    // The version-2 header lists are the same rows.
    QCOMPARE(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_MCUID(), RFPLCCONFIG_HEADER_MCUID());
    QCOMPARE(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_IFACE(), RFPLCCONFIG_HEADER_IFACE());
    QCOMPARE(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_LANG(), RFPLCCONFIG_HEADER_LANG());
    QCOMPARE(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_TRANSPORT(), RFPLCCONFIG_HEADER_TRANSPORT());
}

QTEST_GUILESS_MAIN(ConfigBlockTest)
#include "config_block_test.moc"

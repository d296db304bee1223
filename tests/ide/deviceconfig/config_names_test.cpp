// Looking up configuration field values: the names of table entries, the
// combo boxes of the editors and the block's version id, one table of cases.

#include "safecomboset.h"
#include "zucstrings.h"

#include <QComboBox>
#include <QtTest>

namespace {

enum class Lookup { Name, Combo, HeaderId };

const QStringList &table(const QString &name)
{
    using namespace CFG_V1::ZUCStrings;
    if (name == QLatin1String("mcu"))
        return RFPLCCONFIG_HEADER_MCUID();
    if (name == QLatin1String("transport"))
        return RFPLCCONFIG_HEADER_TRANSPORT();
    if (name == QLatin1String("lang"))
        return RFPLCCONFIG_HEADER_LANG();
    if (name == QLatin1String("speed"))
        return RFPLCCONFIG_RFLAGS_SPEED();
    return RFPLCCONFIG_RFLAGS_POWER();
}

} // namespace

Q_DECLARE_METATYPE(Lookup)

class ConfigNamesTest : public QObject
{
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void versionTwoSharesTheHeaderNames();
};

void ConfigNamesTest::lookup_data()
{
    QTest::addColumn<Lookup>("lookup");
    // The name table for Name; the item count for Combo; unused for HeaderId.
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("items");
    // The index looked up, or the header word.
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("fallback");
    QTest::addColumn<QString>("expected");

    QTest::newRow("mcu 5") << Lookup::Name << "mcu" << 0 << 5 << 0 << "WB";
    QTest::newRow("mcu 6 unnamed") << Lookup::Name << "mcu" << 0 << 6 << 0 << "Unknown";
    QTest::newRow("mcu 7 unnamed") << Lookup::Name << "mcu" << 0 << 7 << 0 << "Unknown";
    QTest::newRow("mcu -1") << Lookup::Name << "mcu" << 0 << -1 << 0 << "Unknown";
    QTest::newRow("power 4") << Lookup::Name << "power" << 0 << 4 << 0 << "0dBm";
    QTest::newRow("power 9") << Lookup::Name << "power" << 0 << 9 << 0 << "-30dbm";
    QTest::newRow("power 10 unnamed") << Lookup::Name << "power" << 0 << 10 << 0 << "Unknown";
    QTest::newRow("speed 7") << Lookup::Name << "speed" << 0 << 7 << 0 << "500";
    QTest::newRow("transport 5") << Lookup::Name << "transport" << 0 << 5 << 0 << "LAN";
    QTest::newRow("transport 6 unnamed") << Lookup::Name << "transport" << 0 << 6 << 0 << "Unknown";
    QTest::newRow("lang 1") << Lookup::Name << "lang" << 0 << 1 << 0 << "KolM";
    QTest::newRow("lang 2 unnamed") << Lookup::Name << "lang" << 0 << 2 << 0 << "Unknown";

    QTest::newRow("combo of 8, index 8") << Lookup::Combo << "" << 8 << 8 << 5 << "5";
    QTest::newRow("combo of 8, index 7") << Lookup::Combo << "" << 8 << 7 << 5 << "7";
    QTest::newRow("combo of 8, index 0") << Lookup::Combo << "" << 8 << 0 << 5 << "0";
    QTest::newRow("combo of 8, negative index") << Lookup::Combo << "" << 8 << -1 << 5 << "-1";
    QTest::newRow("combo of 10, index 12") << Lookup::Combo << "" << 10 << 12 << 4 << "4";

    QTest::newRow("header low bits all set") << Lookup::HeaderId << "" << 0 << 0xFFFF << 0 << "15";
    QTest::newRow("header 0x0001") << Lookup::HeaderId << "" << 0 << 0x0001 << 0 << "1";
    QTest::newRow("header 0xFFF1") << Lookup::HeaderId << "" << 0 << 0xFFF1 << 0 << "1";
    QTest::newRow("factory v1 header") << Lookup::HeaderId << "" << 0 << 0x14B1 << 0 << "1";
    QTest::newRow("factory v2 header") << Lookup::HeaderId << "" << 0 << 0x0492 << 0 << "2";
    QTest::newRow("header 0x14B3") << Lookup::HeaderId << "" << 0 << 0x14B3 << 0 << "3";
}

void ConfigNamesTest::lookup()
{
    QFETCH(Lookup, lookup);
    QFETCH(QString, table);
    QFETCH(int, items);
    QFETCH(int, value);
    QFETCH(int, fallback);
    QFETCH(QString, expected);
    switch (lookup) {
    case Lookup::Name:
        QCOMPARE(safeArg(::table(table), value), expected);
        break;
    case Lookup::Combo: {
        QComboBox combo;
        for (int i = 0; i < items; ++i)
            combo.addItem(QString::number(i));
        combo.setCurrentIndex(2);
        safeComboSet(&combo, value, fallback);
        QCOMPARE(QString::number(combo.currentIndex()), expected);
        break;
    }
    case Lookup::HeaderId:
        QCOMPARE(QString::number(header_id_get(static_cast<unsigned short>(value))), expected);
        break;
    }
}

void ConfigNamesTest::versionTwoSharesTheHeaderNames()
{
    QCOMPARE(safeArg(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_MCUID(), 3), QStringLiteral("L0"));
    QCOMPARE(safeArg(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_TRANSPORT(), 1), QStringLiteral("CC1101"));
    QCOMPARE(safeArg(CFG_V2::ZUCStrings::RFPLCCONFIG_HEADER_LANG(), 3), QStringLiteral("Unknown"));
}

QTEST_MAIN(ConfigNamesTest)
#include "config_names_test.moc"

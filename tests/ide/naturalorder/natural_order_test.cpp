// The natural order of names: numbers inside names by value, everything
// else by character code, a total order even where values tie.

#include "natural_order.h"

#include <QtTest>

class NaturalOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void compare_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<int>("order"); // sign of naturalCompare(left, right)

        QTest::newRow("one digit against two") << "PA2" << "PA10" << -1;
        QTest::newRow("numbers of one length") << "PA13" << "PA12" << 1;
        QTest::newRow("equal") << "PA7" << "PA7" << 0;
        QTest::newRow("number beyond 64 bits")
            << "R99999999999999999999999" << "R100000000000000000000000" << -1;
        QTest::newRow("leading zeros do not count") << "CH002" << "CH10" << -1;
        QTest::newRow("equal values fall back to plain order") << "PA01" << "PA1" << -1;
        QTest::newRow("equal values, later text decides") << "A01B" << "A1C" << -1;
        QTest::newRow("second number decides") << "P1_10" << "P1_9" << 1;
        QTest::newRow("prefix first") << "CH12" << "CH12_EXT" << -1;
        QTest::newRow("empty first") << "" << "A" << -1;
        QTest::newRow("digit before letter") << "PA" << "P0" << 1;
        QTest::newRow("case-sensitive") << "B" << "a" << -1;
        QTest::newRow("underscore by its code") << "RAM_FREE" << "RAMX" << 1;
        QTest::newRow("only ASCII digits are numbers") << QString("X\u0662") << "X10" << 1;
    }

    void compare()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(int, order);
        QCOMPARE(naturalCompare(left, right), order);
        QCOMPARE(naturalCompare(right, left), -order);
        QCOMPARE(naturalLess(left, right), order < 0);
    }

    void sortsPackageNames()
    {
        const std::vector<std::string> names = {"PA10", "PA1", "TIME", "PA0", "PA2", "FLASH", "PA11"};
        const std::vector<std::string> sorted = {"FLASH", "PA0", "PA1", "PA2", "PA10", "PA11", "TIME"};
        QCOMPARE(naturallySorted(names), sorted);
        QVERIFY(naturallySorted({}).empty());
    }

    // Names keep their bytes: a name in UTF-8 sorts by its text and comes
    // back unchanged, ready to look the package up.
    void keepsUtf8Names()
    {
        const std::string umlaut = "\xC3\x9C" "2"; // "Ü2"
        const std::vector<std::string> sorted = naturallySorted({umlaut, "Z10", "Z9"});
        QCOMPARE(sorted, (std::vector<std::string>{"Z9", "Z10", umlaut}));
    }
};

QTEST_MAIN(NaturalOrderTest)
#include "natural_order_test.moc"

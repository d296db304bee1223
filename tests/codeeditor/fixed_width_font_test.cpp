// The fixed-width font: told by the advances of its glyphs as drawn, the
// first family that has equal ones chosen, and the size asked for kept.

#include "fixedwidthfont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

class FixedWidthFontTest : public QObject
{
    Q_OBJECT

private slots:
    void equalAdvances_data();
    void equalAdvances();
    void firstEqualAdvanceFont_data();
    void firstEqualAdvanceFont();
    void fixedWidthFontLinesUp_data();
    void fixedWidthFontLinesUp();
};

void FixedWidthFontTest::equalAdvances_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("equal");
    QTest::newRow("DejaVu Sans Mono") << "DejaVu Sans Mono" << true;
    QTest::newRow("DejaVu Sans") << "DejaVu Sans" << false;
    QTest::newRow("DejaVu Serif") << "DejaVu Serif" << false;
}

void FixedWidthFontTest::equalAdvances()
{
    QFETCH(QString, family);
    QFETCH(bool, equal);
    const QFont font(family, 10);
    QCOMPARE(QFontInfo(font).family(), family);
    QCOMPARE(hasEqualAdvances(font), equal);
    // Told by the glyphs, not by what was asked for.
    QFont asked = font;
    asked.setFixedPitch(true);
    QCOMPARE(hasEqualAdvances(asked), equal);
}

void FixedWidthFontTest::firstEqualAdvanceFont_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("proportional first") << QStringList{"DejaVu Sans", "DejaVu Sans Mono"}
                                        << "DejaVu Sans Mono";
    QTest::newRow("fixed first") << QStringList{"DejaVu Sans Mono", "DejaVu Sans"}
                                 << "DejaVu Sans Mono";
    QTest::newRow("none fixed: the last") << QStringList{"DejaVu Sans", "DejaVu Serif"}
                                          << "DejaVu Serif";
}

void FixedWidthFontTest::firstEqualAdvanceFont()
{
    QFETCH(QStringList, families);
    QFETCH(QString, chosen);
    QList<QFont> candidates;
    for (const QString& family : families)
        candidates.append(QFont(family, 10));
    QCOMPARE(::firstEqualAdvanceFont(candidates).family(), chosen);
}

void FixedWidthFontTest::fixedWidthFontLinesUp_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("expected");
    const int system = QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize();
    QTest::newRow("system size") << 0 << system;
    QTest::newRow("10 points") << 10 << 10;
    QTest::newRow("17 points") << 17 << 17;
}

void FixedWidthFontTest::fixedWidthFontLinesUp()
{
    QFETCH(int, pointSize);
    QFETCH(int, expected);
    const QFont font = fixedWidthFont(pointSize);
    QVERIFY2(hasEqualAdvances(font), qPrintable(QFontInfo(font).family()));
    QCOMPARE(font.pointSize(), expected);
    // A line of wide glyphs is as long as a line of narrow ones.
    const QFontMetrics metrics(font);
    QCOMPARE(metrics.horizontalAdvance("iiiiiiii"), metrics.horizontalAdvance("MMMMMMMM"));
}

QTEST_MAIN(FixedWidthFontTest)
#include "fixed_width_font_test.moc"

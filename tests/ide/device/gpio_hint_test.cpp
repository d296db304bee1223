// The reader of a controller's GPIO hint: the pin map it builds and the
// table it adds to the device information.
#include "gpio_hint.h"

#include <QtTest>

namespace {

using PinMap = QMap<QString, QString>;

const QString header = QStringLiteral("<br>GPIO Mapping:<br><br><table><tr><th>Number</th><th>Pin</th>"
                                      "<th>Label</th></tr>");

QString cell(const QString &text)
{
    return QStringLiteral("<td align=\"center\">%1</td>").arg(text);
}

QString pair(const QString &pin, const QString &label)
{
    return cell(pin) + cell(label);
}

QString spanning(const QString &entry)
{
    return QStringLiteral("<td align=\"center\" colspan=2>%1</td>").arg(entry);
}

QString row(int position, const QString &cells)
{
    return QStringLiteral("<tr>") + cell(QString::number(position)) + cells + QStringLiteral("</tr>");
}

// The pairs of a run of `count` pins from PA`first`, labelled D`label`...
QString runPairs(unsigned first, unsigned count, unsigned label)
{
    QString cells;
    for (unsigned i = 0; i < count; ++i)
        cells += pair(QStringLiteral("PA%1").arg(first + i), QStringLiteral("D%1").arg(label + i));
    return cells;
}

PinMap runMap(unsigned first, unsigned count, unsigned label)
{
    PinMap map;
    for (unsigned i = 0; i < count; ++i)
        map.insert(QStringLiteral("D%1").arg(label + i), QStringLiteral("PA%1").arg(first + i));
    return map;
}

} // namespace

class GpioHintTest : public QObject
{
    Q_OBJECT

private slots:
    void hint_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PinMap>("pins");
        QTest::addColumn<QString>("rows");

        QTest::newRow("empty") << QString() << PinMap() << QString();
        QTest::newRow("only separators") << ";;;" << PinMap() << QString();
        QTest::newRow("two pins")
            << "PA5/LED;PB1/BTN" << PinMap{{"BTN", "PB1"}, {"LED", "PA5"}}
            << row(0, pair("PA5", "LED")) + row(1, pair("PB1", "BTN"));
        QTest::newRow("empty entries are not counted")
            << ";;PA5/LED;;PB1/BTN;" << PinMap{{"BTN", "PB1"}, {"LED", "PA5"}}
            << row(0, pair("PA5", "LED")) + row(1, pair("PB1", "BTN"));
        QTest::newRow("run from D0")
            << "PA0-3/D0" << PinMap{{"D0", "PA0"}, {"D1", "PA1"}, {"D2", "PA2"}, {"D3", "PA3"}}
            << row(0, pair("PA0", "D0") + pair("PA1", "D1") + pair("PA2", "D2") + pair("PA3", "D3"));
        QTest::newRow("run from K7") << "PB4-5/K7" << PinMap{{"K7", "PB4"}, {"K8", "PB5"}}
                                     << row(0, pair("PB4", "K7") + pair("PB5", "K8"));
        QTest::newRow("run without label number")
            << "PC0-1/OUT" << PinMap{{"OUT0", "PC0"}, {"OUT1", "PC1"}}
            << row(0, pair("PC0", "OUT0") + pair("PC1", "OUT1"));
        QTest::newRow("run of one pin") << "PD7-7/IN" << PinMap{{"IN0", "PD7"}} << row(0, pair("PD7", "IN0"));
        QTest::newRow("falling run") << "PA3-1/X" << PinMap() << row(0, QString());
        QTest::newRow("dash without a run") << "PA0-X/LED" << PinMap() << row(0, spanning("PA0-X/LED"));
        QTest::newRow("run of two ports") << "PA0-PB3/X" << PinMap() << row(0, spanning("PA0-PB3/X"));
        QTest::newRow("three parts") << "PA0/LED/EXTRA" << PinMap() << row(0, spanning("PA0/LED/EXTRA"));
        QTest::newRow("no label part") << "PA0" << PinMap() << row(0, spanning("PA0"));
        QTest::newRow("empty label") << "PA0/" << PinMap{{"", "PA0"}} << row(0, pair("PA0", ""));
        QTest::newRow("same label twice")
            << "PA1/LED;PA2/LED" << PinMap{{"LED", "PA2"}}
            << row(0, pair("PA1", "LED")) + row(1, pair("PA2", "LED"));
        QTest::newRow("unreadable entry between readable ones")
            << "PA1/A;bad;PA2/B" << PinMap{{"A", "PA1"}, {"B", "PA2"}}
            << row(0, pair("PA1", "A")) + row(1, spanning("bad")) + row(2, pair("PA2", "B"));

        // Device texts are escaped in the table only; the map keeps them raw.
        QTest::newRow("label with markup")
            << "PA0/<b>" << PinMap{{"<b>", "PA0"}} << row(0, pair("PA0", "&lt;b&gt;"));
        QTest::newRow("run label with markup")
            << "PA0-1/a&b1" << PinMap{{"a&b1", "PA0"}, {"a&b2", "PA1"}}
            << row(0, pair("PA0", "a&amp;b1") + pair("PA1", "a&amp;b2"));
        QTest::newRow("unreadable entry with markup")
            << "<i>0-1/X" << PinMap() << row(0, spanning("&lt;i&gt;0-1/X"));

        // Runs are bounded: 256 pins at most, numbers that convert.
        QTest::newRow("run of 256 pins") << "PA0-255/D0" << runMap(0, 256, 0) << row(0, runPairs(0, 256, 0));
        QTest::newRow("run of 257 pins") << "PA0-256/D0" << PinMap() << row(0, spanning("PA0-256/D0"));
        QTest::newRow("huge run") << "PA0-999999999/X" << PinMap() << row(0, spanning("PA0-999999999/X"));
        QTest::newRow("pin number too large")
            << "PA0-99999999999/X" << PinMap() << row(0, spanning("PA0-99999999999/X"));
        QTest::newRow("label number too large")
            << "PA0-1/D99999999999" << PinMap() << row(0, spanning("PA0-1/D99999999999"));
        QTest::newRow("run at the top of the numbers")
            << "PA4294967294-4294967295/D4294967295"
            << PinMap{{"D4294967295", "PA4294967294"}, {"D4294967296", "PA4294967295"}}
            << row(0, pair("PA4294967294", "D4294967295") + pair("PA4294967295", "D4294967296"));
        QTest::newRow("digits of another script")
            << QStringLiteral("PA\u0663-\u0665/X") << PinMap()
            << row(0, spanning(QStringLiteral("PA\u0663-\u0665/X")));
    }

    void hint()
    {
        QFETCH(QString, text);
        QFETCH(PinMap, pins);
        QFETCH(QString, rows);
        const GpioHint hint = parseGpioHint(text);
        QCOMPARE(hint.pins, pins);
        QCOMPARE(hint.table, header + rows + QStringLiteral("</table>"));
    }
};

QTEST_MAIN(GpioHintTest)
#include "gpio_hint_test.moc"

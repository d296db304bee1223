// The number input driven by keys: decimal and hexadecimal text, the range,
// the palettes that tell hexadecimal and unreadable text, and stepping with
// Up and Down.

#include "qmaterialfont.h"
#include "qnumberinput.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

namespace {

QColor textColour(const QNumberInput &input)
{
    return input.palette().color(QPalette::Active, QPalette::Text);
}

QColor highlightColour(const QNumberInput &input)
{
    return input.palette().color(QPalette::Active, QPalette::Highlight);
}

} // namespace

class NumberInputTest : public QObject {
    Q_OBJECT

private slots:
    void startsAtZero()
    {
        QNumberInput input;
        QCOMPARE(input.text(), QStringLiteral("0"));
        QCOMPARE(input.value(), 0);
        QCOMPARE(input.minimum(), 0);
        QCOMPARE(input.maximum(), 100);
        QCOMPARE(input.singleStep(), 1);
        QCOMPARE(input.currentBase(), QNumberInput::Dec);
        QCOMPARE(input.property("maximum").toLongLong(), 100);
    }

    void typedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qlonglong>("value");
        QTest::addColumn<QNumberInput::Base>("base");
        QTest::newRow("decimal") << "10" << 10ll << QNumberInput::Dec;
        QTest::newRow("hex letters") << "1F" << 31ll << QNumberInput::Hex;
        QTest::newRow("lower-case letters") << "1f" << 31ll << QNumberInput::Hex;
        QTest::newRow("h suffix") << "1Fh" << 31ll << QNumberInput::Hex;
        QTest::newRow("H suffix") << "1FH" << 31ll << QNumberInput::Hex;
        QTest::newRow("0x prefix") << "0x1F" << 31ll << QNumberInput::Hex;
        QTest::newRow("0X prefix") << "0X1f" << 31ll << QNumberInput::Hex;
        QTest::newRow("digits with h") << "10h" << 16ll << QNumberInput::Hex;
        QTest::newRow("above the maximum") << "500" << 100ll << QNumberInput::Dec;
    }

    void typedText()
    {
        QFETCH(QString, typed);
        QFETCH(qlonglong, value);
        QFETCH(QNumberInput::Base, base);
        QNumberInput input;
        input.clear();
        QTest::keyClicks(&input, typed);
        QCOMPARE(input.text(), typed);
        QCOMPARE(input.value(), value);
        QCOMPARE(input.currentBase(), base);
        const QColor expected = base == QNumberInput::Hex ? QColor(Qt::blue)
                                                          : QGuiApplication::palette().color(QPalette::Text);
        QCOMPARE(textColour(input), expected);
    }

    void validatorRefusesOtherCharacters()
    {
        QNumberInput input;
        input.clear();
        QTest::keyClicks(&input, "1-2 g+3");
        QCOMPARE(input.text(), QStringLiteral("123"));
        QCOMPARE(input.value(), 100);
    }

    void unreadableTextShowsErrorAndZero()
    {
        QNumberInput input;
        input.setRange(5, 50);
        input.clear();
        QTest::keyClicks(&input, "0x");
        QCOMPARE(input.value(), 5);
        QCOMPARE(highlightColour(input), QMaterialIcon::instance()->color(QMaterialIcon::Error));
        QTest::keyClicks(&input, "a");
        QCOMPARE(input.value(), 10);
        QCOMPARE(highlightColour(input), QGuiApplication::palette().color(QPalette::Highlight));
    }

    void valueChangedOnlyOnChange()
    {
        QNumberInput input;
        QSignalSpy changes(&input, &QNumberInput::valueChanged);
        input.clear();
        QTest::keyClicks(&input, "7");
        QCOMPARE(changes.count(), 1);
        QTest::keyClicks(&input, "00");
        QCOMPARE(changes.count(), 3);
        QCOMPARE(changes.last().at(0).toLongLong(), 100);
        QTest::keyClicks(&input, "0");
        QCOMPARE(changes.count(), 3);
        QTest::keyClick(&input, Qt::Key_Backspace);
        QTest::keyClick(&input, Qt::Key_Backspace);
        QCOMPARE(input.text(), QStringLiteral("70"));
        QCOMPARE(changes.count(), 4);
    }

    void setValueHexThenStepKeepsHex()
    {
        QNumberInput input;
        input.setRange(0, 1000);
        QSignalSpy changes(&input, &QNumberInput::valueChanged);
        input.setValue(255, QNumberInput::Hex);
        QCOMPARE(input.text(), QStringLiteral("0xff"));
        QCOMPARE(textColour(input), QColor(Qt::blue));
        QTest::keyClick(&input, Qt::Key_Up);
        QCOMPARE(input.text(), QStringLiteral("0x100"));
        QCOMPARE(input.value(), 256);
        QTest::keyClick(&input, Qt::Key_Down);
        QTest::keyClick(&input, Qt::Key_Down);
        QCOMPARE(input.text(), QStringLiteral("0xfe"));
        QCOMPARE(changes.count(), 4);
        QCOMPARE(changes.last().at(0).toLongLong(), 254);
    }

    void setValueKeepsTextEmittedAfterIt()
    {
        QNumberInput input;
        QStringList texts;
        connect(&input, &QLineEdit::textChanged, [&](const QString &t) { texts << t; });
        input.setValue(42);
        QCOMPARE(input.text(), QStringLiteral("42"));
        QCOMPARE(texts, QStringList{QStringLiteral("42")});
    }

    void stepsStopAtTheBounds_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<qlonglong>("start");
        QTest::newRow("up at maximum") << int(Qt::Key_Up) << 100ll;
        QTest::newRow("down at minimum") << int(Qt::Key_Down) << 0ll;
    }

    void stepsStopAtTheBounds()
    {
        QFETCH(int, key);
        QFETCH(qlonglong, start);
        QNumberInput input;
        input.setValue(start);
        QSignalSpy changes(&input, &QNumberInput::valueChanged);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        press.ignore();
        QCoreApplication::sendEvent(&input, &press);
        QVERIFY(press.isAccepted());
        QCOMPARE(input.value(), start);
        QCOMPARE(changes.count(), 0);
    }

    void narrowingTheRangeMovesTheValue()
    {
        QNumberInput input;
        input.setValue(10);
        input.setMaximum(5);
        QCOMPARE(input.value(), 5);
        QCOMPARE(input.text(), QStringLiteral("5"));
        input.setMaximum(100);
        input.setMinimum(8);
        QCOMPARE(input.value(), 8);
        QCOMPARE(input.text(), QStringLiteral("8"));
    }

    void minimumAboveMaximum()
    {
        QNumberInput input;
        input.setRange(50, 10);
        input.setValue(30);
        QCOMPARE(input.value(), 10);
        input.clear();
        QTest::keyClicks(&input, "30");
        QCOMPARE(input.value(), 50);
    }

    void setValueWithSameValueAndEmptyTextWritesBack()
    {
        QNumberInput input;
        input.setValue(7);
        input.clear();
        QCOMPARE(input.value(), 0);
        QSignalSpy changes(&input, &QNumberInput::valueChanged);
        input.setValue(0);
        QCOMPARE(input.text(), QStringLiteral("0"));
        QCOMPARE(changes.count(), 0);
    }

    void wideRangeForThirtyTwoBitValues()
    {
        QNumberInput input;
        input.setRange(0, 4294967295ll);
        input.clear();
        QTest::keyClicks(&input, "0xFFFFFFFF");
        QCOMPARE(input.value(), 4294967295ll);
        QTest::keyClick(&input, Qt::Key_Up);
        QCOMPARE(input.value(), 4294967295ll);
    }
};

QTEST_MAIN(NumberInputTest)
#include "number_input_test.moc"

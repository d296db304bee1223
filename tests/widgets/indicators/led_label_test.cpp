// The LED label: on and off with their signals and tool tips, and the lamp
// drawn in its colour.

#include "qledlabel.h"

#include <QSignalSpy>
#include <QtTest>

class LedLabelTest : public QObject {
    Q_OBJECT

private slots:
    void onAndOffSignalOnlyOnChange()
    {
        QLedLabel led;
        QSignalSpy changes(&led, &QLedLabel::stateChanged);
        led.on(QStringLiteral("red"), QStringLiteral("Error"));
        led.on(QStringLiteral("#00ff00"), QStringLiteral("Running"));
        QCOMPARE(changes.count(), 1);
        QVERIFY(led.isOn());
        QCOMPARE(led.color(), QColor(Qt::green));
        QCOMPARE(led.toolTip(), QStringLiteral("Running"));
        led.off();
        led.off();
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.last().at(0).toBool(), false);
        QVERIFY(led.toolTip().isEmpty());
    }

    void lampDrawnInItsColourOnlyWhenOn()
    {
        QLedLabel led;
        led.resize(20, 20);
        const QPoint centre(10, 10);
        QVERIFY(led.grab().toImage().pixelColor(centre) != QColor(Qt::blue));
        led.on(QStringLiteral("blue"), QString());
        QCOMPARE(led.grab().toImage().pixelColor(centre), QColor(Qt::blue));
        led.off();
        QVERIFY(led.grab().toImage().pixelColor(centre) != QColor(Qt::blue));
    }
};

QTEST_MAIN(LedLabelTest)
#include "led_label_test.moc"

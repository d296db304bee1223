// The push switch: two and three positions, states set by call and by
// click, and the signals of each.

#include "qpushswitch.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QPushButton *button(QPushSwitch &sw, const char *name)
{
    return sw.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class PushSwitchTest : public QObject {
    Q_OBJECT

private slots:
    void startsOffInTwoPositions()
    {
        QPushSwitch sw;
        sw.show();
        QCOMPARE(sw.mode(), int(QPushSwitch::TwoPositions));
        QCOMPARE(sw.state(), 0);
        QVERIFY(!sw.isChecked());
        QCOMPARE(button(sw, "leftButton")->text(), QStringLiteral("Off"));
        QCOMPARE(button(sw, "rightButton")->text(), QStringLiteral("On"));
        QVERIFY(!button(sw, "midButton")->isVisible());
    }

    void clickingTheRightButton()
    {
        QPushSwitch sw;
        QSignalSpy changed(&sw, &QPushSwitch::stateChanged);
        QSignalSpy toggled(&sw, &QPushSwitch::toggled);
        QTest::mouseClick(button(sw, "rightButton"), Qt::LeftButton);
        QCOMPARE(sw.state(), 1);
        QVERIFY(sw.isChecked());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 1);
        QVERIFY(toggled.count() >= 1);
        QCOMPARE(toggled.last().at(0).toBool(), true);
    }

    void setStateByCallEmitsToggledNotChanged()
    {
        QPushSwitch sw;
        QSignalSpy changed(&sw, &QPushSwitch::stateChanged);
        QSignalSpy stateToggled(&sw, &QPushSwitch::stateToggled);
        sw.setChecked(true);
        QCOMPARE(sw.state(), 1);
        QCOMPARE(changed.count(), 0);
        QVERIFY(stateToggled.count() >= 1);
        QCOMPARE(stateToggled.last().at(0).toInt(), 1);
    }

    void middleOnlyInThreePositions()
    {
        QPushSwitch sw;
        sw.setState(2);
        QCOMPARE(sw.state(), 0);
        sw.setLabels({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        QCOMPARE(sw.mode(), int(QPushSwitch::ThreePositions));
        QCOMPARE(button(sw, "midButton")->text(), QStringLiteral("B"));
        sw.setState(2);
        QCOMPARE(sw.state(), 2);
        sw.setLabels({QStringLiteral("Off"), QStringLiteral("On")});
        QCOMPARE(sw.state(), 0);
        QVERIFY(button(sw, "midButton")->isHidden());
    }

    void otherLabelCountsChangeNothing()
    {
        QPushSwitch sw;
        sw.setLabels({QStringLiteral("One")});
        sw.setLabels({});
        QCOMPARE(button(sw, "leftButton")->text(), QStringLiteral("Off"));
        QCOMPARE(sw.mode(), int(QPushSwitch::TwoPositions));
    }
};

QTEST_MAIN(PushSwitchTest)
#include "push_switch_test.moc"

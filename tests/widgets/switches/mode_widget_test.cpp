// The mode selector: segments under the mouse, enabling and disabling
// items with the selection moving to a neighbour, and the slider.

#include "qmodewidget.h"

#include <QSignalSpy>
#include <QtTest>

class ModeWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        widget = new QModeWidget;
        widget->resize(300, 40);
        widget->setItems({QStringLiteral("Off"), QStringLiteral("Auto"), QStringLiteral("On")});
    }

    void cleanup()
    {
        delete widget;
    }

    void segmentsAndBoundaries()
    {
        QCOMPARE(widget->index(QPoint(0, 5)), 0);
        QCOMPARE(widget->index(QPoint(99, 5)), 0);
        QCOMPARE(widget->index(QPoint(100, 5)), 1);
        QCOMPARE(widget->index(QPoint(299, 5)), 2);
        QCOMPARE(widget->index(QPoint(5000, 5)), 2);
        QCOMPARE(widget->index(QPoint(-20, 5)), 0);
        QCOMPARE(widget->boundary(1), QRect(101, 1, 98, 38));
        QModeWidget empty;
        QCOMPARE(empty.index(QPoint(5, 5)), -1);
        QCOMPARE(empty.boundary(0), empty.rect());
    }

    void resetSelectsTheFirstItem()
    {
        QSignalSpy clicks(widget, &QModeWidget::clicked);
        QCOMPARE(widget->currentIndex(), -1);
        widget->reset();
        QCOMPARE(widget->currentIndex(), 0);
        QCOMPARE(clicks.count(), 1);
        widget->reset();
        QCOMPARE(clicks.count(), 1);
        QModeWidget empty;
        empty.reset();
        QCOMPARE(empty.currentIndex(), -1);
    }

    void clickSelectsEnabledSegments()
    {
        widget->reset();
        QSignalSpy clicks(widget, &QModeWidget::clicked);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(250, 20));
        QCOMPARE(widget->currentIndex(), 2);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), 2);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(260, 20));
        QCOMPARE(clicks.count(), 1);
        widget->disable(1);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(150, 20));
        QCOMPARE(widget->currentIndex(), 2);
        QTest::mouseClick(widget, Qt::RightButton, {}, QPoint(50, 20));
        QCOMPARE(widget->currentIndex(), 2);
    }

    void disablingCurrentMovesToNeighbour()
    {
        widget->setCurrentIndex(1);
        widget->disable(1);
        QCOMPARE(widget->currentIndex(), 0);
        QVERIFY(!widget->isItemEnabled(1));
        widget->disable(0);
        QCOMPARE(widget->currentIndex(), 2);
        widget->disable(2);
        QCOMPARE(widget->currentIndex(), -1);
        QCOMPARE(widget->slider(), -1);
    }

    void enableWithoutSelectionSelects()
    {
        for (int i = 0; i < 3; ++i)
            widget->disable(i);
        widget->enable(2);
        QCOMPARE(widget->currentIndex(), 2);
        widget->enable(0);
        QCOMPARE(widget->currentIndex(), 2);
    }

    void sliderGlidesToTheSegment()
    {
        widget->reset();
        widget->setCurrentIndex(2);
        QTRY_COMPARE(widget->slider(), 201);
    }

    void outOfRangeIndicesAreIgnored()
    {
        widget->setCurrentIndex(3);
        widget->enable(-1);
        widget->disable(7);
        QCOMPARE(widget->currentIndex(), -1);
    }

private:
    QModeWidget *widget = nullptr;
};

QTEST_MAIN(ModeWidgetTest)
#include "mode_widget_test.moc"

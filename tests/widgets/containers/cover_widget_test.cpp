// The cover: laid over a widget, following its size, and released cleanly,
// also when the covered widget goes away first.

#include "qcoverwidget.h"

#include <QVBoxLayout>
#include <QtTest>

class CoverWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void coversAndFollowsResize()
    {
        QWidget window;
        window.resize(300, 200);
        auto *covered = new QWidget(&window);
        covered->setGeometry(20, 30, 100, 50);
        QCoverWidget cover(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!cover.isVisible());
        cover.start(covered);
        QVERIFY(cover.isVisible());
        QCOMPARE(cover.geometry(), QRect(20, 30, 100, 50));
        covered->resize(140, 70);
        QCOMPARE(cover.size(), QSize(140, 70));
        cover.stop();
        QVERIFY(!cover.isVisible());
        QCOMPARE(cover.coveredWidget(), nullptr);
        covered->resize(10, 10);
        QCOMPARE(cover.size(), QSize(140, 70));
    }

    void stopWithoutStartOnlyHides()
    {
        QCoverWidget cover;
        cover.show();
        cover.stop();
        QVERIFY(cover.isHidden());
    }

    void coveredWidgetDeletedFirst()
    {
        QWidget window;
        auto *covered = new QWidget(&window);
        QCoverWidget cover(&window);
        cover.start(covered);
        delete covered;
        QCOMPARE(cover.coveredWidget(), nullptr);
        cover.stop();
        QVERIFY(cover.isHidden());
    }
};

QTEST_MAIN(CoverWidgetTest)
#include "cover_widget_test.moc"

// The fold widget: folding and unfolding by the arrow, by the title's check
// box and by call, in plain and checkable mode.

#include "qfoldwidget.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

namespace {

template <typename T>
T *part(QFoldWidget &fold, const char *name)
{
    return fold.findChild<T *>(QLatin1String(name));
}

QFrame *content(QFoldWidget &fold)
{
    return part<QFrame>(fold, "widgetContainer");
}

} // namespace

class FoldWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void startsPlainAndOpen()
    {
        QFoldWidget fold;
        fold.show();
        QCOMPARE(fold.objectName(), QStringLiteral("QFoldWidget"));
        QVERIFY(part<QToolButton>(fold, "foldTool")->isVisible());
        QVERIFY(part<QLabel>(fold, "titleLabel")->isVisible());
        QVERIFY(!part<QCheckBox>(fold, "foldCheck")->isVisible());
        QVERIFY(content(fold)->isVisible());
        QVERIFY(fold.isChecked());
        QCOMPARE(fold.title(), QStringLiteral("Title"));
    }

    void arrowClicksFlipThePanel()
    {
        QFoldWidget fold;
        auto *inner = new QLabel(QStringLiteral("content"));
        fold.addCentralWidget(inner);
        QCOMPARE(inner->parentWidget(), content(fold));
        fold.show();
        QVERIFY(inner->isVisible());
        QTest::mouseClick(part<QToolButton>(fold, "foldTool"), Qt::LeftButton);
        QVERIFY(!inner->isVisible());
        QVERIFY(!fold.isChecked());
        QTest::mouseClick(part<QToolButton>(fold, "foldTool"), Qt::LeftButton);
        QVERIFY(inner->isVisible());
        QVERIFY(fold.isChecked());
    }

    void foldAndUnfoldAreIdempotent()
    {
        QFoldWidget fold;
        fold.show();
        fold.unfold();
        QVERIFY(content(fold)->isVisible());
        fold.fold();
        fold.fold();
        QVERIFY(content(fold)->isHidden());
        fold.unfold();
        fold.unfold();
        QVERIFY(!content(fold)->isHidden());
    }

    void checkableTitleFoldsAndUnfolds()
    {
        QFoldWidget fold;
        fold.setCheckable(true);
        fold.setTitle(QStringLiteral("Advanced"));
        fold.show();
        auto *check = part<QCheckBox>(fold, "foldCheck");
        QCOMPARE(check->text(), QStringLiteral("Advanced"));
        QVERIFY(check->isVisible());
        QVERIFY(!part<QToolButton>(fold, "foldTool")->isVisible());
        QVERIFY(fold.isChecked());
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        QVERIFY(!fold.isChecked());
        QVERIFY(content(fold)->isHidden());
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        QVERIFY(fold.isChecked());
        QVERIFY(!content(fold)->isHidden());
    }

    void checkableWhileFoldedStaysUnchecked()
    {
        QFoldWidget fold;
        fold.fold();
        fold.setCheckable(true);
        QVERIFY(!fold.isChecked());
        fold.unfold();
        QVERIFY(fold.isChecked());
    }
};

QTEST_MAIN(FoldWidgetTest)
#include "fold_widget_test.moc"

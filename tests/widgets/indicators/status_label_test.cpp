// The status label: a glyph in a role's colour at the icon size, tool tips
// that stay until replaced, scaled pixmaps and switching off.

#include "qmaterialfont.h"
#include "qstatuslabel.h"

#include <QtTest>

namespace {

bool hasColour(const QPixmap &pixmap, const QColor &colour)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255 && QColor(image.pixel(x, y)) == colour)
                return true;
    return false;
}

} // namespace

class StatusLabelTest : public QObject {
    Q_OBJECT

private slots:
    void glyphInRoleColourAtIconSize_data()
    {
        QTest::addColumn<QMaterialIcon::Color>("role");
        QTest::addColumn<int>("size");
        QTest::newRow("success, default size") << QMaterialIcon::Success << 0;
        QTest::newRow("warning, 16") << QMaterialIcon::Warning << 16;
        QTest::newRow("error, 32") << QMaterialIcon::Error << 32;
    }

    void glyphInRoleColourAtIconSize()
    {
        QFETCH(QMaterialIcon::Color, role);
        QFETCH(int, size);
        QStatusLabel label;
        QCOMPARE(label.iconSize(), 22);
        if (size)
            label.setIconSize(size);
        const int expected = size ? size : 22;
        label.status(QStringLiteral("phonelink"), role, QStringLiteral("Connected"));
        const QPixmap shown = label.pixmap(Qt::ReturnByValue);
        QCOMPARE(shown.size(), QSize(expected, expected));
        QVERIFY(hasColour(shown, QMaterialIcon::instance()->color(role)));
        QCOMPARE(label.toolTip(), QStringLiteral("Connected"));
    }

    void emptyToolTipKeepsThePrevious()
    {
        QStatusLabel label;
        label.status(QStringLiteral("phonelink_off"), QMaterialIcon::Warning, QStringLiteral("Not connected"));
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Success, QString());
        QCOMPARE(label.toolTip(), QStringLiteral("Not connected"));
    }

    void pixmapScaledKeepingAspect()
    {
        QStatusLabel label;
        QPixmap wide(100, 50);
        wide.fill(Qt::red);
        label.icon(wide);
        QCOMPARE(label.pixmap(Qt::ReturnByValue).size(), QSize(22, 11));
    }

    void offThenOnAgain()
    {
        QStatusLabel label;
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Success, QStringLiteral("tip"));
        label.off();
        QVERIFY(label.pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(label.toolTip(), QStringLiteral("tip"));
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Success, QString());
        QCOMPARE(label.pixmap(Qt::ReturnByValue).size(), QSize(22, 22));
    }

    // The same glyph again keeps the drawn pixmap; any change draws anew,
    // also after another pixmap was shown.
    void glyphDrawnOnceWhileUnchanged()
    {
        QStatusLabel label;
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Success);
        const qint64 first = label.pixmap(Qt::ReturnByValue).cacheKey();
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Success, QStringLiteral("again"));
        QCOMPARE(label.pixmap(Qt::ReturnByValue).cacheKey(), first);
        QCOMPARE(label.toolTip(), QStringLiteral("again"));
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Error);
        QVERIFY(hasColour(label.pixmap(Qt::ReturnByValue), QMaterialIcon::instance()->color(QMaterialIcon::Error)));
        label.setIconSize(16);
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Error);
        QCOMPARE(label.pixmap(Qt::ReturnByValue).size(), QSize(16, 16));
        QPixmap red(16, 16);
        red.fill(Qt::red);
        label.icon(red);
        const qint64 shownRed = label.pixmap(Qt::ReturnByValue).cacheKey();
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Error);
        QVERIFY(label.pixmap(Qt::ReturnByValue).cacheKey() != shownRed);
        QVERIFY(hasColour(label.pixmap(Qt::ReturnByValue), QMaterialIcon::instance()->color(QMaterialIcon::Error)));
        label.off();
        label.status(QStringLiteral("phonelink"), QMaterialIcon::Error);
        QVERIFY(!label.pixmap(Qt::ReturnByValue).isNull());
    }
};

QTEST_MAIN(StatusLabelTest)
#include "status_label_test.moc"

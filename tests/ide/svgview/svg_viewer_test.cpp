// The schematic viewer: a drawing loads into the window named after its
// file; an unreadable file leaves the drawing empty.

#include "svgviewer.h"

#include <QSvgRenderer>
#include <QSvgWidget>
#include <QtTest>

namespace {

const QString schematic = QStringLiteral(KOLM_TEST_PACKAGE_DIR "/schematic.svg");

QSvgRenderer* renderer(const SvgViewer& viewer)
{
    return viewer.findChild<QSvgWidget*>("widget")->renderer();
}

} // namespace

class SvgViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void loadsDrawingAndNamesWindow();
    void missingFileLeavesDrawingEmpty();
};

void SvgViewerTest::form()
{
    QWidget page;
    SvgViewer viewer(&page, Qt::Window);
    QCOMPARE(viewer.objectName(), QString("SvgViewer"));
    QCOMPARE(viewer.windowTitle(), QString("SVG Viewer"));
    QCOMPARE(viewer.size(), QSize(470, 356));
    QVERIFY(viewer.isWindow());
    QCOMPARE(viewer.parentWidget(), &page);
}

void SvgViewerTest::loadsDrawingAndNamesWindow()
{
    SvgViewer viewer;
    viewer.load(schematic);
    QVERIFY(renderer(viewer)->isValid());
    QCOMPARE(renderer(viewer)->defaultSize(), QSize(120, 80));
    QCOMPARE(viewer.windowTitle(), QString("schematic.svg"));
    QVERIFY(!viewer.isVisible());
}

void SvgViewerTest::missingFileLeavesDrawingEmpty()
{
    SvgViewer viewer;
    viewer.load(schematic);
    viewer.show();

    const QString missing = QFileInfo(schematic).absolutePath() + "/no_such_drawing.svg";
    viewer.load(missing);
    QVERIFY(!renderer(viewer)->isValid());
    QCOMPARE(viewer.windowTitle(), QString("no_such_drawing.svg"));
    QVERIFY(viewer.isVisible());
}

QTEST_MAIN(SvgViewerTest)
#include "svg_viewer_test.moc"

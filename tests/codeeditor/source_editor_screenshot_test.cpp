// Renders the editor with the light and the dark scheme, saves each picture
// as a test artefact and checks the gutter and the occurrence outlines by
// their pixels.
#include "editor_probe.h"
#include "qkoshighlighter.h"
#include "qlinenumberarea.h"
#include "qsyntaxstyle.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QImage>
#include <QTextBlock>
#include <QVector3D>
#include <QtTest>

namespace {

const char* const script = "var count = 0;\n"
                           "\n"
                           "blink(var times) {\n"
                           "    var i = 0;\n"
                           "    while (i < times) {\n"
                           "        PA0.VALUE = 1; // on\n"
                           "        count = count + 1;\n"
                           "    }\n"
                           "    return Count;\n"
                           "}\n"
                           "\n"
                           "/* counter */";

int pixelsOfColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

// Whether the text drawn in the area is in the colour: its strongest pixel,
// the one that differs most from the background, lies on the way from the
// background to the colour (smoothed glyph edges are mixtures of the two).
bool textInColour(const QImage& image, const QRect& area, const QColor& background,
                  const QColor& colour)
{
    const QVector3D base(background.red(), background.green(), background.blue());
    const QVector3D way = QVector3D(colour.red(), colour.green(), colour.blue()) - base;
    QVector3D strongest;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const QVector3D step = QVector3D(pixel.red(), pixel.green(), pixel.blue()) - base;
            if (step.length() > strongest.length())
                strongest = step;
        }
    const float share = QVector3D::dotProduct(strongest, way) / way.lengthSquared();
    const QVector3D off = strongest - share * way;
    return share > 0.5f && qMax(qAbs(off.x()), qMax(qAbs(off.y()), qAbs(off.z()))) < 12;
}

} // namespace

class SourceEditorScreenshotTest : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
};

void SourceEditorScreenshotTest::picture_data()
{
    QTest::addColumn<QSyntaxStyle*>("style");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("number");
    QTest::addColumn<QColor>("currentNumber");
    QTest::addColumn<QColor>("outline");

    QTest::newRow("light") << QSyntaxStyle::defaultStyle() << QColor("#ffffff")
                           << QColor("#6272a4") << QColor("#808080") << QColor("#b4b4b4");
    QTest::newRow("dark") << QSyntaxStyle::defaultDarkStyle() << QColor("#282a36")
                          << QColor("#6272a4") << QColor("#f8f8f2") << QColor("#f8f8f2");
}

void SourceEditorScreenshotTest::picture()
{
    QFETCH(QSyntaxStyle*, style);
    QFETCH(QColor, background);
    QFETCH(QColor, number);
    QFETCH(QColor, currentNumber);
    QFETCH(QColor, outline);

    // Shown first in the other scheme: a switch re-colours everything at once.
    EditorProbe editor;
    editor.setSyntaxStyle(style == QSyntaxStyle::defaultStyle() ? QSyntaxStyle::defaultDarkStyle()
                                                                : QSyntaxStyle::defaultStyle());
    QKOSHighlighter highlighter;
    editor.setHighlighter(&highlighter);
    editor.setPlainText(script);
    QVERIFY(editor.showOnScreen());
    editor.grab();
    editor.setSyntaxStyle(style);
    // "count" on the first line: the cursor's line, with outlines on the
    // lines 7, 9 and 12.
    editor.select(4, 9);
    const QImage image = editor.grab().toImage();

    const QString directory = QStringLiteral(KOLM_TEST_ARTEFACT_DIR);
    QVERIFY(QDir().mkpath(directory));
    QVERIFY(image.save(QString("%1/source_editor_%2.png").arg(directory, QTest::currentDataTag())));

    auto* gutter = editor.findChild<QLineNumberArea*>();
    QVERIFY(gutter);
    const QAbstractTextDocumentLayout* layout = editor.document()->documentLayout();
    const QPoint viewport = editor.viewport()->pos();
    auto lineArea = [&](int block, int left, int width) {
        const QRect rect =
            layout->blockBoundingRect(editor.document()->findBlockByNumber(block)).toRect();
        return QRect(left, viewport.y() + rect.top(), width, rect.height());
    };

    // The gutter: the scheme's background, the cursor's line number in its
    // own colour, the others in the line number colour.
    const QRect strip = gutter->geometry();
    QCOMPARE(strip.width(), gutter->sizeHint().width());
    QCOMPARE(viewport.x(), strip.right() + 1);
    const QRect belowText(strip.left(), lineArea(11, 0, 0).bottom() + 2, strip.width(),
                          strip.bottom() - lineArea(11, 0, 0).bottom() - 2);
    QCOMPARE(pixelsOfColour(image, belowText, background), belowText.width() * belowText.height());
    const QRect firstNumber = lineArea(0, strip.left(), strip.width());
    const QRect secondNumber = lineArea(2, strip.left(), strip.width());
    QVERIFY(textInColour(image, firstNumber, background, currentNumber));
    QVERIFY(!textInColour(image, firstNumber, background, number));
    QVERIFY(textInColour(image, secondNumber, background, number));
    QVERIFY(!textInColour(image, secondNumber, background, currentNumber));

    // The outlines: along the top edge of every occurrence outside the
    // cursor's line, and nowhere on a line without one.
    const QVector<QTextCursor> occurrences = editor.visibleOccurrences();
    QCOMPARE(occurrences.size(), 5);
    for (const QTextCursor& occurrence : occurrences) {
        if (occurrence.blockNumber() == 0)
            continue;
        QTextCursor start = occurrence;
        start.setPosition(occurrence.selectionStart());
        QTextCursor end = occurrence;
        end.setPosition(occurrence.selectionEnd());
        const QRect from = editor.cursorRect(start).translated(viewport);
        const QRect to = editor.cursorRect(end).translated(viewport);
        const QRect topEdge(from.center().x(), from.top(), to.center().x() - from.center().x(), 1);
        QVERIFY2(pixelsOfColour(image, topEdge, outline) > topEdge.width() / 2,
                 qPrintable(occurrence.selectedText()));
    }
    const QRect emptyLine = lineArea(1, viewport.x(), editor.viewport()->width());
    QCOMPARE(pixelsOfColour(image, emptyLine, outline), 0);
}

QTEST_MAIN(SourceEditorScreenshotTest)
#include "source_editor_screenshot_test.moc"

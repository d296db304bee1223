#include "editor_probe.h"
#include "fixedwidthfont.h"
#include "qkoshighlighter.h"
#include "qlinenumberarea.h"
#include "qsyntaxstyle.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

namespace {

QString numberedLines(int count, const QString& pattern = "var count%1 = %1;")
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << pattern.arg(i);
    return lines.join('\n');
}

// Waits until the view's scroll range covers the whole laid out document;
// long documents are laid out in steps.
bool waitForFullLayout(QTextEdit& editor)
{
    const QAbstractTextDocumentLayout* layout = editor.document()->documentLayout();
    const qreal bottom = layout->blockBoundingRect(editor.document()->lastBlock()).bottom();
    const QScrollBar* scrollBar = editor.verticalScrollBar();
    return QTest::qWaitFor([&] {
        return qAbs(scrollBar->maximum() + editor.viewport()->height() - bottom) < 10;
    });
}

QColor keywordColour(const QTextBlock& block)
{
    const QVector<QTextLayout::FormatRange> ranges = block.layout()->formats();
    return ranges.isEmpty() ? QColor() : ranges.first().format.foreground().color();
}

} // namespace

class SourceEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void tabReplaceSize_data();
    void tabReplaceSize();
    void visualizeWhitespaceKeepsOtherOptions();
    void schemeColoursThePalette();
    void withoutSchemeNothingBreaks();
    void bracketMarks_data();
    void bracketMarks();
    void readOnlyEditorHasNoCurrentLineMark();
    void gutterWidthFollowsDigits();
    void gutterNumbersTheTopOfWrappedLines();
    void firstVisibleBlock();
    void occurrences_data();
    void occurrences();
    void occurrencesAreLimitedToTheView();
    void doubleClickOutlinesTheWord();
    void pasteInsertsPlainText();
    void highlighterColoursAtOnceAndLeaves();
    void schemeChangeKeepsTheView();
    void schemeChangeResizesTheScrollRange();
};

void SourceEditorTest::defaults()
{
    QSourceEditor editor;
    QVERIFY(editor.autoIndentation());
    QVERIFY(editor.autoParentheses());
    QVERIFY(editor.tabReplace());
    QVERIFY(!editor.visualizeWhitespace());
    QCOMPARE(editor.tabReplaceSize(), 4);
    QCOMPARE(editor.completer(), nullptr);
    QCOMPARE(editor.font().pointSize(), 10);
    // Columns line up: every glyph advances alike, whatever the font file
    // says of its spacing.
    QVERIFY2(hasEqualAdvances(editor.font()), qPrintable(QFontInfo(editor.font()).family()));
    QVERIFY(!(editor.document()->defaultTextOption().flags() & QTextOption::ShowTabsAndSpaces));
}

void SourceEditorTest::tabReplaceSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");
    QTest::newRow("two") << 2 << 2;
    QTest::newRow("eight") << 8 << 8;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("negative") << -3 << 0;
}

void SourceEditorTest::tabReplaceSize()
{
    QFETCH(int, size);
    QFETCH(int, expected);
    EditorProbe editor;
    editor.setTabReplaceSize(size);
    QCOMPARE(editor.tabReplaceSize(), expected);
    editor.setMarkedText("a|");
    QTest::keyClick(&editor, Qt::Key_Tab);
    QCOMPARE(editor.toPlainText(), "a" + QString(expected, ' '));
}

void SourceEditorTest::visualizeWhitespaceKeepsOtherOptions()
{
    QSourceEditor editor;
    QTextOption option = editor.document()->defaultTextOption();
    option.setFlags(option.flags() | QTextOption::AddSpaceForLineAndParagraphSeparators);
    editor.document()->setDefaultTextOption(option);

    editor.setVisualizeWhitespace(true);
    QVERIFY(editor.visualizeWhitespace());
    QTextOption::Flags flags = editor.document()->defaultTextOption().flags();
    QVERIFY(flags & QTextOption::ShowTabsAndSpaces);
    QVERIFY(flags & QTextOption::AddSpaceForLineAndParagraphSeparators);

    editor.setVisualizeWhitespace(false);
    flags = editor.document()->defaultTextOption().flags();
    QVERIFY(!(flags & QTextOption::ShowTabsAndSpaces));
    QVERIFY(flags & QTextOption::AddSpaceForLineAndParagraphSeparators);
}

void SourceEditorTest::schemeColoursThePalette()
{
    QSourceEditor editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultDarkStyle());
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(editor.palette().color(group, QPalette::Text), QColor("#f8f8f2"));
        QCOMPARE(editor.palette().color(group, QPalette::Base), QColor("#282a36"));
        QCOMPARE(editor.palette().color(group, QPalette::Highlight), QColor("#44475a"));
    }
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    QCOMPARE(editor.palette().color(QPalette::Base), QColor("#ffffff"));
    QCOMPARE(editor.palette().color(QPalette::Highlight), QColor("#3daee9"));

    // Taking the scheme away keeps the colours it gave.
    editor.setSyntaxStyle(nullptr);
    QCOMPARE(editor.palette().color(QPalette::Base), QColor("#ffffff"));
}

void SourceEditorTest::withoutSchemeNothingBreaks()
{
    // The pages build the editor before their settings choose a scheme.
    EditorProbe editor;
    const QPalette before = editor.palette();
    QKOSHighlighter highlighter;
    editor.setHighlighter(&highlighter);
    editor.setMarkedText("var count = (count);\n|count");
    QVERIFY(editor.showOnScreen());
    editor.select(4, 9);
    editor.select(12, 12);
    editor.updateStyle();
    editor.grab();
    QCOMPARE(editor.palette(), before);
    QCOMPARE(editor.extraSelectionRanges(), QStringList({"line@12", "18-19", "12-13"}));
}

void SourceEditorTest::bracketMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    // The first range is the matching bracket, the second the one next to
    // the cursor.
    QTest::newRow("before the first opening") << "f|(a(b))" << QStringList{"6-7", "1-2"};
    QTest::newRow("after the last closing") << "f(a(b))|" << QStringList{"1-2", "6-7"};
    QTest::newRow("before the inner opening") << "f(a|(b))" << QStringList{"5-6", "3-4"};
    QTest::newRow("between the two closings") << "f(a(b)|)" << QStringList{"3-4", "5-6"};
    QTest::newRow("beside no bracket") << "f(|a(b))" << QStringList{};
    QTest::newRow("before a closing") << "f(a(b|))" << QStringList{};
    QTest::newRow("opening after the cursor first") << "(a)|(b)" << QStringList{"5-6", "3-4"};
    QTest::newRow("over lines") << "{\n  x;\n}|" << QStringList{"0-1", "7-8"};
    QTest::newRow("other kinds do not count") << "|[(])" << QStringList{"2-3", "0-1"};
    QTest::newRow("unmatched") << "|((a)" << QStringList{};
    QTest::newRow("unmatched backwards") << "(a))|" << QStringList{};
    QTest::newRow("quotes are never marked") << "\"|a\"" << QStringList{};
    QTest::newRow("bracket before, quote after") << "(a)|\"" << QStringList{"0-1", "2-3"};
    QTest::newRow("quote before, bracket after") << "\"|(a)" << QStringList{"3-4", "1-2"};
}

void SourceEditorTest::bracketMarks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    EditorProbe editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    editor.setMarkedText(text);
    expected.prepend(QString("line@%1").arg(editor.textCursor().position()));
    QCOMPARE(editor.extraSelectionRanges(), expected);

    const QColor marked("#b4eeb4");
    const QList<QTextEdit::ExtraSelection> selections = editor.extraSelections();
    QCOMPARE(selections.first().format.background().color(), QColor("#eeeeee"));
    for (int i = 1; i < selections.size(); ++i)
        QCOMPARE(selections[i].format.background().color(), marked);
}

void SourceEditorTest::readOnlyEditorHasNoCurrentLineMark()
{
    EditorProbe editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    editor.setReadOnly(true);
    editor.setMarkedText("f|(a(b))");
    QCOMPARE(editor.extraSelectionRanges(), QStringList({"6-7", "1-2"}));
    editor.setMarkedText("a|b");
    QCOMPARE(editor.extraSelectionRanges(), QStringList());
}

void SourceEditorTest::gutterWidthFollowsDigits()
{
    EditorProbe editor;
    QVERIFY(editor.showOnScreen());
    auto* gutter = editor.findChild<QLineNumberArea*>();
    QVERIFY(gutter);
    const int digit = QFontMetrics(editor.font()).horizontalAdvance('9');
    const int frame = editor.contentsRect().left();

    const struct {
        int lines;
        int digits;
    } rows[] = {{1, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {9, 1}};
    for (const auto& row : rows) {
        editor.setPlainText(numberedLines(row.lines));
        QApplication::processEvents();
        QCOMPARE(gutter->sizeHint().width(), 13 + row.digits * digit);
        QCOMPARE(editor.viewport()->x() - frame, gutter->sizeHint().width());
        QCOMPARE(gutter->width(), gutter->sizeHint().width());
    }
}

void SourceEditorTest::gutterNumbersTheTopOfWrappedLines()
{
    EditorProbe editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    editor.setLineWrapMode(QTextEdit::WidgetWidth);
    editor.setPlainText(QString(200, 'w') + "\nshort");
    QVERIFY(editor.showOnScreen());
    auto* gutter = editor.findChild<QLineNumberArea*>();
    const QImage image = gutter->grab().toImage();
    const QColor background("#ffffff");
    auto inkRows = [&](int top, int bottom) {
        int rows = 0;
        for (int y = top; y < bottom; ++y) {
            bool ink = false;
            for (int x = 0; x < image.width(); ++x)
                ink = ink || image.pixelColor(x, y) != background;
            rows += ink;
        }
        return rows;
    };

    const QTextBlock wrapped = editor.document()->firstBlock();
    QVERIFY(wrapped.layout()->lineCount() >= 3);
    const QRectF rect = editor.document()->documentLayout()->blockBoundingRect(wrapped);
    const int lineHeight = int(wrapped.layout()->lineAt(0).height());
    QVERIFY(inkRows(int(rect.top()), int(rect.top()) + lineHeight) > 0);
    QCOMPARE(inkRows(int(rect.top()) + lineHeight, int(rect.bottom())), 0);
    QVERIFY(inkRows(int(rect.bottom()), int(rect.bottom()) + lineHeight) > 0);
}

void SourceEditorTest::firstVisibleBlock()
{
    EditorProbe editor;
    editor.setPlainText(numberedLines(500));
    QVERIFY(editor.showOnScreen());
    QVERIFY(waitForFullLayout(editor));
    QCOMPARE(editor.getFirstVisibleBlock(), 0);

    const QAbstractTextDocumentLayout* layout = editor.document()->documentLayout();
    QScrollBar* scrollBar = editor.verticalScrollBar();
    for (int block : {1, 37, 250, 420}) {
        const QRectF rect = layout->blockBoundingRect(editor.document()->findBlockByNumber(block));
        scrollBar->setValue(int(rect.top()));
        QCOMPARE(editor.getFirstVisibleBlock(), block);
        // Its last pixel row still shows; one further, the next block leads.
        scrollBar->setValue(int(rect.bottom()) - 1);
        QCOMPARE(editor.getFirstVisibleBlock(), block);
        scrollBar->setValue(int(rect.bottom()) + 1);
        QCOMPARE(editor.getFirstVisibleBlock(), block + 1);
    }
}

void SourceEditorTest::occurrences_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("expected");

    // "var count = 1;\nCount++;\nvar counter;\nco co"
    const QStringList count = {"4:count", "15:Count", "28:count"};
    QTest::newRow("whole word") << 4 << 9 << count;
    QTest::newRow("whole word selected backwards") << 9 << 4 << count;
    QTest::newRow("other letter case") << 15 << 20 << count;
    QTest::newRow("part of a word") << 4 << 6 << QStringList{};
    QTest::newRow("one character") << 0 << 1 << QStringList{};
    QTest::newRow("two words") << 0 << 9 << QStringList{};
    QTest::newRow("no selection") << 5 << 5 << QStringList{};
    QTest::newRow("short word in several words")
        << 37 << 39 << QStringList{"28:co", "37:co", "40:co", "4:co", "15:Co"};
}

void SourceEditorTest::occurrences()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QStringList, expected);

    EditorProbe editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    editor.setPlainText("var count = 1;\nCount++;\nvar counter;\nco co");
    QVERIFY(editor.showOnScreen());
    const QString text = editor.toPlainText();

    // An earlier selection's outlines go first.
    editor.select(28, 35);
    QCOMPARE(editor.visibleOccurrences().size(), 1);
    editor.select(anchor, position);

    QStringList found;
    for (const QTextCursor& occurrence : editor.visibleOccurrences())
        found << QString("%1:%2").arg(occurrence.selectionStart()).arg(occurrence.selectedText());
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);

    // Outlining edits nothing.
    QCOMPARE(editor.toPlainText(), text);
    QVERIFY(!editor.document()->isModified());
    QCOMPARE(editor.document()->availableUndoSteps(), 0);
    QCOMPARE(editor.textCursor().anchor(), anchor);
    QCOMPARE(editor.textCursor().position(), position);
}

void SourceEditorTest::occurrencesAreLimitedToTheView()
{
    EditorProbe editor;
    editor.setPlainText(numberedLines(1000, "count %1"));
    QVERIFY(editor.showOnScreen());
    QVERIFY(waitForFullLayout(editor));
    editor.select(0, 5);

    const QVector<QTextCursor> top = editor.visibleOccurrences();
    QVERIFY(top.size() > 5);
    QVERIFY(top.size() < 100);
    QCOMPARE(top.first().blockNumber(), 0);

    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
    const QVector<QTextCursor> bottom = editor.visibleOccurrences();
    QCOMPARE(bottom.size(), top.size());
    QCOMPARE(bottom.last().blockNumber(), 999);
}

void SourceEditorTest::doubleClickOutlinesTheWord()
{
    EditorProbe editor;
    editor.setPlainText("var count = 1;\nCount++;\nvar counter;");
    QVERIFY(editor.showOnScreen());
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(6);
    QTest::mouseDClick(editor.viewport(), Qt::LeftButton, {}, editor.cursorRect(cursor).center());
    QCOMPARE(editor.textCursor().selectedText(), QString("count"));
    QCOMPARE(editor.visibleOccurrences().size(), 3);
    QVERIFY(!editor.document()->isModified());
}

void SourceEditorTest::pasteInsertsPlainText()
{
    EditorProbe editor;
    editor.setMarkedText("a|b");
    auto* data = new QMimeData;
    data->setHtml("<b>bold</b> <i>x</i>");
    data->setText("bold x");
    QApplication::clipboard()->setMimeData(data);
    editor.paste();
    QCOMPARE(editor.toPlainText(), QString("abold xb"));
    QTextCursor cursor = editor.textCursor();
    for (int position = 2; position < 8; ++position) {
        cursor.setPosition(position);
        QVERIFY(cursor.charFormat().fontWeight() != QFont::Bold);
        QVERIFY(!cursor.charFormat().fontItalic());
    }
}

void SourceEditorTest::highlighterColoursAtOnceAndLeaves()
{
    QSourceEditor editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    editor.setPlainText(numberedLines(50));
    QKOSHighlighter highlighter;
    editor.setHighlighter(&highlighter);
    QCOMPARE(highlighter.document(), editor.document());
    QCOMPARE(highlighter.syntaxStyle(), QSyntaxStyle::defaultStyle());
    QCOMPARE(keywordColour(editor.document()->findBlockByNumber(49)), QColor("#808000"));

    editor.setHighlighter(nullptr);
    QCOMPARE(highlighter.document(), nullptr);
    QVERIFY(editor.document()->findBlockByNumber(49).layout()->formats().isEmpty());
}

void SourceEditorTest::schemeChangeKeepsTheView()
{
    EditorProbe editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    QKOSHighlighter highlighter;
    editor.setHighlighter(&highlighter);
    editor.setPlainText(numberedLines(6000));
    QVERIFY(editor.showOnScreen());
    QScrollBar* scrollBar = editor.verticalScrollBar();
    QVERIFY(waitForFullLayout(editor));
    // Far beyond what the layout's first step after a change covers.
    scrollBar->setValue(scrollBar->maximum() / 4 * 3);
    const int value = scrollBar->value();
    const int top = editor.cursorForPosition(QPoint(0, 0)).blockNumber();
    QVERIFY(top > 4000);

    editor.setSyntaxStyle(QSyntaxStyle::defaultDarkStyle());
    QCOMPARE(keywordColour(editor.document()->findBlockByNumber(top)), QColor("#7ce4fb"));
    QCOMPARE(keywordColour(editor.document()->lastBlock()), QColor("#7ce4fb"));
    QCOMPARE(scrollBar->value(), value);
    QApplication::processEvents();
    QCOMPARE(scrollBar->value(), value);
    QCOMPARE(editor.cursorForPosition(QPoint(0, 0)).blockNumber(), top);

    editor.setHighlighter(nullptr);
    editor.setHighlighter(&highlighter);
    QApplication::processEvents();
    QCOMPARE(scrollBar->value(), value);
    QCOMPARE(editor.cursorForPosition(QPoint(0, 0)).blockNumber(), top);
}

void SourceEditorTest::schemeChangeResizesTheScrollRange()
{
    // Keywords are bold in the dark scheme only, so in a proportional font
    // wrapped lines of them take more screen lines there.
    EditorProbe editor;
    editor.setFont(QFont("DejaVu Sans", 10));
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    QKOSHighlighter highlighter;
    editor.setHighlighter(&highlighter);
    editor.setLineWrapMode(QTextEdit::WidgetWidth);
    QStringList lines;
    for (int words = 1; words < 80; ++words)
        lines << QString("while ").repeated(words);
    editor.setPlainText(lines.join('\n'));
    QVERIFY(editor.showOnScreen());
    QVERIFY(waitForFullLayout(editor));
    const int lightRange = editor.verticalScrollBar()->maximum();

    editor.setSyntaxStyle(QSyntaxStyle::defaultDarkStyle());
    const int darkRange = editor.verticalScrollBar()->maximum();
    QVERIFY(darkRange > lightRange);
    QVERIFY(waitForFullLayout(editor));
    QCOMPARE(editor.verticalScrollBar()->maximum(), darkRange);
}

QTEST_MAIN(SourceEditorTest)
#include "source_editor_test.moc"

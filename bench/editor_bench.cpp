// Times the source editor on a generated 10,000-line script, shown on the
// offscreen platform, every step including the repaint it causes:
// opening the script with the script highlighter installed; installing the
// highlighter on the open script; switching the colour scheme; a keystroke in
// the middle of the script; a caret move onto an unmatched bracket at the top
// (its partner is searched to the end of the script); scrolling one page.
#include "qkoshighlighter.h"
#include "qsourceeditor.h"
#include "qsyntaxstyle.h"
#include "script_timing.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <cstdio>
#include <vector>

namespace {

const int lineCount = 10000;
const int runs = 5;
const int keystrokes = 60;
const double frameMs = 16.0;
const double reloadGoalMs = 500.0;

// Lets the editor repaint what the step changed.
void settle()
{
    QApplication::processEvents();
}

void placeCursor(QSourceEditor& editor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(position);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
    settle();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The bracket on the first line has no partner.
    const QString script = "// open ( bracket\n" + generatedScript(lineCount - 1);
    const int bracket = script.indexOf('(');

    QSourceEditor editor;
    editor.setSyntaxStyle(QSyntaxStyle::defaultStyle());
    QKOSHighlighter highlighter;
    editor.setHighlighter(&highlighter);
    editor.resize(1000, 800);
    editor.show();
    if (!QTest::qWaitForWindowExposed(&editor)) {
        std::printf("the editor was never shown\n");
        return 1;
    }

    std::vector<double> opened, installed, switched;
    for (int run = 0; run < runs; ++run) {
        opened.push_back(timeMs([&] {
            editor.setPlainText(script);
            settle();
        }));
        // In the middle of the script, as a user reading it would be.
        placeCursor(editor, editor.document()->findBlockByNumber(lineCount / 2).position());
        const int scroll = editor.verticalScrollBar()->value();

        editor.setHighlighter(nullptr);
        settle();
        installed.push_back(timeMs([&] {
            editor.setHighlighter(&highlighter);
            settle();
        }));
        switched.push_back(timeMs([&] {
            editor.setSyntaxStyle(run % 2 ? QSyntaxStyle::defaultStyle()
                                          : QSyntaxStyle::defaultDarkStyle());
            settle();
        }));
        if (editor.verticalScrollBar()->value() != scroll)
            std::printf("the view moved from %d to %d\n", scroll,
                        editor.verticalScrollBar()->value());
    }

    std::vector<double> typed;
    for (int key = 0; key < keystrokes; ++key) {
        typed.push_back(timeMs([&] {
            QTest::keyClick(&editor, key % 2 ? Qt::Key_Backspace : Qt::Key_X);
            settle();
        }));
    }

    std::vector<double> moved;
    placeCursor(editor, bracket + 1);
    for (int move = 0; move < keystrokes / 2; ++move) {
        moved.push_back(timeMs([&] {
            QTest::keyClick(&editor, Qt::Key_Left);
            settle();
        }));
        QTest::keyClick(&editor, Qt::Key_Right);
        settle();
    }

    std::vector<double> scrolled;
    placeCursor(editor, editor.document()->findBlockByNumber(lineCount / 2).position());
    for (int page = 0; page < keystrokes / 2; ++page) {
        scrolled.push_back(timeMs([&] {
            editor.verticalScrollBar()->triggerAction(page % 2 ? QScrollBar::SliderPageStepSub
                                                               : QScrollBar::SliderPageStepAdd);
            settle();
        }));
    }

    std::printf("%d lines, %d runs, %d keystrokes\n", lineCount, runs, keystrokes);
    report("open the script, highlighted", opened, reloadGoalMs);
    report("install the highlighter on the open script", installed, reloadGoalMs);
    report("switch the colour scheme", switched, reloadGoalMs);
    report("keystroke in the middle", typed, frameMs);
    report("caret onto an unmatched bracket at the top", moved, frameMs);
    report("scroll one page in the middle", scrolled, frameMs);
    return 0;
}

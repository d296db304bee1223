// Times the script highlighter on a generated 10,000-line script: the full
// highlight when the script is loaded into a document the highlighter is
// attached to (as when the editor opens a file), and the re-highlight of every
// following line after "/*" is typed at the start of the first line and
// removed again. Goal for each: under 300 ms.
#include "qkoshighlighter.h"
#include "qsyntaxstyle.h"
#include "script_timing.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <vector>

namespace {

const int lineCount = 10000;
const int runs = 5;
const double goalMs = 300.0;

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString script = generatedScript(lineCount);
    std::vector<double> fresh, opened, closed;
    for (int run = 0; run < runs; ++run) {
        // The document lays itself out like an editor's; only then do edits
        // reach the highlighter.
        QTextDocument document;
        document.documentLayout();
        QKOSHighlighter highlighter;
        highlighter.setSyntaxStyle(QSyntaxStyle::defaultStyle());
        highlighter.setDocument(&document);

        fresh.push_back(timeMs([&] { document.setPlainText(script); }));

        QTextCursor cursor(&document);
        opened.push_back(timeMs([&] { cursor.insertText("/*"); }));
        if (document.lastBlock().userState() != 1)
            std::printf("the opened comment did not reach the last line\n");
        closed.push_back(timeMs([&] {
            cursor.setPosition(0);
            cursor.setPosition(2, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }));
        if (document.lastBlock().userState() != 0)
            std::printf("the removed comment still reaches the last line\n");
    }

    std::printf("%d lines, %d runs\n", lineCount, runs);
    report("highlight from scratch", fresh, goalMs);
    report("type \"/*\" on the first line", opened, goalMs);
    report("remove the \"/*\" again", closed, goalMs);
    return 0;
}

// Times the script highlighter on a generated 10,000-line script: the full
// highlight when the script is loaded into a document the highlighter is
// attached to (as when the editor opens a file), and the re-highlight of every
// following line after "/*" is typed at the start of the first line and
// removed again. Goal for each: under 300 ms.
#include "qkoshighlighter.h"
#include "qsyntaxstyle.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const int lineCount = 10000;
const int runs = 5;
const double goalMs = 300.0;

QString generatedScript()
{
    const QStringList header = {
        "#include \"lib.kos\"",
        "#include <delay.kos>",
        "#define LED_PIN 13",
        "",
    };
    const QStringList body = {
        // No block comment: the comment opened on the first line then runs to
        // the end and every line is re-coloured.
        "// Blink the LED %1 times",
        "// and report the count.",
        "var count%1 = 0x%1;",
        "var buffer%1[16];",
        "",
        "blink%1(var times) {",
        "    var i = 0;",
        "    while (i < times) {",
        "        PA0.VALUE = 1; // on",
        "        delay(250);",
        "        PA0.VALUE = 0;",
        "        sleep(017);",
        "        i = i + 1;",
        "    }",
        "    if (times > 10) return sizeof(buffer%1);",
        "    sprintf(buffer%1, \"count %d\", count%1);",
        "    return memcmp(buffer%1, \"x\", 1);",
        "}",
        "",
    };
    QStringList lines = header;
    for (int block = 0; lines.size() < lineCount; ++block) {
        for (const QString& line : body) {
            if (lines.size() == lineCount)
                break;
            lines << (line.contains("%1") ? line.arg(block) : line);
        }
    }
    return lines.join('\n');
}

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-40s median %8.1f ms  min %8.1f ms  max %8.1f ms  goal < %.0f ms  %s\n", what,
                median, times.front(), times.back(), goalMs, median < goalMs ? "ok" : "SLOW");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString script = generatedScript();
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
    report("highlight from scratch", fresh);
    report("type \"/*\" on the first line", opened);
    report("remove the \"/*\" again", closed);
    return 0;
}

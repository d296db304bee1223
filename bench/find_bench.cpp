// Times find-as-you-type on the project page with a generated 10,000-line
// script open: each keystroke typed into the find field, the search it runs
// and the repaint, for a word met at once, a word found only on the last
// line and a word that is nowhere (the whole script searched, wrapping once).
// The goal is one frame, 16 ms, per keystroke.
//
// usage: find_bench
#include "bench_project.h"
#include "kolmprojectwindow.h"
#include "script_timing.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cstdio>
#include <vector>

namespace {

const int lineCount = 10000;
const int runs = 5;
const double frameMs = 16.0;

// The times of the keystrokes that type `word`, from the top of the script.
std::vector<double> typeWord(QLineEdit* find, QTextEdit* editor, const QString& word)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        editor->moveCursor(QTextCursor::Start);
        find->clear();
        QApplication::processEvents();
        for (const QChar c : word) {
            times.push_back(timeMs([&] {
                QTest::keyClick(find, c.toLatin1());
                QApplication::processEvents();
            }));
        }
    }
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString script = generatedScript(lineCount - 1) + "// zebra crossing at the end\n";
    KolmProjectWindow page;
    if (!openBenchProject(dir.path(), script.toUtf8(), page))
        return 1;
    page.readSettings();
    page.resize(1000, 800);
    page.show();
    if (!QTest::qWaitForWindowExposed(&page)) {
        std::printf("the page was never shown\n");
        return 1;
    }
    page.showFindReplace();
    auto* find = page.findChild<QLineEdit*>(QStringLiteral("codeFindEdit"));
    auto* editor = page.findChild<QTextEdit*>(QStringLiteral("codeEditor"));
    if (!find || !editor)
        return 1;

    // Once untimed: the first search and paint fill the caches.
    typeWord(find, editor, QStringLiteral("return"));
    const std::vector<double> common = typeWord(find, editor, QStringLiteral("return"));
    const std::vector<double> last = typeWord(find, editor, QStringLiteral("zebra crossing"));
    if (editor->textCursor().selectedText() != QLatin1String("zebra crossing"))
        std::printf("the last line was not found\n");
    const std::vector<double> nowhere = typeWord(find, editor, QStringLiteral("qqqqqqqq"));

    std::printf("%d lines, %d runs per word\n", lineCount, runs);
    report("keystroke, word found at once", common, frameMs);
    report("keystroke, word on the last line", last, frameMs);
    report("keystroke, word nowhere", nowhere, frameMs);
    return 0;
}

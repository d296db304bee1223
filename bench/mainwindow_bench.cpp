// Times the IDE's main window on the offscreen platform: from construction
// to the window shown (settings read, pages built, first paint), and 10,000
// log lines logged in one burst until the panel shows the last one; reports
// the resident memory the log adds.
#include "ide_resources.h"
#include "resident_memory.h"
#include "script_timing.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QTest>
#include <QTextBrowser>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int runs = 5;
const double shownGoalMs = 1000.0;
const double logGoalMs = 1000.0;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initIdeResources();
    // Settings of its own, no update check.
    const auto settings = useBenchSettings();

    std::vector<double> shown;
    for (int i = 0; i < runs; ++i) {
        ZuROVUrazev *window = nullptr;
        shown.push_back(timeMs([&] {
            window = new ZuROVUrazev;
            window->readSettings();
            window->show();
            QTest::qWaitForWindowExposed(window);
            QApplication::processEvents();
        }));
        delete window;
    }
    report("start to window shown", shown, shownGoalMs);

    std::vector<double> logged;
    long addedKb = 0;
    for (int i = 0; i < runs; ++i) {
        ZuROVUrazev window;
        window.show();
        QTest::qWaitForWindowExposed(&window);
        auto *log = window.findChild<QTextBrowser *>(QStringLiteral("logBrowser"));
        log->show();
        QApplication::processEvents();
        const long before = residentKb(getpid());
        logged.push_back(timeMs([&] {
            for (int line = 0; line < ZuROVUrazev::LogLines; ++line)
                window.logInfo(QStringLiteral("line %1: <packet> sent to 0x%2").arg(line).arg(line, 4, 16));
            while (log->document()->blockCount() < ZuROVUrazev::LogLines)
                QApplication::processEvents();
            QApplication::processEvents();
        }));
        addedKb = std::max(addedKb, residentKb(getpid()) - before);
    }
    report("10,000 log lines", logged, logGoalMs);
    std::printf("memory added by 10,000 log lines: %ld KiB\n", addedKb);
    return 0;
}

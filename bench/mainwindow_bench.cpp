// Times the IDE's main window on the offscreen platform: from construction
// to the window shown (settings read, pages built, first paint), also with
// a 10,000-line project of the last session to reopen (and until that
// project is open), and 10,000 log lines logged in one burst until the
// panel shows the last one; reports the resident memory the log adds.
#include "ide_resources.h"
#include "kolmprojectwindow.h"
#include "resident_memory.h"
#include "script_timing.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
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

// The time on `clock` when the window first painted: the window is shown.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *window, const QElapsedTimer &clock) : m_clock(clock) { window->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && atMs < 0)
            atMs = m_clock.nsecsElapsed() / 1e6;
        return false;
    }
    double atMs = -1;

private:
    const QElapsedTimer &m_clock;
};

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

    // The last session's project: one main script of 10,000 lines.
    QTemporaryDir projectDir;
    {
        QFile script(projectDir.filePath(QStringLiteral("main.kos")));
        QFile project(projectDir.filePath(QStringLiteral("big.kcpro")));
        if (!script.open(QIODevice::WriteOnly) || !project.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write the project\n");
            return 1;
        }
        script.write(generatedScript(10000).toUtf8());
        project.write(R"({"name": "big", "files": [{"name": "main.kos", "path": "", "flags": ["main"]}]})");
    }
    QSettings().setValue(QStringLiteral("Editor/LastFile"), projectDir.filePath(QStringLiteral("big.kcpro")));
    std::vector<double> reopenedShown;
    std::vector<double> reopenedOpen;
    for (int i = 0; i < runs; ++i) {
        ZuROVUrazev *window = nullptr;
        QElapsedTimer clock;
        clock.start();
        window = new ZuROVUrazev;
        FirstPaint painted(window, clock);
        window->readSettings();
        window->show();
        QTest::qWaitForWindowExposed(window);
        QApplication::processEvents();
        reopenedShown.push_back(painted.atMs);
        auto *page = window->findChild<KolmProjectWindow *>(QStringLiteral("projectPage"));
        while (page && !page->project() && clock.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        reopenedOpen.push_back(clock.nsecsElapsed() / 1e6);
        delete window;
    }
    QSettings().remove(QStringLiteral("Editor/LastFile"));
    report("start to first paint, 10,000-line project reopened", reopenedShown, shownGoalMs);
    report("start to that project open", reopenedOpen, shownGoalMs);

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

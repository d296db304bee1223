// Times the project page's build on generated scripts of 500, 2,000 and
// 10,000 lines: compile() until compilationFinished, as the Build action
// runs it, with the image written to the project's output file. The build
// runs on the GUI thread, so a 5 ms GUI timer ticking meanwhile shows how
// long the window stands still: its longest gap is printed beside the
// build's time.
//
// usage: project_build_bench
#include "bench_project.h"
#include "kolmprojectwindow.h"
#include "script_timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int runs = 5;
const double goalMs = 200.0; // at 2,000 lines

// One build started from the event loop; its time and the longest gap
// between two ticks of a 5 ms timer around it.
struct Measure {
    double buildMs = 0;
    double longestGapMs = 0;
    bool ok = false;
};

Measure measure(KolmProjectWindow& page)
{
    Measure result;
    QEventLoop loop;
    GuiGapMeter gaps;
    QElapsedTimer build;
    const auto finished = QObject::connect(&page, &KolmProjectWindow::compilationFinished, [&](bool ok) {
        result.buildMs = build.nsecsElapsed() / 1e6;
        result.ok = ok;
        // A few ticks after the build close the gap it caused.
        QTimer::singleShot(30, &loop, &QEventLoop::quit);
    });
    QTimer::singleShot(20, &page, [&] {
        build.start();
        page.compile();
    });
    loop.exec();
    QObject::disconnect(finished);
    result.longestGapMs = gaps.longestMs();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("%8s %12s %12s %14s %10s  %s\n", "lines", "build ms", "(least)", "GUI gap ms", "file", "size report");
    for (int lines : {500, 2000, 10000}) {
        QTemporaryDir dir;
        const QByteArray source = benchProjectScript(lines);
        KolmProjectWindow page;
        if (!openBenchProject(dir.path(), source, page))
            return 1;

        QString sizes;
        QObject::connect(&page, &KolmProjectWindow::information, [&](const QString& line) { sizes = line; });
        QObject::connect(&page, &KolmProjectWindow::error,
                         [](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
        std::vector<double> times, gaps;
        for (int run = 0; run < runs; ++run) {
            const Measure m = measure(page);
            if (!m.ok) {
                std::fprintf(stderr, "the build of %d lines failed\n", lines);
                return 1;
            }
            times.push_back(m.buildMs);
            gaps.push_back(m.longestGapMs);
        }
        std::sort(times.begin(), times.end());
        std::sort(gaps.begin(), gaps.end());
        std::printf("%8d %12.1f %12.1f %14.1f %10d  %s\n", int(source.count('\n')), times[runs / 2], times.front(),
                    gaps[runs / 2], page.outputElf().size(), qPrintable(sizes));
        if (lines == 2000)
            report("build of 2,000 lines", times, goalMs);
    }
    return 0;
}

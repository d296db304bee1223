// Times the main window's Upload action on an unbuilt 10,000-line project,
// on the offscreen platform: from the action until its first request
// leaves through the transport (a fake one), with Yes to the question
// whether to compile first. The build runs synchronously on the GUI thread,
// so a 5 ms GUI timer ticking meanwhile shows how long the window stands
// still: its longest gap and the build's own time (Yes to the build's end)
// are printed beside the total.
//
// usage: upload_bench
#include "bench_project.h"
#include "fake_messenger.h"
#include "ide_resources.h"
#include "kolmprojectwindow.h"
#include "modal_driver.h"
#include "script_timing.h"
#include "zurovurazev.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int runs = 5;
const int lines = 10000;
const double goalMs = 1000.0;
// A run that sends nothing within this time has failed.
const int giveUpMs = 60000;

struct Measure {
    double totalMs = 0;
    double buildMs = 0;
    double longestGapMs = 0;
    bool ok = false;
};

Measure measure(const QString &directory)
{
    Measure result;
    ZuROVUrazev window;
    auto *page = window.findChild<KolmProjectWindow *>(QStringLiteral("projectPage"));
    if (!openBenchProject(directory, benchProjectScript(lines), *page))
        return result;
    auto *fake = new FakeMessenger(QStringLiteral("usb"), &window);
    fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    fake->open(QStringLiteral("bench"));
    fake->connectNow();
    window.attachTransport(fake, 0x0042, 0x0042);
    auto *upload = window.findChild<QAction *>(QStringLiteral("actionUpload"));
    upload->setEnabled(true);

    QElapsedTimer total, build;
    ModalDriver modal;
    modal.then([&build](QWidget *box) {
        build.start();
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    });
    QObject::connect(page, &KolmProjectWindow::compilationFinished,
                     [&](bool) { result.buildMs = build.nsecsElapsed() / 1e6; });

    GuiGapMeter gaps;
    // The action returns once its first request is out: the question and
    // the wait for the build run their own event loops meanwhile.
    bool done = false;
    QTimer::singleShot(20, &window, [&] {
        total.start();
        upload->trigger();
        result.totalMs = total.nsecsElapsed() / 1e6;
        result.ok = fake->sent().size() == 1;
        done = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < giveUpMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    result.longestGapMs = gaps.longestMs();
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initIdeResources();
    const auto settings = useBenchSettings();

    std::vector<double> totals, builds, gaps;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        const Measure m = measure(dir.path());
        if (!m.ok) {
            std::fprintf(stderr, "run %d: no request left the window\n", run);
            return 1;
        }
        totals.push_back(m.totalMs);
        builds.push_back(m.buildMs);
        gaps.push_back(m.longestGapMs);
    }
    std::sort(builds.begin(), builds.end());
    std::sort(gaps.begin(), gaps.end());
    std::printf("%d-line project: build %.1f ms (median), longest GUI gap %.1f ms (median)\n", lines,
                builds[runs / 2], gaps[runs / 2]);
    report("Upload of an unbuilt project to its first request", totals, goalMs);
    return 0;
}

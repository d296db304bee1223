// Times the export and the import of a 2,000-file, 20 MB project package as
// the window ran them before (on the GUI thread, which stood still until
// the end) and as it runs them now (on a worker, with the progress dialog
// over the window), with the longest time the GUI thread stood still in
// each. The import goes into a new directory each time.
//
// usage: package_progress_bench
#include "kolmpackageexport.h"
#include "kolmpackageimport.h"
#include "kolmpackageprogress.h"
#include "kolmproject.h"
#include "package_project.h"
#include "package_run.h"
#include "script_timing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

const int files = 2000;
const int fileSize = 10 * 1000;
const double goalMs = 2000.0;

// One run: its time and the longest the GUI thread stood still.
void measure(const char* what, const std::function<bool()>& run)
{
    bool ok = false;
    double stall = 0;
    const double ms = timeMs([&] {
        GuiGapMeter meter;
        ok = run();
        QApplication::processEvents();
        stall = meter.longestMs();
    });
    std::printf("%-34s %8.1f ms (goal %.0f ms: %s), GUI thread still for at most %6.1f ms%s\n", what, ms, goalMs,
                ms < goalMs ? "met" : "missed", stall, ok ? "" : "  FAILED");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    const QString projectDir = root.filePath(QStringLiteral("proj"));
    KolmProject project;
    if (!makePackageProject(projectDir, files, fileSize) || !project.load(projectDir + QStringLiteral("/bench.kcpro"))) {
        std::fprintf(stderr, "cannot write the project\n");
        return 1;
    }
    std::printf("project: %d files, %d bytes\n", files, files * fileSize);
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    QTest::qWaitForWindowExposed(&window);

    const QString before = root.filePath(QStringLiteral("before.zip"));
    const QString now = root.filePath(QStringLiteral("now.zip"));
    measure("export on the GUI thread (before)",
            [&] { return KolmPackageExport(&project, QStringLiteral("bench")).writeTo(before); });
    measure("export with the progress dialog", [&] {
        KolmPackageExport package(&project, QStringLiteral("bench"));
        return runPackageWork(&window, QStringLiteral("Exporting"),
                              [&](KolmPackageProgress* progress) { return package.writeTo(now, progress); });
    });
    std::printf("package: %lld bytes\n", static_cast<long long>(QFile(now).size()));
    measure("import on the GUI thread (before)", [&] {
        KolmPackageImport package(before);
        return package.open() && package.extractTo(root.filePath(QStringLiteral("imported-before")));
    });
    measure("import with the progress dialog", [&] {
        KolmPackageImport package(now);
        return package.open()
               && runPackageWork(&window, QStringLiteral("Importing"), [&](KolmPackageProgress* progress) {
                      return package.extractTo(root.filePath(QStringLiteral("imported-now")), progress);
                  });
    });
    return 0;
}

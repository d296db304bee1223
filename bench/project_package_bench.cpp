// Times the export of a project of 200 files, 20 MB in all (half of them
// text, half incompressible), into a package, and the import of that
// package into an empty directory. Beside each time it prints how far the
// process's peak resident memory rose during the run: the files pass
// through in pieces, so it stays far below the package's size.
//
// usage: project_package_bench
#include "kolmpackageexport.h"
#include "kolmpackageimport.h"
#include "kolmproject.h"
#include "package_project.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace {

const int files = 200;
const int fileSize = 100 * 1000;
const double goalMs = 2000.0;

// A line of /proc/self/status in kB: "VmRSS:" the resident memory now,
// "VmHWM:" its peak since the last resetPeak().
long statusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void report(const char* what, const std::function<bool()>& run)
{
    resetPeak();
    const long before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    const bool ok = run();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%-8s %8.1f ms (goal %.0f ms: %s), peak memory +%ld kB%s\n", what, ms, goalMs,
                ms < goalMs ? "met" : "missed", statusKb("VmHWM:") - before, ok ? "" : "  FAILED");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    const QString projectDir = root.filePath(QStringLiteral("proj"));
    if (!makePackageProject(projectDir, files, fileSize)) {
        std::fprintf(stderr, "cannot write the project\n");
        return 1;
    }
    KolmProject project;
    if (!project.load(projectDir + QStringLiteral("/bench.kcpro"))) {
        std::fprintf(stderr, "cannot load the project\n");
        return 1;
    }
    std::printf("project: %d files, %d bytes\n", files, files * fileSize);

    const QString packagePath = root.filePath(QStringLiteral("bench.zip"));
    report("export", [&] { return KolmPackageExport(&project, QStringLiteral("bench")).writeTo(packagePath); });
    std::printf("package: %lld bytes\n", static_cast<long long>(QFile(packagePath).size()));
    report("import", [&] {
        KolmPackageImport package(packagePath);
        return package.open() && package.extractTo(root.filePath(QStringLiteral("imported")));
    });
    return 0;
}

// CPU cost of waiting on a silent HID device: HIDProxy::waitForReadyRead(200)
// on a device in memory that never answers, as the firmware updater and the
// device control wait for a report. Prints, per run, the wall time, the CPU
// time (user + system) the process spent in the wait, its share of one core
// and how often the wait read the device.

#include "memory_hid_proxy.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr int kWaitMs = 200;
constexpr int kRuns = 5;

double cpuMs()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    MemoryHidProxy device;
    if (!device.setDevice(QStringLiteral("0483:a26a:bench")))
        return 1;

    std::printf("waitForReadyRead(%d) on a silent device\n", kWaitMs);
    std::printf("%4s %10s %10s %8s %10s\n", "run", "wall ms", "CPU ms", "core %", "reads");
    double totalCpu = 0;
    double totalWall = 0;
    for (int run = 1; run <= kRuns; ++run) {
        device.reads = 0;
        QElapsedTimer wall;
        const double cpuBefore = cpuMs();
        wall.start();
        const int result = device.waitForReadyRead(kWaitMs);
        const double wallMs = double(wall.nsecsElapsed()) / 1e6;
        const double cpu = cpuMs() - cpuBefore;
        if (result != -1)
            return 1;
        totalCpu += cpu;
        totalWall += wallMs;
        std::printf("%4d %10.1f %10.1f %8.1f %10d\n", run, wallMs, cpu, 100.0 * cpu / wallMs, device.reads);
    }
    std::printf("mean %9.1f %10.1f %8.1f\n", totalWall / kRuns, totalCpu / kRuns, 100.0 * totalCpu / totalWall);
    return 0;
}

// Firmware flashing of a 64 KB image through the updater's runner, in USB
// report mode, USB bulk mode and over the serial link, against simulated
// bootloaders that stay busy a stated time per programmed byte. Prints the
// wall time, the status reads and whether the bootloader's memory holds the
// image; the goal is that bulk mode beats report mode.
//   dfu_bench [KILOBYTES [NANOSECONDS_PER_BYTE]]

#include "firmware_package.h"
#include "hid_bootloader.h"
#include "hiddfu_runner.h"
#include "hiddfu_worker.h"
#include "serial_bootloader.h"
#include "uartcommunicator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

struct Run
{
    double seconds = 0;
    int statusReads = 0;
    bool done = false;
    bool imageWritten = false;
};

QByteArray imageOf(int size)
{
    QByteArray image(size, '\0');
    for (int k = 0; k < size; ++k)
        image[k] = char(k * 13 + 5);
    return image;
}

// Flashes `image` with a runner of `mode` through `handle`; `memory` reads
// what the bootloader holds afterwards.
Run flash(hiddfu_runner::Mode mode, void *handle, const QByteArray &image,
          const std::function<QByteArray()> &memory, const std::function<int()> &statusReads)
{
    Run run;
    QTemporaryFile file;
    // Without info text the image starts at byte 12.
    const QByteArray package = firmwarePackage(0, QByteArray(), image);
    if (!file.open() || file.write(package) != package.size() || !file.seek(12))
        return run;

    hiddfu_runner runner(mode);
    QEventLoop loop;
    QObject::connect(&runner, &hiddfu_runner::error, &loop, [&](int code, const QVariant &) {
        if (code != hiddfu_worker::LogLine)
            run.done = code == hiddfu_worker::Done;
    });
    // The runner is idle once the worker's finished() came.
    QTimer idle;
    idle.setInterval(10);
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        if (!runner.isBusy())
            loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    runner.start(QStringLiteral("flash"), handle, &file);
    idle.start();
    loop.exec();
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    run.statusReads = statusReads();
    const QByteArray written = memory();
    run.imageWritten = written.left(image.size()) == image;
    return run;
}

void print(const char *mode, const Run &run)
{
    std::printf("%-8s %9.2f %13d %8s %8s\n", mode, run.seconds, run.statusReads, run.done ? "yes" : "no",
                run.imageWritten ? "yes" : "no");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int kilobytes = argc > 1 ? std::atoi(argv[1]) : 64;
    const qint64 nsPerByte = argc > 2 ? std::atoll(argv[2]) : 1000;
    if (kilobytes <= 0 || nsPerByte < 0) {
        std::fprintf(stderr, "usage: dfu_bench [KILOBYTES [NANOSECONDS_PER_BYTE]]\n");
        return 2;
    }
    const QByteArray image = imageOf(kilobytes * 1024);
    std::printf("image %d KB, bootloader busy %lld ns per programmed byte\n", kilobytes, (long long)nsPerByte);
    std::printf("%-8s %9s %13s %8s %8s\n", "mode", "seconds", "status reads", "done", "image");

    SimulatedHidBootloader reports;
    reports.busyNsPerByte = nsPerByte;
    const Run reportRun = flash(
        hiddfu_runner::USB, &reports, image, [&] { return reports.memory(); }, [&] { return reports.statusReads(); });
    print("report", reportRun);

    SimulatedHidBootloader bulk;
    bulk.busyNsPerByte = nsPerByte;
    bulk.bulkInterfaceClass = SimulatedHidBootloader::BulkClass;
    const Run bulkRun = flash(
        hiddfu_runner::USB, &bulk, image, [&] { return bulk.memory(); }, [&] { return bulk.statusReads(); });
    print("bulk", bulkRun);

    ListedPty pty;
    SerialBootloaderPeer peer(pty, 1);
    peer.busyNsPerByte = nsPerByte;
    auto *link = new UARTCommunicator;
    Run serialRun;
    if (pty.isValid() && link->open(pty.path(), {{"RS485/Baud", 115200}})) {
        link->setTarget(1);
        serialRun = flash(
            hiddfu_runner::UART, link, image, [&] { return peer.memory(); }, [&] { return peer.statusReads(); });
    }
    delete link;
    print("serial", serialRun);

    const bool goal = bulkRun.done && reportRun.done && bulkRun.seconds < reportRun.seconds;
    std::printf("goal: bulk beats report mode: %s (%.1fx)\n", goal ? "yes" : "no",
                bulkRun.seconds > 0 ? reportRun.seconds / bulkRun.seconds : 0.0);
    return goal && serialRun.done ? 0 : 1;
}

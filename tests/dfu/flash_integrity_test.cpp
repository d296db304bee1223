#include "hid_bootloader.h"
#include "hiddfu_runner.h"
#include "runner_recorder.h"
#include "serial_bootloader.h"
#include "uartcommunicator.h"

#include <QtTest>

#include <memory>

// A flash that meets a fault of the line, the bootloader or the package
// never ends in Done unless the bootloader's memory equals the image.

namespace {

constexpr int Wait = 60000;
constexpr uint8_t Target = 0x21;
// No result at all: the operation ended with finished(false) alone.
constexpr int NoResult = -1;

enum Transport { UsbReports, UsbBulk, Serial };

enum Fault {
    LostWriteFrame,  // the write frame of index `at` is dropped on the line
    Restart,         // the bootloader restarts before the write of index `at`
    PackageShrinks,  // the package is cut to `ShrunkSize` bytes after the write `at`
    HangingTransfer, // the first bulk transfer hangs; an abort arrives meanwhile
};

// What a package of 20 KiB is cut to: beyond the 16 KiB a file reads ahead.
constexpr qint64 ShrunkSize = 17012;

// The bootloader of one transport, with the link and runner that reach it.
struct Bench
{
    explicit Bench(Transport transport)
        : runner(transport == Serial ? hiddfu_runner::UART : hiddfu_runner::USB)
        , recorder(runner)
    {
        if (transport == Serial) {
            pty = std::make_unique<ListedPty>();
            peer = std::make_unique<SerialBootloaderPeer>(*pty, Target);
            link = std::make_unique<UARTCommunicator>();
            link->open(pty->path(), {{"RS485/Baud", 115200}});
            link->setTarget(Target);
            core = peer.get();
            handle = link.get();
        } else {
            usb = std::make_unique<SimulatedHidBootloader>();
            if (transport == UsbBulk)
                usb->bulkInterfaceClass = SimulatedHidBootloader::BulkClass;
            core = usb.get();
            handle = usb.get();
        }
    }

    std::unique_ptr<ListedPty> pty;
    std::unique_ptr<SerialBootloaderPeer> peer;
    std::unique_ptr<UARTCommunicator> link;
    std::unique_ptr<SimulatedHidBootloader> usb;
    SimulatedBootloaderCore *core = nullptr;
    void *handle = nullptr;
    hiddfu_runner runner;
    RunnerRecorder recorder;
};

} // namespace

class FlashIntegrityTest : public QObject
{
    Q_OBJECT

private slots:
    void faultNeverEndsInDone_data();
    void faultNeverEndsInDone();
};

void FlashIntegrityTest::faultNeverEndsInDone_data()
{
    QTest::addColumn<int>("transport");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("param"); // invalid: not compared

    QTest::newRow("serial, lost write frame")
        << int(Serial) << 4096 << int(LostWriteFrame) << 2 << 2 << QVariant("set address");
    QTest::newRow("serial, bootloader restarts")
        << int(Serial) << 4096 << int(Restart) << 4 << 2 << QVariant("set address");
    QTest::newRow("bulk, bootloader restarts")
        << int(UsbBulk) << 4096 << int(Restart) << 2 << 2 << QVariant("set address");
    QTest::newRow("report, package shrinks") << int(UsbReports) << 20480 << int(PackageShrinks) << 20 << 3 << QVariant();
    QTest::newRow("bulk, package shrinks") << int(UsbBulk) << 20480 << int(PackageShrinks) << 10 << 3 << QVariant();
    QTest::newRow("serial, package shrinks") << int(Serial) << 20480 << int(PackageShrinks) << 20 << 3 << QVariant();
    QTest::newRow("bulk, abort during the hanging transfer")
        << int(UsbBulk) << 4096 << int(HangingTransfer) << 0 << NoResult << QVariant();
}

void FlashIntegrityTest::faultNeverEndsInDone()
{
    QFETCH(int, transport);
    QFETCH(int, size);
    QFETCH(int, fault);
    QFETCH(int, at);
    QFETCH(QVariant, param);
    Bench bench{Transport(transport)};
    if (transport == Serial)
        QVERIFY(bench.link->isOpen());
    const QByteArray image = testImage(size);
    auto file = openPackage(image);
    QVERIFY(file);
    const QString path = file->fileName();

    switch (Fault(fault)) {
    case LostWriteFrame:
        bench.peer->dropWriteFrame = at;
        break;
    case Restart:
        bench.core->restartAtWrite = at;
        break;
    case PackageShrinks:
        bench.core->afterWrite = [at, path](int index) {
            if (index == at)
                QFile::resize(path, ShrunkSize);
        };
        break;
    case HangingTransfer:
        bench.usb->failBulkTransferAt = at;
        bench.usb->failedTransferMs = Wait;
        break;
    }

    bench.runner.start(QStringLiteral("flash"), bench.handle, file.get());
    QVERIFY(bench.runner.isBusy());
    if (fault == HangingTransfer) {
        // The transfer hangs when the abort comes, and fails once the abort
        // is on its way: inside the runner's wait for the worker.
        QTRY_VERIFY_WITH_TIMEOUT(bench.usb->transferHanging, Wait);
        QMetaObject::invokeMethod(this, [&bench] { bench.usb->letTransferGo = true; }, Qt::QueuedConnection);
        bench.runner.abort();
    }
    QTRY_VERIFY_WITH_TIMEOUT(!bench.runner.isBusy(), Wait);

    const QList<RunnerRecorder::Result> &results = bench.recorder.results;
    QVERIFY(results.size() <= 1);
    const int code = results.isEmpty() ? NoResult : results[0].code;
    const QByteArray memory = bench.core->memory();
    if (code == hiddfu_worker::Done)
        QCOMPARE(memory.left(size), image);
    QTEST(code, "code");
    if (param.isValid())
        QCOMPARE(results[0].param, param);
    // One erase: nothing starts over, least of all after an abort.
    const QStringList commands = bench.core->commands();
    QCOMPARE(commands.filter(QRegularExpression(QStringLiteral("^erase"))).size(), 1);
}

QTEST_GUILESS_MAIN(FlashIntegrityTest)
#include "flash_integrity_test.moc"

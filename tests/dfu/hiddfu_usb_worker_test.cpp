#include "hid_bootloader.h"
#include "hiddfu_runner.h"
#include "runner_recorder.h"

#include <QPointer>
#include <QtTest>

namespace {

constexpr int Wait = 30000;

// The commands of a report-mode write of `size` bytes: erase, blocks 1 to n
// at 56, 112, ..., then block 0.
QStringList reportCommands(int size)
{
    QStringList commands{QStringLiteral("erase %1").arg(size)};
    if (size > 56) {
        commands.append(QStringLiteral("address 56"));
        for (int address = 56; address < size; address += 56)
            commands.append(QStringLiteral("data %1 56").arg(address));
    }
    commands << QStringLiteral("address 0") << QStringLiteral("data 0 56");
    return commands;
}

// The memory after a report-mode write: the image, then zeros to the end
// of its last report.
QByteArray reportMemory(const QByteArray &image)
{
    return image + QByteArray((56 - image.size() % 56) % 56, '\0');
}

// A runner in USB mode and what it relays.
struct UsbRun
{
    hiddfu_runner runner{hiddfu_runner::USB};
    RunnerRecorder recorder{runner};

    // Runs `op` until the runner is idle again.
    bool toEnd(const QString &op, SimulatedHidBootloader *bootloader, QFile *file)
    {
        runner.start(op, bootloader, file);
        return runner.isBusy() && QTest::qWaitFor([this] { return !runner.isBusy(); }, Wait);
    }
};

enum Fault {
    NoFault,
    EraseError,
    StuckAddress,
    ErrorAfterBlock,
    ErrorAfterBlockZero,
    StatusUnreadable,
    StorageErrorCrc,
};

} // namespace

class HiddfuUsbWorkerTest : public QObject
{
    Q_OBJECT

private slots:
    void reportMode_data();
    void reportMode();
    void bulkMode_data();
    void bulkMode();
    void errors_data();
    void errors();
    void secondStartIsBusy();
    void unsupportedOperations_data();
    void unsupportedOperations();
    void startAfterFinishedRuns();
    void abortWhileIdle();
    void abortDuringWait_data();
    void abortDuringWait();
    void deletedInsideAbortWait();
};

void HiddfuUsbWorkerTest::reportMode_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<int>>("percents");

    QTest::newRow("1 byte") << 1 << QList<int>{0, 100};
    QTest::newRow("56 bytes: block 0 alone") << 56 << QList<int>{0, 100};
    QTest::newRow("57 bytes: one byte at 56") << 57 << QList<int>{0, 2, 100};
    QTest::newRow("168 bytes") << 168 << QList<int>{0, 33, 67, 100};
    QTest::newRow("1000 bytes") << 1000
                                << QList<int>{0, 6, 11, 17, 22, 28, 34, 39, 45, 50, 56, 62, 67, 73, 78, 84, 90, 94, 100};
}

void HiddfuUsbWorkerTest::reportMode()
{
    QFETCH(int, size);
    SimulatedHidBootloader bootloader;
    bootloader.erasePolls = 2;
    bootloader.writePolls = 1;
    const QByteArray image = testImage(size);
    auto file = openPackage(image);
    QVERIFY(file);
    UsbRun run;
    QVERIFY(run.toEnd(QStringLiteral("flash"), &bootloader, file.get()));
    const RunnerRecorder &recorder = run.recorder;

    QCOMPARE(recorder.results.size(), 1);
    QCOMPARE(recorder.results[0].code, 0);
    QVERIFY(!recorder.results[0].param.isValid());
    QVERIFY(recorder.results[0].whileBusy);
    QCOMPARE(bootloader.commands(), reportCommands(size));
    QCOMPARE(bootloader.memory(), reportMemory(image));
    QCOMPARE(recorder.logs, QStringList({"Erasing...", "flashing"}));
    QTEST(recorder.percents(), "percents");
    // One tick per erase poll: two busy reads, then the idle one.
    QCOMPARE(recorder.ticks(), 3);
}

void HiddfuUsbWorkerTest::bulkMode_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("interfaceClass");
    QTest::addColumn<int>("failTransfer");
    QTest::addColumn<int>("writeErrorAt");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("logs");

    const QStringList report1000 = reportCommands(1000);
    const QStringList plain{"Erasing...", "flashing"};
    QTest::newRow("1000 bytes") << 1000 << 0xFF << -1 << -1
                                << QStringList{"erase 1000", "address 512", "bulk 512 488", "address 0", "bulk 0 512"}
                                << plain;
    QTest::newRow("512 bytes: one block") << 512 << 0xFF << -1 << -1
                                          << QStringList{"erase 512", "address 0", "bulk 0 512"} << plain;
    QTest::newRow("10 bytes: one block") << 10 << 0xFF << -1 << -1
                                         << QStringList{"erase 10", "address 0", "bulk 0 10"} << plain;
    QTest::newRow("first transfer fails")
        << 1000 << 0xFF << 0 << -1 << QStringList{"erase 1000", "address 512"} + report1000
        << plain + QStringList{"Bulk interface not supported - fallback to the slower one"} + plain;
    QTest::newRow("first and only transfer fails")
        << 300 << 0xFF << 0 << -1 << QStringList{"erase 300", "address 0"} + reportCommands(300)
        << plain + QStringList{"Bulk interface not supported - fallback to the slower one"} + plain;
    QTest::newRow("later transfer fails")
        << 1000 << 0xFF << 1 << -1
        << QStringList{"erase 1000", "address 512", "bulk 512 488", "address 0"} + report1000
        << plain + QStringList{"data bulk transfer"} + plain;
    QTest::newRow("bootloader error in the block loop")
        << 1000 << 0xFF << -1 << 0 << QStringList{"erase 1000", "address 512", "bulk 512 488"} + report1000
        << plain + QStringList{"flashing at 0. internal error crc error"} + plain;
    QTest::newRow("interface 1 is HID") << 100 << 3 << -1 << -1 << reportCommands(100) << plain;
}

void HiddfuUsbWorkerTest::bulkMode()
{
    QFETCH(int, size);
    QFETCH(int, interfaceClass);
    SimulatedHidBootloader bootloader;
    bootloader.bulkInterfaceClass = interfaceClass;
    QFETCH(int, failTransfer);
    QFETCH(int, writeErrorAt);
    bootloader.failBulkTransferAt = failTransfer;
    bootloader.writeErrorAt = writeErrorAt;
    bootloader.writePolls = 2;
    const QByteArray image = testImage(size);
    auto file = openPackage(image);
    QVERIFY(file);
    UsbRun run;
    QVERIFY(run.toEnd(QStringLiteral("flash"), &bootloader, file.get()));
    const RunnerRecorder &recorder = run.recorder;

    QCOMPARE(recorder.results.size(), 1);
    QCOMPARE(recorder.results[0].code, 0);
    QTEST(bootloader.commands(), "commands");
    QTEST(recorder.logs, "logs");
    const bool reports = bootloader.commands().contains(QStringLiteral("data 0 56"));
    QCOMPARE(bootloader.memory(), reports ? reportMemory(image) : image);
    QCOMPARE(recorder.percents().last(), 100);
}

void HiddfuUsbWorkerTest::errors_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("param");
    QTest::addColumn<int>("statusReads");

    const QString flash = QStringLiteral("flash");
    QTest::newRow("erase error") << flash << 168 << int(EraseError) << 1 << QVariant() << 1;
    // One read after the erase, then the 20 polls of the address check.
    QTest::newRow("stuck address") << flash << 168 << int(StuckAddress) << 2 << QVariant("set address") << 21;
    QTest::newRow("bootloader error after a block")
        << flash << 168 << int(ErrorAfterBlock) << 4 << QVariant("flashing at 33. internal error crc error") << 4;
    QTest::newRow("bootloader error after block 0")
        << flash << 56 << int(ErrorAfterBlockZero) << 4 << QVariant("flashing at 0. internal error crc error") << 3;
    QTest::newRow("status unreadable") << flash << 168 << int(StatusUnreadable) << 2 << QVariant("get status") << 0;
    QTest::newRow("empty image") << flash << 0 << int(NoFault) << 2 << QVariant("empty image") << 0;
    QTest::newRow("storage erased") << QStringLiteral("eerase") << 0 << int(NoFault) << 0
                                    << QVariant("SPI flash erased") << 1;
    QTest::newRow("storage erase crc error") << QStringLiteral("eerase") << 0 << int(StorageErrorCrc) << 1
                                             << QVariant("internal error crc error") << 1;
    QTest::newRow("storage erase, status unreadable")
        << QStringLiteral("eerase") << 0 << int(StatusUnreadable) << 2 << QVariant("get status") << 0;
}

void HiddfuUsbWorkerTest::errors()
{
    QFETCH(QString, op);
    QFETCH(int, size);
    QFETCH(int, fault);
    SimulatedHidBootloader bootloader;
    switch (Fault(fault)) {
    case NoFault:
        break;
    case EraseError:
        bootloader.eraseError = 1;
        break;
    case StuckAddress:
        bootloader.stuckAddress = true;
        break;
    case ErrorAfterBlock:
        bootloader.writeErrorAt = 1;
        break;
    case ErrorAfterBlockZero:
        bootloader.writeErrorAt = 0;
        break;
    case StatusUnreadable:
        bootloader.failFeatureReads = true;
        break;
    case StorageErrorCrc:
        bootloader.storageEraseError = 7;
        break;
    }
    auto file = openPackage(testImage(size));
    QVERIFY(file);
    UsbRun run;
    QVERIFY(run.toEnd(op, &bootloader, file.get()));
    const RunnerRecorder &recorder = run.recorder;

    QCOMPARE(recorder.results.size(), 1);
    QTEST(recorder.results[0].code, "code");
    QTEST(recorder.results[0].param, "param");
    QVERIFY(recorder.results[0].whileBusy);
    QTEST(bootloader.statusReads(), "statusReads");
    if (recorder.results[0].code != 0)
        QVERIFY(!recorder.logs.contains(QStringLiteral("SPI flash erased")));
}

void HiddfuUsbWorkerTest::secondStartIsBusy()
{
    SimulatedHidBootloader bootloader;
    bootloader.erasePolls = 3;
    auto file = openPackage(testImage(100));
    QVERIFY(file);
    hiddfu_runner runner(hiddfu_runner::USB);
    RunnerRecorder recorder(runner);

    runner.start(QStringLiteral("flash"), &bootloader, file.get());
    runner.start(QStringLiteral("flash"), &bootloader, file.get());
    runner.start(QStringLiteral("eerase"), &bootloader, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!runner.isBusy(), Wait);

    QCOMPARE(recorder.results.size(), 3);
    QCOMPARE(recorder.results[0].code, 2);
    QCOMPARE(recorder.results[0].param.toString(), QStringLiteral("Busy"));
    QCOMPARE(recorder.results[1].code, 2);
    QCOMPARE(recorder.results[1].param.toString(), QStringLiteral("Busy"));
    QCOMPARE(recorder.results[2].code, 0);
    QCOMPARE(bootloader.commands(), reportCommands(100));
    QCOMPARE(bootloader.memory(), reportMemory(testImage(100)));
}

void HiddfuUsbWorkerTest::unsupportedOperations_data()
{
    QTest::addColumn<QString>("op");
    QTest::newRow("Flash") << "Flash";
    QTest::newRow("erase") << "erase";
    QTest::newRow("empty") << "";
}

void HiddfuUsbWorkerTest::unsupportedOperations()
{
    QFETCH(QString, op);
    SimulatedHidBootloader bootloader;
    auto file = openPackage(testImage(10));
    QVERIFY(file);
    hiddfu_runner runner(hiddfu_runner::USB);
    RunnerRecorder recorder(runner);

    runner.start(op, &bootloader, file.get());
    QVERIFY(!runner.isBusy());
    QCOMPARE(recorder.results.size(), 1);
    QCOMPARE(recorder.results[0].code, 2);
    QCOMPARE(recorder.results[0].param.toString(), QStringLiteral("Unsupported operation"));
    QTest::qWait(200);
    QVERIFY(bootloader.commands().isEmpty());
    QCOMPARE(recorder.results.size(), 1);
}

void HiddfuUsbWorkerTest::startAfterFinishedRuns()
{
    SimulatedHidBootloader bootloader;
    bootloader.storageEraseError = 7;
    hiddfu_runner runner(hiddfu_runner::USB);
    RunnerRecorder recorder(runner);

    runner.start(QStringLiteral("eerase"), &bootloader, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!runner.isBusy(), Wait);
    bootloader.storageEraseError = 0;
    runner.start(QStringLiteral("eerase"), &bootloader, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!runner.isBusy(), Wait);

    QCOMPARE(recorder.results.size(), 2);
    QCOMPARE(recorder.results[0].code, 1);
    QCOMPARE(recorder.results[1].code, 0);
    QCOMPARE(bootloader.commands(), QStringList({"storage erase", "storage erase"}));
}

void HiddfuUsbWorkerTest::abortWhileIdle()
{
    SimulatedHidBootloader bootloader;
    hiddfu_runner runner(hiddfu_runner::USB);
    RunnerRecorder recorder(runner);

    runner.abort();
    QVERIFY(!runner.isBusy());
    // The thread is gone: nothing runs any more.
    runner.start(QStringLiteral("eerase"), &bootloader, nullptr);
    QVERIFY(!runner.isBusy());
    QCOMPARE(recorder.results.size(), 1);
    QCOMPARE(recorder.results[0].code, 2);
    QTest::qWait(100);
    QVERIFY(bootloader.commands().isEmpty());
    QVERIFY(recorder.progress.isEmpty());
}

void HiddfuUsbWorkerTest::abortDuringWait_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("bulkClass");
    QTest::addColumn<bool>("stuckErase");
    QTest::addColumn<bool>("stuckWrite");
    QTest::addColumn<int>("hangingTransferMs");
    QTest::addColumn<QVariant>("result"); // invalid: finished alone

    QTest::newRow("report-mode erase wait") << "flash" << -1 << true << false << 0 << QVariant();
    QTest::newRow("storage erase wait") << "eerase" << -1 << true << false << 0 << QVariant();
    QTest::newRow("bulk erase wait") << "flash" << 0xFF << true << false << 0 << QVariant("get status");
    QTest::newRow("bulk write wait") << "flash" << 0xFF << false << true << 0 << QVariant("get status");
    // The transfer hangs and fails; the abort that came meanwhile ends the
    // flash before the report mode would erase again (which would never end).
    QTest::newRow("hanging bulk transfer") << "flash" << 0xFF << false << false << 300 << QVariant();
}

void HiddfuUsbWorkerTest::abortDuringWait()
{
    QFETCH(QString, op);
    QFETCH(bool, stuckErase);
    QFETCH(bool, stuckWrite);
    QFETCH(int, hangingTransferMs);
    QFETCH(QVariant, result);
    SimulatedHidBootloader bootloader;
    QFETCH(int, bulkClass);
    bootloader.bulkInterfaceClass = bulkClass;
    if (stuckErase)
        bootloader.erasePolls = -1;
    if (stuckWrite)
        bootloader.writePolls = -1;
    if (hangingTransferMs > 0) {
        bootloader.failBulkTransferAt = 0;
        bootloader.failedTransferMs = hangingTransferMs;
    }
    auto file = openPackage(testImage(2000));
    QVERIFY(file);
    hiddfu_runner runner(hiddfu_runner::USB);
    RunnerRecorder recorder(runner);

    runner.start(op, &bootloader, file.get());
    if (hangingTransferMs > 0) {
        QTRY_VERIFY_WITH_TIMEOUT(recorder.logs.contains(QStringLiteral("flashing")), Wait);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(bootloader.statusReads() >= 3, Wait);
    }
    const int readsBefore = bootloader.statusReads();
    runner.abort();

    QVERIFY(!runner.isBusy());
    if (result.isValid()) {
        QCOMPARE(recorder.results.size(), 1);
        QCOMPARE(recorder.results[0].code, 2);
        QCOMPARE(recorder.results[0].param, result);
    } else {
        QVERIFY(recorder.results.isEmpty());
    }
    // The worker's pauses kept pausing until it saw the request: a handful
    // of reads, not a spin.
    QVERIFY2(bootloader.statusReads() - readsBefore <= 3, qPrintable(QString::number(bootloader.statusReads())));
    // No more device traffic once the thread ended.
    const QStringList commands = bootloader.commands();
    QTest::qWait(200);
    QCOMPARE(bootloader.commands(), commands);
}

void HiddfuUsbWorkerTest::deletedInsideAbortWait()
{
    SimulatedHidBootloader bootloader;
    bootloader.erasePolls = -1;
    auto file = openPackage(testImage(100));
    QVERIFY(file);
    QPointer<hiddfu_runner> runner = new hiddfu_runner(hiddfu_runner::USB);
    runner->start(QStringLiteral("flash"), &bootloader, file.get());
    QTRY_VERIFY_WITH_TIMEOUT(bootloader.statusReads() >= 2, Wait);
    // The owner goes away while abort() waits for the worker.
    QTimer::singleShot(0, this, [&] { delete runner.data(); });
    runner->abort();
    QVERIFY(runner.isNull());
    const int reads = bootloader.statusReads();
    QTest::qWait(300);
    QCOMPARE(bootloader.statusReads(), reads);
}

QTEST_GUILESS_MAIN(HiddfuUsbWorkerTest)
#include "hiddfu_usb_worker_test.moc"

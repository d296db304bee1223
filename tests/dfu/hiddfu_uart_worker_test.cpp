#include "dfu_status.h"
#include "hiddfu_runner.h"
#include "runner_recorder.h"
#include "serial_bootloader.h"
#include "uartcommunicator.h"

#include <QThread>
#include <QtTest>

namespace {

constexpr int Wait = 30000;
constexpr uint8_t Target = 0x21;

enum Fault {
    NoFault,
    EraseError,
    ErrorAfterBlock,
    StorageErrorCrc,
    Silent,
    StatusFromOtherAddress,
    StatusOfOtherLength,
};

} // namespace

class HiddfuUartWorkerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void flash_data();
    void flash();
    void errors_data();
    void errors();
    void abortDuringWriteWait();

private:
    // Runs `op` through a runner in UART mode until it ends; the link must
    // be back in this thread whenever a result arrives.
    void run(const QString &op, QFile *file);

    std::unique_ptr<ListedPty> m_pty;
    std::unique_ptr<SerialBootloaderPeer> m_peer;
    std::unique_ptr<UARTCommunicator> m_link;
    std::unique_ptr<hiddfu_runner> m_runner;
    std::unique_ptr<RunnerRecorder> m_recorder;
    QList<bool> m_linkHomeAtResult;
};

void HiddfuUartWorkerTest::init()
{
    m_pty = std::make_unique<ListedPty>();
    QVERIFY(m_pty->isValid());
    m_peer = std::make_unique<SerialBootloaderPeer>(*m_pty, Target);
    m_link = std::make_unique<UARTCommunicator>();
    QVERIFY(m_link->open(m_pty->path(), {{"RS485/Baud", 115200}}));
    m_link->setTarget(Target);
    m_runner = std::make_unique<hiddfu_runner>(hiddfu_runner::UART);
    m_recorder = std::make_unique<RunnerRecorder>(*m_runner);
    m_linkHomeAtResult.clear();
    m_recorder->onResult = [this] { m_linkHomeAtResult.append(m_link->thread() == QThread::currentThread()); };
}

void HiddfuUartWorkerTest::cleanup()
{
    m_recorder.reset();
    m_runner.reset();
    m_link.reset();
    m_peer.reset();
    m_pty.reset();
}

void HiddfuUartWorkerTest::run(const QString &op, QFile *file)
{
    m_runner->start(op, m_link.get(), file);
    QVERIFY(m_runner->isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!m_runner->isBusy(), Wait);
    QCOMPARE(m_link->thread(), QThread::currentThread());
    QCOMPARE(m_linkHomeAtResult.size(), m_recorder->results.size());
    QVERIFY(!m_linkHomeAtResult.contains(false));
}

void HiddfuUartWorkerTest::flash_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QList<int>>("percents");

    QTest::newRow("empty") << 0 << QStringList{"erase", "address 0", "data 0 0"} << QList<int>{0, 100};
    QTest::newRow("1 byte") << 1 << QStringList{"erase", "address 0", "data 0 1"} << QList<int>{0, 100};
    QTest::newRow("248 bytes: block 0 alone")
        << 248 << QStringList{"erase", "address 0", "data 0 248"} << QList<int>{0, 100};
    QTest::newRow("249 bytes") << 249
                               << QStringList{"erase", "address 248", "data 248 1", "address 0", "data 0 248"}
                               << QList<int>{0, 0, 100};
    QTest::newRow("1000 bytes") << 1000
                                << QStringList{"erase",      "address 248", "data 248 248", "data 496 248",
                                               "data 744 248", "data 992 8", "address 0",   "data 0 248"}
                                << QList<int>{0, 25, 50, 74, 75, 100};
}

void HiddfuUartWorkerTest::flash()
{
    QFETCH(int, size);
    m_peer->erasePolls = 2;
    m_peer->writePolls = 1;
    const QByteArray image = testImage(size);
    auto file = openPackage(image);
    QVERIFY(file);

    run(QStringLiteral("flash"), file.get());

    QCOMPARE(m_recorder->results.size(), 1);
    QCOMPARE(m_recorder->results[0].code, 0);
    QVERIFY(!m_recorder->results[0].param.isValid());
    QVERIFY(m_recorder->results[0].whileBusy);
    QTEST(m_peer->commands(), "commands");
    QCOMPARE(m_peer->memory(), image);
    QCOMPARE(m_recorder->logs, QStringList({"Erasing...", "flashing"}));
    QTEST(m_recorder->percents(), "percents");
    QCOMPARE(m_recorder->ticks(), 3);
    // The link works from this thread again.
    DFUStatus status;
    QVERIFY(getUStatus(m_link.get(), &status));
}

void HiddfuUartWorkerTest::errors_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("param");

    const QString flash = QStringLiteral("flash");
    const QString eerase = QStringLiteral("eerase");
    QTest::newRow("erase error") << flash << int(EraseError) << 1 << QVariant();
    QTest::newRow("bootloader error after a block")
        << flash << int(ErrorAfterBlock) << 4 << QVariant("flashing at 25. internal error crc error");
    QTest::newRow("status unanswered") << flash << int(Silent) << 2 << QVariant("get status");
    QTest::newRow("status from another address after set address")
        << flash << int(StatusFromOtherAddress) << 2 << QVariant("get status / set address");
    QTest::newRow("status of another length after set address")
        << flash << int(StatusOfOtherLength) << 2 << QVariant("get status / set address");
    QTest::newRow("storage erased") << eerase << int(NoFault) << 0 << QVariant("SPI flash erased");
    QTest::newRow("storage erase crc error") << eerase << int(StorageErrorCrc) << 1 << QVariant();
    QTest::newRow("storage erase, status unanswered") << eerase << int(Silent) << 2 << QVariant("get status");
}

void HiddfuUartWorkerTest::errors()
{
    QFETCH(QString, op);
    QFETCH(int, fault);
    switch (Fault(fault)) {
    case NoFault:
        break;
    case EraseError:
        m_peer->eraseError = 1;
        break;
    case ErrorAfterBlock:
        m_peer->writeErrorAt = 1;
        break;
    case StorageErrorCrc:
        m_peer->storageEraseError = 7;
        break;
    case Silent:
        m_peer->silent = true;
        break;
    case StatusFromOtherAddress:
        m_peer->spoilAfterAddress = SerialBootloaderPeer::SpoiledStatus::OtherAddress;
        break;
    case StatusOfOtherLength:
        m_peer->spoilAfterAddress = SerialBootloaderPeer::SpoiledStatus::OtherLength;
        break;
    }
    auto file = openPackage(testImage(1000));
    QVERIFY(file);

    run(op, file.get());

    QCOMPARE(m_recorder->results.size(), 1);
    QTEST(m_recorder->results[0].code, "code");
    QTEST(m_recorder->results[0].param, "param");
    QVERIFY(m_recorder->results[0].whileBusy);
    if (op == QLatin1String("eerase"))
        QCOMPARE(m_recorder->logs, QStringList{"Erasing eeprom..."});
}

void HiddfuUartWorkerTest::abortDuringWriteWait()
{
    m_peer->writePolls = -1;
    auto file = openPackage(testImage(1000));
    QVERIFY(file);
    m_runner->start(QStringLiteral("flash"), m_link.get(), file.get());
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->commands().contains(QStringLiteral("data 248 248")), Wait);
    QTRY_VERIFY_WITH_TIMEOUT(m_peer->statusReads() >= 3, Wait);
    const int readsBefore = m_peer->statusReads();

    m_runner->abort();

    QVERIFY(!m_runner->isBusy());
    QCOMPARE(m_recorder->results.size(), 1);
    QCOMPARE(m_recorder->results[0].code, 2);
    QCOMPARE(m_recorder->results[0].param.toString(), QStringLiteral("get status"));
    QCOMPARE(m_linkHomeAtResult, QList<bool>{true});
    QVERIFY(m_peer->statusReads() - readsBefore <= 3);
    QCOMPARE(m_peer->commands().last(), QStringLiteral("data 248 248"));
    QCOMPARE(m_link->thread(), QThread::currentThread());
    DFUStatus status;
    QVERIFY(getUStatus(m_link.get(), &status));
}

QTEST_GUILESS_MAIN(HiddfuUartWorkerTest)
#include "hiddfu_uart_worker_test.moc"

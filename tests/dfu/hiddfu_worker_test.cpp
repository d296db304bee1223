#include "hiddfu_worker.h"
#include "hidproxy.h"

#include <QFile>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

// A worker whose flash pauses until it is aborted or told how to end, and
// whose storage erase ends with the result it is given.
class ScriptedWorker : public hiddfu_worker
{
public:
    using hiddfu_worker::hiddfu_worker;

    // Outcome of the next operation; LogLine-free.
    Result result = Done;
    QVariant param;
    QStringList steps; // what happened, in order, as the worker saw it
    QThread *thread = nullptr;

    void flash(void *handle, QFile *iofile) override
    {
        clearAbort();
        steps.append(QStringLiteral("flash %1 %2").arg(handle != nullptr).arg(iofile != nullptr));
        log(QStringLiteral("flashing"));
        while (!aborted()) {
            emit progress(BusyTick);
            HIDProxy::qSleep(10);
        }
        concludeAborted();
    }

    void eeprom_erase(void *) override
    {
        // Aborts ask nothing of this one.
        log(QStringLiteral("Erasing..."));
        conclude(result, param);
    }

protected:
    void releaseHandle() override
    {
        steps.append(QStringLiteral("release in worker thread %1").arg(QThread::currentThread() == thread));
    }
};

struct Event
{
    QString name;
    QVariant a;
    QVariant b;
};

} // namespace

class HiddfuWorkerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void resultEndsOperation_data();
    void resultEndsOperation();
    void abortDuringPauseEndsWithFinishedAlone();

private:
    // Records the worker's signals in the order they reach this thread.
    void record();

    QThread m_thread;
    ScriptedWorker *m_worker = nullptr;
    QList<Event> m_events;
};

void HiddfuWorkerTest::init()
{
    m_events.clear();
    m_worker = new ScriptedWorker;
    m_worker->thread = &m_thread;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    record();
    m_thread.start();
}

void HiddfuWorkerTest::cleanup()
{
    m_thread.quit();
    QVERIFY(m_thread.wait(10000));
    m_worker = nullptr;
}

void HiddfuWorkerTest::record()
{
    connect(m_worker, &hiddfu_worker::progress, this,
            [this](int value) { m_events.append({QStringLiteral("progress"), value, {}}); });
    connect(m_worker, &hiddfu_worker::error, this,
            [this](int code, const QVariant &param) { m_events.append({QStringLiteral("error"), code, param}); });
    connect(m_worker, &hiddfu_worker::finished, this,
            [this](bool status) { m_events.append({QStringLiteral("finished"), status, {}}); });
}

void HiddfuWorkerTest::resultEndsOperation_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QVariant>("param");
    QTest::addColumn<bool>("status");

    QTest::newRow("done") << int(hiddfu_worker::Done) << QVariant(QStringLiteral("SPI flash erased")) << true;
    QTest::newRow("erase failed") << int(hiddfu_worker::EraseFailed) << QVariant() << false;
    QTest::newRow("communication") << int(hiddfu_worker::CommunicationError) << QVariant("get status") << false;
    QTest::newRow("file read") << int(hiddfu_worker::FileReadError) << QVariant("Unknown error") << false;
    QTest::newRow("flashing")
        << int(hiddfu_worker::FlashingError) << QVariant("flashing at 50. internal error crc error") << false;
}

void HiddfuWorkerTest::resultEndsOperation()
{
    QFETCH(int, result);
    QFETCH(QVariant, param);
    QFETCH(bool, status);
    m_worker->result = hiddfu_worker::Result(result);
    m_worker->param = param;
    // Invoked by name with the handle as void*, as the updater does.
    int handle = 0;
    QVERIFY(QMetaObject::invokeMethod(m_worker, "eeprom_erase", Qt::QueuedConnection,
                                      Q_ARG(void *, &handle)));
    QTRY_COMPARE(m_events.size(), 3);
    QCOMPARE(m_events[0].name, QStringLiteral("error"));
    QCOMPARE(m_events[0].a.toInt(), int(hiddfu_worker::LogLine));
    QCOMPARE(m_events[0].b.toString(), QStringLiteral("Erasing..."));
    QCOMPARE(m_events[1].name, QStringLiteral("error"));
    QCOMPARE(m_events[1].a.toInt(), result);
    QCOMPARE(m_events[1].b, param);
    QCOMPARE(m_events[2].name, QStringLiteral("finished"));
    QCOMPARE(m_events[2].a.toBool(), status);
    // The handle went back before the end was told.
    QTest::qWait(20);
    QCOMPARE(m_events.size(), 3);
    QCOMPARE(m_worker->steps, QStringList{QStringLiteral("release in worker thread 1")});
}

void HiddfuWorkerTest::abortDuringPauseEndsWithFinishedAlone()
{
    QFile file;
    int handle = 0;
    QVERIFY(QMetaObject::invokeMethod(m_worker, "flash", Qt::QueuedConnection, Q_ARG(void *, &handle),
                                      Q_ARG(QFile *, &file)));
    // Running: ticking in its pauses.
    QTRY_VERIFY(m_events.size() >= 3);
    // Reaches the worker inside one of its pauses.
    QVERIFY(QMetaObject::invokeMethod(m_worker, "abort", Qt::QueuedConnection));
    QTRY_COMPARE(m_events.last().name, QStringLiteral("finished"));
    QCOMPARE(m_events.last().a.toBool(), false);
    QCOMPARE(m_events.first().name, QStringLiteral("error"));
    QCOMPARE(m_events.first().a.toInt(), int(hiddfu_worker::LogLine));
    for (int i = 1; i < m_events.size() - 1; ++i) {
        QCOMPARE(m_events[i].name, QStringLiteral("progress"));
        QCOMPARE(m_events[i].a.toInt(), hiddfu_worker::BusyTick);
    }
    QCOMPARE(m_worker->steps,
             QStringList({QStringLiteral("flash 1 1"), QStringLiteral("release in worker thread 1")}));
}

QTEST_GUILESS_MAIN(HiddfuWorkerTest)
#include "hiddfu_worker_test.moc"

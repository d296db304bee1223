// The emulator bridge against a stand-in script named halvane-kdb beside
// this test: it echoes its arguments on standard output and then runs the
// shell text of KDB_STANDIN, so each case writes exactly the lines it needs.

#include "kolmlocaldebugger.h"
#include "spy_texts.h"
#include "temp_settings.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {

constexpr int kWaitMs = 15000;
const QStringList kArguments{"-e", "-l", "info", "--no-core", "-p", "5542"};

} // namespace

class LocalDebuggerStandinTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void arguments_data();
    void arguments();
    void routing_data();
    void routing();
    void doubleStart();
    void stopEndsIt();
    void killedChild();
    void exitCode();
    void stopWithoutStart();
    void destroyedWhileRunning();
};

void LocalDebuggerStandinTest::init()
{
    qunsetenv("KDB_STANDIN");
}

void LocalDebuggerStandinTest::arguments_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QString>("port");
    QTest::newRow("default") << QVariant() << "5542";
    QTest::newRow("setting") << QVariant(6000) << "6000";
    QTest::newRow("setting as text") << QVariant(QStringLiteral("6001")) << "6001";
}

void LocalDebuggerStandinTest::arguments()
{
    QFETCH(QVariant, setting);
    QFETCH(QString, port);
    TempSettings settings;
    if (setting.isValid())
        QSettings().setValue(KolmLocalDebugger::PortKey, setting);
    KolmLocalDebugger debugger;
    QSignalSpy output(&debugger, &KolmLocalDebugger::output);
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    debugger.start();
    QStringList expected = kArguments;
    expected.last() = port;
    QCOMPARE(debugger.process()->arguments(), expected);
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(spyTexts(output), QStringList{expected.join(' ')});
    QCOMPARE(finished.at(0), (QList<QVariant>{true, 0}));
}

void LocalDebuggerStandinTest::routing_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("note split over chunks")
        << "printf 'asm note: emulator' >&2; sleep 0.3; printf ' started\\n' >&2" << QStringList{"emulator started"}
        << QStringList();
    QTest::newRow("hal word removed") << "echo 'asm hal error: pin fault' >&2" << QStringList()
                                      << QStringList{"pin fault"};
    QTest::newRow("net lines dropped") << "echo 'asm net note: any text' >&2" << QStringList() << QStringList();
    QTest::newRow("other category kept") << "echo 'asm emu note: x' >&2" << QStringList()
                                         << QStringList{"emu note: x"};
    QTest::newRow("no prefix") << "echo 'Return value: null [crashed]' >&2" << QStringList()
                               << QStringList{"Return value: null [crashed]"};
    QTest::newRow("prefix is case-sensitive") << "echo 'ASM note: q' >&2" << QStringList()
                                              << QStringList{"ASM note: q"};
    QTest::newRow("trimmed before routing") << "echo '  asm warning: w  ' >&2" << QStringList()
                                            << QStringList{"w"};
    QTest::newRow("error word") << "echo 'asm error: e' >&2" << QStringList() << QStringList{"e"};
    QTest::newRow("no severity word") << "echo 'asm sys ready' >&2" << QStringList()
                                      << QStringList{"sys ready"};
    QTest::newRow("blanks") << "printf 'a\\n\\n   \\nb\\n' >&2" << QStringList() << QStringList{"a", "", "b"};
    QTest::newRow("unterminated rest dropped") << "printf 'asm note: gone' >&2" << QStringList() << QStringList();
    QTest::newRow("standard output unrouted") << "printf 'asm error: y\\n  \\n'" << QStringList{"asm error: y", ""}
                                              << QStringList();
}

void LocalDebuggerStandinTest::routing()
{
    QFETCH(QString, script);
    QFETCH(QStringList, outputs);
    QFETCH(QStringList, errors);
    TempSettings settings;
    qputenv("KDB_STANDIN", script.toLocal8Bit());
    KolmLocalDebugger debugger;
    QSignalSpy output(&debugger, &KolmLocalDebugger::output);
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    debugger.start();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(spyTexts(output), QStringList{kArguments.join(' ')} + outputs);
    QCOMPARE(spyTexts(error), errors);
}

void LocalDebuggerStandinTest::doubleStart()
{
    TempSettings settings;
    qputenv("KDB_STANDIN", "exec sleep 60");
    KolmLocalDebugger debugger;
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    debugger.start();
    const qint64 pid = debugger.process()->processId();
    debugger.start();
    QCOMPARE(spyTexts(error), QStringList{"cannot start the emulator process - already running"});
    QCOMPARE(debugger.process()->processId(), pid);
}

void LocalDebuggerStandinTest::stopEndsIt()
{
    TempSettings settings;
    qputenv("KDB_STANDIN", "exec sleep 60");
    KolmLocalDebugger debugger;
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    debugger.start();
    QVERIFY(debugger.process()->waitForStarted(kWaitMs));
    debugger.stop(true);
    QCOMPARE(debugger.process()->state(), QProcess::NotRunning);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    // Not running any more: a second start is accepted.
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    qputenv("KDB_STANDIN", "exit 0");
    debugger.start();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(1), (QList<QVariant>{true, 0}));
    QCOMPARE(error.count(), 0);
}

void LocalDebuggerStandinTest::killedChild()
{
    TempSettings settings;
    qputenv("KDB_STANDIN", "exec sleep 60");
    KolmLocalDebugger debugger;
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    debugger.start();
    QVERIFY(debugger.process()->waitForStarted(kWaitMs));
    ::kill(pid_t(debugger.process()->processId()), SIGKILL);
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(spyTexts(error), QStringList{"emulator process has crashed"});
    QCOMPARE(finished.at(0), (QList<QVariant>{false, debugger.process()->exitCode()}));
}

void LocalDebuggerStandinTest::exitCode()
{
    TempSettings settings;
    qputenv("KDB_STANDIN", "exit 3");
    KolmLocalDebugger debugger;
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    debugger.start();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0), (QList<QVariant>{false, 3}));
}

void LocalDebuggerStandinTest::stopWithoutStart()
{
    KolmLocalDebugger debugger;
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    debugger.stop(true);
    debugger.stop();
    QCOMPARE(finished.count() + error.count(), 0);
}

void LocalDebuggerStandinTest::destroyedWhileRunning()
{
    TempSettings settings;
    qputenv("KDB_STANDIN", "exec sleep 60");
    auto *debugger = new KolmLocalDebugger;
    QSignalSpy finished(debugger, &KolmLocalDebugger::finished);
    QSignalSpy error(debugger, &KolmLocalDebugger::error);
    debugger->start();
    QVERIFY(debugger->process()->waitForStarted(kWaitMs));
    const pid_t pid = pid_t(debugger->process()->processId());
    delete debugger;
    QCOMPARE(finished.count() + error.count(), 0);
    QVERIFY(::kill(pid, 0) != 0);
}

QTEST_GUILESS_MAIN(LocalDebuggerStandinTest)
#include "local_debugger_standin_test.moc"

// The process runner: /bin/sh children that write what each case needs.

#include "compilercontroller.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const QString kShell = QStringLiteral("/bin/sh");

QStringList shell(const QString &script)
{
    return {kShell, QStringLiteral("-c"), script};
}

// Generous: a run ends within this under any load, far below the runner's
// own 30 s limit.
constexpr int kWaitMs = 15000;

} // namespace

class CompilerControllerTest : public QObject {
    Q_OBJECT

private slots:
    void standardErrorLines_data();
    void standardErrorLines();
    void inputAndOutput_data();
    void inputAndOutput();
    void failingRunHasNoData();
    void runsInOrderAndClearBuffers();
    void refusedRuns_data();
    void refusedRuns();
    void emptyInputEndsAtOnce();
    void destroyedMidRun();
};

void CompilerControllerTest::standardErrorLines_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty piece skipped, rest held") << "printf 'a\\n\\nb' >&2" << QStringList{"a"};
    QTest::newRow("trimmed, CR too") << "printf ' x \\r\\n' >&2" << QStringList{"x"};
    QTest::newRow("blank piece is an empty line") << "printf '  \\nz\\n' >&2" << QStringList{"", "z"};
    QTest::newRow("line split over writes") << "printf 'sp' >&2; sleep 0.2; printf 'lit\\n' >&2"
                                            << QStringList{"split"};
}

void CompilerControllerTest::standardErrorLines()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    CompilerController controller;
    QSignalSpy finished(&controller, &CompilerController::finished);
    QSignalSpy output(&controller, &CompilerController::output);
    controller.start(shell(script));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QStringList got;
    for (const QList<QVariant> &signal : output)
        got << signal.at(0).toString();
    QCOMPARE(got, lines);
}

void CompilerControllerTest::inputAndOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("input echoed") << QStringList{"/bin/cat"} << QByteArray("image\0bytes", 11)
                                  << QByteArray("image\0bytes", 11);
    QTest::newRow("program alone, no arguments") << QStringList{kShell} << QByteArray("echo $#") << QByteArray("0\n");
    QTest::newRow("exit 0 without output") << shell("exit 0") << QByteArray() << QByteArray();
}

void CompilerControllerTest::inputAndOutput()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);
    CompilerController controller;
    QVERIFY(controller.isRunning());
    QSignalSpy finished(&controller, &CompilerController::finished);
    // A stale output proves that the run stored its own, even when empty.
    controller.setInput(QByteArray("stale"));
    controller.start(shell("printf stale"));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(controller.standardOutput(), QByteArray("stale"));
    controller.setInput(input);
    controller.start(args);
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(1).at(0).toBool(), true);
    QCOMPARE(controller.standardOutput(), output);
}

void CompilerControllerTest::failingRunHasNoData()
{
    CompilerController controller;
    QSignalSpy finished(&controller, &CompilerController::finished);
    QSignalSpy output(&controller, &CompilerController::output);
    controller.start(shell("echo data; echo 'said' >&2; exit 1"));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(controller.standardOutput().isEmpty());
    // The error lines still arrived.
    QCOMPARE(output.count(), 1);
    QCOMPARE(output.at(0).at(0).toString(), QStringLiteral("said"));
}

void CompilerControllerTest::runsInOrderAndClearBuffers()
{
    CompilerController controller;
    QSignalSpy finished(&controller, &CompilerController::finished);
    QSignalSpy output(&controller, &CompilerController::output);
    QStringList order;
    connect(&controller, &CompilerController::finished, this,
            [&] { order << QString::fromLatin1(controller.standardOutput()); });
    // The first leaves an unterminated rest on standard error; the second
    // must not see it in front of its own first line.
    emit controller.compile(shell("sleep 0.3; printf one; printf rest >&2"), QByteArray());
    emit controller.compile(shell("printf two; printf '\\nz\\n' >&2"), QByteArray());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kWaitMs);
    QCOMPARE(order, (QStringList{"one", "two"}));
    QCOMPARE(output.count(), 1);
    QCOMPARE(output.at(0).at(0).toString(), QStringLiteral("z"));
}

void CompilerControllerTest::refusedRuns_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no arguments") << QStringList();
    QTest::newRow("missing program") << QStringList{"/nonexistent/kolm-program"};
    QTest::newRow("not executable") << QStringList{"/etc/hostname"};
    QTest::newRow("killed by a signal") << shell("printf partial; kill -9 $$");
}

void CompilerControllerTest::refusedRuns()
{
    QFETCH(QStringList, args);
    CompilerController controller;
    QSignalSpy finished(&controller, &CompilerController::finished);
    controller.start(args);
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(controller.standardOutput().isEmpty());
}

void CompilerControllerTest::emptyInputEndsAtOnce()
{
    // The child reads its input to the end: it ends because the input is
    // closed, long before the 30 s limit of a run.
    CompilerController controller;
    QSignalSpy finished(&controller, &CompilerController::finished);
    QElapsedTimer timer;
    timer.start();
    controller.start(shell("cat >/dev/null; echo done"));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(controller.standardOutput(), QByteArray("done\n"));
    QVERIFY2(timer.elapsed() < kWaitMs, "the run waited for the time limit");
}

void CompilerControllerTest::destroyedMidRun()
{
    auto controller = std::make_unique<CompilerController>();
    QSignalSpy output(controller.get(), &CompilerController::output);
    QSignalSpy finished(controller.get(), &CompilerController::finished);
    controller->start(shell("echo $$ >&2; exec sleep 60"));
    QVERIFY(output.wait(kWaitMs));
    const pid_t child = pid_t(output.at(0).at(0).toString().toInt());
    QVERIFY(child > 0);
    QVERIFY(::kill(child, 0) == 0);
    QElapsedTimer timer;
    timer.start();
    controller.reset();
    const qint64 elapsed = timer.elapsed();
    qInfo("destruction mid-run took %lld ms", elapsed);
    // The worker notices the request within one wait slice (50 ms); the
    // bound leaves room for a loaded machine.
    QVERIFY2(elapsed < 1000, "the destructor waited for the run");
    QVERIFY(::kill(child, 0) != 0);
    QCOMPARE(finished.count(), 0);
}

QTEST_GUILESS_MAIN(CompilerControllerTest)
#include "compiler_controller_test.moc"

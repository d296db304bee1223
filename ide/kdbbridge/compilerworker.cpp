#include "compilerworker.h"

#include "kdbprogram.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

bool interrupted()
{
    return QThread::currentThread()->isInterruptionRequested();
}

// Waits in short slices until done() holds, the process is not running any
// more or the limit has passed; false unless done() holds.
template <typename Wait, typename Done>
bool waitSliced(QProcess &process, int limitMs, Wait wait, Done done)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (interrupted() || deadline.hasExpired() ||
            (process.state() == QProcess::NotRunning && process.error() == QProcess::FailedToStart))
            return false;
        wait(int(std::min<qint64>(CompilerWorker::SliceMs, std::max<qint64>(deadline.remainingTime(), 1))));
    }
    return true;
}

} // namespace

CompilerWorker::CompilerWorker(QObject *parent)
    : QObject(parent)
{
}

void CompilerWorker::compile(const QStringList &args, const QByteArray &input)
{
    if (args.isEmpty() || interrupted()) {
        emit finished(false);
        return;
    }
    m_stderr.clear();
    m_stdout.clear();
    // Destroyed at the end of the run, which kills a child still running.
    std::unique_ptr<QProcess> process(new QProcess(this));
    m_process = process.get();
    connect(m_process, &QProcess::readyReadStandardError, this, &CompilerWorker::readStderr);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &CompilerWorker::readStdout);
    const bool ok = runProcess(*process, args, input);
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(RunLimitMs);
    }
    m_process = nullptr;
    process.reset();
    if (ok)
        emit data(m_stdout);
    emit finished(ok);
}

bool CompilerWorker::runProcess(QProcess &process, const QStringList &args, const QByteArray &input)
{
    process.start(args.first(), args.mid(1), QIODevice::ReadWrite);
    if (!waitSliced(process, StartLimitMs, [&](int ms) { process.waitForStarted(ms); },
                    [&] { return process.state() == QProcess::Running; }))
        return false;
    // The input is closed also when it is empty, so that a child reading to
    // the end of its input does not wait forever.
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!waitSliced(process, RunLimitMs, [&](int ms) { process.waitForFinished(ms); },
                    [&] { return process.state() == QProcess::NotRunning; }))
        return false;
    readStdout();
    readStderr();
    // A child killed by a signal has no exit code of its own; its output is
    // not trusted.
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void CompilerWorker::readStdout()
{
    if (m_process)
        m_stdout.append(m_process->readAllStandardOutput());
}

void CompilerWorker::readStderr()
{
    if (!m_process)
        return;
    m_stderr += decodeChildChunk(m_process->readAllStandardError());
    for (const QString &line : takeLines(m_stderr))
        emit output(line);
}

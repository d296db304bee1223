#include "kolmlocaldebugger.h"

#include "kdbprogram.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace {

// Takes prefix off the front of line; false when line does not begin with
// it.
bool takePrefix(QString &line, QLatin1String prefix)
{
    if (!line.startsWith(prefix))
        return false;
    line.remove(0, prefix.size());
    return true;
}

// The emulator process ends with the IDE: should the IDE die without
// stopping it (killed, crashed), the system sends the child SIGTERM, which
// ends it as a stop does, so that it does not keep the port taken.
class EmulatorProcess : public QProcess {
public:
    explicit EmulatorProcess(QObject *parent)
        : QProcess(parent)
#ifdef Q_OS_LINUX
        , m_parent(::getpid())
#endif
    {
    }

protected:
    // Runs in the child between fork and exec.
    void setupChildProcess() override
    {
#ifdef Q_OS_LINUX
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The IDE may have died before the request was in place.
        if (::getppid() != m_parent)
            ::_exit(1);
#endif
    }

private:
#ifdef Q_OS_LINUX
    const pid_t m_parent;
#endif
};

} // namespace

const char *const KolmLocalDebugger::PortKey = "RemoteTCP/EMUPort";

KolmLocalDebugger::KolmLocalDebugger(QObject *parent)
    : QObject(parent)
    , m_program(kdbProgramPath())
    , m_process(new EmulatorProcess(this))
{
    connect(m_process, &QProcess::readyReadStandardOutput, this, &KolmLocalDebugger::dbg_stdout);
    connect(m_process, &QProcess::readyReadStandardError, this, &KolmLocalDebugger::dbg_stderr);
    connect(m_process, &QProcess::errorOccurred, this, &KolmLocalDebugger::dbg_error);
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &KolmLocalDebugger::dbg_finished);
}

KolmLocalDebugger::~KolmLocalDebugger()
{
    disconnect(m_process, nullptr, this, nullptr);
    stop(false);
    delete m_process;
}

QProcess *KolmLocalDebugger::process() const
{
    return m_process;
}

bool KolmLocalDebugger::checkStart()
{
    if (m_process->state() != QProcess::NotRunning) {
        emit error(tr("cannot start the emulator process - already running"));
        return false;
    }
    if (!QFileInfo::exists(m_program)) {
        emit error(tr("emulator executable is missing"));
        return false;
    }
    m_stdout.clear();
    m_stderr.clear();
    return true;
}

void KolmLocalDebugger::start()
{
    if (!checkStart())
        return;
    QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
    const int port = settings.value(QLatin1String(PortKey), DefaultPort).toInt();
    m_process->start(m_program,
                     {QStringLiteral("-e"), QStringLiteral("-l"), QStringLiteral("info"), QStringLiteral("--no-core"),
                      QStringLiteral("-p"), QString::number(port)},
                     QIODevice::ReadWrite);
}

void KolmLocalDebugger::stop(bool wait)
{
    if (m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (wait)
        m_process->waitForFinished(StopWaitMs);
}

void KolmLocalDebugger::stop()
{
    stop(false);
}

void KolmLocalDebugger::dbg_stdout()
{
    m_stdout += decodeChildChunk(m_process->readAllStandardOutput());
    processInput(m_stdout, &KolmLocalDebugger::output);
}

void KolmLocalDebugger::dbg_stderr()
{
    m_stderr += decodeChildChunk(m_process->readAllStandardError());
    processInput(m_stderr, nullptr);
}

void KolmLocalDebugger::processInput(QString &buffer, LineHandler handler)
{
    for (QString line : takeLines(buffer)) {
        if (handler) {
            (this->*handler)(line);
        } else if (!takePrefix(line, QLatin1String("asm "))) {
            emit error(line);
        } else if (takePrefix(line, QLatin1String("hal "))) {
            processAsmOutput(line);
        } else if (!line.startsWith(QLatin1String("net "))) {
            processAsmOutput(line);
        }
    }
}

void KolmLocalDebugger::processAsmOutput(const QString &line)
{
    QString text = line;
    if (takePrefix(text, QLatin1String("note: ")))
        emit output(text);
    else if (takePrefix(text, QLatin1String("error: ")) || takePrefix(text, QLatin1String("warning: ")))
        emit error(text);
    else
        emit error(line);
}

void KolmLocalDebugger::dbg_error(QProcess::ProcessError err)
{
    switch (err) {
    case QProcess::FailedToStart: emit error(tr("emulator process failed to start")); break;
    case QProcess::Crashed: emit error(tr("emulator process has crashed")); break;
    case QProcess::ReadError: emit error(tr("emulator process could not be read from")); break;
    case QProcess::WriteError: emit error(tr("emulator process cannot be written to")); break;
    default: emit error(tr("emulator process produced an error (%1)").arg(int(err))); break;
    }
}

void KolmLocalDebugger::dbg_finished(int code, QProcess::ExitStatus status)
{
    if (code == 0 && status == QProcess::NormalExit)
        emit finished(true, 0);
    else
        emit finished(false, m_process->exitCode());
}

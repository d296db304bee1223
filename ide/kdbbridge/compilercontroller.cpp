#include "compilercontroller.h"

#include "compilerworker.h"

CompilerController::CompilerController(QObject *parent)
    : QObject(parent)
{
    auto *worker = new CompilerWorker;
    worker->moveToThread(&m_thread);
    // Emitted on the worker thread as it ends, so the worker is deleted
    // there before the thread is gone.
    connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater, Qt::DirectConnection);
    connect(this, &CompilerController::compile, worker, &CompilerWorker::compile, Qt::QueuedConnection);
    connect(worker, &CompilerWorker::finished, this, &CompilerController::worker_finished, Qt::QueuedConnection);
    connect(worker, &CompilerWorker::output, this, &CompilerController::worker_output, Qt::QueuedConnection);
    connect(worker, &CompilerWorker::data, this, &CompilerController::worker_stdout, Qt::QueuedConnection);
    m_thread.start(QThread::InheritPriority);
}

CompilerController::~CompilerController()
{
    m_thread.requestInterruption();
    m_thread.quit();
    m_thread.wait();
}

bool CompilerController::isRunning() const
{
    return m_thread.isRunning();
}

void CompilerController::setInput(const QByteArray &input)
{
    m_input = input;
}

const QByteArray &CompilerController::standardOutput() const
{
    return m_stdout;
}

void CompilerController::start(const QStringList &args)
{
    emit compile(args, m_input);
}

void CompilerController::worker_finished(bool result)
{
    emit finished(result);
}

void CompilerController::worker_output(const QString &line)
{
    emit output(line);
}

void CompilerController::worker_stdout(const QByteArray &data)
{
    m_stdout = data;
}

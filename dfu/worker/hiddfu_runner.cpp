#include "hiddfu_runner.h"

#include "hiddfu_uart_worker.h"
#include "hiddfu_usb_worker.h"

#include <QEventLoop>
#include <QFile>
#include <QPointer>

hiddfu_runner::hiddfu_runner(Mode mode, QObject *parent)
    : QObject(parent)
    , m_mode(mode)
{
    if (mode == UART)
        m_worker = new hiddfu_uart_worker;
    else
        m_worker = new hiddfu_usb_worker;
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &hiddfu_worker::finished, this, &hiddfu_runner::done, Qt::QueuedConnection);
    connect(m_worker, &hiddfu_worker::error, this, &hiddfu_runner::error, Qt::QueuedConnection);
    connect(m_worker, &hiddfu_worker::progress, this, &hiddfu_runner::progress, Qt::QueuedConnection);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(&m_thread, &QThread::finished, this, &hiddfu_runner::threadFinished);
    m_thread.start(QThread::InheritPriority);
}

hiddfu_runner::~hiddfu_runner()
{
    abort();
}

void hiddfu_runner::start(const QString &op, void *handle, QFile *file, const QVariantList &params)
{
    Q_UNUSED(params)
    // After abort() no thread is left to run anything.
    if (m_busy || !m_thread.isRunning()) {
        emit error(2, tr("Busy"));
        return;
    }
    const bool flash = op == QLatin1String("flash");
    if (!flash && op != QLatin1String("eerase")) {
        emit error(2, QStringLiteral("Unsupported operation"));
        return;
    }
    if (m_mode == UART && handle)
        static_cast<QObject *>(handle)->moveToThread(&m_thread);
    if (flash)
        QMetaObject::invokeMethod(m_worker, "flash", Qt::QueuedConnection, Q_ARG(void *, handle),
                                  Q_ARG(QFile *, file));
    else
        QMetaObject::invokeMethod(m_worker, "eeprom_erase", Qt::QueuedConnection, Q_ARG(void *, handle));
    m_busy = true;
}

void hiddfu_runner::abort()
{
    if (m_busy && m_thread.isRunning()) {
        QMetaObject::invokeMethod(m_worker, "abort", Qt::QueuedConnection);
        // Ending the thread now would end the worker's pauses at once, and
        // it would spin without ever seeing the request: wait for its end.
        const QPointer<hiddfu_runner> alive(this);
        QEventLoop wait;
        m_abortWaits.append(&wait);
        wait.exec();
        if (!alive)
            return;
        m_abortWaits.removeOne(&wait);
    }
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
}

void hiddfu_runner::done(bool status)
{
    Q_UNUSED(status)
    m_busy = false;
    for (QEventLoop *wait : qAsConst(m_abortWaits))
        wait->quit();
}

void hiddfu_runner::threadFinished()
{
}

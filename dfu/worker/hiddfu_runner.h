#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <QVariant>
#include <QVariantList>

class QEventLoop;
class QFile;
class hiddfu_worker;

// Runs the updater's erase and write operations on a worker in a thread of
// its own and relays what the worker reports, in order, to the thread that
// created the runner. One operation at a time.
//
// In UART mode the serial link given as the handle moves to the worker
// thread for the operation and comes back when it ends, so it must have no
// parent; the USB device object stays where it is.
class hiddfu_runner : public QObject
{
    Q_OBJECT

public:
    enum Mode { USB = 0, UART = 1 };
    Q_ENUM(Mode)

    explicit hiddfu_runner(Mode mode, QObject *parent = nullptr);
    // Aborts a running operation and ends the thread.
    ~hiddfu_runner() override;

    Mode mode() const { return m_mode; }
    bool isBusy() const { return m_busy; }

public slots:
    // "flash" writes the package `file` (open, at its first image byte);
    // "eerase" erases the storage. A refusal comes back as error 2.
    void start(const QString &op, void *handle, QFile *file, const QVariantList &params = QVariantList());
    // Stops a running operation and ends the worker thread. A running
    // operation is asked to stop and awaited, however long its current
    // device call takes; the thread ends only once the worker is idle.
    void abort();

signals:
    void progress(int val);
    void error(int code, QVariant param);

private slots:
    void done(bool status);
    void threadFinished();

private:
    QThread m_thread;
    Mode m_mode;
    bool m_busy = false;
    hiddfu_worker *m_worker;
    // The waits of abort() in progress; done() ends them.
    QList<QEventLoop *> m_abortWaits;
};

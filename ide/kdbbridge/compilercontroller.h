#ifndef KOLM_COMPILERCONTROLLER_H
#define KOLM_COMPILERCONTROLLER_H

// Runs external programs to their end on a thread of its own, so that the
// owner's thread never waits for a child: the owner gives the input bytes,
// asks for a run and gets every standard-error line and the outcome as
// signals; after a successful run the child's standard output is here.
// Runs asked for one after the other run in that order.

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QThread>

class CompilerWorker;

class CompilerController : public QObject {
    Q_OBJECT

public:
    explicit CompilerController(QObject *parent = nullptr);
    // Interrupts a run in progress (its child is killed) and joins the
    // thread.
    ~CompilerController() override;

    // Whether the worker thread runs; it runs for the controller's whole
    // life, so this does not tell whether a run is in progress.
    Q_INVOKABLE bool isRunning() const;

    void setInput(const QByteArray &input);
    const QByteArray &standardOutput() const;

public slots:
    void start(const QStringList &args);

signals:
    // args: the program first, its arguments after it.
    void compile(const QStringList &args, const QByteArray &input);
    // True only for a run that started, ended in time and exited with 0.
    void finished(bool result);
    void output(const QString &line);

private slots:
    void worker_finished(bool result);
    void worker_output(const QString &line);
    void worker_stdout(const QByteArray &data);

private:
    QThread m_thread;
    QByteArray m_input;
    QByteArray m_stdout;
};

#endif

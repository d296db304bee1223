#ifndef KOLM_KOLMLOCALDEBUGGER_H
#define KOLM_KOLMLOCALDEBUGGER_H

// The local emulator: halvane-kdb in emulator mode as a long-lived child
// process serving the device link on the TCP port of the settings. Its log
// lines are sorted into plain output and errors; the end of the process is
// reported. The owner connects its transport to the port itself.

#include <QObject>
#include <QProcess>
#include <QString>

class KolmLocalDebugger : public QObject {
    Q_OBJECT

public:
    // The port setting and its default.
    static const char *const PortKey;
    static constexpr int DefaultPort = 5542;
    // How long stop(true) waits for the end of the process.
    static constexpr int StopWaitMs = 10000;

    explicit KolmLocalDebugger(QObject *parent = nullptr);
    ~KolmLocalDebugger() override;

    // For state queries by the owner.
    QProcess *process() const;

public slots:
    // Starts the emulator unless it runs or is missing; does not wait.
    void start();
    // Asks a running emulator to terminate; with wait, waits up to
    // StopWaitMs for its end.
    void stop(bool wait);
    void stop();

signals:
    // result: exit code 0 with a normal exit.
    void finished(bool result, int code);
    void output(const QString &message);
    void error(const QString &message);

private slots:
    void dbg_stdout();
    void dbg_stderr();
    void dbg_error(QProcess::ProcessError err);
    void dbg_finished(int code, QProcess::ExitStatus status);

private:
    typedef void (KolmLocalDebugger::*LineHandler)(const QString &);

    bool checkStart();
    // Hands every complete line of buffer to handler, or routes it by its
    // log prefix when handler is null.
    void processInput(QString &buffer, LineHandler handler);
    void processAsmOutput(const QString &line);

    const QString m_program;
    QProcess *m_process;
    QString m_stdout;
    QString m_stderr;
};

#endif

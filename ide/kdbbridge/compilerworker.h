#ifndef KOLM_COMPILERWORKER_H
#define KOLM_COMPILERWORKER_H

// Runs one external program at a time on the thread it lives on: the input
// bytes go to the child's standard input, its standard output is collected
// and every standard-error line is reported. The waits are cut into short
// slices so that an interruption request of the thread ends a run at once.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

class CompilerWorker : public QObject {
    Q_OBJECT

public:
    // The limits of one run, in milliseconds.
    static constexpr int StartLimitMs = 2000;
    static constexpr int RunLimitMs = 30000;
    // The longest single wait: how late an interruption is noticed.
    static constexpr int SliceMs = 50;

    explicit CompilerWorker(QObject *parent = nullptr);

public slots:
    // One run: args holds the program first and its arguments after it.
    void compile(const QStringList &args, const QByteArray &input);

signals:
    void finished(bool result);
    void output(const QString &line);
    void data(const QByteArray &dat);

private slots:
    void readStdout();
    void readStderr();

private:
    // The run's outcome; the process is still alive when this returns.
    bool runProcess(QProcess &process, const QStringList &args, const QByteArray &input);

    QString m_stderr;
    QByteArray m_stdout;
    QProcess *m_process = nullptr;
};

#endif

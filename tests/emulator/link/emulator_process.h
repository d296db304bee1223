#ifndef KOLM_TEST_EMULATOR_PROCESS_H
#define KOLM_TEST_EMULATOR_PROCESS_H

// halvane-kdb in emulator mode as a child process on a free loopback port,
// with its log collected.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class EmulatorProcess
{
public:
    ~EmulatorProcess() { stop(); }

    // Starts the program with "-e" on a free port and waits until it
    // accepts connections. A port taken by another process between asking
    // the system for it and binding it makes the program end: it is then
    // started again on another port.
    bool start(const QStringList &extra = {}, const QByteArray &input = {})
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = freePort();
            if (m_port == 0)
                continue;
            QStringList args{QStringLiteral("-e"), QStringLiteral("-l"), QStringLiteral("warn"),
                             QStringLiteral("--log-emu"), QStringLiteral("-p"), QString::number(m_port)};
            m_process.start(QStringLiteral(KDB_PROGRAM), args + extra);
            if (!m_process.waitForStarted(5000))
                return false;
            if (!input.isNull()) {
                m_process.write(input);
                m_process.closeWriteChannel();
            }
            if (waitListening())
                return true;
            stop();
        }
        return false;
    }

    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // Everything the program wrote to standard error so far.
    QString log()
    {
        m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_log;
    }

    bool waitForLog(const QString &text, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!log().contains(text)) {
            if (timer.elapsed() > timeoutMs)
                return false;
            m_process.waitForReadyRead(50);
        }
        return true;
    }

    QProcess &process() { return m_process; }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    static quint16 freePort()
    {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

    // The server is up once a connection is accepted; that probe client
    // closes at once, and the program waits for the next one.
    bool waitListening()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && m_process.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(500)) {
                probe.disconnectFromHost();
                return true;
            }
            QTest::qWait(20);
        }
        return false;
    }

    QProcess m_process;
    quint16 m_port = 0;
    QString m_log;
};

#endif

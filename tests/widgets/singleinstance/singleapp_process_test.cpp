// Two processes of one application: the second hands its message to the
// first and ends; leftovers of a crashed first instance block nothing.

#include "singleapp.h"
#include "unique_app_name.h"

#include <QProcess>
#include <QScopedPointer>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const int waitMs = 15000;

// Starts the probe and waits for its first line.
QString startProbe(QProcess &probe, const QString &name, const QString &message)
{
    probe.start(QStringLiteral(KOLM_SINGLEAPP_PROBE), {name, message});
    if (!probe.waitForStarted(waitMs))
        return QStringLiteral("(not started)");
    while (!probe.canReadLine() && probe.waitForReadyRead(waitMs)) {
    }
    return QString::fromLocal8Bit(probe.readLine()).trimmed();
}

// Runs a later instance to its end; gives what it printed.
QString runLater(const QString &name, const QString &message)
{
    QProcess probe;
    probe.start(QStringLiteral(KOLM_SINGLEAPP_PROBE), {name, message});
    if (!probe.waitForFinished(waitMs) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return QStringLiteral("(failed)");
    return QString::fromLocal8Bit(probe.readAllStandardOutput());
}

// Ends the first instance with the message "quit"; gives the messages it
// printed after "first".
QString stopFirst(QProcess &first, const QString &name)
{
    if (runLater(name, QStringLiteral("quit")) != QLatin1String("second\n"))
        return QStringLiteral("(quit not sent)");
    if (!first.waitForFinished(waitMs) || first.exitCode() != 0)
        return QStringLiteral("(did not end)");
    return QString::fromLocal8Bit(first.readAllStandardOutput());
}

QString keyOf(const QString &name)
{
    QCoreApplication::setApplicationName(name);
    return SingleAppHandler(qApp).appHash();
}

// A socket file as a crashed run leaves it: bound, never removed.
bool leaveSocketFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (native.size() >= int(sizeof(address.sun_path)))
        return false;
    memcpy(address.sun_path, native.constData(), native.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

class SingleAppProcessTest : public QObject {
    Q_OBJECT

private slots:
    void secondInstanceSendsShowAndEnds()
    {
        const QString name = uniqueAppName();
        QProcess first;
        QCOMPARE(startProbe(first, name, "unused"), QStringLiteral("first"));
        QCOMPARE(runLater(name, "show"), QStringLiteral("second\n"));
        QCOMPARE(stopFirst(first, name), QStringLiteral("message:show\nmessage:quit\n"));

        // The first instance is gone: the next start is a first one again.
        QProcess next;
        QCOMPARE(startProbe(next, name, "unused"), QStringLiteral("first"));
        QCOMPARE(stopFirst(next, name), QStringLiteral("message:quit\n"));
    }

    void staleSocketFileDoesNotBlock()
    {
        const QString name = uniqueAppName();
        const QString socketPath = QStringLiteral("/tmp/") + keyOf(name);
        QVERIFY(leaveSocketFile(socketPath));

        QProcess first;
        QCOMPARE(startProbe(first, name, "unused"), QStringLiteral("first"));
        QCOMPARE(runLater(name, "show"), QStringLiteral("second\n"));
        QCOMPARE(stopFirst(first, name), QStringLiteral("message:show\nmessage:quit\n"));
        QVERIFY(!QFileInfo::exists(socketPath));
    }

    // A killed first instance leaves its segment and socket file behind.
    void crashedFirstInstanceDoesNotBlock()
    {
        const QString name = uniqueAppName();
        QProcess crashed;
        QCOMPARE(startProbe(crashed, name, "unused"), QStringLiteral("first"));
        crashed.kill();
        QVERIFY(crashed.waitForFinished(waitMs));

        QProcess first;
        QCOMPARE(startProbe(first, name, "unused"), QStringLiteral("first"));
        QCOMPARE(runLater(name, "show"), QStringLiteral("second\n"));
        QCOMPARE(stopFirst(first, name), QStringLiteral("message:show\nmessage:quit\n"));
    }
};

QTEST_GUILESS_MAIN(SingleAppProcessTest)
#include "singleapp_process_test.moc"

#include "singleapp.h"

#include "messagelines.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSharedMemory>
#include <QSystemSemaphore>

static const int connectTimeoutMs = 500;

SingleAppHandler::SingleAppHandler(QCoreApplication *app)
    : QObject(app)
{
}

SingleAppHandler::~SingleAppHandler()
{
    if (m_server) {
        clearClients();
        m_server->close();
        delete m_server;
    }
    if (m_sharedMemory) {
        m_sharedMemory->detach();
        delete m_sharedMemory;
    }
}

QString SingleAppHandler::appHash() const
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QCoreApplication::applicationName().toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString SingleAppHandler::socketName() const
{
    return QStringLiteral("/tmp/") + appHash();
}

bool SingleAppHandler::isSingle()
{
    const QString key = appHash();
    QSystemSemaphore semaphore(key + QStringLiteral("_semaphore"), 1, QSystemSemaphore::Open);
    semaphore.acquire();
    {
        // A segment that no running process holds any more goes away when
        // this last attachment is dropped.
        QSharedMemory stale(key);
        if (stale.attach(QSharedMemory::ReadWrite))
            stale.detach();
    }
    m_sharedMemory = new QSharedMemory(key);
    const bool another = m_sharedMemory->attach(QSharedMemory::ReadWrite);
    if (!another)
        m_sharedMemory->create(1, QSharedMemory::ReadWrite);
    semaphore.release();

    if (another)
        return false;

    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, &SingleAppHandler::processConnection);
    QLocalServer::removeServer(socketName());
    m_server->listen(socketName());
    return true;
}

void SingleAppHandler::sendMessage(const QString &msg)
{
    QLocalSocket socket;
    socket.connectToServer(socketName(), QIODevice::ReadWrite);
    if (!socket.waitForConnected(connectTimeoutMs))
        return;
    socket.write((msg + QLatin1Char('\n')).toUtf8());
    socket.flush();
    // The process usually ends right after this call: what flush() could not
    // hand to the system yet must be written before the socket closes.
    if (socket.bytesToWrite() > 0)
        socket.waitForBytesWritten(connectTimeoutMs);
    socket.close();
}

void SingleAppHandler::processConnection()
{
    while (m_server->hasPendingConnections()) {
        QLocalSocket *socket = m_server->nextPendingConnection();
        connect(socket, &QLocalSocket::disconnected, this, &SingleAppHandler::processDisconnected);
        connect(socket, &QLocalSocket::readyRead, this, &SingleAppHandler::clientReadyRead);
        m_clients.insert(socket, QString());
    }
}

void SingleAppHandler::clientReadyRead()
{
    auto *socket = qobject_cast<QLocalSocket *>(sender());
    if (!socket)
        return;
    QString &buffer = m_clients[socket];
    buffer += QString::fromUtf8(socket->readAll());
    const QStringList lines = takeMessageLines(buffer);
    for (const QString &line : lines)
        emit incomingMessage(line);
}

void SingleAppHandler::processDisconnected()
{
    auto *socket = qobject_cast<QLocalSocket *>(sender());
    if (!socket)
        return;
    m_clients.remove(socket);
    socket->deleteLater();
}

void SingleAppHandler::clearClients()
{
    // Closing a socket emits disconnected(), whose slot edits the table:
    // take the sockets out of it first.
    const QList<QLocalSocket *> sockets = m_clients.keys();
    m_clients.clear();
    for (QLocalSocket *socket : sockets) {
        disconnect(socket, nullptr, this, nullptr);
        if (socket->isValid())
            socket->close();
        socket->deleteLater();
    }
}

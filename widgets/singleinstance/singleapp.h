#ifndef KOLM_SINGLEAPP_H
#define KOLM_SINGLEAPP_H

// Keeps one instance of an application running. The first instance holds a
// one-byte shared-memory segment named after the application and listens on
// a local socket; a later instance finds the segment, sends one text line to
// the first and ends. The first instance emits each received line.

#include <QHash>
#include <QObject>
#include <QString>

class QCoreApplication;
class QLocalServer;
class QLocalSocket;
class QSharedMemory;

class SingleAppHandler : public QObject {
    Q_OBJECT

public:
    explicit SingleAppHandler(QCoreApplication *app);
    ~SingleAppHandler() override;

    // The SHA-256 of the application name, in hexadecimal: the name of the
    // segment and, with suffixes, of the semaphore and the socket.
    QString appHash() const;
    // True for the first instance, which then listens for messages.
    bool isSingle();
    // Sends one line to the first instance; lost when it cannot be reached
    // within half a second.
    void sendMessage(const QString &msg);

signals:
    void incomingMessage(QString msg);

private slots:
    void processConnection();
    void processDisconnected();
    void clientReadyRead();

private:
    QString socketName() const;
    void clearClients();

    QSharedMemory *m_sharedMemory = nullptr;
    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QString> m_clients;
};

#endif

#ifndef KOLM_TEST_HTTP_STUB_H
#define KOLM_TEST_HTTP_STUB_H

// A tiny HTTP server on a free loopback port: answers every GET with one
// fixed body, or holds the requests unanswered until release().

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVector>

class HttpStub : public QObject {
public:
    explicit HttpStub(QByteArray body, QByteArray status = "200 OK")
        : m_body(std::move(body))
        , m_status(std::move(status))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                ++m_connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            }
        });
    }

    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/releases.json").arg(m_server.serverPort());
    }
    bool isListening() const { return m_server.isListening(); }
    int connections() const { return m_connections; }
    int requests() const { return m_requests; }

    void hold() { m_holding = true; }
    void release()
    {
        m_holding = false;
        for (const QPointer<QTcpSocket> &socket : qAsConst(m_held))
            if (socket)
                answer(socket);
        m_held.clear();
    }

private:
    void readRequest(QTcpSocket *socket)
    {
        QByteArray &request = m_partial[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        m_partial.remove(socket);
        ++m_requests;
        if (m_holding)
            m_held.append(socket);
        else
            answer(socket);
    }

    void answer(QTcpSocket *socket)
    {
        socket->write("HTTP/1.1 " + m_status + "\r\nContent-Type: application/json\r\nContent-Length: "
                      + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QByteArray m_body;
    QByteArray m_status;
    bool m_holding = false;
    int m_connections = 0;
    int m_requests = 0;
    QHash<QTcpSocket *, QByteArray> m_partial;
    QVector<QPointer<QTcpSocket>> m_held;
};

#endif

// One connection attempt to the local emulator's port.

#include "emulator_probe.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

bool emulatorPortAnswers(quint16 port, int timeoutMs)
{
    QTcpSocket socket;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, port);
    deadline.start(timeoutMs);
    if (socket.state() != QAbstractSocket::ConnectedState && socket.state() != QAbstractSocket::UnconnectedState)
        loop.exec();
    const bool answered = socket.state() == QAbstractSocket::ConnectedState;
    socket.abort();
    return answered;
}

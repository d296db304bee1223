#pragma once

#include "zuhal_messenger.h"

#include <QAbstractSocket>

class QTcpSocket;
class SlipBuffer;

// The transport over TCP: to the local emulator or to a remote device that
// speaks the same protocol. On connecting it sends the greeting 0C 0C (bytes
// outside any frame); then every packet travels in one SLIP frame with the
// checksum on, in both directions. open() only starts connecting:
// connected() follows once the link is up.
class ZuHalTCPMessenger : public ZuHalAbstractMessenger
{
    Q_OBJECT

public:
    explicit ZuHalTCPMessenger(QObject *parent = nullptr);

    // The local emulator entry "127.0.0.1:<RemoteTCP/EMUPort>", unless
    // "RemoteTCP/EMUEnabled" is off.
    static QList<ZuHalDevice> enumerate();

    bool open(const QVariant &address) override;
    bool isOpen() const override;
    void close() override;
    QString toString() const override;
    Type type() const override { return ZU_HAL_TCP; }
    QString transport() const override { return QStringLiteral("network"); }
    int error() const override;
    QString errorString() const override;
    int pollTime() const override { return 0; }
    void setPollTime(int) override {}
    bool pollData(int msec) override;

public slots:
    bool send(const ZuHalPacket &packet) override;

private slots:
    void readData();
    void com_error(QAbstractSocket::SocketError error);
    void com_connected();

private:
    QTcpSocket *m_socket;
    SlipBuffer *m_slip;
};

#include "zuhal_network.h"

bool splitHostPort(const QVariant &address, QString &host, quint16 &port)
{
    if (!address.canConvert<QString>())
        return false;
    const QString text = address.toString();
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;

    bool ok = false;
    const uint number = text.midRef(colon + 1).toUInt(&ok, 10);
    if (!ok || number < 1 || number > 0xFFFF)
        return false;

    host = text.left(colon);
    port = quint16(number);
    return true;
}

bool socketErrorEndsLink(QAbstractSocket::SocketError error)
{
    return error != QAbstractSocket::DatagramTooLargeError && error != QAbstractSocket::TemporaryError;
}

#pragma once

#include <QAbstractSocket>
#include <QString>
#include <QVariant>

// What the TCP and UDP transports share.

// Splits a network transport's address "host:port" at its first colon. False
// when the address is not text, has no host before the colon, or its port is
// not a decimal number from 1 to 65535.
bool splitHostPort(const QVariant &address, QString &host, quint16 &port);

// Whether a socket error ends the link (every error but a too-large datagram
// and a temporary one).
bool socketErrorEndsLink(QAbstractSocket::SocketError error);

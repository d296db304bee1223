#ifndef KOLM_TEST_FREE_PORT_H
#define KOLM_TEST_FREE_PORT_H

// Free loopback ports for network tests: the system picks them (bind to
// port 0). A port is free only until someone binds it, so callers that
// close the probe retry on a collision.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

inline sockaddr_in loopbackAddress(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A socket bound to a free loopback port, and that port in *port.
inline int boundLoopbackSocket(int *port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopbackAddress(0);
    socklen_t length = sizeof address;
    *port = 0;
    if (bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        *port = ntohs(address.sin_port);
    return s;
}

// A port that was free a moment ago.
inline int freePort()
{
    int port = 0;
    close(boundLoopbackSocket(&port));
    return port;
}

#endif

#include "transport/socket_peer.h"

#include <sys/socket.h>

#include <cerrno>

bool HasSocketPeerClosed(qintptr socketDescriptor)
{
    if (socketDescriptor < 0)
        return false;
    char byte = 0;
    const ssize_t got = ::recv(static_cast<int>(socketDescriptor), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && (errno == ECONNRESET || errno == EPIPE));
}

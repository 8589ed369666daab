#include "transport/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int BoundSocket()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address = Loopback(0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

}  // namespace

CLoopbackServer::CLoopbackServer(int backlog)
{
    CFileDescriptor listener(BoundSocket());
    if (!listener.IsValid() || ::listen(listener.Get(), backlog) != 0)
        return;
    m_port = PortOf(listener.Get());
    m_listener = std::move(listener);
}

bool CLoopbackServer::Accept(int timeoutMs)
{
    pollfd entry{m_listener.Get(), POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0)
        return false;
    m_connection.Reset(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    m_received.clear();
    return m_connection.IsValid();
}

QByteArray CLoopbackServer::ReceiveUntil(int count, int timeoutMs)
{
    while (m_received.size() < count) {
        pollfd entry{m_connection.Get(), POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0)
            break;
        char chunk[8192];
        const ssize_t got = ::read(m_connection.Get(), chunk, sizeof chunk);
        if (got <= 0)
            break;
        m_received.append(chunk, got);
    }
    return m_received;
}

bool CLoopbackServer::SendToClient(const QByteArray& bytes)
{
    return ::send(m_connection.Get(), bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL)
        == bytes.size();
}

bool CLoopbackServer::ConnectOwnClient()
{
    CFileDescriptor client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = Loopback(m_port);
    if (!client.IsValid() || ::connect(client.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return false;
    m_ownClients.push_back(std::move(client));
    return true;
}

int UnusedLoopbackPort()
{
    CFileDescriptor probe(BoundSocket());
    return probe.IsValid() ? PortOf(probe.Get()) : 0;
}

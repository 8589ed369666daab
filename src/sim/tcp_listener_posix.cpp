#include "sim/tcp_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace {

QString SystemError(const QString& what, int error)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error)));
}

void SetReceiveBuffer(int fd, int bytes)
{
    if (bytes > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

}  // namespace

bool CTcpListener::Listen(const QString& address, quint16 port, int receiveBuffer, QString* error)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &addr.sin_addr) != 1) {
        *error = QStringLiteral("'%1' is not an IPv4 address").arg(address);
        return false;
    }
    CFileDescriptor fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.IsValid()) {
        *error = SystemError(QStringLiteral("cannot create a socket"), errno);
        return false;
    }
    const int on = 1;
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    SetReceiveBuffer(fd.Get(), receiveBuffer);
    const QString where = QStringLiteral("%1:%2").arg(address).arg(port);
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        *error = SystemError(QStringLiteral("cannot listen on %1").arg(where), errno);
        return false;
    }
    if (::listen(fd.Get(), 16) != 0) {
        *error = SystemError(QStringLiteral("cannot listen on %1").arg(where), errno);
        return false;
    }
    socklen_t length = sizeof addr;
    ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&addr), &length);
    m_port = ntohs(addr.sin_port);
    m_address = address;
    m_fd = std::move(fd);
    return true;
}

CFileDescriptor CTcpListener::Accept(int receiveBuffer, QString* peer) const
{
    sockaddr_in addr{};
    socklen_t length = sizeof addr;
    CFileDescriptor fd(::accept4(m_fd.Get(), reinterpret_cast<sockaddr*>(&addr), &length, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.IsValid())
        return fd;
    const int on = 1;
    ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    SetReceiveBuffer(fd.Get(), receiveBuffer);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
    *peer = QStringLiteral("%1:%2").arg(QString::fromLatin1(text)).arg(ntohs(addr.sin_port));
    return fd;
}

bool CTcpListener::HasWaiting() const
{
    pollfd fd{m_fd.Get(), POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}

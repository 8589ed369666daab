#include "transport/pseudo_terminal.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

CPseudoTerminal::CPseudoTerminal()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    m_master.Reset(master);
    m_slave.Reset(slave);
    m_slavePath = QString::fromLocal8Bit(name);
    // The master side must pass bytes unchanged too.
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
}

QByteArray CPseudoTerminal::ReadFromPort(int count, int timeoutMs)
{
    QByteArray received;
    while (received.size() < count) {
        pollfd entry{m_master.Get(), POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0)
            break;
        char chunk[4096];
        const ssize_t got = ::read(m_master.Get(), chunk, sizeof chunk);
        if (got <= 0)
            break;
        received.append(chunk, got);
    }
    return received;
}

bool CPseudoTerminal::SendToPort(const QByteArray& bytes)
{
    return ::write(m_master.Get(), bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
}

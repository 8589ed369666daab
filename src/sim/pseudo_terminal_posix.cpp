#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>

namespace {

bool Fail(QString* error, const QString& what)
{
    *error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

}  // namespace

bool CPseudoTerminal::Open(QString* error)
{
    CUniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master.IsValid())
        return Fail(error, QStringLiteral("cannot open a pseudo-terminal"));
    ::fcntl(master.Get(), F_SETFD, FD_CLOEXEC);
    if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0)
        return Fail(error, QStringLiteral("cannot unlock the pseudo-terminal"));
    char name[128] = {};
    if (::ptsname_r(master.Get(), name, sizeof name) != 0)
        return Fail(error, QStringLiteral("cannot name the pseudo-terminal"));
    CUniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.IsValid())
        return Fail(error, QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(name)));
    termios settings{};
    if (::tcgetattr(slave.Get(), &settings) != 0)
        return Fail(error, QStringLiteral("cannot read the terminal settings"));
    ::cfmakeraw(&settings);
    if (::tcsetattr(slave.Get(), TCSANOW, &settings) != 0)
        return Fail(error, QStringLiteral("cannot make the terminal raw"));
    const int flags = ::fcntl(master.Get(), F_GETFL);
    ::fcntl(master.Get(), F_SETFL, flags | O_NONBLOCK);
    m_master = std::move(master);
    m_slave = std::move(slave);
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
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
    CFileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master.IsValid())
        return Fail(error, QStringLiteral("cannot open a pseudo-terminal"));
    ::fcntl(master.Get(), F_SETFD, FD_CLOEXEC);
    if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0)
        return Fail(error, QStringLiteral("cannot unlock the pseudo-terminal"));
    char name[128] = {};
    if (::ptsname_r(master.Get(), name, sizeof name) != 0)
        return Fail(error, QStringLiteral("cannot name the pseudo-terminal"));
    CFileDescriptor slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
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
    int packetMode = 1;
    if (::ioctl(master.Get(), TIOCPKT, &packetMode) != 0)
        return Fail(error, QStringLiteral("cannot put the pseudo-terminal into packet mode"));
    m_master = std::move(master);
    m_slave = std::move(slave);
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

namespace {

struct SpeedEntry {
    speed_t code;
    int baud;
};

constexpr SpeedEntry kSpeeds[] = {
    {B300, 300},       {B600, 600},       {B1200, 1200},     {B2400, 2400},     {B4800, 4800},
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
    {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

}  // namespace

double CPseudoTerminal::CharacterSeconds(int masterFd, int fixedBaud)
{
    termios line{};
    int baud = fixedBaud;
    int bits = 10;  // 8N1
    // The master reports the settings the host made on the slave side.
    if (::tcgetattr(masterFd, &line) == 0) {
        const tcflag_t size = line.c_cflag & CSIZE;
        const int dataBits = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
        bits = 1 + dataBits + ((line.c_cflag & PARENB) ? 1 : 0) + ((line.c_cflag & CSTOPB) ? 2 : 1);
        if (baud <= 0) {
            const speed_t code = ::cfgetospeed(&line);
            for (const SpeedEntry& entry : kSpeeds) {
                if (entry.code == code)
                    baud = entry.baud;
            }
        }
    }
    if (baud <= 0)
        baud = 9600;  // a speed the table does not know: the common one
    return static_cast<double>(bits) / baud;
}

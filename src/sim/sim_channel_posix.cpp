#include "sim/sim_channel.h"

#include "sim/printer_core.h"
#include "sim/stream_session.h"

#include "sim/pseudo_terminal.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

using std::chrono::milliseconds;

constexpr qsizetype kReadChunk = 64 * 1024;
constexpr qsizetype kEndlessChunk = 4096;
// Replies waiting for a host that does not read them; a host that keeps
// asking without reading loses the newest ones rather than growing the printer.
constexpr qsizetype kMaxPendingOutput = 64 * 1024;
// A reply that no query has, and that no host can take for one.
constexpr char kGarbageReply[] = "\x3F\xA5\x5A\xC3\x81\x7E";

int MsUntil(CSimChannel::Clock::time_point when, CSimChannel::Clock::time_point now)
{
    const qint64 ms = std::chrono::ceil<milliseconds>(when - now).count();
    return static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX));
}

}  // namespace

CSimChannel::CSimChannel(CPrinterCore& core, Type type, int fd, CFileDescriptor owned, int lineBaud,
                         int receiveBuffer)
    : m_core(core),
      m_type(type),
      m_name(type == Type::Tcp ? QStringLiteral("tcp") : QStringLiteral("pty")),
      m_fd(fd),
      m_owned(std::move(owned)),
      m_session(std::make_unique<CStreamSession>(core, m_name, [this](const QByteArray& r) { OnReply(r); })),
      m_lastRefill(Clock::now()),
      m_lastInput(m_lastRefill),
      m_lineBaud(lineBaud),
      m_receiveBuffer(std::max(receiveBuffer, 1))
{
}

CSimChannel::~CSimChannel() = default;

void CSimChannel::Close(const QString& why)
{
    // The host sees the connection end before anyone can see the abandoned
    // command: whoever waits for the count (a test, the index) and then looks
    // at the line must find it closed. The descriptor itself goes with the
    // channel.
    if (m_type == Type::Tcp && m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
    m_session->Abandon(why);
}

bool CSimChannel::Reading(Clock::time_point now) const
{
    return !m_broken && (!m_pauseDone || now >= m_pauseUntil) && ReadAllowance(now) > 0
           && m_line.size() < m_receiveBuffer;
}

double CSimChannel::Tokens(Clock::time_point now) const
{
    const SimFaults faults = m_core.Faults();
    if (faults.readBytesPerSecond <= 0)
        return kReadChunk;
    // No saving up beyond a tenth of a second, so the rate holds over short
    // spans too.
    const double elapsed = std::chrono::duration<double>(now - m_lastRefill).count();
    return std::min(m_tokens + elapsed * faults.readBytesPerSecond, std::max(1.0, faults.readBytesPerSecond / 10.0));
}

qint64 CSimChannel::ReadAllowance(Clock::time_point now) const
{
    const SimFaults faults = m_core.Faults();
    qint64 allowance = std::min<qint64>(kReadChunk, static_cast<qint64>(Tokens(now)));
    // Read exactly up to the byte after which a fault strikes.
    if (faults.pauseReadingAfterBytes >= 0 && !m_pauseDone)
        allowance = std::min(allowance, std::max<qint64>(faults.pauseReadingAfterBytes - m_received, 0));
    // Never further ahead of the line than the receive buffer.
    if (m_type == Type::Pty)
        allowance = std::min<qint64>(allowance, m_receiveBuffer - m_line.size());
    return allowance;
}

void CSimChannel::CheckPause(Clock::time_point now)
{
    const SimFaults faults = m_core.Faults();
    if (faults.pauseReadingAfterBytes < 0 || m_pauseDone || m_received < faults.pauseReadingAfterBytes)
        return;
    m_pauseDone = true;
    m_pauseUntil = now + milliseconds(std::max(faults.pauseReadingMs, 1));
    m_core.Log(m_name, QStringLiteral("reading paused for %1 ms (fault mode)").arg(faults.pauseReadingMs));
}

short CSimChannel::WantedEvents(Clock::time_point now) const
{
    short events = 0;
    if (Reading(now))
        events |= POLLIN;
    if (!m_broken && (m_outOffset < m_out.size() || m_endless))
        events |= POLLOUT;
    return events;
}

int CSimChannel::MsUntilDeadline(Clock::time_point now) const
{
    int ms = -1;
    auto sooner = [&ms](int candidate) { ms = ms < 0 ? candidate : std::min(ms, candidate); };
    if (m_pauseDone && now < m_pauseUntil)
        sooner(MsUntil(m_pauseUntil, now));
    const SimFaults faults = m_core.Faults();
    if (faults.readBytesPerSecond > 0 && ReadAllowance(now) < 1)
        sooner(std::max(1, 1000 / faults.readBytesPerSecond));
    if (!m_session->IsIdle() && Reading(now))
        sooner(MsUntil(m_lastInput + milliseconds(m_core.CommandTimeoutMs()), now));
    if (!m_line.isEmpty()) {
        const auto next = m_lineStart + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                            CPseudoTerminal::CharacterSeconds(m_fd, m_lineBaud)));
        sooner(std::max(1, MsUntil(next, now)));
    }
    return ms;
}

bool CSimChannel::Service(short revents, Clock::time_point now)
{
    CheckPause(now);
    PumpLine(now);
    if (revents & POLLOUT)
        TryWrite();
    if ((revents & POLLIN) && !ReadInput(now))
        return false;
    if ((revents & (POLLERR | POLLHUP)) && !(revents & POLLIN) && m_type == Type::Tcp)
        m_broken = true;
    if (m_pauseDone && now >= m_pauseUntil && m_pauseUntil != Clock::time_point{}) {
        // The silence the printer made itself does not count against the host.
        m_pauseUntil = Clock::time_point{};
        m_lastInput = now;
    }
    if (!m_session->IsIdle() && Reading(now)
        && now - m_lastInput >= milliseconds(m_core.CommandTimeoutMs()))
        m_session->Abandon(QStringLiteral("no byte for %1 ms").arg(m_core.CommandTimeoutMs()));
    if (m_broken && m_type == Type::Tcp) {
        Close(QStringLiteral("connection closed"));
        return false;
    }
    return true;
}

bool CSimChannel::ReadInput(Clock::time_point now)
{
    const qint64 allowance = ReadAllowance(now);
    if (allowance <= 0)
        return true;
    // The pseudo-terminal puts a status byte in front of each read.
    m_readBuffer.resize(static_cast<size_t>(allowance + (m_type == Type::Pty ? 1 : 0)));
    const ssize_t got = ::read(m_fd, m_readBuffer.data(), m_readBuffer.size());
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    if (got <= 0) {
        // End of the connection (or an error on it): the host has gone.
        if (m_type == Type::Tcp) {
            Close(QStringLiteral("connection closed"));
            return false;
        }
        return true;
    }
    if (m_type == Type::Pty) {
        TakeFromPty(m_readBuffer.data(), got, now);
        return true;
    }
    m_tokens = std::max(0.0, Tokens(now) - static_cast<double>(got));
    m_lastRefill = now;
    m_lastInput = now;
    Deliver(m_readBuffer.data(), got, now);
    if (m_broken && m_type == Type::Tcp) {
        Close(QStringLiteral("closed after %1 bytes (fault mode)").arg(m_received));
        m_core.CountFaultHangUp();
        return false;
    }
    return true;
}

void CSimChannel::TakeFromPty(const char* packet, qsizetype size, Clock::time_point now)
{
    if (packet[0] != TIOCPKT_DATA) {
        if (packet[0] & TIOCPKT_FLUSHWRITE)
            PurgeLine(now);
        return;
    }
    const qsizetype got = size - 1;
    if (got <= 0)
        return;
    m_tokens = std::max(0.0, Tokens(now) - static_cast<double>(got));
    m_lastRefill = now;
    if (m_line.isEmpty())
        m_lineStart = now;
    m_line.append(packet + 1, got);
    m_core.CountLine(got, 0);
    PumpLine(now);
}

void CSimChannel::PumpLine(Clock::time_point now)
{
    if (m_line.isEmpty())
        return;
    const double character = CPseudoTerminal::CharacterSeconds(m_fd, m_lineBaud);
    const double elapsed = std::chrono::duration<double>(now - m_lineStart).count();
    const qsizetype across = std::min<qsizetype>(m_line.size(), static_cast<qsizetype>(elapsed / character));
    if (across <= 0)
        return;
    m_lineStart += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(across * character));
    const QByteArray arrived = m_line.left(across);
    m_line.remove(0, across);
    m_lastInput = now;
    Deliver(arrived.constData(), arrived.size(), now);
}

void CSimChannel::PurgeLine(Clock::time_point now)
{
    PumpLine(now);
    if (m_line.isEmpty())
        return;
    m_core.Log(m_name, QStringLiteral("the host purged its output queue: %1 bytes still on the line were lost")
                           .arg(m_line.size()));
    m_core.CountLine(0, m_line.size());
    m_line.clear();
}

void CSimChannel::Deliver(const char* data, qsizetype size, Clock::time_point now)
{
    // On the pseudo-terminal, which never closes, new input ends an endless
    // reply: the host has moved on.
    if (m_type == Type::Pty)
        m_endless = false;
    const SimFaults faults = m_core.Faults();
    qsizetype take = size;
    if (faults.closeAfterBytes >= 0)
        take = static_cast<qsizetype>(std::clamp<qint64>(faults.closeAfterBytes - m_received, 0, size));
    if (take > 0) {
        m_received += take;
        m_session->Feed(QByteArrayView(data, take));
        CheckPause(now);
    }
    if (faults.closeAfterBytes >= 0 && m_received >= faults.closeAfterBytes) {
        // The pseudo-terminal cannot be closed without losing its path: its
        // line goes dead instead, until the fault is switched off.
        if (m_type == Type::Tcp)
            m_broken = true;
        else if (size > take)
            m_core.Log(m_name, QStringLiteral("%1 bytes dropped, line dead (fault mode)").arg(size - take));
    }
}

void CSimChannel::OnReply(const QByteArray& reply)
{
    const SimFaults faults = m_core.Faults();
    QByteArray bytes;
    switch (faults.reply) {
    case SimReplyFault::Normal:
        bytes = reply;
        break;
    case SimReplyFault::None:
        return;
    case SimReplyFault::Garbage:
        bytes = QByteArray(kGarbageReply, sizeof kGarbageReply);  // with the closing 00
        break;
    case SimReplyFault::Endless:
        bytes = reply.chopped(1);
        m_endless = true;
        break;
    case SimReplyFault::CutShort:
        bytes = reply.left(std::max(faults.cutReplyBytes, 0));
        break;
    }
    if (m_out.size() - m_outOffset + bytes.size() > kMaxPendingOutput) {
        m_core.Log(m_name, QStringLiteral("reply dropped: the host does not read its replies"));
        return;
    }
    m_core.CountReply();
    m_out.append(bytes);
    TryWrite();
}

void CSimChannel::TryWrite()
{
    if (m_broken)
        return;
    // One chunk of an endless reply per turn, so that a host that reads as
    // fast as we write cannot keep the printer in this loop.
    if (m_endless && m_outOffset >= m_out.size()) {
        m_out = QByteArray(kEndlessChunk, '9');
        m_outOffset = 0;
    }
    while (m_outOffset < m_out.size()) {
        const char* data = m_out.constData() + m_outOffset;
        const size_t length = static_cast<size_t>(m_out.size() - m_outOffset);
        const ssize_t sent = m_type == Type::Tcp ? ::send(m_fd, data, length, MSG_NOSIGNAL) : ::write(m_fd, data, length);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (sent <= 0) {
            m_broken = m_type == Type::Tcp;
            m_out.clear();
            m_outOffset = 0;
            return;
        }
        m_outOffset += sent;
    }
    m_out.clear();
    m_outOffset = 0;
}

#pragma once

#include "framework/file_descriptor.h"
#include "sim/sim_options.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>
#include <vector>

class CPrinterCore;
class CStreamSession;

// One line into the printer, a TCP connection or the pseudo-terminal's
// master side: reads its bytes into a stream session, writes the replies,
// and plays the fault modes (see SimFaults) on it. The descriptor is
// non-blocking; the serving thread polls it for the events WantedEvents()
// asks for and wakes up by MsUntilDeadline() for the timed parts (read
// pauses and rates, the silence bound of a half-received command).
//
// Threading: belongs to the serving thread.
class CSimChannel {
public:
    using Clock = std::chrono::steady_clock;
    enum class Type { Tcp, Pty };

    // fd is used for reading and writing; owned (may be invalid) is closed
    // with the channel. lineBaud: the pseudo-terminal's line speed (0: the
    // speed the host set on its side); receiveBuffer: how many bytes the
    // printer takes from the pseudo-terminal ahead of its line.
    CSimChannel(CPrinterCore& core, Type type, int fd, CFileDescriptor owned, int lineBaud = 0,
                int receiveBuffer = kDefaultReceiveBufferBytes);
    ~CSimChannel();
    CSimChannel(const CSimChannel&) = delete;
    CSimChannel& operator=(const CSimChannel&) = delete;

    int Fd() const { return m_fd; }
    short WantedEvents(Clock::time_point now) const;
    // Milliseconds until something is due without any event; -1: nothing.
    int MsUntilDeadline(Clock::time_point now) const;
    // Handles poll's events (0 when woken by time or by another line); called
    // on every turn of the serving loop. False when the
    // connection is over; the channel must then be destroyed.
    bool Service(short revents, Clock::time_point now);
    // Ends the line: a half-received command is abandoned with this reason.
    void Close(const QString& why);
    // When the last byte came from the host (a command or not).
    Clock::time_point LastInput() const { return m_lastInput; }

private:
    void OnReply(const QByteArray& reply);
    void TryWrite();
    bool ReadInput(Clock::time_point now);
    void Deliver(const char* data, qsizetype size, Clock::time_point now);
    void TakeFromPty(const char* packet, qsizetype size, Clock::time_point now);
    void PumpLine(Clock::time_point now);
    void PurgeLine(Clock::time_point now);
    qint64 ReadAllowance(Clock::time_point now) const;
    bool Reading(Clock::time_point now) const;
    double Tokens(Clock::time_point now) const;
    void CheckPause(Clock::time_point now);

    CPrinterCore& m_core;
    const Type m_type;
    const QString m_name;
    int m_fd;
    CFileDescriptor m_owned;
    std::unique_ptr<CStreamSession> m_session;
    std::vector<char> m_readBuffer;

    QByteArray m_out;
    qsizetype m_outOffset = 0;
    bool m_endless = false;
    bool m_broken = false;  // the line failed or was closed by a fault

    qint64 m_received = 0;
    bool m_pauseDone = false;
    Clock::time_point m_pauseUntil{};
    double m_tokens = 0;    // bytes the read rate allows now
    Clock::time_point m_lastRefill;
    Clock::time_point m_lastInput;

    // The serial line behind the pseudo-terminal: what the host wrote takes
    // the time of its characters to cross it, and until it has, it is still
    // in the host's output queue, where a purge (tcflush) throws it away, as
    // on a real port. The pseudo-terminal itself would hand it over at once.
    // The printer takes no more than its receive buffer ahead of the line,
    // so the host's writes wait for the line (beyond the few KiB the
    // pseudo-terminal itself holds, which a real port's output queue holds
    // too).
    int m_lineBaud = 0;
    qsizetype m_receiveBuffer = kDefaultReceiveBufferBytes;  // m_line holds at most this
    QByteArray m_line;               // not yet across, oldest first
    Clock::time_point m_lineStart;   // when m_line's first character began to cross
};

#include "sim/virtual_printer.h"

#include "sim/printer_core.h"
#include "sim/pseudo_terminal.h"
#include "sim/sim_channel.h"
#include "sim/tcp_listener.h"

#include <fcntl.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

// Socket buffers for connections whose reading is slowed on purpose: small,
// so that the host's writes block after a few kilobytes.
constexpr int kSlowReceiveBuffer = 4096;

int SlowBuffer(const SimFaults& faults)
{
    return faults.pauseReadingAfterBytes >= 0 || faults.readBytesPerSecond > 0 ? kSlowReceiveBuffer : 0;
}

int Sooner(int a, int b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

}  // namespace

CVirtualPrinter::CVirtualPrinter() = default;

CVirtualPrinter::~CVirtualPrinter()
{
    Stop();
}

std::optional<quint16> CVirtualPrinter::Start(PrinterKind kind, const SimOptions& options)
{
    Stop();
    m_error.clear();
    m_notes.clear();
    m_stop = false;
    if (options.capacity > kMaxCapacity) {
        m_error = QStringLiteral("a capacity of %1 bytes is more than the %2 a virtual printer may have")
                      .arg(options.capacity).arg(kMaxCapacity);
        return std::nullopt;
    }
    auto core = std::make_unique<CPrinterCore>(kind, options);
    auto listener = std::make_unique<CTcpListener>();
    std::unique_ptr<CPseudoTerminal> pty;
    int pipeFds[2] = {-1, -1};
    if (!core->Open(&m_notes, &m_error)
        || !listener->Listen(options.listenAddress, options.listenPort, SlowBuffer(options.faults), &m_error))
        return std::nullopt;
    if (options.pty) {
        pty = std::make_unique<CPseudoTerminal>();
        if (!pty->Open(&m_error))
            return std::nullopt;
    }
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_error = QStringLiteral("cannot create a pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    m_wakeRead.Reset(pipeFds[0]);
    m_wakeWrite.Reset(pipeFds[1]);
    m_core = std::move(core);
    {
        std::lock_guard lock(m_acceptMutex);
        m_listener = std::move(listener);
    }
    m_pty = std::move(pty);
    m_port = m_listener->Port();
    m_address = m_listener->Address();
    m_ptyPath = m_pty ? m_pty->SlavePath() : QString();
    m_idleTimeoutMs = options.idleTimeoutMs;
    m_lineBaud = options.lineBaud;
    m_receiveBuffer = options.receiveBufferBytes;
    m_core->Log(QStringLiteral("printer"), QStringLiteral("%1 printer listening on %2:%3%4")
                                               .arg(SimKindName(kind), m_listener->Address())
                                               .arg(m_listener->Port())
                                               .arg(m_pty ? QStringLiteral(" and on ") + m_pty->SlavePath() : QString()));
    m_thread = std::thread([this] { Serve(); });
    return m_listener->Port();
}

void CVirtualPrinter::Stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    Wake();
    m_thread.join();
    // Closed at once, so that no host connects to a printer that is gone.
    std::lock_guard lock(m_acceptMutex);
    m_listener.reset();
    m_pty.reset();
}

void CVirtualPrinter::Wake() const
{
    if (m_wakeWrite.IsValid()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite.Get(), &byte, 1);  // a full pipe wakes as well
    }
}

void CVirtualPrinter::Serve()
{
    using Clock = CSimChannel::Clock;
    std::vector<std::unique_ptr<CSimChannel>> connections;
    std::unique_ptr<CSimChannel> pty;
    if (m_pty)
        pty = std::make_unique<CSimChannel>(*m_core, CSimChannel::Type::Pty, m_pty->MasterFd(), CFileDescriptor(),
                                            m_lineBaud, m_receiveBuffer);
    int timeout = -1;
    while (!m_stop) {
        auto now = Clock::now();
        // Every connection is polled on its own, so a silent or slow host
        // holds up nobody else; more than kMaxConnections wait in the backlog.
        std::vector<pollfd> fds{{m_wakeRead.Get(), POLLIN, 0}};
        const bool accepting = connections.size() < kMaxConnections;
        fds.push_back({accepting ? m_listener->Fd() : -1, POLLIN, 0});  // a negative descriptor is not polled
        for (const auto& connection : connections) {
            fds.push_back({connection->Fd(), connection->WantedEvents(now), 0});
            timeout = Sooner(timeout, connection->MsUntilDeadline(now));
            timeout = Sooner(timeout, MsUntilIdle(*connection, now));
        }
        const size_t ptyAt = fds.size();
        fds.push_back({pty ? pty->Fd() : -1, static_cast<short>(pty ? pty->WantedEvents(now) : 0), 0});
        if (pty)
            timeout = Sooner(timeout, pty->MsUntilDeadline(now));
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (::read(m_wakeRead.Get(), drain, sizeof drain) > 0) {
            }
        }
        if (m_stop)
            break;
        now = Clock::now();
        ServeConnections(connections, fds, now);
        // Every connection waiting in the backlog is taken now, in the order
        // they came, so none lingers there behind a busy round.
        while (accepting && (fds[1].revents & POLLIN) && connections.size() < kMaxConnections) {
            std::unique_ptr<CSimChannel> connection = Accept();
            if (!connection)
                break;
            connections.push_back(std::move(connection));
        }
        if (pty)
            pty->Service(fds[ptyAt].revents, now);
        timeout = m_core->FlushOutput(false);
    }
    for (const auto& connection : connections) {
        connection->Close(QStringLiteral("printer stopped"));
        m_core->CountConnectionEnded();
    }
    if (pty)
        pty->Close(QStringLiteral("printer stopped"));
    m_core->Log(QStringLiteral("printer"), QStringLiteral("stopped"));
    m_core->FlushOutput(true);
}

int CVirtualPrinter::MsUntilIdle(const CSimChannel& connection, CSimChannel::Clock::time_point now) const
{
    const auto limit = connection.LastInput() + std::chrono::milliseconds(m_idleTimeoutMs);
    const qint64 ms = std::chrono::ceil<std::chrono::milliseconds>(limit - now).count();
    return static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX));
}

void CVirtualPrinter::ServeConnections(std::vector<std::unique_ptr<CSimChannel>>& connections,
                                       const std::vector<pollfd>& fds, CSimChannel::Clock::time_point now)
{
    constexpr size_t kFirstConnectionAt = 2;  // after the wake pipe and the listener
    std::vector<std::unique_ptr<CSimChannel>> kept;
    for (size_t i = 0; i < connections.size(); ++i) {
        std::unique_ptr<CSimChannel>& connection = connections[i];
        if (!connection->Service(fds[kFirstConnectionAt + i].revents, now)) {
            m_core->Log(QStringLiteral("tcp"), QStringLiteral("connection ended"));
            m_core->CountConnectionEnded();
            continue;
        }
        if (MsUntilIdle(*connection, now) == 0) {
            connection->Close(QStringLiteral("no byte for %1 ms").arg(m_idleTimeoutMs));
            m_core->Log(QStringLiteral("tcp"), QStringLiteral("connection closed: idle for %1 ms").arg(m_idleTimeoutMs));
            m_core->CountConnectionEnded();
            continue;
        }
        kept.push_back(std::move(connection));
    }
    connections = std::move(kept);
}

std::unique_ptr<CSimChannel> CVirtualPrinter::Accept()
{
    QString peer;
    CFileDescriptor fd;
    {
        std::lock_guard lock(m_acceptMutex);
        fd = m_listener->Accept(SlowBuffer(m_core->Faults()), &peer);
        if (!fd.IsValid())
            return nullptr;
        m_core->CountConnection();
    }
    m_core->Log(QStringLiteral("tcp"), QStringLiteral("connection from %1").arg(peer));
    const int raw = fd.Get();
    return std::make_unique<CSimChannel>(*m_core, CSimChannel::Type::Tcp, raw, std::move(fd));
}

void CVirtualPrinter::SetFaults(const SimFaults& faults)
{
    if (m_core) {
        m_core->SetFaults(faults);
        Wake();
    }
}

SimFaults CVirtualPrinter::Faults() const
{
    return m_core ? m_core->Faults() : SimFaults();
}

void CVirtualPrinter::SetLogSink(std::function<void(const QString&)> sink)
{
    if (m_core)
        m_core->SetLogSink(std::move(sink));
}

std::vector<SimStoredImage> CVirtualPrinter::StoredImages() const
{
    return m_core ? m_core->StoredImages() : std::vector<SimStoredImage>();
}

std::vector<SimPrint> CVirtualPrinter::Prints() const
{
    return m_core ? m_core->Prints() : std::vector<SimPrint>();
}

std::vector<SimLogEntry> CVirtualPrinter::CommandLog() const
{
    return m_core ? m_core->CommandLog() : std::vector<SimLogEntry>();
}

SimCounters CVirtualPrinter::Counters() const
{
    return m_core ? m_core->Counters() : SimCounters();
}

qint64 CVirtualPrinter::FreeBytes() const
{
    return m_core ? m_core->FreeBytes() : 0;
}

bool CVirtualPrinter::IsIdle() const
{
    std::lock_guard lock(m_acceptMutex);
    if (!m_core || !m_listener)
        return true;
    const SimCounters counters = m_core->Counters();
    return counters.connections == counters.connectionsEnded && !m_listener->HasWaiting();
}

bool CVirtualPrinter::WaitFor(const std::function<bool()>& condition, int timeoutMs) const
{
    return m_core ? m_core->WaitFor(condition, timeoutMs) : condition();
}

#pragma once

#include "framework/file_descriptor.h"
#include "sim/sim_channel.h"
#include "sim/sim_options.h"
#include "sim/sim_records.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct pollfd;
class CPrinterCore;
class CPseudoTerminal;
class CTcpListener;

// A virtual receipt printer of one kind, for trying Markograph without
// hardware and as the far end of tests: it listens on TCP (every connection
// served on its own, up to kMaxConnections at once, each closed after the
// idle limit without a byte) and, when asked, on a pseudo-terminal that
// stands in for a serial port. Each connection's bytes form one command
// stream; the pseudo-terminal is one stream for as long as the printer runs. It keeps its NV memory in a state
// folder across runs, answers the queries of the two-colour printers, and
// renders stored images and prints into an output folder.
//
// Threading: Start() runs the printer on a thread of its own (the serving
// thread), which does all reading, decoding, replying and file writing.
// Start(), Stop() and the destructor belong to one controlling thread and
// must not run concurrently with each other or with the other members. Every
// other member may be called from any thread while the printer runs and
// after Stop() (until the next Start()); the accessors return copies taken
// under the printer's lock. Stop() (and the destructor) ends
// the serving thread, abandons a half-received command, writes the index
// and returns when everything is closed.
//
// Time: the printer keeps real (steady-clock) time even when a test
// replaces Markograph's clock (framework/clock.h), since it plays a device,
// not the host.
class CVirtualPrinter {
public:
    // Connections served at once; more wait in the listen backlog.
    static constexpr size_t kMaxConnections = 16;

    CVirtualPrinter();
    ~CVirtualPrinter();
    CVirtualPrinter(const CVirtualPrinter&) = delete;
    CVirtualPrinter& operator=(const CVirtualPrinter&) = delete;

    // Loads the saved memory, listens (options.listenPort 0: any free port)
    // and opens the pseudo-terminal if asked, then starts serving. Returns the
    // port it listens on; nothing (and ErrorString()) when it cannot start.
    // A damaged state file is not an error: see StartNotes().
    std::optional<quint16> Start(PrinterKind kind, const SimOptions& options);
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    const QString& ErrorString() const { return m_error; }
    // What Start() found worth telling, such as a state file it replaced.
    const QStringList& StartNotes() const { return m_notes; }
    // Where the last Start() listens (kept after Stop() for reports).
    quint16 Port() const { return m_port; }
    const QString& ListenAddress() const { return m_address; }
    // The pseudo-terminal's slave path (/dev/pts/N); empty without one.
    const QString& PtyPath() const { return m_ptyPath; }

    // --- any thread, while running ---
    void SetFaults(const SimFaults& faults);
    SimFaults Faults() const;
    // Receives every log line; called on the serving thread.
    void SetLogSink(std::function<void(const QString&)> sink);
    std::vector<SimStoredImage> StoredImages() const;
    std::vector<SimPrint> Prints() const;
    std::vector<SimLogEntry> CommandLog() const;
    SimCounters Counters() const;
    qint64 FreeBytes() const;
    // Waits until condition() holds, trying it after every change the
    // printer makes, at most timeoutMs; returns its last value. condition
    // may call the accessors.
    bool WaitFor(const std::function<bool()>& condition, int timeoutMs) const;
    // True when no TCP connection is being served or waits in the listen
    // backlog: the printer has carried out everything that came on the
    // connections a host has closed (on loopback a connection is in the
    // backlog once the host's connect returns). Taking a connection from the
    // backlog counts it as served in one step, so no connection is ever
    // missed between the two; accepting one wakes WaitFor(). True once
    // stopped.
    bool IsIdle() const;

private:
    void Serve();
    void ServeConnections(std::vector<std::unique_ptr<CSimChannel>>& connections, const std::vector<pollfd>& fds,
                          CSimChannel::Clock::time_point now);
    int MsUntilIdle(const CSimChannel& connection, CSimChannel::Clock::time_point now) const;
    std::unique_ptr<CSimChannel> Accept();
    void Wake() const;

    std::unique_ptr<CPrinterCore> m_core;
    std::unique_ptr<CTcpListener> m_listener;
    std::unique_ptr<CPseudoTerminal> m_pty;
    CFileDescriptor m_wakeRead;
    CFileDescriptor m_wakeWrite;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    // Guards the listener against IsIdle() while a connection is taken and
    // counted, and while the listener goes away at Stop().
    mutable std::mutex m_acceptMutex;
    QString m_error;
    QStringList m_notes;
    quint16 m_port = 0;
    QString m_address;
    QString m_ptyPath;
    int m_idleTimeoutMs = 60000;
    int m_lineBaud = 0;
    int m_receiveBuffer = kDefaultReceiveBufferBytes;
};

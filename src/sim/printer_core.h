#pragma once

#include "sim/nv_memory.h"
#include "sim/sim_command.h"
#include "sim/sim_journal.h"
#include "sim/sim_options.h"
#include "sim/sim_output.h"
#include "sim/state_store.h"

#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

// The printer itself, behind its lines: carries out decoded commands on the
// NV memory, builds the replies, keeps the memory in the state folder and
// renders stored images and prints into the output folder.
//
// Threading: Open() runs before serving starts; then one thread (the serving
// thread) calls the operations marked "serving thread". The accessors marked
// "any thread" may be called from any thread at any time and return copies.
// One mutex guards the memory, the journal and the faults; files are written
// outside it, by the serving thread only.
class CPrinterCore {
public:
    CPrinterCore(PrinterKind kind, const SimOptions& options);
    CPrinterCore(const CPrinterCore&) = delete;
    CPrinterCore& operator=(const CPrinterCore&) = delete;

    // Reads the saved memory, prepares the output folder and renders what is
    // stored. False (with *error) when a folder cannot be used; notes (such
    // as a damaged state file replaced by an empty memory) go to *notes.
    bool Open(QStringList* notes, QString* error);

    PrinterKind Kind() const { return m_kind; }
    int CommandTimeoutMs() const { return m_commandTimeoutMs; }

    // --- serving thread ---
    qint64 RoomForNumbered() const;
    qint64 RoomForAddressed(int key) const;
    // Carries out a command; returns the reply to send (empty: none).
    QByteArray Execute(const SimCommand& command, const QString& channel);
    void CountReceived(qint64 bytes);
    void CountSkipped(qint64 bytes);
    void CountReply();
    // Bytes the serial line took from the host, and bytes it lost to a purge.
    void CountLine(qint64 taken, qint64 lost);
    void CountConnection();
    void CountConnectionEnded();
    void CountFaultHangUp();
    void Log(const QString& channel, const QString& text);
    // Writes index.json when something changed: after commands at once,
    // after counter changes alone at most once a second, and always when
    // forced. Returns the milliseconds until a pending write is due, or -1.
    int FlushOutput(bool force);

    // --- any thread ---
    SimFaults Faults() const;
    void SetFaults(const SimFaults& faults);
    // Receives every log line as text (the program prints them); called on
    // the serving thread. Empty: none.
    void SetLogSink(std::function<void(const QString&)> sink);
    std::vector<SimStoredImage> StoredImages() const;
    std::vector<SimPrint> Prints() const;
    std::vector<SimLogEntry> CommandLog() const;
    SimCounters Counters() const;
    qint64 FreeBytes() const;
    // Waits until condition() holds (it is tried after every change) or
    // timeoutMs pass; returns its last value. condition may call the
    // accessors above.
    bool WaitFor(const std::function<bool()>& condition, int timeoutMs) const;

    // "7" for numbers, the two characters (or their hex codes where not
    // printable) for key codes.
    QString KeyName(int key) const;

private:
    struct Dims {
        int width = 0;
        int height = 0;
        bool clipped = false;
    };

    bool Addressed() const;
    void DefineNumbered(const SimCommand& command, const QString& channel);
    void DefineAddressed(const SimCommand& command, const QString& channel);
    void Print(const SimCommand& command, const QString& channel);
    void Delete(const SimCommand& command, const QString& channel);
    QByteArray KeyListReply() const;
    QByteArray CapacityReply() const;
    void Refuse(const QString& channel, const QString& command, const QString& reason);
    void SaveState(const CNvMemory& snapshot, const QString& channel);
    void RenderStored(int key, const CDotGrid& grid, const QString& channel);
    // Cuts a grid printed at scaleX to what fits the printable width; true
    // when something was cut off.
    bool CutToPaper(CDotGrid& grid, int scaleX) const;
    void NoteClipped(const QString& channel, const QString& what, const CDotGrid& grid, int scaleX);
    void RemoveStaleRenderings();
    QByteArray IndexJson() const;
    void Changed(bool event);
    // Applies change to the counters under the lock, then wakes the waiters.
    template <class Change>
    void Count(Change change);

    const PrinterKind m_kind;
    const int m_commandTimeoutMs;
    const int m_printableWidth;
    CStateStore m_store;
    CSimOutput m_output;

    mutable std::mutex m_mutex;
    CNvMemory m_memory;
    std::map<int, Dims> m_dims;
    CSimJournal m_journal;
    SimFaults m_faults;
    qint64 m_printSequence = 0;
    std::function<void(const QString&)> m_logSink;

    // Index writing (serving thread only).
    bool m_eventsDirty = true;
    bool m_countersDirty = false;
    std::chrono::steady_clock::time_point m_lastIndexWrite;

    mutable std::mutex m_changeMutex;
    mutable std::condition_variable m_changed;
    quint64 m_generation = 0;
};

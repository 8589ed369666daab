#pragma once

#include "sim/sim_records.h"

#include <QJsonObject>

#include <deque>
#include <optional>
#include <vector>

// What the printer has done: the counters and the latest prints, refusals
// and log lines. Each list keeps the newest kMaxEntries, so a host that
// prints forever cannot make the printer grow. No locking; the owner guards it.
class CSimJournal {
public:
    static constexpr size_t kMaxEntries = 1000;

    SimCounters& Counters() { return m_counters; }
    const SimCounters& Counters() const { return m_counters; }

    // Adds a print; returns the print that fell off the end, if one did, so
    // that its rendering can be removed.
    std::optional<SimPrint> AddPrint(const SimPrint& print);
    void AddRefusal(const QDateTime& time, const QString& channel, const QString& command, const QString& reason);
    void AddLog(const QDateTime& time, const QString& channel, const QString& text);

    std::vector<SimPrint> Prints() const { return {m_prints.begin(), m_prints.end()}; }
    std::vector<SimLogEntry> Log() const { return {m_log.begin(), m_log.end()}; }

    // The parts of index.json the journal holds: "counters", "prints" and
    // "refused".
    void WriteJson(QJsonObject& index) const;

    // Times as the index writes them: UTC, ISO 8601 with milliseconds.
    static QString TimeText(const QDateTime& time);

private:
    struct Refusal {
        QDateTime time;
        QString channel;
        QString command;
        QString reason;
    };

    SimCounters m_counters;
    std::deque<SimPrint> m_prints;
    std::deque<Refusal> m_refusals;
    std::deque<SimLogEntry> m_log;
};

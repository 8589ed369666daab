#pragma once

#include "fleet/fleet_target.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CClock;

// What one printer's operation came to.
struct FleetOutcome {
    bool ok = false;
    QString reason;          // failure: why, in the words the operation used
    int imagesStored = -1;   // < 0: not known or not asked
    qint64 freeMemory = -1;  // bytes; < 0: not known (only two-colour printers tell)
};

// A finished job: the outcome, the printer, how long it took on the job's
// clock and every message the operation showed, in order.
struct FleetJobReport {
    FleetOutcome outcome;
    QString printer;
    double seconds = 0;
    QStringList messages;
};

// Handed to a job for its progress lines; each call is one whole line.
class CFleetJobContext {
public:
    explicit CFleetJobContext(std::function<void(const QString&)> progress) : m_progress(std::move(progress)) {}
    void Progress(const QString& text) const { m_progress(text); }

private:
    std::function<void(const QString&)> m_progress;
};

using FleetJob = std::function<FleetOutcome(const FleetTarget&, const CFleetJobContext&)>;

// What the caller hears while the fleet runs. The runner calls line and
// finished one at a time (under its own lock), so each line a hook writes
// stays whole however many jobs run.
struct FleetHooks {
    // The clock a job's thread waits on; nothing or null: the process clock.
    std::function<CClock*(int index)> clockFor;
    // A progress line (message false) or a message the operation showed
    // (message true) of the job for targets[index]. Messages never contain
    // line breaks.
    std::function<void(int index, const QString& text, bool message)> line;
    std::function<void(int index)> started;
    std::function<void(int index, const FleetJobReport& report)> finished;
};

// Runs job once for every target, at most `jobs` at a time, each on a thread
// of its own with its own connection, clock and message handler (messages are
// collected, never shown in boxes; a yes/no question is answered "No", as an
// unattended run must not agree to anything). Returns when all are done, the
// reports in target order.
std::vector<FleetJobReport> RunFleet(const std::vector<FleetTarget>& targets, int jobs, const FleetJob& job,
                                     const FleetHooks& hooks = {});

#include "fleet/fleet_runner.h"

#include "framework/clock.h"
#include "framework/message_box.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>

namespace {

// A message as one line: the texts some operations show span two.
QString OneLine(const QString& text)
{
    QString line = text;
    line.replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ');
    return line.simplified();
}

// Shared by the worker threads of one run.
class CFleetRun {
public:
    CFleetRun(const std::vector<FleetTarget>& targets, const FleetJob& job, const FleetHooks& hooks)
        : m_targets(targets), m_job(job), m_hooks(hooks), m_reports(targets.size())
    {
    }

    // One worker: takes the next target until none is left.
    void Work()
    {
        for (size_t index = m_next++; index < m_targets.size(); index = m_next++)
            RunOne(static_cast<int>(index));
    }

    std::vector<FleetJobReport> TakeReports() { return std::move(m_reports); }

private:
    void Emit(int index, const QString& text, bool message)
    {
        std::lock_guard lock(m_mutex);
        if (m_hooks.line)
            m_hooks.line(index, text, message);
    }

    void RunOne(int index)
    {
        const FleetTarget& target = m_targets[static_cast<size_t>(index)];
        CClock* ownClock = m_hooks.clockFor ? m_hooks.clockFor(index) : nullptr;
        CClock* previousClock = SetThreadClock(ownClock);
        FleetJobReport report;
        report.printer = target.label;
        {
            std::lock_guard lock(m_mutex);
            if (m_hooks.started)
                m_hooks.started(index);
        }
        CScopedThreadMessageHandler messages([&](const MessageRequest& request) {
            const QString text = OneLine(request.text);
            report.messages << text;
            Emit(index, text, true);
            return request.buttons == MessageButtons::YesNo ? win::kIdNo : win::kIdOk;
        });
        const CFleetJobContext context([&](const QString& text) { Emit(index, OneLine(text), false); });
        const qint64 start = Clock().NowMs();
        report.outcome = m_job(target, context);
        report.seconds = static_cast<double>(Clock().NowMs() - start) / 1000.0;
        if (!report.outcome.ok && report.outcome.reason.isEmpty())
            report.outcome.reason = report.messages.isEmpty() ? QStringLiteral("failed") : report.messages.last();
        SetThreadClock(previousClock);
        std::lock_guard lock(m_mutex);
        m_reports[static_cast<size_t>(index)] = report;
        if (m_hooks.finished)
            m_hooks.finished(index, report);
    }

    const std::vector<FleetTarget>& m_targets;
    const FleetJob& m_job;
    const FleetHooks& m_hooks;
    std::vector<FleetJobReport> m_reports;
    std::atomic<size_t> m_next{0};
    std::mutex m_mutex;
};

// A worker thread. Not QThread::create: that goes through std::async, whose
// once-flag machinery would make the programs need the dynamic loader by
// name, a dependency the package does not list.
class CFleetWorker final : public QThread {
public:
    explicit CFleetWorker(CFleetRun& run) : m_run(run) {}

protected:
    void run() override { m_run.Work(); }

private:
    CFleetRun& m_run;
};

}  // namespace

std::vector<FleetJobReport> RunFleet(const std::vector<FleetTarget>& targets, int jobs, const FleetJob& job,
                                     const FleetHooks& hooks)
{
    CFleetRun run(targets, job, hooks);
    const int workers = std::clamp(jobs, 1, std::max(1, static_cast<int>(targets.size())));
    // QThreads, not bare threads: the network connection's socket needs a
    // thread that Qt started.
    std::vector<std::unique_ptr<QThread>> threads;
    for (int n = 0; n < workers; ++n) {
        threads.push_back(std::make_unique<CFleetWorker>(run));
        threads.back()->setObjectName(QStringLiteral("fleet-job-%1").arg(n + 1));
        threads.back()->start();
    }
    for (const auto& thread : threads)
        thread->wait();
    return run.TakeReports();
}

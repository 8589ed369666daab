#include "fleet/fleet_runner.h"
#include "fleet/fleet_clocks.h"
#include "framework/message_box.h"
#include "support/message_recorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

// The runner on its own, with jobs that stand in for printers: how many run
// at once, that a slow one holds up nobody else, and that every job keeps
// its own clock and messages.

namespace {

std::vector<FleetTarget> Targets(int count)
{
    std::vector<FleetTarget> targets;
    for (int n = 0; n < count; ++n) {
        FleetTarget target;
        target.label = QStringLiteral("10.0.0.%1:9100").arg(n + 1);
        target.line = n + 1;
        targets.push_back(target);
    }
    return targets;
}

}  // namespace

TEST(FleetRunner, SlowPrinterHoldsUpNobodyAndEveryJobKeepsItsOwnTime)
{
    const std::vector<FleetTarget> targets = Targets(5);
    CGateClock slow;
    std::vector<std::unique_ptr<CLaneClock>> lanes;
    for (int n = 0; n < 5; ++n)
        lanes.push_back(std::make_unique<CLaneClock>());
    CFinishLog finished;
    FleetHooks hooks;
    hooks.clockFor = [&](int index) -> CClock* { return index == 0 ? &slow : lanes[static_cast<size_t>(index)].get(); };
    hooks.finished = [&](int index, const FleetJobReport&) { finished.Add(index); };
    // Every job paces like a single-colour download of one logo.
    const FleetJob job = [](const FleetTarget&, const CFleetJobContext&) {
        Clock().Sleep(6000);
        Clock().Sleep(1000);
        Clock().Sleep(100);
        return FleetOutcome{true, {}, 1, -1};
    };
    std::vector<FleetJobReport> reports;
    // Two at a time: the slow job keeps one worker, the other takes the rest.
    std::thread run([&] { reports = RunFleet(targets, 2, job, hooks); });
    EXPECT_TRUE(slow.WaitUntilWaiting());
    EXPECT_TRUE(finished.WaitFor(4));
    EXPECT_EQ(finished.Order(), std::vector<int>({1, 2, 3, 4}));  // all done while the slow one still waits
    slow.Open();
    run.join();

    ASSERT_EQ(reports.size(), 5u);
    for (size_t n = 0; n < reports.size(); ++n) {
        EXPECT_EQ(reports[n].printer, targets[n].label);
        EXPECT_TRUE(reports[n].outcome.ok);
        EXPECT_DOUBLE_EQ(reports[n].seconds, 7.1) << n;  // its own waits, nobody else's
    }
    EXPECT_EQ(finished.Order().back(), 0);
}

TEST(FleetRunner, RunsExactlyJobsAtOnceAndEveryTargetOnce)
{
    const std::vector<FleetTarget> targets = Targets(7);
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
    int peak = 0;
    std::map<QString, int> runs;
    // Each job waits (bounded) until three run side by side, so a runner that
    // ran them one by one would leave the peak at one.
    const FleetJob job = [&](const FleetTarget& target, const CFleetJobContext&) {
        std::unique_lock lock(mutex);
        ++runs[target.label];
        peak = std::max(peak, ++running);
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(30), [&] { return peak >= 3; });
        --running;
        return FleetOutcome{true, {}, -1, -1};
    };
    const std::vector<FleetJobReport> reports = RunFleet(targets, 3, job);
    EXPECT_EQ(peak, 3);
    ASSERT_EQ(runs.size(), targets.size());
    for (const auto& [label, count] : runs)
        EXPECT_EQ(count, 1) << label.toStdString();
    EXPECT_EQ(reports.size(), targets.size());
}

TEST(FleetRunner, MessagesStayWithTheirJobAsWholeLines)
{
    CMessageRecorder processHandler;  // must hear nothing: jobs have their own
    const std::vector<FleetTarget> targets = Targets(6);
    std::mutex mutex;
    std::vector<std::pair<int, QString>> lines;
    FleetHooks hooks;
    hooks.line = [&](int index, const QString& text, bool message) {
        std::lock_guard lock(mutex);
        lines.emplace_back(index, (message ? "M " : "P ") + text);
    };
    const FleetJob job = [](const FleetTarget& target, const CFleetJobContext& context) {
        FleetOutcome outcome;
        for (int n = 0; n < 20; ++n) {
            context.Progress(QStringLiteral("step %1 of %2").arg(n).arg(target.label));
            ShowMessage(QStringLiteral("Error : Write failed!\r\n%1 part %2").arg(target.label).arg(n));
        }
        // Unattended runs must not agree to anything.
        outcome.ok = ShowMessage("Delete everything?", MessageIcon::Question, MessageButtons::YesNo) == win::kIdYes;
        return outcome;
    };
    const std::vector<FleetJobReport> reports = RunFleet(targets, 6, job, hooks);
    EXPECT_TRUE(processHandler.Texts().isEmpty());
    ASSERT_EQ(reports.size(), targets.size());
    for (size_t n = 0; n < reports.size(); ++n) {
        const QString label = targets[n].label;
        EXPECT_FALSE(reports[n].outcome.ok);
        ASSERT_EQ(reports[n].messages.size(), 21);
        EXPECT_EQ(reports[n].messages[3], QStringLiteral("Error : Write failed! %1 part 3").arg(label));
        // A failure without its own reason takes the last message.
        EXPECT_EQ(reports[n].outcome.reason, "Delete everything?");
    }
    ASSERT_EQ(lines.size(), 6u * 41u);
    for (const auto& [index, text] : lines) {
        EXPECT_FALSE(text.contains('\n') || text.contains('\r'));
        if (!text.contains("Delete everything?")) {
            EXPECT_TRUE(text.contains(targets[static_cast<size_t>(index)].label + (text.startsWith("M") ? " part" : "")))
                << text.toStdString();
        }
    }
}

#include "e2e/e2e_support.h"
#include "fleet/fleet_clocks.h"
#include "fleet/fleet_operations.h"
#include "kinds/printer_kind.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <thread>

// Fleet runs against several virtual printers of mixed kinds at once, on
// loopback, each job on its own virtual clock: a good printer of every kind,
// one on a serial line, one that hangs up half-way through a download, one
// where nothing listens, one held at its first wait for as long as the test
// wants, and one that never answers a query. (The silent one stays out of the download: each of
// its unanswered list replies costs 21 real read time-outs of 1 s.)

namespace {

enum Printer { kMono, kDot, kTwoColour, kHangsUp, kHeld, kUnreachable, kSerial, kPrinterCount };

FleetTarget TargetOf(const PortSettings& settings, PrinterKind kind)
{
    FleetTarget target;
    target.settings = settings;
    target.label = QStringLiteral("127.0.0.1:%1").arg(target.settings.tcpPort);
    target.model = QString::number(PrinterKindNumber(kind));  // the tests' key into their plans
    return target;
}

FleetDownloadPlan PlanFor(PrinterKind kind, const QStringList& logos)
{
    FleetDownloadPlan plan;
    plan.kind = kind;
    plan.items = ConvertLogos(kind, logos);
    plan.logoCount = static_cast<int>(logos.size());
    return plan;
}

SimFaults HangUpAfter(qint64 bytes)
{
    SimFaults faults;
    faults.closeAfterBytes = bytes;
    return faults;
}

SimFaults Silent()
{
    SimFaults faults;
    faults.reply = SimReplyFault::None;
    return faults;
}

// The lane of the printer that hangs up during the first logo. Virtual time
// leaves that printer no real moment to do so before the download ends; from
// the wait after the first logo on, this clock waits (bounded) until the
// hang-up has reached the host: the printer logs the end of a connection just
// before closing it and serves the next one only afterwards, so once a probe
// connection is served, the close is through.
class CHangUpLane final : public CLaneClock {
public:
    explicit CHangUpLane(CSimulatedPrinter& sim) : m_sim(sim) {}
    void Sleep(int ms) override
    {
        CLaneClock::Sleep(ms);
        if (++m_count < 3 || m_confirmed)
            return;
        m_confirmed = true;
        EXPECT_TRUE(WaitForLog("connection ended", 1));
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(m_sim.Ethernet().tcpPort));
        EXPECT_TRUE(probe.waitForConnected(5000));
        EXPECT_TRUE(WaitForLog("connection from", 2));
    }

private:
    bool WaitForLog(const QString& text, int count)
    {
        return m_sim.Printer().WaitFor(
            [&] {
                int seen = 0;
                for (const SimLogEntry& entry : m_sim.Printer().CommandLog())
                    seen += entry.text.startsWith(text) ? 1 : 0;
                return seen >= count;
            },
            5000);
    }

    CSimulatedPrinter& m_sim;
    int m_count = 0;
    bool m_confirmed = false;
};

// A loopback port where nothing listens any more.
PortSettings Unreachable()
{
    CSimulatedPrinter stopped(PrinterKind::Mono);
    return stopped.Ethernet();
}

struct MixedFleet {
    CTestDir dir;
    CSimulatedPrinter mono{PrinterKind::Mono};
    CSimulatedPrinter dot{PrinterKind::DotMode};
    CSimulatedPrinter twoColour{PrinterKind::TwoColor};
    CSimulatedPrinter hangsUp{PrinterKind::Mono, HangUpAfter(100)};
    CSimulatedPrinter held{PrinterKind::Mono};
    CSimulatedPrinter serial{PrinterKind::Mono, {}, true};
    CSimulatedPrinter silent{PrinterKind::TwoColor, Silent()};
    std::vector<FleetTarget> targets{TargetOf(mono.Ethernet(), PrinterKind::Mono),
                                     TargetOf(dot.Ethernet(), PrinterKind::DotMode),
                                     TargetOf(twoColour.Ethernet(), PrinterKind::TwoColor),
                                     TargetOf(hangsUp.Ethernet(), PrinterKind::Mono),
                                     TargetOf(held.Ethernet(), PrinterKind::Mono),
                                     TargetOf(Unreachable(), PrinterKind::TwoColor),
                                     TargetOf(serial.Serial(), PrinterKind::Mono)};
    std::vector<std::unique_ptr<CLaneClock>> lanes;
    CGateClock gate;
    CFinishLog finished;

    MixedFleet()
    {
        for (int n = 0; n < kPrinterCount; ++n) {
            if (n == kHangsUp)
                lanes.push_back(std::make_unique<CHangUpLane>(hangsUp));
            else
                lanes.push_back(std::make_unique<CLaneClock>());
        }
    }
    FleetHooks Hooks()
    {
        FleetHooks hooks;
        hooks.clockFor = [this](int index) -> CClock* {
            return index == kHeld ? &gate : lanes[static_cast<size_t>(index)].get();
        };
        hooks.finished = [this](int index, const FleetJobReport&) { finished.Add(index); };
        return hooks;
    }
};

}  // namespace

TEST(FleetPrinters, MixedDownloadGivesEachPrinterItsOwnRightResult)
{
    CMessageRecorder processHandler;
    MixedFleet fleet;
    const QStringList logos{WriteTestLogo(fleet.dir, "a.bmp", 64, 24), WriteTestLogo(fleet.dir, "b.bmp", 48, 16),
                            WriteTestLogo(fleet.dir, "c.bmp", 32, 8)};
    std::map<QString, FleetDownloadPlan> plans;
    for (PrinterKind kind : kPrinterKinds)
        plans[QString::number(PrinterKindNumber(kind))] = PlanFor(kind, logos);
    const FleetJob job = [&](const FleetTarget& target, const CFleetJobContext& context) {
        return RunFleetDownload(target.settings, plans.at(target.model), context);
    };
    std::vector<FleetJobReport> reports;
    std::thread run([&] { reports = RunFleet(fleet.targets, kPrinterCount, job, fleet.Hooks()); });
    // Every other printer is done while the held one still stands at its
    // first wait.
    EXPECT_TRUE(fleet.gate.WaitUntilWaiting());
    EXPECT_TRUE(fleet.finished.WaitFor(kPrinterCount - 1));
    const std::vector<int> done = fleet.finished.Order();
    EXPECT_EQ(std::count(done.begin(), done.end(), static_cast<int>(kHeld)), 0);
    fleet.gate.Open();
    run.join();
    ASSERT_EQ(reports.size(), static_cast<size_t>(kPrinterCount));
    EXPECT_TRUE(processHandler.Texts().isEmpty());

    // Single-colour: 6,000 ms to prepare, 1,000 before the first logo, 100
    // between and after: its own waits only, held or not.
    for (int index : {kMono, kHeld}) {
        const FleetJobReport& report = reports[static_cast<size_t>(index)];
        EXPECT_TRUE(report.outcome.ok) << report.outcome.reason.toStdString();
        EXPECT_EQ(report.outcome.imagesStored, 3);
        EXPECT_EQ(report.outcome.freeMemory, -1);
        EXPECT_DOUBLE_EQ(report.seconds, 7.3);
        EXPECT_EQ(report.messages, QStringList({"Download Completed!"}));
    }
    EXPECT_TRUE(fleet.mono.WaitForImages(3));
    EXPECT_TRUE(fleet.held.WaitForImages(3));
    EXPECT_EQ(fleet.lanes[kMono]->Sleeps(), std::vector<int>({6000, 1000, 100, 100, 100}));

    const FleetJobReport& dot = reports[kDot];
    EXPECT_TRUE(dot.outcome.ok) << dot.outcome.reason.toStdString();
    EXPECT_EQ(dot.outcome.imagesStored, 3);  // the length table that goes first is no image
    EXPECT_DOUBLE_EQ(dot.seconds, 1.4);      // no preparation; four items
    EXPECT_TRUE(fleet.dot.WaitForImages(3));

    const FleetJobReport& two = reports[kTwoColour];
    EXPECT_TRUE(two.outcome.ok) << two.outcome.reason.toStdString();
    EXPECT_EQ(two.outcome.imagesStored, 3);  // as the printer lists them afterwards
    EXPECT_TRUE(fleet.twoColour.WaitForImages(3));
    EXPECT_EQ(two.outcome.freeMemory, fleet.twoColour.Printer().FreeBytes());
    EXPECT_LT(two.outcome.freeMemory, 262144);

    const FleetJobReport& hungUp = reports[kHangsUp];
    EXPECT_FALSE(hungUp.outcome.ok);
    EXPECT_TRUE(hungUp.outcome.reason.startsWith("Error : Write failed!")) << hungUp.outcome.reason.toStdString();
    EXPECT_EQ(hungUp.outcome.imagesStored, -1);  // it was sent a logo; what it kept is unknown
    EXPECT_TRUE(fleet.hangsUp.StoredNames().isEmpty());

    // The same download over a serial line (the printer's pseudo-terminal).
    const FleetJobReport& overSerial = reports[kSerial];
    EXPECT_TRUE(overSerial.outcome.ok) << overSerial.outcome.reason.toStdString();
    EXPECT_EQ(overSerial.outcome.imagesStored, 3);
    EXPECT_TRUE(fleet.serial.WaitForImages(3));

    const FleetJobReport& unreachable = reports[kUnreachable];
    EXPECT_FALSE(unreachable.outcome.ok);
    EXPECT_TRUE(unreachable.outcome.reason.startsWith("Error : Failed to connected"))
        << unreachable.outcome.reason.toStdString();
    EXPECT_EQ(unreachable.outcome.imagesStored, 0);
}

TEST(FleetPrinters, CapacityAndPrintAcrossKinds)
{
    CMessageRecorder processHandler;
    CVirtualClock clock;  // for the jobs that get no clock of their own
    MixedFleet fleet;
    fleet.gate.Open();
    const std::vector<FleetTarget> asked{fleet.targets[kTwoColour], TargetOf(fleet.silent.Ethernet(), PrinterKind::TwoColor),
                                         fleet.targets[kUnreachable]};
    std::vector<FleetJobReport> reports = RunFleet(
        asked, 3,
        [](const FleetTarget& target, const CFleetJobContext& context) {
            return RunFleetCapacity(target.settings, context);
        },
        fleet.Hooks());
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_TRUE(reports[0].outcome.ok);
    EXPECT_EQ(reports[0].outcome.freeMemory, 262144);
    // The printer that never answers counts as failed, not as full.
    EXPECT_FALSE(reports[1].outcome.ok);
    EXPECT_EQ(reports[1].outcome.reason, "The printer gave no capacity reply.");
    EXPECT_EQ(reports[1].outcome.freeMemory, -1);
    EXPECT_FALSE(reports[2].outcome.ok);
    EXPECT_TRUE(reports[2].outcome.reason.startsWith("Error : Failed to connected"));

    // Print: each kind its own commands, on its own printer.
    FleetPrintPlan mono;
    mono.modelType = PrinterKind::Mono;
    mono.selectionSet = true;
    mono.selection = "1-2";
    FleetPrintPlan dot;
    dot.modelType = PrinterKind::DotMode;
    FleetPrintPlan two;
    two.modelType = PrinterKind::TwoColor;
    two.address = {'0', '7'};
    const std::vector<FleetTarget> printers{fleet.targets[kMono], fleet.targets[kDot], fleet.targets[kTwoColour]};
    reports = RunFleet(printers, 3, [&](const FleetTarget& target, const CFleetJobContext& context) {
        const std::optional<PrinterKind> kind = PrinterKindFromNumber(target.model.toInt());
        return RunFleetPrint(target.settings, kind == PrinterKind::Mono ? mono : kind == PrinterKind::DotMode ? dot : two,
                             context);
    });
    for (const FleetJobReport& report : reports)
        EXPECT_TRUE(report.outcome.ok) << report.printer.toStdString();
    EXPECT_TRUE(fleet.mono.WaitForPrints(2));
    EXPECT_TRUE(fleet.dot.WaitForPrints(10));
    EXPECT_TRUE(fleet.twoColour.WaitForPrints(1));
    EXPECT_EQ(fleet.mono.Printer().Prints().size(), 2u);
    EXPECT_TRUE(fleet.held.Printer().Prints().empty());
}

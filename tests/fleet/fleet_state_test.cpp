#include "fleet/fleet_state.h"
#include "fleet/fleet_state_lock.h"
#include "support/virtual_clock.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

// The state kept for --only-failed: what a later run needs to pick the
// printers that have not succeeded.

namespace {

FleetJobReport Report(const QString& printer, bool ok)
{
    FleetJobReport report;
    report.printer = printer;
    report.outcome.ok = ok;
    report.outcome.reason = ok ? QString() : QStringLiteral("Error : Write failed!");
    return report;
}

}  // namespace

TEST(FleetState, ResultsSurviveASaveAndMergeAcrossReRuns)
{
    CTestDir dir;
    const QString path = CFleetState::PathFor(dir.Path("hosts.txt"));
    EXPECT_EQ(path, dir.Path("hosts.txt.state.json"));
    const QStringList options{"--model", "TX-100", "logo.bmp"};
    {
        CFleetState state;
        QString error;
        ASSERT_TRUE(state.Load(path, &error));  // no file yet: empty
        EXPECT_FALSE(state.HasRun("download"));
        state.Record("download", options, {Report("a:1", true), Report("b:1", false), Report("c:1", false)});
        state.Record("capacity", {}, {Report("a:1", false)});
        ASSERT_TRUE(state.Save(path, &error)) << error.toStdString();
    }
    CFleetState state;
    QString error;
    ASSERT_TRUE(state.Load(path, &error)) << error.toStdString();
    EXPECT_EQ(state.Options("download"), options);
    EXPECT_TRUE(state.Succeeded("download", "a:1"));
    EXPECT_FALSE(state.Succeeded("download", "b:1"));
    EXPECT_FALSE(state.Succeeded("capacity", "a:1"));  // each command keeps its own results
    EXPECT_FALSE(state.Succeeded("download", "never-run:1"));

    // A re-run of the failed printers keeps what succeeded before.
    state.Record("download", options, {Report("b:1", true)});
    EXPECT_TRUE(state.Succeeded("download", "a:1"));
    EXPECT_TRUE(state.Succeeded("download", "b:1"));
    EXPECT_FALSE(state.Succeeded("download", "c:1"));

    // Other options make the earlier results meaningless.
    state.Record("download", {"--model", "TX-200", "logo.bmp"}, {Report("c:1", true)});
    EXPECT_FALSE(state.Succeeded("download", "a:1"));
    EXPECT_TRUE(state.Succeeded("download", "c:1"));
}

TEST(FleetState, DamagedFileIsReportedAndFailedSaveKeepsTheOldOne)
{
    CTestDir dir;
    const QString path = dir.Path("hosts.txt.state.json");
    for (const QByteArray& text : {QByteArray("{not json"), QByteArray("[1,2]"), QByteArray("{\"version\": 9, \"runs\": {}}")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        CFleetState state;
        QString error;
        EXPECT_FALSE(state.Load(path, &error)) << text.constData();
        EXPECT_TRUE(error.contains(path));
        EXPECT_FALSE(state.HasRun("download"));
    }

    CFleetState state;
    QString error;
    state.Record("download", {}, {Report("a:1", true)});
    ASSERT_TRUE(state.Save(path, &error));
    const QByteArray saved = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    {
        CReadOnlyFolder readOnly(dir.Root());
        state.Record("download", {}, {Report("a:1", false)});
        bool saved2 = true;
        QString whyNot;
        ASSERT_TRUE(readOnly.Run([&] { saved2 = state.Save(path, &error); }, &whyNot)) << whyNot.toStdString();
        EXPECT_FALSE(saved2);
        EXPECT_FALSE(error.isEmpty());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);
}

// Runs that end together take turns: the second waits (and says so once)
// for a bounded time, and a lock file that is not a regular file is refused
// without any wait.
TEST(FleetState, TheLockMakesASecondWriterWaitWithABound)
{
    CTestDir dir;
    const QString state = CFleetState::PathFor(dir.Path("hosts.txt"));
    CSteppedClock clock;
    CInstalledClock installed(&clock);
    CFleetStateLock first;
    QString error;
    int waits = 0;
    ASSERT_TRUE(first.Acquire(state, CFleetStateLock::kWaitMs, [&] { ++waits; }, &error)) << error.toStdString();
    EXPECT_EQ(waits, 0);
    {
        CFleetStateLock second;
        EXPECT_FALSE(second.Acquire(state, 2000, [&] { ++waits; }, &error));
        EXPECT_EQ(waits, 1);
        EXPECT_GE(clock.NowMs(), 2000);
        EXPECT_TRUE(error.contains(CFleetStateLock::PathFor(state)) && error.contains("another fleet run"))
            << error.toStdString();
    }
    first = CFleetStateLock();  // the first run is done
    CFleetStateLock third;
    EXPECT_TRUE(third.Acquire(state, 2000, [&] { ++waits; }, &error)) << error.toStdString();
    EXPECT_EQ(waits, 1);

    const QString fifoState = CFleetState::PathFor(dir.Path("other.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(CFleetStateLock::PathFor(fifoState)).constData(), 0600), 0);
    const qint64 before = clock.NowMs();
    CFleetStateLock fifo;
    EXPECT_FALSE(fifo.Acquire(fifoState, 2000, [&] { ++waits; }, &error));
    EXPECT_TRUE(error.contains("FIFO")) << error.toStdString();
    EXPECT_EQ(clock.NowMs(), before);
}

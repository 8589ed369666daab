#include "cli/cli_run.h"
#include "e2e/e2e_support.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <QProcess>

#include <csignal>
#include <sys/stat.h>

// markograph-cli's fleet runs and --json forms, as a separate process against
// virtual printers on loopback. They run in real time, so they keep to the
// quick commands (capacity, list, DOT MODE downloads).

namespace {

QString WriteFile(const CTestDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.Path(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

QByteArray HostLine(const CSimulatedPrinter& sim, const QByteArray& rest = {})
{
    return "127.0.0.1:" + QByteArray::number(sim.Ethernet().tcpPort) + rest + "\n";
}

QJsonObject ParseObject(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    return document.object();
}

}  // namespace

TEST(FleetCli, BadHostsFileIsRefusedWithLineNumbersBeforeAnyPrinterIsContacted)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    const QString hosts = WriteFile(dir, "hosts.txt", HostLine(sim) + "# comment\nshop-7\n" + HostLine(sim));
    const CliResult result = RunCli({"capacity", "--hosts", hosts});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains((hosts + ":3: 'shop-7' is neither").toUtf8())) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains((hosts + ":4: ").toUtf8())) << result.err.toStdString();
    EXPECT_EQ(sim.Printer().Counters().connections, 0);
    EXPECT_FALSE(QFile::exists(hosts + ".state.json"));

    // Options that name one printer, or fleet options without a fleet.
    EXPECT_EQ(RunCli({"capacity", "--hosts", hosts, "--host", "127.0.0.1"}).exitCode, 2);
    EXPECT_EQ(RunCli({"delete", "--all", "--jobs", "3", "--host", "127.0.0.1"}).exitCode, 2);
    EXPECT_EQ(RunCli({"capacity", "--hosts", hosts, "--jobs", "0"}).exitCode, 2);
    EXPECT_EQ(RunCli({"capacity", "--hosts", dir.Path("none.txt")}).exitCode, 1);
}

TEST(FleetCli, CapacityTableStateAndOnlyFailedReRuns)
{
    CTestDir dir;
    CSimulatedPrinter first(PrinterKind::TwoColor);
    CSimulatedPrinter second(PrinterKind::TwoColor);
    SimFaults silent;
    silent.reply = SimReplyFault::None;
    CSimulatedPrinter mute(PrinterKind::TwoColor, silent);
    const QString hosts = WriteFile(dir, "hosts.txt", HostLine(first) + "\n" + HostLine(mute, "  # the mute one") +
                                                          HostLine(second));
    CliResult result = RunCli({"capacity", "--hosts", hosts, "--jobs", "3"});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    const QString muteLabel = QStringLiteral("127.0.0.1:%1").arg(mute.Ethernet().tcpPort);
    // Progress lines carry their printer; the table follows in file order.
    EXPECT_TRUE(result.out.contains(QStringLiteral("[127.0.0.1:%1] 262144").arg(first.Ethernet().tcpPort).toUtf8()));
    ASSERT_TRUE(result.out.contains("printer") && result.out.contains("free memory"));
    EXPECT_TRUE(result.out.contains("2 of 3 printers succeeded."));
    EXPECT_TRUE(result.out.contains(QStringLiteral("%1  FAILED").arg(muteLabel).toUtf8())) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("The printer gave no capacity reply."));
    ASSERT_TRUE(QFile::exists(hosts + ".state.json"));

    // The printer answers again: only it is asked, and the run succeeds.
    mute.Printer().SetFaults({});
    const qint64 firstBytes = first.Printer().Counters().bytesReceived;
    result = RunCli({"capacity", "--hosts", hosts, "--only-failed", "--json", "--jobs", "1"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonObject summary = ParseObject(result.out);
    EXPECT_EQ(summary.value("command").toString(), "capacity");
    EXPECT_EQ(summary.value("succeeded").toInt(), 1);
    EXPECT_EQ(summary.value("failed").toInt(), 0);
    const QJsonArray printers = summary.value("printers").toArray();
    ASSERT_EQ(printers.size(), 1);
    const QJsonObject entry = printers[0].toObject();
    EXPECT_EQ(entry.value("printer").toString(), muteLabel);
    EXPECT_EQ(entry.value("result").toString(), "ok");
    EXPECT_EQ(entry.value("freeMemory").toInt(), 262144);
    EXPECT_TRUE(entry.value("imagesStored").isNull());
    EXPECT_TRUE(entry.value("reason").isNull());
    EXPECT_EQ(first.Printer().Counters().bytesReceived, firstBytes);  // not asked again

    // Nothing is left; and a re-run with other options is refused.
    result = RunCli({"capacity", "--hosts", hosts, "--only-failed"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.contains("nothing to retry")) << result.err.toStdString();
    result = RunCli({"capacity", "--hosts", hosts, "--only-failed", "--tcp-port", "9200"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains("other options"));
}

TEST(FleetCli, DownloadUsesEachLinesModel)
{
    CTestDir dir;
    CSimulatedPrinter narrow(PrinterKind::DotMode);
    CSimulatedPrinter wide(PrinterKind::DotMode);
    const QString logo = WriteTestLogo(dir, "logo.bmp", 40, 16);
    const QString hosts = WriteFile(dir, "hosts.txt", HostLine(narrow, " DX-300") + HostLine(wide, " DX-400"));
    const CliResult result = RunCli({"download", "--hosts", hosts, "--nv-inf", MARKOGRAPH_SAMPLES_DIR "/NV.inf", "--json",
                                     logo, logo});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonArray printers = ParseObject(result.out).value("printers").toArray();
    ASSERT_EQ(printers.size(), 2);
    for (const QJsonValue& value : printers) {
        EXPECT_EQ(value.toObject().value("imagesStored").toInt(), 2);
        EXPECT_TRUE(value.toObject().value("messages").toArray().contains(QJsonValue("Download Completed!")));
    }
    // Progress goes to standard error with --json, each line with its printer.
    EXPECT_TRUE(result.err.contains(QStringLiteral("[127.0.0.1:%1] Downloding... HeadCommnad ( 1 / 3 )")
                                        .arg(wide.Ethernet().tcpPort).toUtf8()))
        << result.err.toStdString();
    ASSERT_TRUE(narrow.WaitForImages(2));
    ASSERT_TRUE(wide.WaitForImages(2));

    const CliResult unknown = RunCli({"download", "--hosts", WriteFile(dir, "bad.txt", HostLine(narrow, " NOPE")),
                                      "--nv-inf", MARKOGRAPH_SAMPLES_DIR "/NV.inf", logo});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("no model named 'NOPE'"));
}

TEST(FleetCli, JsonFormsForScripts)
{
    CTestDir dir;
    CliResult result = RunCli({"models", "--json", "--nv-inf", MARKOGRAPH_SAMPLES_DIR "/NV.inf"});
    ASSERT_EQ(result.exitCode, 0);
    QJsonObject object = ParseObject(result.out);
    EXPECT_EQ(object.value("current").toString(), "TX-100");
    const QJsonArray models = object.value("models").toArray();
    ASSERT_EQ(models.size(), 7);
    const QJsonObject second = models[1].toObject();
    EXPECT_EQ(second.value("name").toString(), "TX-200");
    EXPECT_EQ(second.value("modelType").toInt(), 2);
    EXPECT_EQ(second.value("receiptWidth").toInt(), 576);
    EXPECT_EQ(second.value("maxLogos").toInt(), 50);
    EXPECT_EQ(second.value("memoryKBytes").toInt(), 384);
    EXPECT_FALSE(second.value("current").toBool());
    EXPECT_EQ(second.value("interfaces").toArray(), QJsonArray({"Serial", "Parallel", "USB", "Ethernet"}));

    // An empty sysfs: no USB printers, and nothing but the document on stdout.
    result = RunCli({"ports", "--json", "--sysfs", dir.Root(), "--nv-inf", "/nonexistent/NV.inf"});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_TRUE(ParseObject(result.out).value("ports").isArray());

    CSimulatedPrinter sim(PrinterKind::TwoColor);
    const QStringList target{"--nv-inf", "/nonexistent/NV.inf", "--host", "127.0.0.1", "--tcp-port",
                             QString::number(sim.Ethernet().tcpPort)};
    result = RunCli(QStringList{"list", "--json"} + target);
    EXPECT_EQ(result.exitCode, 0);
    object = ParseObject(result.out);
    EXPECT_EQ(object.value("outcome").toString(), "empty");
    EXPECT_EQ(object.value("addresses").toArray().size(), 0);
    result = RunCli(QStringList{"capacity", "--json"} + target);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ParseObject(result.out).value("freeMemory").toInt(), 262144);
}

// The state file is read at the start and replaced at the end: one that is
// a FIFO or a link stops the run before any printer is contacted.
TEST(FleetCli, AStateFileThatIsAFifoOrALinkStopsTheRunBeforeAnyPrinter)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    const QString hosts = WriteFile(dir, "hosts.txt", HostLine(sim));
    const QString state = hosts + ".state.json";
    ASSERT_EQ(::mkfifo(QFile::encodeName(state).constData(), 0600), 0);
    // Before the mend this run waited for ever for a writer to the FIFO.
    CliResult result = RunCli({"capacity", "--hosts", hosts});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains((state + ": it is a FIFO").toUtf8())) << result.err.toStdString();

    ASSERT_TRUE(QFile::remove(state));
    const QString precious = WriteFile(dir, "precious.txt", "keep me");
    ASSERT_TRUE(QFile::link(precious, state));
    // Before the mend the run replaced precious.txt with its state.
    result = RunCli({"capacity", "--hosts", hosts});
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains((state + ": it is a symbolic link").toUtf8())) << result.err.toStdString();
    QFile kept(precious);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");
    EXPECT_TRUE(QFileInfo(state).isSymLink());
    EXPECT_EQ(sim.Printer().Counters().connections, 0);
}

// Two runs on one hosts file, the second starting and ending while the
// first is under way: both results are kept, so --only-failed knows both.
TEST(FleetCli, TwoRunsOnOneHostsFileBothKeepTheirResults)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    const QString hosts = WriteFile(dir, "hosts.txt", HostLine(sim));
    QProcess capacity;
    capacity.start(QStringLiteral(MARKOGRAPH_BIN_DIR "/markograph-cli"), {"capacity", "--hosts", hosts});
    ASSERT_TRUE(capacity.waitForStarted());
    // Once it has reached the printer it has read the state; held there, it
    // can only save after the second run.
    ASSERT_TRUE(sim.Printer().WaitFor([&] { return sim.Printer().Counters().connections >= 1; }, 20000));
    ASSERT_EQ(::kill(static_cast<pid_t>(capacity.processId()), SIGSTOP), 0);
    const CliResult remove = RunCli({"delete", "--all", "--hosts", hosts});
    ::kill(static_cast<pid_t>(capacity.processId()), SIGCONT);
    ASSERT_TRUE(capacity.waitForFinished(30000));
    EXPECT_EQ(remove.exitCode, 0) << remove.err.toStdString();
    // The printer may have given up on the stopped run's query: failed or
    // not, its result is recorded.
    EXPECT_EQ(capacity.exitStatus(), QProcess::NormalExit);

    // Before the mend the first run's save dropped the delete's result.
    const CliResult capacityRetry = RunCli({"capacity", "--hosts", hosts, "--only-failed"});
    EXPECT_FALSE(capacityRetry.err.contains("No earlier")) << capacityRetry.err.toStdString();
    const CliResult again = RunCli({"delete", "--all", "--hosts", hosts, "--only-failed"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains("nothing to retry")) << again.err.toStdString();
}

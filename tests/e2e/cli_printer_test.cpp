#include "cli/cli_run.h"
#include "e2e/e2e_support.h"

#include <QFile>

#include <gtest/gtest.h>

// markograph-cli against a virtual printer on loopback: the command line
// drives the same operations as the dialogs. These run in real time (the
// program is a separate process), so they keep to the quick commands.

namespace {

QStringList Target(const PortSettings& settings)
{
    return {"--nv-inf", "/nonexistent/NV.inf", "--host", "127.0.0.1", "--tcp-port", QString::number(settings.tcpPort)};
}

}  // namespace

TEST(CliPrinter, DotModeDownloadThenPrint)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::DotMode);
    const QString logo = WriteTestLogo(dir, "logo.bmp", 40, 16);
    const CliResult download = RunCli(QStringList{"download", "--model-type", "0", "--receipt-width", "200",
                                                  "--no-limits", logo, logo} + Target(sim.Ethernet()));
    ASSERT_EQ(download.exitCode, 0) << download.err.toStdString();
    EXPECT_TRUE(download.out.contains("Downloding... HeadCommnad ( 1 / 3 ) ")) << download.out.toStdString();
    EXPECT_TRUE(download.err.contains("Download Completed!"));
    ASSERT_TRUE(sim.WaitForImages(2));
    EXPECT_EQ(sim.StoredNames(), QStringList({"1", "2"}));

    const CliResult print = RunCli(QStringList{"print", "--model-type", "0"} + Target(sim.Ethernet()));
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();
    ASSERT_TRUE(sim.WaitForPrints(10));
}

TEST(CliPrinter, TwoColourListDeleteAndCapacity)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    CliResult result = RunCli(QStringList{"capacity"} + Target(sim.Ethernet()));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.trimmed(), "262144");

    result = RunCli(QStringList{"list"} + Target(sim.Ethernet()));
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Empty NV Image list!"));

    result = RunCli(QStringList{"delete", "--address", "0"} + Target(sim.Ethernet()));
    EXPECT_EQ(result.exitCode, 2);
    result = RunCli(QStringList{"print", "--model-type", "2", "--address", "07"} + Target(sim.Ethernet()));
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    ASSERT_TRUE(sim.WaitForPrints(1));
    EXPECT_FALSE(sim.Printer().Prints()[0].found);
}

TEST(CliPrinter, UnreachablePrinterFailsWithTheConnectMessage)
{
    PortSettings gone;
    {
        CSimulatedPrinter stopped(PrinterKind::Mono);
        gone = stopped.Ethernet();
    }
    const CliResult result = RunCli(QStringList{"print", "--model-type", "1", "--select", "1"} + Target(gone));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Error : Failed to connected")) << result.err.toStdString();
    EXPECT_EQ(RunCli(QStringList{"print", "--model-type", "1", "--select", "1-x"} + Target(gone)).exitCode, 2);
}

TEST(CliPrinter, CapacityFailsWhenThePrinterGivesNoAnswerItCanRead)
{
    struct Case {
        SimReplyFault fault;
        const char* name;
    };
    for (const Case c : {Case{SimReplyFault::None, "none"}, Case{SimReplyFault::Garbage, "garbage"}}) {
        SimFaults faults;
        faults.reply = c.fault;
        CSimulatedPrinter sim(PrinterKind::TwoColor, faults);
        const CliResult result = RunCli(QStringList{"capacity"} + Target(sim.Ethernet()));
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_TRUE(result.out.isEmpty()) << c.name << ": " << result.out.toStdString();
        EXPECT_TRUE(result.err.contains("did not answer the capacity query")) << result.err.toStdString();
    }
}

TEST(CliPrinter, AddressesOutsideTheRangeAreRefusedBeforeAnythingIsSent)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    const QString logo = WriteTestLogo(dir, "logo.bmp", 16, 8);
    for (const QString& address : {QString::fromUtf8("\xc3\xa9" "1"), QStringLiteral("0\t")}) {
        CliResult result = RunCli(QStringList{"print", "--model-type", "2", "--address", address} + Target(sim.Ethernet()));
        EXPECT_EQ(result.exitCode, 2) << result.err.toStdString();
        result = RunCli(QStringList{"download", "--model-type", "2", "--receipt-width", "576", "--no-limits",
                                    "--addresses", address, logo} + Target(sim.Ethernet()));
        EXPECT_EQ(result.exitCode, 2) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("20 to 7E")) << result.err.toStdString();
    }
    EXPECT_EQ(sim.Printer().Counters().connections, 0);
}

TEST(CliPrinter, APortThatIsAFileIsRefusedWithTheReasonAndLeftAlone)
{
    CTestDir dir;
    const QString path = dir.Path("printer.prn");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    const QString logo = WriteTestLogo(dir, "logo.bmp", 16, 8);
    const CliResult download = RunCli({"download", "--nv-inf", "/nonexistent/NV.inf", "--model-type", "1",
                                       "--receipt-width", "576", "--no-limits", "--port", path, logo});
    EXPECT_EQ(download.exitCode, 1);
    EXPECT_TRUE(download.err.contains("Error : Openport failed!")) << download.err.toStdString();
    EXPECT_TRUE(download.err.contains((path + ": not a printer device").toLocal8Bit())) << download.err.toStdString();
    EXPECT_FALSE(download.err.contains("Download Completed!"));
    // Any other open failure carries the system's reason too.
    const CliResult list = RunCli({"list", "--nv-inf", "/nonexistent/NV.inf", "--port", dir.Path("lp9")});
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_TRUE(list.err.contains("Error : Openport Failed!")) << list.err.toStdString();
    EXPECT_TRUE(list.err.contains("No such file or directory")) << list.err.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep"));
}

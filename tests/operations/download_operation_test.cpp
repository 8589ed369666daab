#include "operations/download_operation.h"
#include "e2e/e2e_support.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"
#include "transport/loopback_server.h"

#include <gtest/gtest.h>

// The download every caller without a dialog runs (the command-line tool,
// fleets), picked by the kind's row, against a virtual printer on loopback;
// waits run in virtual time.

namespace {

struct KindCase {
    PrinterKind kind;
    int itemsSent;             // the DOT MODE list adds its length table
    QStringList stored;        // what the printer holds afterwards
    QStringList lastLines;     // the last progress lines
    QString finalMessage;
};

}  // namespace

TEST(DownloadOperation, EachKindsRowRunsItsDownloadAndTellsWhatWasSentAndHeld)
{
    const std::vector<KindCase> cases = {
        {PrinterKind::Mono, 2, {"1", "2"}, {"Downloding... b.bmp ( 2 / 2 ) "}, "Download Completed!"},
        {PrinterKind::DotMode, 3, {"1", "2"}, {"Downloding... b.bmp ( 3 / 3 ) "}, "Download Completed!"},
        {PrinterKind::TwoColor, 2, {"00", "01"}, {"Downloding... b.bmp ( 2 / 2 ) "}, "Image download finished!"},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(PrinterKindNumber(c.kind));
        CTestDir dir;
        CSimulatedPrinter sim(c.kind);
        CVirtualClock clock;
        CMessageRecorder messages;
        const DownloadRequest request{
            c.kind, ConvertLogos(c.kind, {WriteTestLogo(dir, "a.bmp", 16, 8), WriteTestLogo(dir, "b.bmp", 24, 8)}), {}};
        QStringList lines;
        const DownloadOutcome outcome = RunDownload(sim.Ethernet(), request, [&](const QString& line) { lines << line; });
        EXPECT_TRUE(outcome.complete);
        EXPECT_TRUE(outcome.reached);
        EXPECT_EQ(outcome.itemsSent, c.itemsSent);
        EXPECT_TRUE(outcome.failure.isEmpty());
        EXPECT_EQ(lines.mid(lines.size() - c.lastLines.size()), c.lastLines);
        ASSERT_FALSE(messages.Texts().isEmpty());
        EXPECT_EQ(messages.Texts().last(), c.finalMessage);
        ASSERT_TRUE(sim.WaitForImages(static_cast<int>(c.stored.size())));
        EXPECT_EQ(sim.StoredNames(), c.stored);
        // A two-colour download lists the printer's addresses again at its end.
        if (c.kind == PrinterKind::TwoColor) {
            EXPECT_EQ(outcome.state.used, c.stored);
            EXPECT_EQ(lines.first().left(32), "Available printer flash memory :");
        }
    }
}

TEST(DownloadOperation, AFailedDownloadSaysHowFarItGotAndWhatTheOperatorWasShown)
{
    CTestDir dir;
    CVirtualClock clock;
    CMessageRecorder messages;
    PortSettings nobody;
    nobody.interfaceKind = InterfaceKind::Ethernet;
    nobody.ipAddress = {127, 0, 0, 1};
    nobody.tcpPort = UnusedLoopbackPort();
    const QString logo = WriteTestLogo(dir, "a.bmp", 16, 8);

    // No printer answers: an addressed download never starts.
    const DownloadOutcome unreached =
        RunDownload(nobody, {PrinterKind::TwoColor, ConvertLogos(PrinterKind::TwoColor, {logo}), {}}, {});
    EXPECT_FALSE(unreached.complete);
    EXPECT_FALSE(unreached.reached);
    EXPECT_EQ(unreached.itemsSent, 0);

    // The printer hangs up during the last item: it was sent, yet the
    // download failed, and the outcome carries the text that was shown.
    messages.Clear();
    SimFaults faults;
    faults.closeAfterBytes = 20;
    CSimulatedPrinter hangsUp(PrinterKind::Mono, faults);
    const DownloadOutcome stopped = RunDownload(
        hangsUp.Ethernet(), {PrinterKind::Mono, ConvertLogos(PrinterKind::Mono, {logo}), {}},
        [&](const QString&) {
            // The printer counts its hang-up after it closed the connection.
            EXPECT_TRUE(hangsUp.Printer().WaitFor([&] { return hangsUp.Printer().Counters().faultHangUps > 0; }, 5000));
        });
    EXPECT_FALSE(stopped.complete);
    ASSERT_FALSE(messages.Texts().isEmpty());
    EXPECT_EQ(stopped.failure, messages.Texts().last());
    EXPECT_TRUE(stopped.failure.startsWith("Error : Write failed!")) << stopped.failure.toStdString();
    EXPECT_FALSE(messages.Texts().contains("Download Completed!"));
}

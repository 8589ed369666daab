#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "operations/upload_session.h"
#include "e2e/e2e_support.h"
#include "kinds/printer_kind.h"
#include "print/print_operations.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"

#include <QSize>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

// Test logos a.bmp, b.bmp ... of these sizes, converted for a printer kind.
DownloadList TestLogos(const CTestDir& dir, PrinterKind kind, const std::vector<QSize>& sizes)
{
    QStringList paths;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const QString name = QChar(u'a' + static_cast<char16_t>(i)) + QStringLiteral(".bmp");
        paths << WriteTestLogo(dir, name, sizes[i].width(), sizes[i].height());
    }
    return ConvertLogos(kind, paths);
}

}  // namespace

// Whole operations, as the dialogs and the command line run them, against a
// virtual printer on loopback; every wait runs in virtual time.

TEST(PrinterFlows, SingleColourDownloadStoresEveryLogoWithItsPacing)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::Mono);
    CVirtualClock clock;
    CMessageRecorder messages;
    const DownloadList items = TestLogos(dir, PrinterKind::Mono, {{40, 16}, {24, 9}, {8, 8}});
    CPrinterConnection connection(sim.Ethernet(), OpenFailureText::UploadAndPrint);
    CUploadSession session(PrinterKind::Mono, connection, items);
    std::vector<int> progress;
    ASSERT_TRUE(session.Run([&](int sent, int) { progress.push_back(sent); }));
    EXPECT_EQ(session.ProgressText(0), "Downloding... a.bmp ( 1 / 3 ) ");
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(messages.Texts(), QStringList({"Download Completed!"}));
    // 6 s for the printer to prepare, the first item 1 s later, then 100 ms steps.
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{6000, 1000, 100, 100, 100}));
    ASSERT_TRUE(sim.WaitForImages(3));
    EXPECT_EQ(sim.StoredNames(), QStringList({"1", "2", "3"}));
    const std::vector<SimStoredImage> stored = sim.Printer().StoredImages();
    EXPECT_EQ(stored[1].dots.Width(), 24);
    EXPECT_EQ(stored[1].dots.At(0, 5), CDotGrid::Black);  // columns 0, 3, 6 ... are black
    EXPECT_EQ(stored[1].dots.At(1, 5), CDotGrid::White);
    EXPECT_EQ(stored[1].dots.At(1, 0), CDotGrid::Black);  // red prints black on one ink

    // Printing images 1 and 2 with headers.
    messages.Clear();
    ASSERT_TRUE(PrintNvImageSelection(connection, true, "1-2", PrintSizeMode::DoubleBoth, true));
    ASSERT_TRUE(sim.WaitForPrints(2));
    const std::vector<SimPrint> prints = sim.Printer().Prints();
    EXPECT_EQ(prints[0].name, "1");
    EXPECT_TRUE(prints[0].found);
    EXPECT_EQ(prints[1].mode, 3);
    EXPECT_EQ(prints[1].header, "----- Logo : 2 -----");
}

TEST(PrinterFlows, DotModeDownloadOverTheSerialLineThenPrintByNumber)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::DotMode, {}, true);
    ASSERT_FALSE(sim.Printer().PtyPath().isEmpty());
    CVirtualClock clock;
    CMessageRecorder messages;
    const DownloadList items = TestLogos(dir, PrinterKind::DotMode, {{30, 20}, {12, 40}});
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "HeadCommnad");
    CPrinterConnection connection(sim.Serial(), OpenFailureText::UploadAndPrint);
    CUploadSession session(PrinterKind::DotMode, connection, items);
    ASSERT_TRUE(session.Run()) << messages.Texts().join('|').toStdString();
    EXPECT_EQ(clock.Sleeps().front(), 1000);  // no preparation pause for impact printers
    ASSERT_TRUE(sim.WaitForImages(2));
    EXPECT_EQ(sim.Printer().StoredImages()[0].dots.Width(), 15);  // single density halves 30 dots

    ASSERT_TRUE(PrintDotModeImages(connection));
    ASSERT_TRUE(sim.WaitForPrints(10));
    const std::vector<SimPrint> prints = sim.Printer().Prints();
    EXPECT_TRUE(prints[0].found);
    EXPECT_TRUE(prints[1].found);
    EXPECT_FALSE(prints[2].found);
}

TEST(PrinterFlows, TwoColourAddressesDownloadListRemoveAndCapacity)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    CVirtualClock clock;
    CMessageRecorder messages;
    DownloadList items = TestLogos(dir, PrinterKind::TwoColor, {{16, 8}, {24, 8}, {32, 8}});
    CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);
    AddressDownloadState state;
    ASSERT_TRUE(QueryUsedAddresses(connection, &state.used));
    ASSERT_TRUE(QueryFreeMemory(connection, &state.remaining));
    EXPECT_TRUE(state.used.isEmpty());
    EXPECT_EQ(state.remaining, 262144);

    std::vector<QString> progress;
    AddressDownloadObserver observer;
    observer.progress = [&](const QString& name, int index, int total) {
        progress.push_back(QStringLiteral("%1 %2/%3").arg(name).arg(index).arg(total));
    };
    ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, observer));
    EXPECT_EQ(progress, (std::vector<QString>{"a.bmp 1/3", "b.bmp 2/3", "c.bmp 3/3"}));
    EXPECT_EQ(state.used, QStringList({"00", "01", "02"}));
    EXPECT_EQ(state.remaining, 262144 - items[0].size() - items[1].size() - items[2].size());
    EXPECT_EQ(messages.Texts(), QStringList({"Completed printer flash memory delete!\r\nWait a few minute!",
                                             "Image download finished!"}));
    EXPECT_NE(std::find(clock.Sleeps().begin(), clock.Sleeps().end(), 5000), clock.Sleeps().end());
    EXPECT_EQ(sim.StoredNames(), QStringList({"00", "01", "02"}));

    messages.Clear();
    EXPECT_EQ(GetAddressList(connection).addresses, QStringList({"00", "01", "02"}));
    ASSERT_TRUE(RemoveAddress(connection, {'0', '1'}));
    EXPECT_EQ(GetAddressList(connection).addresses, QStringList({"00", "02"}));
    ASSERT_TRUE(PrintAddress(connection, {'0', '2'}));
    ASSERT_TRUE(sim.WaitForPrints(1));
    EXPECT_TRUE(sim.Printer().Prints()[0].found);
    ASSERT_TRUE(RemoveAllAddresses(connection));
    EXPECT_EQ(GetAddressList(connection).outcome, AddressListOutcome::Empty);
    EXPECT_EQ(messages.Texts(), QStringList({"Empty NV Image list!"}));
    int remaining = 0;
    ASSERT_TRUE(QueryFreeMemory(connection, &remaining));
    EXPECT_EQ(remaining, 262144);
}

TEST(PrinterFlows, UserDefinedAddressesAndACancelledPrompt)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    CVirtualClock clock;
    CMessageRecorder messages;
    DownloadList items = TestLogos(dir, PrinterKind::TwoColor, {{16, 8}, {16, 8}});
    CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);
    AddressDownloadState state;
    state.remaining = 1000;
    int asked = 0;
    AddressDownloadObserver observer;
    observer.askAddress = [&](const QStringList&) -> std::optional<NvAddress> {
        return ++asked == 1 ? std::optional<NvAddress>(NvAddress{'A', '1'}) : std::nullopt;
    };
    EXPECT_FALSE(RunUserDefinedAddressDownload(connection, items, state, observer));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(messages.Texts(), QStringList({"Cancel to download image!"}));
    ASSERT_TRUE(sim.WaitForImages(1));
    EXPECT_EQ(sim.StoredNames(), QStringList({"A1"}));
    EXPECT_EQ(state.remaining, 1000 - items[0].size());
}

TEST(PrinterFlows, FailuresAreToldAndNothingEndsAsComplete)
{
    CTestDir dir;
    CVirtualClock clock;
    CMessageRecorder messages;
    const DownloadList items = TestLogos(dir, PrinterKind::DotMode, {{200, 64}});
    PortSettings unreachable;
    {
        CSimulatedPrinter stopped(PrinterKind::DotMode);
        unreachable = stopped.Ethernet();
    }
    CPrinterConnection refused(unreachable, OpenFailureText::UploadAndPrint);
    CUploadSession noPrinter(PrinterKind::DotMode, refused, items);
    EXPECT_FALSE(noPrinter.Run());
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].startsWith("Error : Failed to connected"));

    // The printer hangs up part-way through the band stream.
    messages.Clear();
    SimFaults faults;
    faults.closeAfterBytes = 100;
    CSimulatedPrinter hangsUp(PrinterKind::DotMode, faults);
    CPrinterConnection connection(hangsUp.Ethernet(), OpenFailureText::UploadAndPrint);
    CUploadSession session(PrinterKind::DotMode, connection, items);
    // Virtual time leaves the printer no real moment to hang up before the
    // end; give it one after the last item, as the real 100 ms pause does.
    EXPECT_FALSE(session.Run([&](int sent, int total) {
        if (sent != total)
            return;
        EXPECT_TRUE(hangsUp.Printer().WaitFor(
            [&] { return hangsUp.Printer().Counters().commandsAbandoned > 0; }, 5000));
        // The printer counts the abandoned command before its thread closes
        // the socket; let the close reach this end too (bounded).
        for (int i = 0; i < 500 && !connection.HasPeerClosed(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }));
    ASSERT_FALSE(messages.Texts().isEmpty());
    EXPECT_TRUE(messages.Texts().last().startsWith("Error : Write failed!")) << messages.Texts().join('|').toStdString();
    EXPECT_FALSE(messages.Texts().contains("Download Completed!"));
}

TEST(PrinterFlows, TheEleventhAutomaticAddressIsListedAndPrintable)
{
    // 00 ... 09, then 0: and 0;: every address the tool stores, it can list.
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    CVirtualClock clock;
    CMessageRecorder messages;
    QStringList logos;
    for (int i = 0; i < 12; ++i)
        logos << WriteTestLogo(dir, QStringLiteral("l%1.bmp").arg(i), 8, 8);
    DownloadList items = ConvertLogos(PrinterKind::TwoColor, logos);
    CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);
    AddressDownloadState state;
    ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, {}));
    const QStringList expected{"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "0:", "0;"};
    EXPECT_EQ(state.used, expected);

    messages.Clear();
    const AddressListResult list = GetAddressList(connection);
    EXPECT_EQ(list.outcome, AddressListOutcome::Listed);
    EXPECT_EQ(list.addresses, expected);
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join('|').toStdString();
    ASSERT_TRUE(PrintAllAddresses(connection, list.addresses));
    ASSERT_TRUE(sim.WaitForPrints(12));
    EXPECT_EQ(sim.Printer().Prints()[10].name, "0:");
    EXPECT_TRUE(sim.Printer().Prints()[10].found);
}

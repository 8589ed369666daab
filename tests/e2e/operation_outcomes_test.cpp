#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "e2e/e2e_support.h"
#include "logos/logo_list.h"
#include "print/print_operations.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"

#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

// The value side of the operations that the command line and fleets use:
// what each came to, with the words and severity chosen where it happened,
// and nothing said through the message seam on the way.
TEST(OperationOutcomes, OperationsReturnWhatTheyCameToAndTellNothing)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    CVirtualClock clock;
    CMessageRecorder messages;
    CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);

    const AddressListResult empty = ReadAddressList(connection);
    EXPECT_EQ(empty.outcome, AddressListOutcome::Empty);
    EXPECT_EQ(empty.told.text, "Empty NV Image list!");
    EXPECT_EQ(empty.told.severity, Severity::Notice);
    EXPECT_FALSE(empty.told.Failed());

    // A download tells its steps to the observer as they happen: the delete
    // before its wait, the end with the box's exclamation mark, yet a success.
    DownloadList items = ConvertLogos(PrinterKind::TwoColor, {WriteTestLogo(dir, "a.bmp", 16, 8)});
    AddressDownloadState state;
    std::vector<Outcome> told;
    AddressDownloadObserver observer;
    const size_t sleepsBefore = clock.Sleeps().size();
    observer.tell = [&](const Outcome& outcome) {
        told.push_back(outcome);
        EXPECT_EQ(clock.Sleeps().size() == sleepsBefore, told.size() == 1) << "told after the wait it comes before";
    };
    ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, observer));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].text, "Completed printer flash memory delete!\r\nWait a few minute!");
    EXPECT_EQ(told[1].text, "Image download finished!");
    EXPECT_EQ(told[1].boxIcon, MessageIcon::Exclamation);
    for (const Outcome& outcome : told)
        EXPECT_EQ(outcome.severity, Severity::Success) << outcome.text.toStdString();

    EXPECT_EQ(ReadAddressList(connection).told.text, "");
    const Outcome printed = TryPrintAddress(connection, {'0', '0'});
    EXPECT_FALSE(printed.Failed());
    EXPECT_TRUE(printed.Silent());
    const FreeMemoryReply capacity = ReadFreeMemory(connection);
    EXPECT_TRUE(capacity.opened && capacity.answered && capacity.told.Silent());
    EXPECT_EQ(capacity.remaining, 262144 - items[0].size());
    const Outcome unparsed = TryPrintNvImageSelection(connection, true, "one", PrintSizeMode::Normal, false);
    EXPECT_EQ(unparsed.text, "Selection Format Error!");
    EXPECT_EQ(unparsed.severity, Severity::Failure);
    // Nothing entered is no error, but nothing is printed either.
    const Outcome unselected = TryPrintNvImageSelection(connection, true, "", PrintSizeMode::Normal, false);
    EXPECT_TRUE(unselected.Failed());
    EXPECT_EQ(unselected.severity, Severity::Notice);
    EXPECT_EQ(unselected.text, "Select Image Number Please!");

    // The list of logos: a typed result and its words.
    CLogoList logos;
    logos.SetLimits({1, 100, 512});
    const LogoAddOutcome missing = logos.TryAddLogoFile(dir.Path("missing.bmp"), {});
    EXPECT_EQ(missing.result, LogoAddResult::LoadFailed);
    EXPECT_TRUE(missing.told.text.startsWith("Failed to load image file!\n"));
    EXPECT_EQ(logos.TryAddLogoFile(dir.Path("a.bmp"), {}).result, LogoAddResult::Added);
    const LogoAddOutcome full = logos.TryAddLogoFile(dir.Path("a.bmp"), {});
    EXPECT_EQ(full.result, LogoAddResult::CountRefused);
    EXPECT_EQ(full.told.text, "Don't Read files any more!");
    EXPECT_EQ(full.told.severity, Severity::Failure);
    EXPECT_EQ(static_cast<int>(full.result), -10);
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join('|').toStdString();

    // A printer nobody answers for: the operation's own words are returned,
    // not shown.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    PortSettings gone = sim.Ethernet();
    gone.tcpPort = closed.serverPort();
    closed.close();
    CPrinterConnection unreachable(gone, OpenFailureText::AddressDialogs);
    const Outcome removed = TryRemoveAddress(unreachable, {'0', '0'});
    EXPECT_EQ(removed.text, "Communication Error!");
    EXPECT_EQ(removed.severity, Severity::Failure);
    EXPECT_FALSE(messages.Texts().contains("Communication Error!"));
}

}  // namespace

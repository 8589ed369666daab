#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "e2e/e2e_support.h"
#include "kinds/printer_kind.h"
#include "sim/sim_test_support.h"
#include "support/message_recorder.h"
#include "support/scaled_clock.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"
#include "transport/usb_stand_in.h"

#include <gtest/gtest.h>

// Whole two-colour operations over lines that behave like devices: the
// virtual printer's pseudo-terminal, a serial line on which what the host
// has not yet sent is lost when the host purges its output queue, and a USB
// stand-in that cancels what is still in flight when the port closes. Each
// image is written just before the port closes, so each must have been
// delivered by then.

namespace {

QStringList ThreeLogos(const CTestDir& dir)
{
    return {WriteTestLogo(dir, "a.bmp", 64, 24), WriteTestLogo(dir, "b.bmp", 96, 16),
            WriteTestLogo(dir, "c.bmp", 48, 40)};
}

int PurgeLosses(const CVirtualPrinter& printer)
{
    int losses = 0;
    for (const SimLogEntry& entry : printer.CommandLog())
        losses += entry.text.contains("purged") ? 1 : 0;
    return losses;
}

TEST(DeviceLine, FiveTwoColourDownloadsOverTheSerialLineEachLeaveEveryImage)
{
    CTestDir dir;
    SimOptions options;
    options.pty = true;  // the line runs at the speed the host sets
    CSimulatedPrinter sim(PrinterKind::TwoColor, options);
    ASSERT_FALSE(sim.Printer().PtyPath().isEmpty());
    CScaledClock clock(10);  // the printer needs real time to answer
    CMessageRecorder messages;
    PortSettings serial = sim.Serial();
    serial.baudRate = 115200;
    CPrinterConnection connection(serial, OpenFailureText::AddressDialogs);
    const QStringList logos = ThreeLogos(dir);
    for (int round = 1; round <= 5; ++round) {
        DownloadList items = ConvertLogos(PrinterKind::TwoColor, logos);
        AddressDownloadState state;
        ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, {})) << round;
        // The host's own list after the download, and the printer itself.
        EXPECT_EQ(state.used, QStringList({"00", "01", "02"})) << "round " << round;
        EXPECT_TRUE(sim.WaitForImages(3)) << round;
        EXPECT_EQ(sim.StoredNames(), QStringList({"00", "01", "02"})) << "round " << round;
    }
    EXPECT_EQ(PurgeLosses(sim.Printer()), 0);
    EXPECT_EQ(sim.Printer().Counters().commandsAbandoned, 0);
}

TEST(DeviceLine, ListPrintAndDeleteOverTheSerialLine)
{
    CTestDir dir;
    SimOptions options;
    options.pty = true;
    CSimulatedPrinter sim(PrinterKind::TwoColor, options);
    CScaledClock clock(10);
    CMessageRecorder messages;
    PortSettings serial = sim.Serial();
    serial.baudRate = 115200;
    CPrinterConnection connection(serial, OpenFailureText::AddressDialogs);
    DownloadList items = ConvertLogos(PrinterKind::TwoColor, ThreeLogos(dir));
    AddressDownloadState state;
    ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, {}));

    AddressListResult list = GetAddressList(connection);
    EXPECT_EQ(list.outcome, AddressListOutcome::Listed);
    EXPECT_EQ(list.addresses, QStringList({"00", "01", "02"}));
    // Printed and deleted right before the port closes.
    ASSERT_TRUE(PrintAddress(connection, {'0', '1'}));
    ASSERT_TRUE(RemoveAddress(connection, {'0', '0'}));
    list = GetAddressList(connection);
    EXPECT_EQ(list.addresses, QStringList({"01", "02"}));
    ASSERT_TRUE(sim.WaitForPrints(1));
    EXPECT_EQ(sim.Printer().Prints()[0].name, "01");
    EXPECT_TRUE(sim.Printer().Prints()[0].found);
    EXPECT_EQ(PurgeLosses(sim.Printer()), 0);
}

// The printer reads no further ahead of its line than its receive buffer,
// so a host's write over the serial line returns only once all but that
// buffer and the pseudo-terminal's own few KiB have crossed: "Download
// Completed!" cannot come long before the printer has the last image.
TEST(DeviceLine, TheHostsWritesArePacedByTheSerialLine)
{
    SimOptions options;
    options.pty = true;
    CSimulatedPrinter sim(PrinterKind::TwoColor, options);
    PortSettings serial = sim.Serial();
    serial.baudRate = 230400;  // 23,040 characters a second
    CPrinterConnection connection(serial, OpenFailureText::AddressDialogs);
    ASSERT_TRUE(connection.OpenPrinter());
    constexpr qint64 kSent = 64 * 1024;
    // Within the write's own bound (5 ms a byte + 3 s), in one attempt.
    ASSERT_TRUE(connection.WritePrinter(QByteArray(kSent, '\0')));
    const SimCounters atReturn = sim.Printer().Counters();
    // Before the mend the printer had taken all of it at once, ahead of the line.
    EXPECT_LE(atReturn.lineBytesTaken - atReturn.bytesReceived, kDefaultReceiveBufferBytes);
    // The pseudo-terminal holds about 20 KiB itself, as a port's output queue would.
    EXPECT_GE(atReturn.bytesReceived, kSent - kDefaultReceiveBufferBytes - 28 * 1024)
        << atReturn.bytesReceived << " of " << kSent << " bytes had crossed the line";
    EXPECT_TRUE(sim.Printer().WaitFor([&] {
        const SimCounters counters = sim.Printer().Counters();
        return counters.bytesReceived >= kSent && counters.bytesReceived == counters.lineBytesTaken;
    }, 20000));
    connection.ClosePrinter();
    EXPECT_EQ(sim.Printer().Counters().lineBytesLost, 0);
}

TEST(DeviceLine, TwoColourDownloadOverUsbKeepsEveryImageThoughEachClosesThePort)
{
    CTestDir dir;
    CVirtualClock clock;
    CMessageRecorder messages;
    CUsbStandIn usb;
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Usb;
    settings.portName = QStringLiteral("/nonexistent/usb-stand-in/lp0");
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    DownloadList items = ConvertLogos(PrinterKind::TwoColor, ThreeLogos(dir));
    AddressDownloadState state;
    state.usb = true;
    ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, {}));
    EXPECT_EQ(usb.State().cancelled, 0);
    EXPECT_EQ(usb.State().opens, 5);  // the delete, the first image, then one more per image

    // What reached the printer, decoded by the virtual printer's core.
    CoreHarness printer(PrinterKind::TwoColor);
    printer.Feed(usb.State().delivered);
    QStringList stored;
    for (const SimStoredImage& image : printer.core->StoredImages())
        stored << image.name;
    EXPECT_EQ(stored, QStringList({"00", "01", "02"}));
}

}  // namespace

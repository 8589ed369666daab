#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "address/key_code_reply.h"
#include "operations/download_print_file.h"
#include "operations/upload_session.h"
#include "e2e/e2e_support.h"
#include "kinds/printer_kind.h"
#include "support/message_recorder.h"
#include "support/scaled_clock.h"
#include "support/virtual_clock.h"
#include "transport/printer_connection.h"
#include "transport/loopback_server.h"
#include "transport/pseudo_terminal.h"

#include <QFile>

#include <gtest/gtest.h>

#include <thread>

// Misbehaving printers, lines and disks. Each case must end with the right
// outcome within its stated bound, leave the next operation working, and
// lose nothing already stored.

namespace {

// A two-colour printer on its pseudo-terminal that holds images 00 and 01.
struct FaultyPrinter {
    CSimulatedPrinter sim{PrinterKind::TwoColor, {}, true};
    void Store(const CTestDir& dir)
    {
        CVirtualClock clock;
        CMessageRecorder quiet;
        DownloadList items = ConvertLogos(PrinterKind::TwoColor, {WriteTestLogo(dir, "a.bmp", 16, 8),
                                                                WriteTestLogo(dir, "b.bmp", 16, 8)});
        CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);
        AddressDownloadState state;
        ASSERT_TRUE(RunAutoAddressDownload(connection, items, state, {}));
        ASSERT_TRUE(sim.WaitForImages(2));
    }
    void Fault(SimReplyFault reply, int cutBytes = 0)
    {
        SimFaults faults;
        faults.reply = reply;
        faults.cutReplyBytes = cutBytes;
        sim.Printer().SetFaults(faults);
    }
    // The next operation works again once the printer behaves.
    void ExpectUsableAndWhole()
    {
        sim.Printer().SetFaults({});
        CMessageRecorder quiet;
        CPrinterConnection connection(sim.Ethernet(), OpenFailureText::AddressDialogs);
        EXPECT_EQ(GetAddressList(connection).addresses, QStringList({"00", "01"}));
    }
};

}  // namespace

TEST(FaultInjection, SilentPrinterCostsAtMostTwentyOneReadTimeOuts)
{
    CTestDir dir;
    FaultyPrinter printer;
    printer.Store(dir);
    printer.Fault(SimReplyFault::None);
    CMessageRecorder messages;
    CScaledClock clock(50);
    CPrinterConnection serial(printer.sim.Serial(), OpenFailureText::AddressDialogs);
    EXPECT_EQ(GetAddressList(serial).outcome, AddressListOutcome::Bad);
    EXPECT_EQ(messages.Texts(), QStringList({"Fail to get Image address list!"}));
    // Bound: the 1,000 ms wait and 21 failed reads of 1,000 ms each.
    EXPECT_LE(clock.AskedMs(), 1000 + 21 * 1000);
    int remaining = -1;
    ASSERT_TRUE(QueryFreeMemory(serial, &remaining));
    EXPECT_EQ(remaining, 0);  // the first failed read ends the capacity reply
    printer.ExpectUsableAndWhole();
}

TEST(FaultInjection, GarbageEndlessAndCutRepliesStayBounded)
{
    CTestDir dir;
    FaultyPrinter printer;
    printer.Store(dir);
    CMessageRecorder messages;
    CScaledClock clock(50);
    CPrinterConnection serial(printer.sim.Serial(), OpenFailureText::AddressDialogs);

    // A reply cut after "37 31 32 36" reads as the digits that came.
    printer.Fault(SimReplyFault::CutShort, 4);
    int remaining = -1;
    ASSERT_TRUE(QueryFreeMemory(serial, &remaining));
    EXPECT_EQ(remaining, 26);
    printer.Fault(SimReplyFault::Garbage);
    EXPECT_EQ(GetAddressList(serial).outcome, AddressListOutcome::Bad);
    QStringList used;
    ASSERT_TRUE(QueryUsedAddresses(serial, &used));
    EXPECT_TRUE(used.isEmpty());

    // An endless reply is cut at the reply bound.
    printer.Fault(SimReplyFault::Endless);
    const AddressListResult endless = GetAddressList(serial);
    EXPECT_LE(endless.addresses.size(), (kKeyCodeListReplyBytes - 3) / 2);

    printer.ExpectUsableAndWhole();
}

TEST(FaultInjection, UsbDeviceThatDisappearsAfterOpening)
{
    CTestDir dir;
    CMessageRecorder messages;
    CVirtualClock clock;
    CPseudoTerminal device;
    ASSERT_TRUE(device.IsValid());
    // The USB transport opens the path it is given; a link keeps the facade
    // from taking the terminal for a serial port.
    const QString path = dir.Path("usb-lp0");
    ASSERT_TRUE(QFile::link(device.SlavePath(), path));
    PortSettings usb;
    usb.interfaceKind = InterfaceKind::Usb;
    usb.portName = path;
    usb.receiveBufferSize = kReceiveBufferUsb;
    DownloadList items = ConvertLogos(PrinterKind::TwoColor, {WriteTestLogo(dir, "a.bmp", 16, 8)});
    CPrinterConnection connection(usb, OpenFailureText::AddressDialogs);
    ASSERT_TRUE(connection.OpenPrinter());
    device.CloseMaster();  // unplugged between open and write
    EXPECT_FALSE(connection.WritePrinter(items[0].data)) << connection.LastError().what.toStdString();
    connection.ClosePrinter();

    AddressDownloadState state;
    state.usb = true;
    EXPECT_FALSE(RunUserDefinedAddressDownload(connection, items, state, {}));
    // The device is gone: the next download cannot open it and says so.
    EXPECT_TRUE(messages.Texts().contains("Error : Openport Failed!")) << messages.Texts().join('|').toStdString();
}

TEST(FaultInjection, FullDiskKeepsThePreviousPrintFile)
{
    CTestDir dir;
    const DownloadList items = ConvertLogos(PrinterKind::Mono, {WriteTestLogo(dir, "a.bmp", 64, 64)});
    QString error;
    EXPECT_FALSE(SaveDownloadPrintFile("/dev/full", PrinterKind::Mono, items, &error));
    EXPECT_TRUE(error.contains("/dev/full")) << error.toStdString();
    const QString kept = dir.Path("kept.prn");
    ASSERT_TRUE(SaveDownloadPrintFile(kept, PrinterKind::Mono, items, &error));
    const qint64 size = QFileInfo(kept).size();
    EXPECT_TRUE(SaveDownloadPrintFile(kept, PrinterKind::Mono, items, &error));  // usable again
    EXPECT_EQ(QFileInfo(kept).size(), size);
}

TEST(FaultInjection, SlowReaderStillReceivesEverything)
{
    CTestDir dir;
    SimFaults faults;
    faults.readBytesPerSecond = 200000;
    CSimulatedPrinter sim(PrinterKind::DotMode, faults);
    CMessageRecorder messages;
    CVirtualClock clock;
    const DownloadList items = ConvertLogos(PrinterKind::DotMode, {WriteTestLogo(dir, "a.bmp", 400, 160)}, DotDensity::Quad);
    CPrinterConnection connection(sim.Ethernet(), OpenFailureText::UploadAndPrint);
    CUploadSession session(PrinterKind::DotMode, connection, items);
    ASSERT_TRUE(session.Run()) << messages.Texts().join('|').toStdString();
    ASSERT_TRUE(sim.WaitForImages(1, 10000));
    EXPECT_EQ(sim.Printer().StoredImages()[0].dots.Width(), 400);
}

// A printer may send more pairs in one reply than the 43 that fit 90 bytes:
// every pair is read. A reply it marks 41 (more than it can carry) is never
// taken for the whole list, by either reading.
TEST(FaultInjection, LongKeyCodeListsAreReadWholeAndContinuedOnesAreIncomplete)
{
    CVirtualClock clock;
    CMessageRecorder messages;
    QByteArray pairs;
    QStringList addresses;
    for (int i = 0; i < 44; ++i) {
        addresses << QString::asprintf("%02d", i);
        pairs += addresses.back().toLatin1();
    }
    const QByteArray whole = QByteArray("7r@") + pairs + QByteArray(1, '\0');
    const QByteArray more = QByteArray("7rA") + pairs.left(20) + QByteArray(1, '\0');
    CLoopbackServer server;
    ASSERT_TRUE(server.IsValid());
    std::thread printer([&] {
        for (const QByteArray& reply : {whole, more, more}) {
            if (!server.Accept(5000))
                return;
            server.ReceiveUntil(11);  // ESC @ and the list command
            server.SendToClient(reply);
        }
    });
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Ethernet;
    settings.ipAddress = {127, 0, 0, 1};
    settings.tcpPort = server.Port();
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    const AddressListResult listed = GetAddressList(connection);
    EXPECT_EQ(listed.outcome, AddressListOutcome::Listed);
    EXPECT_EQ(listed.addresses, addresses);
    const AddressListResult continued = GetAddressList(connection);
    EXPECT_EQ(continued.outcome, AddressListOutcome::Incomplete);
    EXPECT_EQ(continued.addresses, addresses.mid(0, 10));
    QStringList used;
    bool incomplete = false;
    EXPECT_TRUE(QueryUsedAddresses(connection, &used, &incomplete));
    EXPECT_EQ(used, addresses.mid(0, 10));
    EXPECT_TRUE(incomplete);
    printer.join();
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join('|').toStdString();
}

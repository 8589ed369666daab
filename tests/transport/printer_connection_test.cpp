#include "transport/printer_connection.h"

#include "framework/clock.h"

#include "support/message_recorder.h"
#include "support/temp_dir.h"
#include "transport/loopback_server.h"
#include "transport/process_probe.h"
#include "transport/usb_stand_in.h"

#include <QFile>

#include <gtest/gtest.h>

#include <mutex>

namespace {

// A virtual clock that, at each pause, notes how many bytes the printer has
// received by then: so the test sees the pieces between the pauses.
class CPieceClock final : public CClock {
public:
    explicit CPieceClock(CLoopbackServer& printer) : m_printer(printer), m_previous(SetClock(this)) {}
    ~CPieceClock() override { SetClock(m_previous); }

    qint64 NowMs() const override { return m_now; }
    void Sleep(int ms) override
    {
        m_now += ms;
        m_sleeps.push_back(ms);
        // Whatever was sent before the pause is on its way; wait for at most
        // one more piece than already counted, then see what came.
        const int expected = static_cast<int>(m_printer.Received().size()) + CPrinterConnection::kEthernetBlockSize;
        m_printer.ReceiveUntil(expected, 500);
        m_receivedAtPause.push_back(static_cast<int>(m_printer.Received().size()));
    }
    const std::vector<int>& Sleeps() const { return m_sleeps; }
    const std::vector<int>& ReceivedAtPause() const { return m_receivedAtPause; }

private:
    CLoopbackServer& m_printer;
    CClock* m_previous;
    qint64 m_now = 0;
    std::vector<int> m_sleeps;
    std::vector<int> m_receivedAtPause;
};

PortSettings EthernetSettings(int tcpPort)
{
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Ethernet;
    settings.ipAddress = {127, 0, 0, 1};
    settings.tcpPort = tcpPort;
    return settings;
}

PortSettings UsbSettings(const QString& path)
{
    PortSettings settings;
    settings.interfaceKind = InterfaceKind::Usb;
    settings.portName = path;
    return settings;
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

TEST(PrinterConnection, EthernetWritesGoInPiecesOf1024WithPausesBetween)
{
    struct Case {
        int size;
        std::vector<int> pauses;
        std::vector<int> receivedAtPause;
    };
    const Case cases[] = {
        {1024, {}, {}},
        {1025, {500}, {1024}},
        {2500, {500, 500}, {1024, 2048}},
        {1, {}, {}},
    };
    for (const Case& c : cases) {
        CLoopbackServer printer;
        ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
        CPieceClock clock(printer);
        CPrinterConnection connection(EthernetSettings(printer.Port()), OpenFailureText::AddressDialogs);
        ASSERT_TRUE(connection.IsEthernet());
        ASSERT_TRUE(connection.OpenPrinter());
        ASSERT_TRUE(printer.Accept());

        const QByteArray job = Pattern(c.size);
        EXPECT_TRUE(connection.WritePrinter(job));
        EXPECT_EQ(clock.Sleeps(), c.pauses) << c.size;
        EXPECT_EQ(clock.ReceivedAtPause(), c.receivedAtPause) << c.size;
        EXPECT_EQ(printer.ReceiveUntil(c.size), job) << c.size;
    }
}

TEST(PrinterConnection, SendWholeIsOneSendWithoutPause)
{
    CLoopbackServer printer;
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    CPieceClock clock(printer);
    CPrinterConnection connection(EthernetSettings(printer.Port()), OpenFailureText::UploadAndPrint);
    ASSERT_TRUE(connection.OpenPrinter());
    ASSERT_TRUE(printer.Accept());
    const QByteArray job = Pattern(2500);
    EXPECT_TRUE(connection.SendWhole(job));
    EXPECT_TRUE(clock.Sleeps().empty());
    EXPECT_EQ(printer.ReceiveUntil(job.size()), job);
}

TEST(PrinterConnection, EthernetReadsTheReplyAndWritesFailAfterClose)
{
    CLoopbackServer printer;
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    CPrinterConnection connection(EthernetSettings(printer.Port()), OpenFailureText::AddressDialogs);
    ASSERT_TRUE(connection.OpenPrinter());
    ASSERT_TRUE(printer.Accept());
    ASSERT_TRUE(printer.SendToClient(QByteArray("K\x00", 2)));
    char byte = 0;
    EXPECT_EQ(connection.ReadPrinter(&byte, 1), 1);
    EXPECT_EQ(byte, 'K');
    connection.ClearInput();  // nothing kept aside over the network
    EXPECT_EQ(connection.ReadPrinter(&byte, 1), 1);
    EXPECT_EQ(byte, 0);

    connection.ClosePrinter();
    EXPECT_FALSE(connection.WritePrinter("x"));
    EXPECT_FALSE(connection.SendWhole("x"));
}

TEST(PrinterConnection, RefusedEthernetConnectionShowsOnlyTheConnectMessage)
{
    CMessageRecorder messages;
    CPrinterConnection connection(EthernetSettings(UnusedLoopbackPort()), OpenFailureText::UploadAndPrint);
    EXPECT_FALSE(connection.OpenPrinter());
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().startsWith(QStringLiteral("Error : Failed to connected \r\n")));
    EXPECT_EQ(connection.LastError().code, ECONNREFUSED);
}

TEST(PrinterConnection, PortOpenFailureIsWordedByCaller)
{
    struct Case {
        OpenFailureText wording;
        const char* text;
    };
    const Case cases[] = {
        {OpenFailureText::AddressDialogs, "Error : Openport Failed!"},
        {OpenFailureText::UploadAndPrint, "Error : Openport failed!"},
    };
    for (const Case& c : cases) {
        CMessageRecorder messages;
        CPrinterConnection connection(UsbSettings(QStringLiteral("USB001:")), c.wording);
        EXPECT_FALSE(connection.IsEthernet());
        EXPECT_FALSE(connection.OpenPrinter());
        EXPECT_EQ(messages.Texts(), QStringList{QString::fromLatin1(c.text)});
    }
}

TEST(PrinterConnection, PortWritesSucceedOnlyWhenEverythingWentOut)
{
    {
        CUsbStandIn printer;
        CPrinterConnection connection(UsbSettings(QStringLiteral("/nonexistent/usb-stand-in/lp0")),
                                      OpenFailureText::UploadAndPrint);
        ASSERT_TRUE(connection.OpenPrinter());
        const QByteArray job = Pattern(5000);
        EXPECT_TRUE(connection.WritePrinter(job));
        EXPECT_TRUE(connection.SendWhole(job));
        connection.ClosePrinter();
        EXPECT_EQ(printer.State().opens, 1);
        EXPECT_EQ(printer.State().cancelled, 0);
        EXPECT_EQ(printer.State().delivered, Pattern(5000) + Pattern(5000));
    }

    CPrinterConnection full(UsbSettings(QStringLiteral("/dev/full")), OpenFailureText::UploadAndPrint);
    ASSERT_TRUE(full.OpenPrinter());
    EXPECT_FALSE(full.WritePrinter("abc"));
    EXPECT_EQ(full.LastError().code, ENOSPC);
    EXPECT_FALSE(full.SendWhole("abc"));
}

TEST(PrinterConnection, DefaultsToTheKindAddressAndPortOfTheSettings)
{
    PortSettings settings = EthernetSettings(9100);
    settings.interfaceKind = InterfaceKind{7};  // shown as Ethernet, but only kind 3 uses the network
    CMessageRecorder messages;
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    EXPECT_FALSE(connection.IsEthernet());
    EXPECT_FALSE(connection.OpenPrinter());  // no port name: the port does not open
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Error : Openport Failed!")});
}

}  // namespace

#include "transport/printer_port.h"

#include "support/temp_dir.h"
#include "transport/port_names.h"
#include "transport/process_probe.h"
#include "transport/pseudo_terminal.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

PortSettings PortNamed(const QString& name)
{
    PortSettings settings;
    settings.portName = name;
    settings.baudRate = 19200;
    settings.dataBits = 8;
    return settings;
}

TEST(PrinterPortNames, PickTheTransportFromTheNameAlone)
{
    struct Case {
        const char* name;
        InterfaceKind kind;
        int setupResult;
    };
    const Case cases[] = {
        {"COM1", InterfaceKind::Serial, 1},
        {"COM10", InterfaceKind::Serial, 1},
        {"/dev/ttyUSB0", InterfaceKind::Serial, 1},   // a terminal path is a serial port
        {"/dev/pts/3", InterfaceKind::Serial, 1},
        {"LPT1", InterfaceKind::Parallel, 1},
        {"com1", InterfaceKind::Usb, 1},              // "COM" is matched case-sensitively
        {"lpt1", InterfaceKind::Usb, 1},
        {"USB001:", InterfaceKind::Usb, 1},           // the display name, not a device path
        {"/dev/usb/lp0", InterfaceKind::Usb, 1},
        {"", InterfaceKind::Usb, 0},                  // refused, but the transport stays
    };
    for (const Case& c : cases) {
        CPrinterPort port;
        EXPECT_EQ(port.Setup(PortNamed(QString::fromLatin1(c.name))), c.setupResult) << c.name;
        EXPECT_EQ(port.Kind(), c.kind) << c.name;
    }
}

TEST(PrinterPortNames, MapToDevicesOfThisSystem)
{
    struct Case {
        const char* name;
        const char* serial;
        const char* parallel;
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyS0", ""},
        {"COM11", "/dev/ttyS10", ""},
        {"LPT1", "", "/dev/lp0"},
        {"LPT5", "", "/dev/lp4"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0", ""},
        {"COM0", "", ""},
        {"COM", "", ""},
        {"COM1x", "", ""},
        {"LPT-1", "", ""},
        {"com1", "", ""},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        EXPECT_EQ(SerialDevicePath(name), QString::fromLatin1(c.serial)) << c.name;
        EXPECT_EQ(ParallelDevicePath(name), QString::fromLatin1(c.parallel)) << c.name;
    }
}

TEST(PrinterPort, OperationsBeforeSetupDoNothing)
{
    CPrinterPort port;
    char buffer[4] = {};
    TransportError reason;
    EXPECT_EQ(port.Kind(), std::nullopt);
    EXPECT_EQ(port.Open(&reason), 0);
    EXPECT_TRUE(reason.IsSet());
    EXPECT_EQ(port.Write("abc", 3), 0);
    EXPECT_EQ(port.Read(buffer, 4, 1000), 0);
    port.ClearInput();
    port.Close();
}

TEST(PrinterPort, DisplayNameOfAUsbPrinterDoesNotOpen)
{
    CPrinterPort port;
    ASSERT_EQ(port.Setup(PortNamed(QStringLiteral("USB001:"))), 1);
    TransportError reason;
    EXPECT_EQ(port.Open(&reason), 0);
    EXPECT_EQ(reason.code, ENOENT);
    EXPECT_FALSE(QFile::exists(QStringLiteral("USB001:")));  // nothing created in the current folder
}

TEST(PrinterPort, SetupClosesTheOpenTransportFirst)
{
    // A USB device path that leads to a pseudo-terminal the test reads.
    CPseudoTerminal printer;
    ASSERT_TRUE(printer.IsValid()) << "no pseudo-terminal available";
    CTestDir dir;
    const QString device = dir.Path(QStringLiteral("lp0"));
    ASSERT_TRUE(QFile::link(printer.SlavePath(), device));
    CPrinterPort port;
    ASSERT_EQ(port.Setup(PortNamed(device)), 1);
    ASSERT_EQ(port.Kind(), InterfaceKind::Usb);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(OpenDescriptorsOf(printer.SlavePath()), 2);  // the test's and the port's

    ASSERT_EQ(port.Setup(PortNamed(device)), 1);  // while open
    EXPECT_EQ(OpenDescriptorsOf(printer.SlavePath()), 1);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write("xy", 2), 2);
    port.Close();
    EXPECT_EQ(printer.ReadFromPort(2), QByteArray("xy"));
}

TEST(PrinterPort, ReopensASerialPortThatWasStillOpen)
{
    CPseudoTerminal printer;
    ASSERT_TRUE(printer.IsValid()) << "no pseudo-terminal available";
    CPrinterPort port;
    ASSERT_EQ(port.Setup(PortNamed(printer.SlavePath())), 1);
    ASSERT_EQ(port.Kind(), InterfaceKind::Serial);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(ThreadsNamed(QStringLiteral("serial-reader")), 1);

    ASSERT_EQ(port.Setup(PortNamed(printer.SlavePath())), 1);
    EXPECT_EQ(ThreadsNamedOnceGone(QStringLiteral("serial-reader")), 0);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write("\x1b@", 2), 2);
    EXPECT_EQ(printer.ReadFromPort(2), QByteArray("\x1b@"));
}

}  // namespace

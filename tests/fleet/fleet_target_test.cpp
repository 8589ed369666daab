#include "fleet/fleet_target.h"
#include "support/temp_dir.h"
#include "support/test_names.h"

#include <QFile>

#include <gtest/gtest.h>

// The hosts file: what each line may say, and that every bad line is named
// by its number before any printer is contacted.

namespace {

PortSettings SerialBase()
{
    PortSettings base;
    base.baudRate = 38400;
    base.dataBits = 8;
    base.parity = Parity::Even;
    return base;
}

struct LineCase {
    const char* line;
    const char* label;  // nullptr: the line is refused
    InterfaceKind interfaceKind;
    int tcpPort;
    const char* model;
};

class HostsLine : public testing::TestWithParam<LineCase> {};

QString WriteHosts(const CTestDir& dir, const QByteArray& text)
{
    const QString path = dir.Path("hosts.txt");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

}  // namespace

TEST_P(HostsLine, NamesOnePrinterOrIsRefused)
{
    const LineCase& c = GetParam();
    QString error;
    const std::optional<FleetTarget> target = ParseHostsLine(c.line, SerialBase(), 9100, &error);
    if (!c.label) {
        EXPECT_FALSE(target);
        EXPECT_FALSE(error.isEmpty());
        return;
    }
    ASSERT_TRUE(target) << error.toStdString();
    EXPECT_EQ(target->label, c.label);
    EXPECT_EQ(target->settings.interfaceKind, c.interfaceKind);
    EXPECT_EQ(target->model, c.model);
    if (c.interfaceKind == InterfaceKind::Ethernet) {
        EXPECT_EQ(target->settings.tcpPort, c.tcpPort);
    } else {
        EXPECT_EQ(target->settings.portName, c.label);
        EXPECT_EQ(target->settings.baudRate, 38400);  // the serial settings come from the options
        EXPECT_EQ(target->settings.parity, Parity::Even);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HostsLine,
    testing::Values(LineCase{"192.168.0.20", "192.168.0.20:9100", InterfaceKind::Ethernet, 9100, ""},
                    LineCase{"  10.0.0.7:4000  ", "10.0.0.7:4000", InterfaceKind::Ethernet, 4000, ""},
                    LineCase{"10.0.0.7:4000 TX-200", "10.0.0.7:4000", InterfaceKind::Ethernet, 4000, "TX-200"},
                    LineCase{"10.0.0.7\tQX 80 wide", "10.0.0.7:9100", InterfaceKind::Ethernet, 9100, "QX 80 wide"},
                    LineCase{"/dev/ttyUSB0", "/dev/ttyUSB0", InterfaceKind::Serial, 0, ""},
                    LineCase{"/dev/pts/7 DX-300", "/dev/pts/7", InterfaceKind::Serial, 0, "DX-300"},
                    LineCase{"COM3", "COM3", InterfaceKind::Serial, 0, ""},
                    LineCase{"LPT1", "LPT1", InterfaceKind::Parallel, 0, ""},
                    LineCase{"/dev/usb/lp0", "/dev/usb/lp0", InterfaceKind::Usb, 0, ""},
                    LineCase{"10.0.0.7:0", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"10.0.0.7:65536", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"10.0.0.7:", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"10.0.0.7:91x", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"10.0.7", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"300.1.1.1", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"printer.example", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"ttyUSB0", nullptr, InterfaceKind::Serial, 0, ""},
                    LineCase{"COM", nullptr, InterfaceKind::Serial, 0, ""}),
    [](const testing::TestParamInfo<LineCase>& testInfo) { return TestNameFrom(testInfo.param.line); });

TEST(HostsFile, SkipsCommentsAndBlankLinesAndKeepsLineNumbers)
{
    CTestDir dir;
    const QString path = WriteHosts(dir, "# shop printers\n\n10.0.0.7   # till 1\r\n  \n10.0.0.8:9101 TX-200\n");
    QStringList errors;
    const auto targets = ReadHostsFile(path, SerialBase(), 9100, &errors);
    ASSERT_TRUE(targets) << errors.join('\n').toStdString();
    ASSERT_EQ(targets->size(), 2u);
    EXPECT_EQ((*targets)[0].label, "10.0.0.7:9100");
    EXPECT_EQ((*targets)[0].model, "");
    EXPECT_EQ((*targets)[0].line, 3);
    EXPECT_EQ((*targets)[1].label, "10.0.0.8:9101");
    EXPECT_EQ((*targets)[1].model, "TX-200");
    EXPECT_EQ((*targets)[1].line, 5);
}

TEST(HostsFile, ReportsEveryBadLineAndDuplicateAndRefusesTheFile)
{
    CTestDir dir;
    // Line 4 names the printer of line 1 again (the default port written
    // out): two jobs on one printer would mix their bytes.
    const QString path = WriteHosts(dir, "10.0.0.7\nnot-a-printer\n10.0.0.9:99999\n10.0.0.7:9100\n/dev/usb/lp0\n");
    QStringList errors;
    EXPECT_FALSE(ReadHostsFile(path, SerialBase(), 9100, &errors));
    ASSERT_EQ(errors.size(), 3) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors[0].startsWith(path + ":2: 'not-a-printer'")) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].startsWith(path + ":3: ")) << errors[1].toStdString();
    EXPECT_EQ(errors[2], path + ":4: 10.0.0.7:9100 is already named on line 1");
}

TEST(HostsFile, EmptyOrMissingFileIsAnError)
{
    CTestDir dir;
    QStringList errors;
    EXPECT_FALSE(ReadHostsFile(WriteHosts(dir, "# nothing yet\n\n"), SerialBase(), 9100, &errors));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("names no printer"));
    errors.clear();
    EXPECT_FALSE(ReadHostsFile(dir.Path("missing.txt"), SerialBase(), 9100, &errors));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot read the hosts file"));
}

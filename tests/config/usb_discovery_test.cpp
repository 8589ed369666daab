#include "config/usb_discovery.h"

#include "config/config_test_files.h"
#include "config/profile_file.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

// A printer-class interface in a fake sysfs tree, laid out as the kernel lays
// it out: the USB device folder holds idVendor, the interface folder below it
// holds usbmisc/lpN with a device link back up to the interface, and
// class/usbmisc/lpN links to that.
struct FakeInterface {
    int index;
    const char* vendor;
    bool openable = true;  // false: no device node to open
};

class CFakeSystem {
public:
    QString SysRoot() const { return m_dir.Path(QStringLiteral("sys")); }
    QString DevRoot() const { return m_dir.Path(QStringLiteral("dev")); }
    QString DevicePath(int index) const { return DevRoot() + QStringLiteral("/usb/lp%1").arg(index); }

    void Add(const FakeInterface& i)
    {
        const QString device = SysRoot() + QStringLiteral("/devices/pci0000:00/usb1/1-%1").arg(i.index + 1);
        const QString interface = device + QStringLiteral("/1-%1:1.0").arg(i.index + 1);
        const QString node = interface + QStringLiteral("/usbmisc/lp%1").arg(i.index);
        const QString classDir = SysRoot() + QStringLiteral("/class/usbmisc");
        ASSERT_TRUE(QDir().mkpath(node) && QDir().mkpath(classDir) && QDir().mkpath(DevRoot() + "/usb"));
        WriteFileBytes(device + QStringLiteral("/idVendor"), QByteArray(i.vendor) + '\n');
        ASSERT_TRUE(QFile::link(QStringLiteral("../.."), node + QStringLiteral("/device")));
        ASSERT_TRUE(QFile::link(node, classDir + QStringLiteral("/lp%1").arg(i.index)));
        if (i.openable)
            WriteFileBytes(DevicePath(i.index), QByteArray());
    }

private:
    CTestDir m_dir;
};

struct Discovery {
    std::vector<UsbPortEntry> entries;
    QString trace;
};

Discovery Discover(const CFakeSystem& system, const QStringList& vendorIds)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> trace(std::tmpfile(), &std::fclose);
    EXPECT_TRUE(trace) << "no temporary file for the trace";
    Discovery result;
    result.entries = EnumerateUsbPrinters(system.SysRoot(), vendorIds, system.DevRoot(), trace.get());
    std::rewind(trace.get());
    char buffer[4096] = {};
    const size_t got = std::fread(buffer, 1, sizeof buffer - 1, trace.get());
    result.trace = QString::fromLocal8Bit(buffer, static_cast<qsizetype>(got));
    return result;
}

TEST(UsbDiscovery, ListsPrintersByTheBatchRule)
{
    struct Case {
        const char* what;
        std::vector<FakeInterface> interfaces;
        std::vector<int> listed;     // indices, in USB001:, USB002: ... order
        std::vector<int> attempted;  // indices with an "Attempting to open" line
    };
    const Case cases[] = {
        {"two printers in the first batch", {{0, "1111"}, {2, "0f0f"}, {5, "0f0f"}, {9, "0f0f"}}, {2, 5}, {0, 2, 5}},
        {"second batch not searched", {{3, "0f0f"}, {12, "0f0f"}}, {3}, {3}},
        {"only printer in the second batch", {{1, "1111"}, {12, "0f0f"}}, {12}, {1, 12}},
        {"third batch", {{20, "abcd"}, {31, "0f0f"}, {32, "0f0f"}}, {20, 31}, {20, 31}},
        {"other vendors only", {{0, "1111"}, {9, "2222"}}, {}, {0, 9}},
        {"upper-case vendor in the device", {{1, "0F0F"}}, {}, {1}},
        {"nothing plugged in", {}, {}, {}},
    };
    for (const Case& c : cases) {
        CFakeSystem system;
        for (const FakeInterface& i : c.interfaces)
            system.Add(i);
        const Discovery found = Discover(system, {QStringLiteral("0f0f"), QStringLiteral("abcd")});

        std::vector<UsbPortEntry> expected;
        for (int index : c.listed)
            expected.push_back({QString::asprintf("USB%03d:", static_cast<int>(expected.size()) + 1),
                                system.DevicePath(index)});
        EXPECT_EQ(found.entries, expected) << c.what;
        QString trace;
        for (int index : c.attempted)
            trace += QStringLiteral("Attempting to open %1\n").arg(system.DevicePath(index));
        EXPECT_EQ(found.trace, trace) << c.what;
    }
}

TEST(UsbDiscovery, SkipsAPrinterThatCannotBeOpened)
{
    CFakeSystem system;
    system.Add({1, "0f0f", false});
    system.Add({4, "0f0f"});
    const Discovery found = Discover(system, {QStringLiteral("0f0f")});
    EXPECT_EQ(found.entries, (std::vector<UsbPortEntry>{{QStringLiteral("USB001:"), system.DevicePath(4)}}));
    EXPECT_EQ(found.trace, QStringLiteral("Attempting to open %1\nFAILED to open %1\nAttempting to open %2\n")
                               .arg(system.DevicePath(1), system.DevicePath(4)));
}

TEST(UsbDiscovery, WithoutVendorIdsEveryPrinterQualifies)
{
    CFakeSystem system;
    system.Add({0, "1111"});
    system.Add({6, "0F0F"});
    const Discovery found = Discover(system, {});
    ASSERT_EQ(found.entries.size(), 2u);
    EXPECT_EQ(found.entries[1].devicePath, system.DevicePath(6));
}

TEST(UsbDiscovery, RunningAgainStartsAgainAtUsb001)
{
    CFakeSystem system;
    system.Add({2, "0f0f"});
    const Discovery first = Discover(system, {QStringLiteral("0f0f")});
    const Discovery second = Discover(system, {QStringLiteral("0f0f")});
    ASSERT_EQ(second.entries.size(), 1u);
    EXPECT_EQ(second.entries.front().portName, QStringLiteral("USB001:"));
    EXPECT_EQ(first.entries, second.entries);
}

TEST(UsbDiscovery, ReadsVendorIdsFromTheModelFile)
{
    struct Case {
        const char* file;
        QStringList ids;
    };
    const Case cases[] = {
        {"[USB]\nVENDORIDS=0F0F, 1a2b ,xyz,0f0f,12345,abc\n", {"0f0f", "1a2b"}},
        {"[usb]\nvendorids=ABCD\n", {"abcd"}},
        {"[USB]\nVENDORIDS=\n", {}},
        {"[COMMON]\nModelType=1\n", {}},
    };
    for (const Case& c : cases) {
        CTestDir dir;
        WriteFileBytes(dir.Path(QStringLiteral("NV.inf")), c.file);
        EXPECT_EQ(ReadUsbVendorIds(CProfileFile(dir.Path(QStringLiteral("NV.inf")))), c.ids) << c.file;
    }
}

}  // namespace

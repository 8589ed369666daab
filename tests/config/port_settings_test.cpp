#include "config/port_settings.h"

#include "config/config_test_files.h"
#include "config/current_configuration.h"
#include "config/profile_file.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

// The numbers of NV.inf become kinds and go back unchanged, known or not, so
// a setting the program does not know survives a read and a write.
TEST(PortSettingsFileValues, KindsComeFromTheFileNumbersAndGoBackUnchanged)
{
    const std::pair<int, InterfaceKind> interfaces[] = {
        {0, InterfaceKind::Serial}, {1, InterfaceKind::Parallel}, {2, InterfaceKind::Usb},
        {3, InterfaceKind::Ethernet}};
    for (const auto& [value, kind] : interfaces)
        EXPECT_EQ(InterfaceKindFromFile(value), kind) << value;
    const std::pair<int, StopBits> stopBits[] = {
        {0, StopBits::One}, {1, StopBits::OneAndHalf}, {2, StopBits::Two}};
    for (const auto& [value, kind] : stopBits)
        EXPECT_EQ(StopBitsFromFile(value), kind) << value;
    for (int value : {-1, 0, 1, 2, 3, 4, 7, 255, 65536}) {
        EXPECT_EQ(FileValue(InterfaceKindFromFile(value)), value);
        EXPECT_EQ(FileValue(StopBitsFromFile(value)), value);
    }
}

TEST(PortSettingsFileValues, ParityNamesAreExactAndUnknownParityShowsAsNone)
{
    const std::pair<const char*, std::optional<Parity>> names[] = {
        {"NONE", Parity::None}, {"ODD", Parity::Odd}, {"EVEN", Parity::Even}, {"odd", std::nullopt},
        {"Even", std::nullopt}, {"MARK", std::nullopt}, {"", std::nullopt},   {" ODD", std::nullopt}};
    for (const auto& [name, parity] : names)
        EXPECT_EQ(ParityFromName(QString::fromLatin1(name)), parity) << name;
    for (Parity parity : {Parity::None, Parity::Odd, Parity::Even})
        EXPECT_EQ(ParityFromName(ParityName(parity)), parity);
    EXPECT_EQ(ParityName(Parity{3}), "NONE");
    EXPECT_EQ(ParityName(Parity{-1}), "NONE");
}

TEST(PortSettingsFileValues, LoadingKeepsNumbersThatNameNoKind)
{
    struct Case {
        QByteArray communication;
        int interfaceValue;
        int stopBitsValue;
    };
    const Case cases[] = {
        {"INTERFACE=0\nPORTNAME=COM2\nSTOPBITS=5\n", 0, 5},    // the serial port refuses it when opened
        {"INTERFACE=0\nPORTNAME=COM2\nSTOPBITS=-2\n", 0, -2},
        {"INTERFACE=-1\nPORTNAME=Ethernet\nPORT=9100\n", -1, 0},  // loaded as Ethernet, kept as read
        {"INTERFACE=42\nPORTNAME=Ethernet\n", 42, 0},
    };
    CMessageRecorder messages;
    for (const Case& c : cases) {
        CTestDir dir;
        const QString path = dir.Path("NV.inf");
        WriteFileBytes(path, "[COMMUNICATION]\n" + c.communication);
        CurrentConfiguration state = MainWindowDefaults();
        LoadConfiguration(CProfileFile(path), state);
        EXPECT_EQ(FileValue(state.port.interfaceKind), c.interfaceValue) << c.communication.toStdString();
        EXPECT_EQ(FileValue(state.port.stopBits), c.stopBitsValue) << c.communication.toStdString();
    }
    EXPECT_TRUE(messages.Texts().isEmpty());
}

}  // namespace

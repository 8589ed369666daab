#include "config/current_configuration.h"

#include "config/config_test_files.h"
#include "config/model_file.h"
#include "config/model_info.h"
#include "operations/printer_kind_table.h"
#include "config/profile_file.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

const char kPortNameMissing[] = "Failed to load PortNmae";

// Loads the text as NV.inf over the main window's start-up state.
CurrentConfiguration LoadText(const QByteArray& text, CMessageRecorder& messages,
                              CurrentConfiguration state = MainWindowDefaults())
{
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, text);
    messages.Clear();
    LoadConfiguration(CProfileFile(path), state);
    return state;
}

TEST(CurrentConfiguration, MainWindowDefaultsAreTheStartUpValues)
{
    const CurrentConfiguration state = MainWindowDefaults();
    EXPECT_EQ(state.modelType.Number(), 1);
    EXPECT_EQ(state.port.portName, "COM1");
    EXPECT_EQ(state.port.timeouts, (PortTimeouts{0, 0, 0, 5, 3000}));
    EXPECT_EQ(state.port.baudRate, 9600);
    EXPECT_EQ(state.port.dataBits, 9);
    EXPECT_EQ(state.port.stopBits, StopBits::One);
    EXPECT_EQ(state.port.parity, Parity::None);
    EXPECT_EQ(state.port.receiveBufferSize, 8096);
    EXPECT_EQ(state.port.ipAddress, (std::array<quint8, 4>{0, 0, 0, 0}));
    EXPECT_EQ(state.port.tcpPort, 0);
}

TEST(CurrentConfiguration, MissingFileFallsBackToSerialCom1)
{
    CMessageRecorder messages;
    CTestDir dir;
    const CProfileFile file(dir.Path("NV.inf"));
    CurrentConfiguration state = MainWindowDefaults();
    LoadConfiguration(file, state);

    EXPECT_EQ(messages.Texts(), QStringList{kPortNameMissing});
    EXPECT_EQ(messages.Requests().at(0).icon, MessageIcon::None);
    EXPECT_EQ(ReadDescription(file), "");
    EXPECT_EQ(state.modelType.Number(), 0);
    EXPECT_EQ(ModelTypeText(state.modelType), "DOT MODE");
    EXPECT_EQ(state.modelName, "");
    EXPECT_EQ(state.receiptWidth, 0);
    EXPECT_EQ(state.downMax, 0);
    EXPECT_EQ(state.memorySize, 0);
    EXPECT_EQ(state.port.interfaceKind, InterfaceKind::Serial);
    EXPECT_EQ(state.port.portName, "COM1");
    EXPECT_EQ(state.port.baudRate, 19200);
    EXPECT_EQ(state.port.dataBits, 8);
    EXPECT_EQ(state.port.parity, Parity::None);
    EXPECT_EQ(state.port.stopBits, StopBits::One);
    EXPECT_EQ(state.port.receiveBufferSize, 8192);
    EXPECT_EQ(state.port.timeouts, (PortTimeouts{0, 0, 0, 5, 3000}));
    EXPECT_EQ(state.portNameText, "");
}

TEST(CurrentConfiguration, MissingPortNameOverridesTheInterface)
{
    CMessageRecorder messages;
    const CurrentConfiguration state = LoadText(
        "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=\nBAUDRATE=38400\nPARITY=EVEN\nIP1=10\nPORT=9100\n", messages);
    EXPECT_EQ(messages.Texts(), QStringList{kPortNameMissing});
    EXPECT_EQ(state.port.interfaceKind, InterfaceKind::Serial);
    EXPECT_EQ(state.port.portName, "COM1");
    EXPECT_EQ(state.port.baudRate, 38400);
    EXPECT_EQ(state.port.parity, Parity::Even);
    EXPECT_EQ(state.port.ipAddress, (std::array<quint8, 4>{0, 0, 0, 0}));  // not read
    EXPECT_EQ(state.port.tcpPort, 0);
}

TEST(CurrentConfiguration, SerialReadsEveryLineSetting)
{
    CMessageRecorder messages;
    const CurrentConfiguration state = LoadText(
        "[COMMON]\nModelName=TX-200\nMODELTYPE=2\nRECEIPTWIDTH=576\nDOWNMAX=50\nMEMORYSIZE=384\n"
        "[COMMUNICATION]\nINTERFACE=0\nPORTNAME=COM3\nBAUDRATE=115200\nDATABITS=7\nPARITY=ODD\nSTOPBITS=2\n"
        "IP1=1\nPORT=80\n",
        messages);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(state.modelName, "TX-200");
    EXPECT_EQ(state.modelType.Number(), 2);
    EXPECT_EQ(state.receiptWidth, 576);
    EXPECT_EQ(state.downMax, 50);
    EXPECT_EQ(state.memorySize, 384);
    EXPECT_EQ(state.port.interfaceKind, InterfaceKind::Serial);
    EXPECT_EQ(state.port.portName, "COM3");
    EXPECT_EQ(state.port.baudRate, 115200);
    EXPECT_EQ(state.port.dataBits, 7);
    EXPECT_EQ(state.port.parity, Parity::Odd);
    EXPECT_EQ(state.port.stopBits, StopBits::Two);
    EXPECT_EQ(state.port.receiveBufferSize, 8192);
    EXPECT_EQ(state.port.ipAddress, (std::array<quint8, 4>{0, 0, 0, 0}));
    EXPECT_EQ(state.port.tcpPort, 0);
    EXPECT_EQ(state.portNameText, "COM3");
}

TEST(CurrentConfiguration, ParityIsComparedExactly)
{
    struct Case {
        const char* text;
        Parity expected;
    };
    const Case cases[] = {
        {"NONE", Parity::None}, {"ODD", Parity::Odd}, {"EVEN", Parity::Even}, {"odd", Parity::None},
        {"Even", Parity::None}, {"MARK", Parity::None}, {"", Parity::None}, {" ODD ", Parity::Odd},  // values are trimmed
    };
    CMessageRecorder messages;
    for (const Case& c : cases) {
        // Start from a parity the file has to overwrite.
        CurrentConfiguration before = MainWindowDefaults();
        before.port.parity = Parity::Even;
        const CurrentConfiguration state = LoadText(
            QByteArray("[COMMUNICATION]\nINTERFACE=0\nPORTNAME=COM1\nPARITY=") + c.text + "\n", messages, before);
        EXPECT_EQ(state.port.parity, c.expected) << "PARITY=" << c.text;
    }
}

TEST(CurrentConfiguration, ModelTypeKeyIgnoresCase)
{
    CMessageRecorder messages;
    for (const char* key : {"MODELTYPE", "ModelType", "modeltype"}) {
        const CurrentConfiguration state =
            LoadText(QByteArray("[COMMON]\n") + key + "=2\n[COMMUNICATION]\nPORTNAME=COM1\n", messages);
        EXPECT_EQ(state.modelType.Number(), 2) << key;
        EXPECT_EQ(ModelTypeText(state.modelType), "2 Color thermal") << key;
    }
    const CurrentConfiguration seven = LoadText("[COMMON]\nModelType=7\n[COMMUNICATION]\nPORTNAME=COM1\n", messages);
    EXPECT_EQ(ModelTypeText(seven.modelType), "1 Color thermal");
}

// Parallel and USB take their port and keep the serial settings they do not
// read at the start-up values, odd as they are. USB takes the device path
// (USBPORT, "NONE" when discovery found none) and shows PORTNAME.
TEST(CurrentConfiguration, ParallelAndUsbTakeTheirPortAndKeepTheSerialSettings)
{
    struct Case {
        QByteArray communication;
        QStringList messages;
        InterfaceKind kind;
        const char* portName;
        int receiveBuffer;
        const char* portNameText;
    };
    const Case cases[] = {
        {"INTERFACE=1\nPORTNAME=LPT2\nBAUDRATE=38400\nDATABITS=7\nPARITY=EVEN\nSTOPBITS=2\n", {},
         InterfaceKind::Parallel, "LPT2", 8192, "LPT2"},
        {"INTERFACE=2\nPORTNAME=USB001:\nUSBPORT=/dev/usb/lp0\n", {}, InterfaceKind::Usb, "/dev/usb/lp0", 4096,
         "USB001:"},
        {"INTERFACE=2\nPORTNAME=USB000:\nUSBPORT=NONE\n", {}, InterfaceKind::Usb, "NONE", 4096, "USB000:"},
        {"INTERFACE=2\nPORTNAME=USB001:\n", {kPortNameMissing}, InterfaceKind::Usb, "", 4096, "USB001:"},
    };
    CMessageRecorder messages;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.communication.toStdString());
        const CurrentConfiguration state = LoadText("[COMMUNICATION]\n" + c.communication, messages);
        EXPECT_EQ(messages.Texts(), c.messages);
        EXPECT_EQ(state.port.interfaceKind, c.kind);
        EXPECT_EQ(state.port.portName, c.portName);
        EXPECT_EQ(state.port.receiveBufferSize, c.receiveBuffer);
        EXPECT_EQ(state.portNameText, c.portNameText);
        EXPECT_EQ(state.port.baudRate, 9600);
        EXPECT_EQ(state.port.dataBits, 9);
        EXPECT_EQ(state.port.parity, Parity::None);
        EXPECT_EQ(state.port.stopBits, StopBits::One);
    }
}

TEST(CurrentConfiguration, EthernetReadsAddressAndPortAndKeepsThePortName)
{
    CMessageRecorder messages;
    const CurrentConfiguration state = LoadText(
        "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=192\nIP2=168\nIP3=0\nIP4=10\nPORT=9100\n"
        "BAUDRATE=38400\n",
        messages);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(state.port.interfaceKind, InterfaceKind::Ethernet);
    EXPECT_EQ(state.port.ipAddress, (std::array<quint8, 4>{192, 168, 0, 10}));
    EXPECT_EQ(FormatIpAddress(state.port.ipAddress), "192.168.0.10");
    EXPECT_EQ(state.port.tcpPort, 9100);
    EXPECT_EQ(state.port.receiveBufferSize, 8192);
    EXPECT_EQ(state.port.portName, "COM1");  // the previous value, not "Ethernet"
    EXPECT_EQ(state.port.baudRate, 9600);    // not read for Ethernet
    EXPECT_EQ(state.portNameText, "Ethernet");
}

TEST(CurrentConfiguration, OtherInterfaceValuesAreLoadedAsEthernet)
{
    CMessageRecorder messages;
    CurrentConfiguration before = MainWindowDefaults();
    before.port.portName = "LPT1";
    const CurrentConfiguration state = LoadText(
        "[COMMUNICATION]\nINTERFACE=7\nPORTNAME=COM2\nIP1=300\nIP2=-1\nIP3=x\nPORT=515\n", messages, before);
    EXPECT_EQ(state.port.interfaceKind, InterfaceKind{7});  // kept as read
    // Octets keep the low 8 bits; a missing or non-numeric octet reads 0.
    EXPECT_EQ(state.port.ipAddress, (std::array<quint8, 4>{44, 255, 0, 0}));
    EXPECT_EQ(state.port.tcpPort, 515);
    EXPECT_EQ(state.port.portName, "LPT1");
}

TEST(CurrentConfiguration, ReloadingOverAnEarlierLoadKeepsWhatTheNewBranchDoesNotRead)
{
    CMessageRecorder messages;
    const CurrentConfiguration serial = LoadText(
        "[COMMUNICATION]\nINTERFACE=0\nPORTNAME=COM4\nBAUDRATE=57600\nPARITY=EVEN\n", messages);
    const CurrentConfiguration ethernet = LoadText(
        "[COMMUNICATION]\nINTERFACE=3\nPORTNAME=Ethernet\nIP1=10\nIP2=0\nIP3=0\nIP4=2\nPORT=9100\n", messages, serial);
    EXPECT_EQ(ethernet.port.portName, "COM4");
    EXPECT_EQ(ethernet.port.baudRate, 57600);
    EXPECT_EQ(ethernet.port.parity, Parity::Even);
    EXPECT_EQ(FormatIpAddress(ethernet.port.ipAddress), "10.0.0.2");
}

TEST(CurrentConfiguration, SampleFileLoadsWithoutMessages)
{
    CMessageRecorder messages;
    CurrentConfiguration state = MainWindowDefaults();
    LoadConfiguration(CProfileFile(QStringLiteral(MARKOGRAPH_SAMPLES_DIR "/NV.inf")), state);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(state.modelName, "TX-100");
    EXPECT_EQ(state.modelType, PrinterKind::Mono);
    EXPECT_EQ(state.port.interfaceKind, InterfaceKind::Ethernet);
    EXPECT_EQ(FormatIpAddress(state.port.ipAddress), "127.0.0.1");
    EXPECT_EQ(state.port.tcpPort, 9100);
}

TEST(CurrentConfiguration, ModelFilePathLiesBesideTheExecutable)
{
    EXPECT_EQ(ModelFilePath(), QCoreApplication::applicationDirPath() + "/NV.inf");
}

// What the configuration dialog writes, one interface at a time, is what the
// main window then loads.
struct RoundTripCase {
    const char* name;
    int interfaceKind;  // INTERFACE as the file holds it
    std::vector<std::pair<const char*, QString>> communication;  // written after INTERFACE, in order
    PortSettings expected;   // the fields the interface loads
    QString portNameText;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class CurrentConfigurationRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(CurrentConfigurationRoundTrip, DialogWritesReadBack)
{
    const RoundTripCase& c = GetParam();
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    WriteFileBytes(path, ReadFileBytes(QStringLiteral(MARKOGRAPH_SAMPLES_DIR "/NV.inf")));
    const QByteArray comments = ReadFileBytes(path).left(ReadFileBytes(path).indexOf("\n[COMMON]"));

    {
        // The order of SaveSettings: COMMON first, then INTERFACE, then the interface's keys.
        CProfileFile dialog(path);
        const ModelInfo model{"TX-200", 15, CModelType::FromNumber(2), 576, 50, 384};
        QString error;
        ASSERT_TRUE(dialog.WriteString(kSectionCommon, kKeyModelName, model.modelName, &error)) << error.toStdString();
        ASSERT_TRUE(dialog.WriteInt(kSectionCommon, kKeyModelType, model.modelType.Number(), &error));
        ASSERT_TRUE(dialog.WriteInt(kSectionCommon, kKeyReceiptWidth, model.receiptWidth, &error));
        ASSERT_TRUE(dialog.WriteInt(kSectionCommon, kKeyMemorySize, model.memorySize, &error));
        ASSERT_TRUE(dialog.WriteInt(kSectionCommon, kKeyDownMax, model.downMax, &error));
        ASSERT_TRUE(dialog.WriteInt(kSectionCommunication, kKeyInterface, c.interfaceKind, &error));
        for (const auto& [key, value] : c.communication)
            ASSERT_TRUE(dialog.WriteString(kSectionCommunication, key, value, &error)) << key;
    }

    CMessageRecorder messages;
    const CProfileFile file(path);
    CurrentConfiguration state = MainWindowDefaults();
    LoadConfiguration(file, state);
    EXPECT_TRUE(messages.Texts().isEmpty());
    EXPECT_EQ(state.modelName, "TX-200");
    EXPECT_EQ(state.modelType.Number(), 2);
    EXPECT_EQ(state.receiptWidth, 576);
    EXPECT_EQ(state.memorySize, 384);
    EXPECT_EQ(state.downMax, 50);
    EXPECT_EQ(state.port, c.expected);
    EXPECT_EQ(state.portNameText, c.portNameText);
    for (const auto& [key, value] : c.communication)
        EXPECT_EQ(file.ReadString(kSectionCommunication, key), value) << key;

    // The catalogue, the description and the comments are untouched.
    EXPECT_EQ(ReadDescription(file), "Markograph ver 3.1.1");
    EXPECT_EQ(ReadModelCatalogue(file), ReadModelCatalogue(CProfileFile(MARKOGRAPH_SAMPLES_DIR "/NV.inf")));
    EXPECT_TRUE(ReadFileBytes(path).startsWith(comments));
}

PortSettings Expected(int kind, const char* portName, int baud, int dataBits, int stopBits, Parity parity, int buffer,
                      std::array<quint8, 4> ip, int tcpPort)
{
    PortSettings port;
    port.interfaceKind = InterfaceKindFromFile(kind);
    port.portName = portName;
    port.baudRate = baud;
    port.dataBits = dataBits;
    port.stopBits = StopBitsFromFile(stopBits);
    port.parity = parity;
    port.receiveBufferSize = buffer;
    port.ipAddress = ip;
    port.tcpPort = tcpPort;
    return port;
}

// The sample holds IP 127.0.0.1:9100, so branches that do not read the
// address show it only when they are Ethernet; the rest keep the defaults.
INSTANTIATE_TEST_SUITE_P(
    Interfaces, CurrentConfigurationRoundTrip,
    ::testing::Values(
        RoundTripCase{"Serial",
                      0,
                      {{kKeyPortName, "COM5"},
                       {kKeyBaudRate, "115200"},
                       {kKeyParity, "EVEN"},
                       {kKeyDataBits, "8"},
                       {kKeyStopBits, "0"}},
                      Expected(0, "COM5", 115200, 8, 0, Parity::Even, 8192, {0, 0, 0, 0}, 0),
                      "COM5"},
        RoundTripCase{"Parallel", 1, {{kKeyPortName, "LPT3"}},
                      Expected(1, "LPT3", 9600, 9, 0, Parity::None, 8192, {0, 0, 0, 0}, 0), "LPT3"},
        RoundTripCase{"Usb", 2, {{kKeyPortName, "USB002:"}, {kKeyUsbPort, "/dev/usb/lp1"}},
                      Expected(2, "/dev/usb/lp1", 9600, 9, 0, Parity::None, 4096, {0, 0, 0, 0}, 0), "USB002:"},
        RoundTripCase{"Ethernet",
                      3,
                      {{kKeyPortName, "Ethernet"},
                       {kKeyIp1, "192"},
                       {kKeyIp2, "168"},
                       {kKeyIp3, "0"},
                       {kKeyIp4, "10"},
                       {kKeyTcpPort, "9100"}},
                      Expected(3, "COM1", 9600, 9, 0, Parity::None, 8192, {192, 168, 0, 10}, 9100),
                      "Ethernet"}),
    [](const ::testing::TestParamInfo<RoundTripCase>& param) { return std::string(param.param.name); });

}  // namespace

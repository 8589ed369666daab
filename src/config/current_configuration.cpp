#include "config/current_configuration.h"

#include "config/model_file.h"
#include "config/model_info.h"
#include "config/profile_file.h"
#include "framework/message_box.h"
#include "framework/outcome.h"

namespace {

// The message operators know, typo and all.
const char* const kPortNameMissing = "Failed to load PortNmae";

void LoadSerialSettings(const CProfileFile& file, const QString& portName, PortSettings& port)
{
    port.portName = portName;
    port.baudRate = file.ReadInt(kSectionCommunication, kKeyBaudRate, 19200);
    port.dataBits = file.ReadInt(kSectionCommunication, kKeyDataBits, 8);
    // "NONE", and whatever else is there ("odd" included), is no parity.
    port.parity = ParityFromName(file.ReadString(kSectionCommunication, kKeyParity)).value_or(Parity::None);
    port.stopBits = StopBitsFromFile(file.ReadInt(kSectionCommunication, kKeyStopBits, 0));
    port.receiveBufferSize = kReceiveBufferDefault;
}

void LoadUsbSettings(const CProfileFile& file, PortSettings& port)
{
    // The device path found by discovery; "NONE" when there was none, which
    // is taken as it is and fails when the port is opened.
    const QString devicePath = file.ReadString(kSectionCommunication, kKeyUsbPort);
    if (devicePath.isEmpty())
        ShowOutcome(Outcome::Failure(kPortNameMissing));
    port.portName = devicePath;
    port.receiveBufferSize = kReceiveBufferUsb;
}

void LoadEthernetSettings(const CProfileFile& file, PortSettings& port)
{
    port.receiveBufferSize = kReceiveBufferDefault;
    // Stored as octets: a value beyond 255 keeps its low 8 bits, as the
    // original BYTE assignment did.
    port.ipAddress[0] = static_cast<quint8>(file.ReadInt(kSectionCommunication, kKeyIp1, 0));
    port.ipAddress[1] = static_cast<quint8>(file.ReadInt(kSectionCommunication, kKeyIp2, 0));
    port.ipAddress[2] = static_cast<quint8>(file.ReadInt(kSectionCommunication, kKeyIp3, 0));
    port.ipAddress[3] = static_cast<quint8>(file.ReadInt(kSectionCommunication, kKeyIp4, 0));
    port.tcpPort = file.ReadInt(kSectionCommunication, kKeyTcpPort, 0);
}

}  // namespace

CurrentConfiguration MainWindowDefaults()
{
    CurrentConfiguration state;
    state.modelType = PrinterKind::Mono;
    state.port.portName = QStringLiteral("COM1");
    state.port.timeouts = PortTimeouts{};
    state.port.baudRate = 9600;
    state.port.dataBits = 9;
    state.port.stopBits = StopBits::One;
    state.port.parity = Parity::None;
    state.port.receiveBufferSize = 8096;
    state.port.ipAddress = {0, 0, 0, 0};
    state.port.tcpPort = 0;
    return state;
}

void LoadConfiguration(const CProfileFile& file, CurrentConfiguration& state)
{
    // The main window asks for MODELTYPE, the dialog writes ModelType: one key.
    state.modelType = CModelType::FromNumber(file.ReadInt(kSectionCommon, "MODELTYPE", 0));
    state.port.interfaceKind = InterfaceKindFromFile(file.ReadInt(kSectionCommunication, kKeyInterface, 0));
    state.receiptWidth = file.ReadInt(kSectionCommon, kKeyReceiptWidth, 0);
    state.downMax = file.ReadInt(kSectionCommon, kKeyDownMax, 0);
    state.memorySize = file.ReadInt(kSectionCommon, kKeyMemorySize, 0);
    state.modelName = file.ReadString(kSectionCommon, kKeyModelName);

    QString portName = file.ReadString(kSectionCommunication, kKeyPortName);
    if (portName.isEmpty()) {
        ShowOutcome(Outcome::Failure(kPortNameMissing));
        state.port.interfaceKind = InterfaceKind::Serial;
        portName = QStringLiteral("COM1");
    }

    switch (state.port.interfaceKind) {
    case InterfaceKind::Serial:
        LoadSerialSettings(file, portName, state.port);
        break;
    case InterfaceKind::Parallel:
        state.port.portName = portName;
        state.port.receiveBufferSize = kReceiveBufferDefault;
        break;
    case InterfaceKind::Usb:
        LoadUsbSettings(file, state.port);
        break;
    default:  // Ethernet, and any number that names no kind
        LoadEthernetSettings(file, state.port);
        break;
    }

    state.portNameText = file.ReadString(kSectionCommunication, kKeyPortName);
}

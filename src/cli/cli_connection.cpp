#include "cli/cli_connection.h"

#include "cli/cli_common.h"
#include "config/current_configuration.h"
#include "config/profile_file.h"
#include "transport/printer_connection.h"
#include "transport/printer_port.h"
#include "transport/socket_stream.h"

#include <QFileInfo>

namespace {

bool ApplyHost(const QString& text, PortSettings& settings)
{
    QString reason;
    const std::optional<quint32> address = ParseIpv4Address(text, &reason);
    if (!address) {
        PrintError(reason.isEmpty() ? QStringLiteral("--host takes an IPv4 address such as 127.0.0.1, not '%1'.").arg(text)
                                    : reason);
        return false;
    }
    const quint32 value = *address;
    settings.ipAddress = {static_cast<quint8>(value >> 24), static_cast<quint8>(value >> 16),
                          static_cast<quint8>(value >> 8), static_cast<quint8>(value)};
    settings.interfaceKind = InterfaceKind::Ethernet;
    return true;
}

}  // namespace

void AddConnectionOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {"interface", "serial, parallel, usb or ethernet (default: the model file's).", "kind"},
        {"port", "COM1..COM11, LPT1..LPT5, or a device path such as /dev/ttyUSB0 or /dev/usb/lp0.", "name"},
        {"host", "The printer's IPv4 address (implies --interface ethernet).", "address"},
        {"tcp-port", "The printer's TCP port (default: the model file's).", "port"},
        {"baud", "Serial baud rate.", "rate"},
        {"parity", "Serial parity: NONE, ODD or EVEN.", "parity"},
    });
}

std::optional<PortSettings> ResolveConnection(const QCommandLineParser& parser, int* exitCode)
{
    *exitCode = kExitUsage;
    CurrentConfiguration state = MainWindowDefaults();
    const QString path = ModelFileOption(parser);
    const bool explicitTarget = parser.isSet("host") || parser.isSet("port");
    if (QFileInfo(path).isFile() && !explicitTarget)
        LoadConfiguration(CProfileFile(path), state);
    PortSettings settings = state.port;
    if (!explicitTarget && !QFileInfo(path).isFile()) {
        PrintError(QStringLiteral("Cannot read the model file %1. Name one with --nv-inf, or name the printer "
                                  "with --host or --port.").arg(path));
        *exitCode = kExitFailed;
        return std::nullopt;
    }
    if (parser.isSet("port")) {
        settings.portName = parser.value("port");
        settings.interfaceKind = CPrinterPort::KindForPortName(settings.portName);
        settings.baudRate = 19200;
        settings.dataBits = 8;
        settings.stopBits = StopBits::One;
        settings.parity = Parity::None;
    }
    if (parser.isSet("host") && !ApplyHost(parser.value("host"), settings))
        return std::nullopt;
    if (parser.isSet("interface")) {
        const QStringList kinds{"serial", "parallel", "usb", "ethernet"};
        const int kind = static_cast<int>(kinds.indexOf(parser.value("interface").toLower()));
        if (kind < 0) {
            PrintError("--interface takes serial, parallel, usb or ethernet.");
            return std::nullopt;
        }
        settings.interfaceKind = InterfaceKindFromFile(kind);
    }
    bool ok = true;
    if (parser.isSet("host") && settings.tcpPort == 0)
        settings.tcpPort = 9100;  // the usual raw printing port
    settings.tcpPort = IntOption(parser, "tcp-port", settings.tcpPort, 1, 65535, &ok);
    settings.baudRate = IntOption(parser, "baud", settings.baudRate, 1, 4000000, &ok);
    if (parser.isSet("parity")) {
        const std::optional<Parity> parity = ParityFromName(parser.value("parity").toUpper());
        if (!parity) {
            PrintError("--parity takes NONE, ODD or EVEN.");
            return std::nullopt;
        }
        settings.parity = *parity;
    }
    if (!ok)
        return std::nullopt;
    settings.receiveBufferSize = CapabilitiesOf(settings.interfaceKind).receiveBufferSize;
    *exitCode = kExitOk;
    return settings;
}

QString DescribeConnection(const PortSettings& settings)
{
    switch (settings.interfaceKind) {
    case InterfaceKind::Serial:
        return QStringLiteral("Serial %1 %2").arg(settings.portName).arg(settings.baudRate);
    case InterfaceKind::Parallel:
        return QStringLiteral("Parallel %1").arg(settings.portName);
    case InterfaceKind::Usb:
        return QStringLiteral("USB %1").arg(settings.portName);
    default:
        return QStringLiteral("Ethernet %1:%2").arg(FormatIpAddress(settings.ipAddress)).arg(settings.tcpPort);
    }
}

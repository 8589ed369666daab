#include "fleet/fleet_target.h"

#include "framework/regular_file.h"
#include "framework/utf8_text.h"
#include "transport/port_names.h"
#include "transport/printer_connection.h"

#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QRegularExpression>

namespace {

// The interface a port name stands for, as the port facade decides it.
InterfaceKind InterfaceOfPort(const QString& name)
{
    if (name.startsWith("COM") || IsSerialDevicePath(name))
        return InterfaceKind::Serial;
    if (name.startsWith("LPT") || name.startsWith("/dev/lp"))
        return InterfaceKind::Parallel;
    return InterfaceKind::Usb;
}

bool IsPortName(const QString& text)
{
    static const QRegularExpression numbered("^(COM|LPT)[1-9][0-9]?$");
    return text.startsWith('/') || numbered.match(text).hasMatch();
}

std::optional<FleetTarget> ParsePort(const QString& name, const PortSettings& base)
{
    FleetTarget target;
    target.label = name;
    target.settings = base;
    target.settings.portName = name;
    target.settings.interfaceKind = InterfaceOfPort(name);
    target.settings.receiveBufferSize = CapabilitiesOf(target.settings.interfaceKind).receiveBufferSize;
    return target;
}

std::optional<FleetTarget> ParseHost(const QString& text, const PortSettings& base, int defaultTcpPort,
                                     QString* error)
{
    const qsizetype colon = text.indexOf(':');
    const QString host = colon < 0 ? text : text.left(colon);
    int port = defaultTcpPort;
    if (colon >= 0) {
        bool number = false;
        port = text.mid(colon + 1).toInt(&number);
        if (!number || port < 1 || port > 65535) {
            *error = QStringLiteral("'%1' has no TCP port from 1 to 65535 after the colon").arg(text);
            return std::nullopt;
        }
    }
    QHostAddress address;
    if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv4Protocol ||
        host.count('.') != 3) {
        *error = QStringLiteral("'%1' is neither an IPv4 address (such as 192.168.0.20 or 192.168.0.20:9100) "
                                "nor a device path").arg(text);
        return std::nullopt;
    }
    const quint32 value = address.toIPv4Address();
    FleetTarget target;
    target.settings = base;
    target.settings.interfaceKind = InterfaceKind::Ethernet;
    target.settings.ipAddress = {static_cast<quint8>(value >> 24), static_cast<quint8>(value >> 16),
                                 static_cast<quint8>(value >> 8), static_cast<quint8>(value)};
    target.settings.tcpPort = port;
    target.label = QStringLiteral("%1:%2").arg(FormatIpAddress(target.settings.ipAddress)).arg(port);
    return target;
}

}  // namespace

std::optional<FleetTarget> ParseHostsLine(const QString& line, const PortSettings& base, int defaultTcpPort,
                                          QString* error)
{
    const QString text = line.trimmed();
    const qsizetype space = text.indexOf(QRegularExpression("\\s"));
    const QString first = space < 0 ? text : text.left(space);
    std::optional<FleetTarget> target = IsPortName(first) ? ParsePort(first, base)
                                                          : ParseHost(first, base, defaultTcpPort, error);
    if (target && space >= 0)
        target->model = text.mid(space).trimmed();
    return target;
}

std::optional<std::vector<FleetTarget>> ReadHostsFile(const QString& path, const PortSettings& base,
                                                      int defaultTcpPort, QStringList* errors)
{
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, file, &reason)) {
        errors->append(QStringLiteral("Cannot read the hosts file %1: %2").arg(path, reason));
        return std::nullopt;
    }
    std::vector<FleetTarget> targets;
    QHash<QString, int> seen;  // label -> line
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QByteArray bytes = file.readLine();
        std::optional<QString> decoded = DecodeUtf8(bytes);
        if (!decoded) {
            // A device path read as another name would reach another device.
            errors->append(QStringLiteral("%1:%2: the line is not UTF-8 text (%3)")
                               .arg(path).arg(lineNumber).arg(ShowBytes(bytes.trimmed())));
            continue;
        }
        QString line = std::move(*decoded);
        const qsizetype hash = line.indexOf('#');
        if (hash >= 0)
            line.truncate(hash);
        if (line.trimmed().isEmpty())
            continue;
        QString error;
        std::optional<FleetTarget> target = ParseHostsLine(line, base, defaultTcpPort, &error);
        if (target && seen.contains(target->label))
            error = QStringLiteral("%1 is already named on line %2").arg(target->label).arg(seen[target->label]);
        if (!error.isEmpty()) {
            errors->append(QStringLiteral("%1:%2: %3").arg(path).arg(lineNumber).arg(error));
            continue;
        }
        target->line = lineNumber;
        seen.insert(target->label, lineNumber);
        targets.push_back(*target);
    }
    if (targets.empty() && errors->isEmpty())
        errors->append(QStringLiteral("%1 names no printer: write one HOST[:PORT] or device path a line.").arg(path));
    if (!errors->isEmpty())
        return std::nullopt;
    return targets;
}

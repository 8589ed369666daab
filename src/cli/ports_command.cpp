#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_json.h"
#include "config/profile_file.h"
#include "config/usb_discovery.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

int RunPortsCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOptions({
        {"nv-inf", "The model file, for the USB vendor ids (default: the one the desktop program uses).", "path"},
        {"sysfs", "Where sysfs is mounted (default /sys).", "path"},
        {"json", "Print {\"ports\": [{\"name\", \"device\", \"interface\"}]} instead (interface: serial, "
                 "parallel or usb); the USB search's trace goes to standard error."},
    });
    if (auto done = ParseCommandLine(parser, args, "Lists the ports a printer can be reached on: the serial and "
                                                   "parallel devices present, and the USB printers found, with "
                                                   "the names the configuration uses."))
        return *done;
    const QString modelFile = ModelFileOption(parser);
    const QStringList vendorIds = QFileInfo(modelFile).isFile() ? ReadUsbVendorIds(CProfileFile(modelFile))
                                                                : QStringList();
    QJsonArray ports;
    const bool json = parser.isSet("json");
    auto report = [&](const QString& name, const QString& device, const char* kind) {
        if (json)
            ports.append(QJsonObject{{"name", name}, {"device", device}, {"interface", kind}});
        else
            PrintOut(QStringLiteral("%1\t%2").arg(name, device));
    };
    for (int n = 1; n <= 11; ++n) {
        const QString device = QStringLiteral("/dev/ttyS%1").arg(n - 1);
        if (QFileInfo::exists(device))
            report(QStringLiteral("COM%1").arg(n), device, "serial");
    }
    for (const QString& name : QDir("/dev").entryList({"ttyUSB*", "ttyACM*"}, QDir::System))
        report("/dev/" + name, "/dev/" + name, "serial");
    for (int n = 1; n <= 5; ++n) {
        const QString device = QStringLiteral("/dev/lp%1").arg(n - 1);
        if (QFileInfo::exists(device))
            report(QStringLiteral("LPT%1").arg(n), device, "parallel");
    }
    // Discovery traces its attempts on standard output, as it always does;
    // with --json on standard error, so that the output stays one document.
    const QString sysfs = parser.value("sysfs").isEmpty() ? "/sys" : parser.value("sysfs");
    for (const UsbPortEntry& entry : EnumerateUsbPrinters(sysfs, vendorIds, QStringLiteral("/dev"), json ? stderr : stdout))
        report(entry.portName, entry.devicePath, "usb");
    if (json)
        PrintJson(QJsonObject{{"ports", ports}});
    return kExitOk;
}

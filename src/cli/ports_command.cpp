#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "config/profile_file.h"
#include "config/usb_discovery.h"

#include <QDir>
#include <QFileInfo>

int RunPortsCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOptions({
        {"nv-inf", "The model file, for the USB vendor ids (default: the one the desktop program uses).", "path"},
        {"sysfs", "Where sysfs is mounted (default /sys).", "path"},
    });
    if (auto done = ParseCommandLine(parser, args, "Lists the ports a printer can be reached on: the serial and "
                                                   "parallel devices present, and the USB printers found, with "
                                                   "the names the configuration uses."))
        return *done;
    const QString modelFile = ModelFileOption(parser);
    const QStringList vendorIds = QFileInfo(modelFile).isFile() ? ReadUsbVendorIds(CProfileFile(modelFile))
                                                                : QStringList();
    for (int n = 1; n <= 11; ++n) {
        const QString device = QStringLiteral("/dev/ttyS%1").arg(n - 1);
        if (QFileInfo::exists(device))
            PrintOut(QStringLiteral("COM%1\t%2").arg(n).arg(device));
    }
    for (const QString& name : QDir("/dev").entryList({"ttyUSB*", "ttyACM*"}, QDir::System))
        PrintOut(QStringLiteral("/dev/%1\t/dev/%1").arg(name));
    for (int n = 1; n <= 5; ++n) {
        const QString device = QStringLiteral("/dev/lp%1").arg(n - 1);
        if (QFileInfo::exists(device))
            PrintOut(QStringLiteral("LPT%1\t%2").arg(n).arg(device));
    }
    // Discovery traces its attempts on standard output, as it always does.
    for (const UsbPortEntry& entry : EnumerateUsbPrinters(parser.value("sysfs").isEmpty() ? "/sys"
                                                                                          : parser.value("sysfs"),
                                                          vendorIds))
        PrintOut(QStringLiteral("%1\t%2").arg(entry.portName, entry.devicePath));
    return kExitOk;
}

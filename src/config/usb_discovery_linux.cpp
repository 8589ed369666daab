#include "config/usb_discovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace {

// lpN nodes of the printer class, by N.
std::map<int, QString> PrinterNodes(const QString& sysfsRoot)
{
    std::map<int, QString> nodes;
    static const QRegularExpression lpName(QStringLiteral("^lp(\\d{1,6})$"));
    const QDir classDir(sysfsRoot + QStringLiteral("/class/usbmisc"));
    for (const QString& name : classDir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = lpName.match(name);
        if (match.hasMatch())
            nodes.emplace(match.captured(1).toInt(), classDir.filePath(name));
    }
    return nodes;
}

// idVendor of the USB device above the printer interface: the node's device
// link leads to the interface, whose parent folder is the device. Stays
// inside sysfsRoot. Empty when there is none.
QString VendorIdOf(const QString& node, const QString& sysfsRoot)
{
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    QString folder = QFileInfo(node + QStringLiteral("/device")).canonicalFilePath();
    for (int depth = 0; depth < 32 && !folder.isEmpty() && folder.startsWith(root); ++depth) {
        QFile file(folder + QStringLiteral("/idVendor"));
        if (file.open(QIODevice::ReadOnly))
            return QString::fromLatin1(file.read(16)).trimmed();
        if (folder == root)
            break;
        folder = QFileInfo(folder).path();
    }
    return {};
}

bool CanOpen(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

void Trace(std::FILE* trace, const char* format, const QString& path)
{
    if (!trace)
        return;
    std::fprintf(trace, format, QFile::encodeName(path).constData());
    std::fflush(trace);
}

}  // namespace

std::vector<UsbPortEntry> EnumerateUsbPrinters(const QString& sysfsRoot, const QStringList& vendorIds,
                                               const QString& deviceRoot, std::FILE* trace)
{
    const std::map<int, QString> nodes = PrinterNodes(sysfsRoot);
    const int lastIndex = nodes.empty() ? -1 : nodes.rbegin()->first;
    return CollectUsbPrinters([&](int index) -> UsbInterfaceProbe {
        if (index > lastIndex)
            return {UsbInterfaceProbe::NoMoreInterfaces, {}};
        const auto node = nodes.find(index);
        if (node == nodes.end())
            return {UsbInterfaceProbe::NotAPrinter, {}};
        const QString path = deviceRoot + QStringLiteral("/usb/lp%1").arg(index);
        Trace(trace, "Attempting to open %s\n", path);
        if (!vendorIds.isEmpty() && !vendorIds.contains(VendorIdOf(node->second, sysfsRoot)))
            return {UsbInterfaceProbe::NotAPrinter, {}};
        if (!CanOpen(path)) {
            Trace(trace, "FAILED to open %s\n", path);
            return {UsbInterfaceProbe::NotAPrinter, {}};
        }
        return {UsbInterfaceProbe::Printer, path};
    });
}

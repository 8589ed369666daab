#include "config/usb_discovery.h"

#include "config/profile_file.h"

#include <algorithm>

QStringList ReadUsbVendorIds(const CProfileFile& file)
{
    QStringList ids;
    const QString text = file.ReadString(QString::fromLatin1(kSectionUsb), QString::fromLatin1(kKeyVendorIds));
    for (const QString& part : text.split(u',')) {
        const QString id = part.trimmed().toLower();
        const bool hex = id.size() == 4 && std::all_of(id.begin(), id.end(), [](QChar c) {
                             return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
                         });
        if (hex && !ids.contains(id))
            ids.append(id);
    }
    return ids;
}

std::vector<UsbPortEntry> CollectUsbPrinters(const std::function<UsbInterfaceProbe(int index)>& probe)
{
    std::vector<UsbPortEntry> entries;
    int batchStart = 0;
    int batchEnd = 8;  // exclusive
    for (;;) {
        for (int index = batchStart; index < batchEnd; ++index) {
            const UsbInterfaceProbe found = probe(index);
            if (found.outcome == UsbInterfaceProbe::NoMoreInterfaces)
                return entries;
            if (found.outcome == UsbInterfaceProbe::Printer) {
                const QString name = QString::asprintf("USB%03d:", static_cast<int>(entries.size()) + 1);
                entries.push_back({name, found.devicePath});
            }
        }
        if (!entries.empty())
            return entries;
        batchStart = batchEnd;
        batchEnd *= 2;
    }
}

#include "address/address_print_file.h"

#include "address/address_sequence.h"
#include "framework/atomic_file.h"

bool WritePrintFile(const QString& path, const QByteArray& prefix, const DownloadList& items, QString* error)
{
    CAtomicFile file(path);
    bool ok = file.Open() && file.Write(prefix);
    for (auto item = items.begin(); ok && item != items.end(); ++item)
        ok = file.Write(item->data);
    if (ok && file.Commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot save the print file %1").arg(file.ErrorString());
    return false;
}

bool SaveAddressedPrintFile(const QString& path, DownloadList& items, QString* error)
{
    CAddressSequence addresses;
    for (DownloadItem& item : items)
        SetItemAddress(item, addresses.Next());
    return WritePrintFile(path, QByteArray(), items, error);
}

#include "operations/download_print_file.h"

#include "address/address_print_file.h"
#include "operations/start_command.h"

bool SaveDownloadPrintFile(const QString& path, PrinterKind kind, const DownloadList& items, QString* error)
{
    return WritePrintFile(path, MakeStartCommand(kind, static_cast<int>(items.size())), items, error);
}

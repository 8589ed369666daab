#pragma once

#include "imaging/download_item.h"
#include "kinds/printer_kind.h"

#include <QString>

// The numbered download of single-colour thermal and DOT MODE printers as a
// print file: the kind's start command, then every item in list order,
// written as address/address_print_file.h writes every print file.
bool SaveDownloadPrintFile(const QString& path, PrinterKind kind, const DownloadList& items, QString* error);

#pragma once

#include "imaging/download_item.h"
#include "kinds/printer_kind.h"

class QWidget;
struct CurrentConfiguration;
struct DownloadBuildOptions;

// The desktop's row per printer kind: which dialogs "Download.." and "Print"
// open. It sits beside the core's row (operations/printer_kind_table.h) and holds
// what needs widgets, so the core library never links them.
struct KindDialogs {
    PrinterKind kind;
    // Asks what the conversion needs beyond the window's state before any
    // logo is converted (DOT MODE: the density); null when nothing is asked.
    // False: the operator cancelled and the download is abandoned.
    bool (*askDownloadOptions)(QWidget* parent, DownloadBuildOptions* options);
    // Runs the download dialog on a converted download list.
    void (*runDownload)(QWidget* parent, const CurrentConfiguration& config, DownloadList items);
    // "Print": the kind's print dialog, or the print itself where the kind
    // has no dialog (DOT MODE).
    void (*runPrint)(QWidget* parent, const CurrentConfiguration& config);
};

// The row of a kind; every kind has one.
const KindDialogs& KindDialogsOf(PrinterKind kind);

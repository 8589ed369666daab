#include "app/kind_dialogs.h"

#include "address/address_download_dlg.h"
#include "address/address_list_dlg.h"
#include "address/resolution_dlg.h"
#include "config/current_configuration.h"
#include "download/upload_dlg.h"
#include "operations/download_list_builder.h"
#include "kinds/kind_rows.h"
#include "operations/printer_kind_table.h"
#include "print/print_dlg.h"

#include <array>

namespace {

bool AskDensity(QWidget* parent, DownloadBuildOptions* options)
{
    CResolutionDlg resolution(parent);
    if (resolution.exec() != QDialog::Accepted)
        return false;
    options->density = resolution.Density();
    return true;
}

// Numbered kinds: the paced upload, which can also save a print file.
void RunUploadDialog(QWidget* parent, const CurrentConfiguration& config, DownloadList items)
{
    CUploadDlg dialog(parent, *config.modelType.Kind(), config.port,
                      config.modelName + QStringLiteral(" Image download dialog"), std::move(items));
    dialog.exec();
}

void RunAddressDownloadDialog(QWidget* parent, const CurrentConfiguration& config, DownloadList items)
{
    const PortSettings& port = config.port;
    CAddressDownloadDlg dialog(port, port.interfaceKind, FormatIpAddress(port.ipAddress), port.tcpPort,
                               config.modelName, std::move(items), parent);
    dialog.exec();
}

// DOT MODE has no print dialog: "Print" prints the stored images at once.
void PrintDotModeNow(QWidget*, const CurrentConfiguration& config)
{
    KindEntry(PrinterKind::DotMode).print(config.port, PrintRequest{}, {});
}

void RunPrintDialog(QWidget* parent, const CurrentConfiguration& config)
{
    CPrintDlg dialog(parent, config.port);
    dialog.exec();
}

void RunAddressListDialog(QWidget* parent, const CurrentConfiguration& config)
{
    const PortSettings& port = config.port;
    CAddressListDlg dialog(port, port.interfaceKind, FormatIpAddress(port.ipAddress), port.tcpPort, parent);
    dialog.exec();
}

// In kind order, so that a kind's number is its row's index. Columns: kind,
// what to ask before converting, download dialog, print.
constexpr std::array<KindDialogs, 3> kKindDialogs{{
    {PrinterKind::DotMode, AskDensity, RunUploadDialog, PrintDotModeNow},
    {PrinterKind::Mono, nullptr, RunUploadDialog, RunPrintDialog},
    {PrinterKind::TwoColor, nullptr, RunAddressDownloadDialog, RunAddressListDialog},
}};

static_assert(RowsInKindOrder(kKindDialogs), "one row per printer kind, in kind order");

}  // namespace

const KindDialogs& KindDialogsOf(PrinterKind kind)
{
    return kKindDialogs[static_cast<size_t>(PrinterKindNumber(kind))];
}

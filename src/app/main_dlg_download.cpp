// The main window's "Download.." and "Print" buttons: both dispatch on the
// printer kind of the current model and run the dialog that kind needs.

#include "address/address_download_dlg.h"
#include "address/address_list_dlg.h"
#include "address/resolution_dlg.h"
#include "app/main_dlg.h"
#include "download/upload_dlg.h"
#include "framework/message_box.h"
#include "imaging/download_list_builder.h"
#include "print/print_dlg.h"
#include "print/print_operations.h"
#include "transport/printer_connection.h"

void CMainDlg::OnDownload()
{
    const int modelType = m_config.modelType;
    if (modelType != kModelTypeDotMode && modelType != kModelTypeMono && modelType != kModelTypeTwoColor) {
        ShowMessage(QStringLiteral("Not Support Printer"));
        return;
    }
    if (m_logos.IsEmpty()) {
        ShowMessage(QStringLiteral("Without a bitmap file being selected."), MessageIcon::Exclamation);
        return;
    }
    int density = kDensitySingle;
    if (modelType == kModelTypeDotMode) {
        CResolutionDlg resolution(this);
        if (resolution.exec() != QDialog::Accepted)
            return;
        density = resolution.Density();
    }
    // Every logo is converted before a dialog opens; a logo that cannot be
    // (gone, too large for its printer format) stops the download here.
    QString error;
    const DownloadBuildOptions options{Colors(), m_config.receiptWidth, density};
    std::optional<DownloadList> items = BuildDownloadList(modelType, m_logos.Entries(), options, &error);
    if (!items) {
        ShowMessage(error, MessageIcon::Exclamation);
        return;
    }
    const PortSettings& port = m_config.port;
    if (modelType == kModelTypeTwoColor) {
        CAddressDownloadDlg dialog(port, port.interfaceKind, FormatIpAddress(port.ipAddress), port.tcpPort,
                                   m_config.modelName, std::move(*items), this);
        dialog.exec();
        return;
    }
    CUploadDlg dialog(this, modelType, port, m_config.modelName + QStringLiteral(" Image download dialog"),
                      std::move(*items));
    dialog.exec();
}

void CMainDlg::OnPrint()
{
    const PortSettings& port = m_config.port;
    switch (m_config.modelType) {
    case kModelTypeDotMode: {
        CPrinterConnection connection(port, OpenFailureText::UploadAndPrint);
        PrintDotModeImages(connection);
        break;
    }
    case kModelTypeMono: {
        CPrintDlg dialog(this, port);
        dialog.exec();
        break;
    }
    case kModelTypeTwoColor: {
        CAddressListDlg dialog(port, port.interfaceKind, FormatIpAddress(port.ipAddress), port.tcpPort, this);
        dialog.exec();
        break;
    }
    default:
        break;  // other kinds have nothing to print
    }
}

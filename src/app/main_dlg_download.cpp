// The main window's "Download.." and "Print" buttons: both run what the
// current model's printer kind has in its row of the kind dialogs.

#include "app/kind_dialogs.h"
#include "app/main_dlg.h"
#include "framework/message_box.h"
#include "framework/outcome.h"
#include "operations/download_list_builder.h"

void CMainDlg::OnDownload()
{
    const std::optional<PrinterKind> kind = m_config.modelType.Kind();
    if (!kind) {
        ShowOutcome(Outcome::Failure(QStringLiteral("Not Support Printer")));
        return;
    }
    if (m_logos.IsEmpty()) {
        ShowMessage(QStringLiteral("Without a bitmap file being selected."), MessageIcon::Exclamation);
        return;
    }
    if (RefuseLogosWiderThanPaper())
        return;
    const KindDialogs& dialogs = KindDialogsOf(*kind);
    DownloadBuildOptions options{Colors(), m_config.receiptWidth};
    if (dialogs.askDownloadOptions && !dialogs.askDownloadOptions(this, &options))
        return;
    // Every logo is converted before a dialog opens; a logo that cannot be
    // (gone, too large for its printer format) stops the download here.
    QString error;
    std::optional<DownloadList> items = BuildDownloadList(*kind, m_logos.Entries(), options, &error);
    if (!items) {
        ShowMessage(error, MessageIcon::Exclamation);
        return;
    }
    dialogs.runDownload(this, m_config, std::move(*items));
}

void CMainDlg::OnPrint()
{
    // A kind the program does not know has nothing to print.
    if (const std::optional<PrinterKind> kind = m_config.modelType.Kind())
        KindDialogsOf(*kind).runPrint(this, m_config);
}

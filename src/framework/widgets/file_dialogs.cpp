#include "framework/widgets/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

QStringList ShowPlatformDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setNameFilter(ToQtFilter(request.filter));
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    if (request.mode == FileDialogRequest::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList chosen = dialog.selectedFiles();
    // A name typed without an extension ends up with the default one.
    if (request.mode == FileDialogRequest::Save && !request.defaultSuffix.isEmpty()) {
        for (QString& path : chosen) {
            if (QFileInfo(path).suffix().isEmpty())
                path += "." + request.defaultSuffix;
        }
    }
    return chosen;
}

FileDialogHandler& CurrentHandler()
{
    static FileDialogHandler handler = ShowPlatformDialog;
    return handler;
}

}  // namespace

FileDialogRequest SavePrintFileRequest(QWidget* parent)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Save;
    request.filter = QStringLiteral("Print Files(*.prn)|*.prn||");
    request.defaultSuffix = QStringLiteral("prn");
    request.confirmOverwrite = true;
    request.parent = parent;
    return request;
}

QStringList ShowFileDialog(const FileDialogRequest& request)
{
    return CurrentHandler()(request);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler)
{
    FileDialogHandler previous = std::move(CurrentHandler());
    CurrentHandler() = handler ? std::move(handler) : FileDialogHandler(ShowPlatformDialog);
    return previous;
}

QString ToQtFilter(const QString& framedFilter)
{
    const QStringList parts = framedFilter.split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(';', ' ');
        const QString bracketed = QStringLiteral("(%1)").arg(patterns);
        filters << (parts[i].trimmed().endsWith(bracketed) ? parts[i].trimmed()
                                                             : QStringLiteral("%1 %2").arg(parts[i], bracketed));
    }
    return filters.join(";;");
}

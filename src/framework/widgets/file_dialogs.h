#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The open and save file dialogs behind one replaceable seam: the program
// shows the platform's dialogs, tests answer from a script.
struct FileDialogRequest {
    enum Mode { OpenMany, Save } mode = OpenMany;
    QString filter;          // "Image Files(*.bmp)|*.bmp||" style, as the dialogs are specified
    QString defaultSuffix;   // "prn": a typed name without extension gets it
    bool confirmOverwrite = true;
    QWidget* parent = nullptr;
    QString directory;       // where the dialog starts; empty: the platform's choice
};

// The chosen paths (one for Save); empty when the operator cancelled.
using FileDialogHandler = std::function<QStringList(const FileDialogRequest&)>;

QStringList ShowFileDialog(const FileDialogRequest& request);

// The Save dialog of print files (*.prn): a bare name gets ".prn", an
// existing file is overwritten only when the operator confirms.
FileDialogRequest SavePrintFileRequest(QWidget* parent);

// Installs a handler (empty restores the platform dialogs); returns the old one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

// "Image Files(*.bmp)|*.bmp||" becomes "Image Files(*.bmp) (*.bmp)"; a name
// that already ends with its patterns in brackets keeps them once:
// "BMP images (*.bmp)|*.bmp|All files (*)|*||" becomes
// "BMP images (*.bmp);;All files (*)".
QString ToQtFilter(const QString& framedFilter);

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
};

// The chosen paths (one for Save); empty when the operator cancelled.
using FileDialogHandler = std::function<QStringList(const FileDialogRequest&)>;

QStringList ShowFileDialog(const FileDialogRequest& request);

// Installs a handler (empty restores the platform dialogs); returns the old one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

// "Image Files(*.bmp)|*.bmp||" becomes "Image Files(*.bmp) (*.bmp)".
QString ToQtFilter(const QString& framedFilter);

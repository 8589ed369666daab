#pragma once

#include "config/port_settings.h"
#include "framework/widgets/dialog.h"
#include "kinds/command_bytes.h"  // PrintSizeMode

#include <QString>

class QLineEdit;

// The print dialog of single-colour thermal printers (template 131,
// "Print"): prints images stored in the printer's NV memory by number, with
// a size mode ("Quality"), an optional text line before each image
// ("Header") and either every number 1 to 255 or a typed selection such as
// "1-3,7" ("Printing Range"). Each press of "&Print" opens the connection,
// sends and closes it (PrintNvImageSelection); the dialog stays open for more.
//
// The choices start at "Single &HighWide", "None Header" and "All" every time
// the dialog is shown, and keep what the operator picks while it is open.
//
// User-interface thread only.
class CPrintDlg : public CDialog {
    Q_OBJECT
public:
    // settings: the main window's current ones; interfaceKind, ipAddress and
    // tcpPort choose between the network and the port facade.
    CPrintDlg(QWidget* parent, const PortSettings& settings);
    ~CPrintDlg() override;

    // Handler of "&Print".
    void OnPrint();

private:
    void CreateControls();
    void ConnectControls();
    // Every opening starts the choices afresh.
    bool OnInitDialog() override;
    // Moves the choices and the selection text between the controls and the
    // members: true reads the controls, false shows the members.
    void UpdateData(bool saveAndValidate);
    void OnQualityClicked(int id);
    void OnHeaderClicked(int id);
    void OnRangeClicked(int id);

    PortSettings m_settings;
    PrintSizeMode m_sizeMode = PrintSizeMode::Normal;
    int m_header = -1;   // 1: a header line before each image
    int m_range = -1;    // 0 all, 1 selection
    QString m_selectionText;

    // Controls, owned by the dialog.
    QLineEdit* m_selectionEdit = nullptr;
};

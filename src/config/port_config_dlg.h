#pragma once

#include "config/model_file.h"
#include "config/model_info.h"
#include "config/port_settings.h"
#include "config/usb_discovery.h"
#include "framework/widgets/dialog.h"

#include <QString>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

class CPortConfigPage;
class QComboBox;

// The configuration dialog behind "Port Setting" (template 103). Step 1 picks
// the printer model from the catalogue of the model file, step 2 one of the
// interfaces the model offers, step 3 that interface's settings: serial port
// and line, parallel port, a discovered USB printer, or the printer's IP
// address and TCP port. OK writes the model's data and the settings into the
// model file; Cancel writes nothing. The main window reloads the file after
// either.
//
// Before OK writes anything it refuses, with a message naming what to choose,
// a step whose combo box holds no choice and a TCP port outside 1..65535. A
// file that cannot be written is reported and the dialog stays open, so the
// operator can make the file writable and press OK again, or cancel.
//
// User-interface thread only.
class CPortConfigDlg : public CDialog {
    Q_OBJECT
public:
    // modelFilePath: the model file to read and write (NV.inf beside the
    // executable unless given).
    explicit CPortConfigDlg(QWidget* parent, QString modelFilePath = ModelFilePath());
    ~CPortConfigDlg() override;

    // Where USB discovery looks for printers: the sysfs root (/sys), the
    // device root (/dev), and where it writes its trace lines (standard
    // output; null for none). Used the next time the USB page is shown.
    void SetUsbDiscoveryRoots(QString sysfsRoot, QString deviceRoot, std::FILE* trace = stdout);

    // Escape and the window's close button cancel, as the Cancel button does.
    void reject() override;
    // Every way out lets go of the catalogue; a further run reads the file again.
    void done(int result) override;

private:
    // How OK's write went.
    enum class SaveResult {
        Saved,
        ModelNotFound,  // the selected name is no longer in the catalogue; nothing written
        Refused,        // a choice is missing or invalid; nothing written, the operator was told
        WriteFailed,    // the file refused a write; the operator was told
    };

    void CreateControls();
    void ConnectControls();

    // Loads the catalogue, caption, current model and the saved settings.
    // False (after "Error : Loading information file!") when the file names
    // no model of its catalogue: exec() then never shows the dialog and it
    // ends as cancelled.
    bool OnInitDialog() override;
    // Lists the interfaces of interfaceMask; each entry carries its
    // InterfaceKind as item data.
    void FillInterfaceCombo(int interfaceMask);
    // The kind of the interface entry chosen; nullopt when there is none.
    std::optional<InterfaceKind> ChosenInterface() const;
    void ShowInterfacePage(InterfaceKind kind);
    void RestoreSavedSettings();
    void OnModelChanged();
    void OnInterfaceChanged();
    void OnOK();
    void OnCancel();
    SaveResult SaveSettings();

    QString m_modelFilePath;
    std::vector<ModelInfo> m_models;     // catalogue order
    std::vector<UsbPortEntry> m_usbPorts;  // discovery order
    QString m_sysfsRoot = QStringLiteral("/sys");
    QString m_deviceRoot = QStringLiteral("/dev");
    std::FILE* m_usbTrace = stdout;

    // Controls, owned by the dialog.
    QComboBox* m_modelCombo = nullptr;
    QComboBox* m_interfaceCombo = nullptr;
    std::unique_ptr<CPortConfigPage> m_page;  // step 3
};

#pragma once

#include "address/address_download_operations.h"
#include "config/port_settings.h"
#include "framework/widgets/dialog.h"
#include "imaging/download_item.h"

#include <QString>
#include <QStringList>

#include <optional>

class CPrinterConnection;
class QLabel;
class QListWidget;
class QProgressBar;

// The download dialog of two-colour printers (template 133, "Setting
// Address"): stores the converted logos, one GS 8 L define command each,
// under two-character addresses. It shows the addresses the printer already
// uses and its free NV memory, and offers an automatic download (delete
// everything, then 00, 01, ...), a user-defined download (one address prompt
// per image, CAddressInputDlg), saving the commands as a print file,
// refreshing the used addresses and deleting every image. The wire work is
// done by address_download_operations.h, which also tells the operator about
// failures.
//
// When it opens it asks the printer for the used addresses and the free
// memory; when either query cannot reach the printer the dialog ends at once
// as rejected (exec() without showing it). A USB printer's replies cannot be read: there it assumes
// kUsbAssumedCapacity and an empty list without asking.
//
// All six buttons are disabled while a download runs and enabled again on
// every way out of it. One object serves one modal run. User-interface
// thread only; the waits and reads of the wire operations block it.
class CAddressDownloadDlg : public CDialog {
    Q_OBJECT
public:
    // settings: the port settings for the port facade; interfaceKind,
    // ipAddress ("%d.%d.%d.%d" text) and tcpPort as the main window holds
    // them; modelName for the caption; items: the define
    // commands in logo-list order (never empty). The dialog writes the
    // addresses into the items' key-code bytes.
    CAddressDownloadDlg(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress, int tcpPort,
                        QString modelName, DownloadList items, QWidget* parent = nullptr);
    ~CAddressDownloadDlg() override;

private:
    // A button and its handler; all six are disabled while a download runs.
    struct Button;
    static const Button kButtons[6];

    void CreateControls();
    void ConnectControls();
    // False when the used addresses or the free memory could not be asked.
    bool OnInitDialog() override;

    void OnAutoDownload();
    void OnUserDefinedDownload();
    void OnSaveFile();
    void OnGetAddress();
    void OnDeleteAddress();

    // A connection for one operation.
    CPrinterConnection Connection() const;
    AddressDownloadObserver Observer();
    std::optional<NvAddress> AskAddress();
    void StartProgress();
    void EnableControls(bool enable);
    void ShowProgress(const QString& name, int index, int total);
    void ShowRemaining(int remaining);
    void ShowUsedAddresses();
    // After the used addresses were read: says how many are shown and that
    // the printer holds more, when it does.
    void ReportIncompleteUsedList();

    PortSettings m_settings;
    InterfaceKind m_interfaceKind;
    QString m_ipAddress;
    int m_tcpPort;
    QString m_modelName;
    DownloadList m_items;
    AddressDownloadState m_state;  // free memory and used addresses as shown

    // Controls, owned by the dialog.
    QProgressBar* m_progress = nullptr;
    QListWidget* m_usedList = nullptr;
    QLabel* m_remaining = nullptr;
    QLabel* m_status = nullptr;
};

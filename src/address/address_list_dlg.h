#pragma once

#include "address/address_commands.h"
#include "config/port_settings.h"
#include "framework/widgets/dialog.h"

#include <QString>
#include <QStringList>

#include <optional>

class CPrinterConnection;
class QLineEdit;
class QListWidget;

// The print-side dialog of two-colour printers (template 132, "TX-200
// Printer"): reads the addresses under which the printer holds NV images,
// and prints or deletes images by address. Every button opens the printer
// connection, sends its commands (address_list_operations.h, which also
// tells the operator about failures) and closes it again.
//
// The list starts empty, with "Remove" and "Print" disabled; a Get Address
// List that finds addresses enables them and "Remove All", a list that
// becomes empty or a reading that fails or finds nothing disables the three.
// A USB printer's replies cannot be read, so there "Get Address List" and
// "Print All" are disabled from the start. The custom address starts as
// "00"; one of fewer than two characters is refused before anything is sent.
//
// One object serves one modal run. User-interface thread only; the waits and
// reads of the wire operations block it.
class CAddressListDlg : public CDialog {
    Q_OBJECT
public:
    // settings: the port settings for the port facade; interfaceKind,
    // ipAddress ("%d.%d.%d.%d" text) and tcpPort as the main window holds
    // them.
    CAddressListDlg(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress, int tcpPort,
                    QWidget* parent = nullptr);
    ~CAddressListDlg() override;

private:
    void CreateControls();
    void ConnectControls();
    bool OnInitDialog() override;

    void OnGetAddressList();
    void OnRemove();
    void OnRemoveAll();
    void OnPrint();
    void OnPrintAll();
    void OnCustomPrint();

    // A connection for one button press.
    CPrinterConnection Connection() const;
    // "Remove", "Remove All" and "Print" of the selected address.
    void EnableListButtons(bool enable);
    // The selected entry's address; nothing (after "Select address!") without one.
    std::optional<NvAddress> SelectedAddress() const;
    QStringList ListedAddresses() const;
    // Says how many addresses are shown and that the printer holds more.
    void ReportIncompleteList();

    PortSettings m_settings;
    InterfaceKind m_interfaceKind;
    QString m_ipAddress;
    int m_tcpPort;

    // Controls, owned by the dialog.
    QListWidget* m_addressList = nullptr;
    QLineEdit* m_customAddress = nullptr;
};

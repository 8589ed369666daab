#pragma once

#include "address/address_commands.h"
#include "framework/widgets/dialog.h"

#include <QStringList>

class QLineEdit;

// What the address dialogs say when an address of fewer than two characters
// is to be used: the printer's commands carry exactly two address bytes, so
// such a text cannot name an image.
inline constexpr char kAddressTooShortText[] = "Enter two characters for the address!";

// The address prompt of the user-defined download (template 138, "Set NV
// Image Address"): asks under which two-character address one image is to
// be stored. It opens showing "00". OK refuses a text of fewer than two
// characters and an address in the list of addresses in use (exact,
// case-sensitive comparison: "a0" is not "A0"), and then stays open for
// another try; otherwise it closes as accepted and ChosenAddress() holds the
// two characters. Cancel or Escape closes it as rejected.
//
// One object serves one prompt. User-interface thread only.
class CAddressInputDlg : public CDialog {
    Q_OBJECT
public:
    // usedAddresses: the addresses the printer holds, one two-character
    // string each, as the download dialog shows them.
    explicit CAddressInputDlg(QStringList usedAddresses, QWidget* parent = nullptr);
    ~CAddressInputDlg() override;

    // The address chosen; read it after exec() returned Accepted.
    NvAddress ChosenAddress() const { return m_chosen; }

private:
    void CreateControls();
    void ConnectControls();
    bool OnInitDialog() override;
    void OnOK();

    QStringList m_usedAddresses;
    NvAddress m_chosen{'0', '0'};
    QLineEdit* m_addressEdit = nullptr;
};

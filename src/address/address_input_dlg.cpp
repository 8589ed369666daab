#include "address/address_input_dlg.h"

#include "address/address_dlg_ids.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "framework/outcome.h"

#include <QLineEdit>

#include <optional>

namespace {

constexpr int kAddressLength = 2;

DialogTemplate AddressInputTemplate()
{
    using K = ControlKind;
    // 14 dialog units wider than drawn at first, so that the long line fits
    // in the desktop's font; the rest moves to stay centred.
    return {QStringLiteral("Set NV Image Address"), QStringLiteral("MS Sans Serif"), 8, 200, 95,
            {
                {-1, K::GroupBox, QStringLiteral("Image Address Configuration"), 7, 7, 186, 59},
                {-1, K::Static, QStringLiteral("Input a address to use for registration of NV image"), 15, 19,
                 174, 8},
                {-1, K::Static, QStringLiteral("( Ex. 01... A0,  A1.... )"), 15, 30, 174, 8},
                {-1, K::Static, QStringLiteral("Address :"), 59, 46, 32, 8},
                {IDC_ADDR_INPUT, K::Edit, {}, 95, 44, 30, 12},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("OK"), 43, 73, 50, 14},
                {win::kIdCancel, K::PushButton, QStringLiteral("Cancel"), 107, 73, 50, 14},
            }};
}

}  // namespace

CAddressInputDlg::CAddressInputDlg(QStringList usedAddresses, QWidget* parent)
    : CDialog(AddressInputTemplate(), parent), m_usedAddresses(std::move(usedAddresses))
{
    CreateControls();
    ConnectControls();
}

CAddressInputDlg::~CAddressInputDlg() = default;

void CAddressInputDlg::CreateControls()
{
    m_addressEdit = Control<QLineEdit>(IDC_ADDR_INPUT);
    m_addressEdit->setAlignment(Qt::AlignCenter);
    m_addressEdit->setMaxLength(kAddressLength);
}

void CAddressInputDlg::ConnectControls()
{
    ConnectClicked(win::kIdOk, &CAddressInputDlg::OnOK);
    ConnectClicked(win::kIdCancel, &QDialog::reject);
}

bool CAddressInputDlg::OnInitDialog()
{
    m_addressEdit->setText(QStringLiteral("00"));
    m_chosen = {'0', '0'};
    m_addressEdit->setFocus();
    m_addressEdit->selectAll();
    return true;
}

void CAddressInputDlg::OnOK()
{
    const QString text = m_addressEdit->text();
    if (!HasOnlyAddressCharacters(text)) {
        ShowOutcome(Outcome::Refused(QString::fromLatin1(kAddressCharactersText)));
        return;
    }
    const std::optional<NvAddress> address = AddressFromText(text);
    if (!address) {
        ShowOutcome(Outcome::Refused(QString::fromLatin1(kAddressTooShortText)));
        return;
    }
    if (m_usedAddresses.contains(text, Qt::CaseSensitive)) {
        ShowOutcome(Outcome::Refused(QStringLiteral("Exists address!")));
        return;
    }
    m_chosen = *address;
    accept();
}

#include "address/address_list_dlg.h"

#include "address/address_dlg_ids.h"
#include "address/address_input_dlg.h"
#include "address/address_list_operations.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "transport/printer_connection.h"
#include "framework/outcome.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

constexpr int kAddressLength = 2;

DialogTemplate AddressListTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("TX-200 Printer"), QStringLiteral("Arial"), 8, 168, 189,
            {
                {-1, K::Static, QStringLiteral("NV Image Address"), 7, 7, 90, 8},
                {IDC_ADDR_LIST, K::ListBox, {}, 7, 17, 90, 117},
                {IDC_ADDR_GET_LIST, K::PushButton, QStringLiteral("Get Address List"), 104, 17, 57, 14},
                {IDC_ADDR_REMOVE, K::PushButton, QStringLiteral("Remove"), 104, 36, 57, 14},
                {IDC_ADDR_REMOVE_ALL, K::PushButton, QStringLiteral("Remove All"), 104, 55, 57, 14},
                {IDC_ADDR_PRINT, K::PushButton, QStringLiteral("Print"), 104, 74, 57, 14},
                {IDC_ADDR_PRINT_ALL, K::PushButton, QStringLiteral("Print All"), 104, 93, 57, 14},
                {-1, K::GroupBox, QStringLiteral("Custom address "), 7, 139, 154, 28},
                {IDC_ADDR_CUSTOM, K::Edit, {}, 15, 150, 40, 12},
                {IDC_ADDR_CUSTOM_PRINT, K::PushButton, QStringLiteral("Print"), 104, 149, 50, 14},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("Close"), 104, 171, 57, 14},
            }};
}

}  // namespace

CAddressListDlg::CAddressListDlg(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress, int tcpPort,
                                 QWidget* parent)
    : CDialog(AddressListTemplate(), parent),
      m_settings(settings),
      m_interfaceKind(interfaceKind),
      m_ipAddress(std::move(ipAddress)),
      m_tcpPort(tcpPort)
{
    CreateControls();
    ConnectControls();
}

CAddressListDlg::~CAddressListDlg() = default;

void CAddressListDlg::CreateControls()
{
    m_addressList = Control<QListWidget>(IDC_ADDR_LIST);
    m_addressList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_addressList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_customAddress = Control<QLineEdit>(IDC_ADDR_CUSTOM);
    m_customAddress->setMaxLength(kAddressLength);
}

void CAddressListDlg::ConnectControls()
{
    ConnectClicked(IDC_ADDR_GET_LIST, &CAddressListDlg::OnGetAddressList);
    ConnectClicked(IDC_ADDR_REMOVE, &CAddressListDlg::OnRemove);
    ConnectClicked(IDC_ADDR_REMOVE_ALL, &CAddressListDlg::OnRemoveAll);
    ConnectClicked(IDC_ADDR_PRINT, &CAddressListDlg::OnPrint);
    ConnectClicked(IDC_ADDR_PRINT_ALL, &CAddressListDlg::OnPrintAll);
    ConnectClicked(IDC_ADDR_CUSTOM_PRINT, &CAddressListDlg::OnCustomPrint);
    ConnectClicked(win::kIdOk, &QDialog::accept);
}

bool CAddressListDlg::OnInitDialog()
{
    m_addressList->clear();
    // A USB printer's replies cannot be read, so its list can never be had.
    if (!CapabilitiesOf(m_interfaceKind).readsReplies) {
        Control(IDC_ADDR_GET_LIST)->setEnabled(false);
        Control(IDC_ADDR_PRINT_ALL)->setEnabled(false);
    }
    Control(IDC_ADDR_REMOVE)->setEnabled(false);
    Control(IDC_ADDR_PRINT)->setEnabled(false);
    m_customAddress->setText(QStringLiteral("00"));
    return true;
}

CPrinterConnection CAddressListDlg::Connection() const
{
    // These dialogs serve only the two-colour kind; its row names this text,
    // and the row sits in operations/, above this folder.
    return CPrinterConnection(m_settings, m_interfaceKind, m_ipAddress, m_tcpPort, OpenFailureText::AddressDialogs);
}

void CAddressListDlg::EnableListButtons(bool enable)
{
    Control(IDC_ADDR_REMOVE)->setEnabled(enable);
    Control(IDC_ADDR_REMOVE_ALL)->setEnabled(enable);
    Control(IDC_ADDR_PRINT)->setEnabled(enable);
}

std::optional<NvAddress> CAddressListDlg::SelectedAddress() const
{
    const QList<QListWidgetItem*> selected = m_addressList->selectedItems();
    if (selected.isEmpty()) {
        ShowOutcome(Outcome::Refused(QStringLiteral("Select address!")));
        return std::nullopt;
    }
    // Listed entries are two address characters, as the reading accepts no other.
    return AddressFromText(selected.front()->text());
}

QStringList CAddressListDlg::ListedAddresses() const
{
    QStringList addresses;
    for (int row = 0; row < m_addressList->count(); ++row)
        addresses.append(m_addressList->item(row)->text());
    return addresses;
}

void CAddressListDlg::OnGetAddressList()
{
    const CPrinterWorkScope talking(this);
    CPrinterConnection connection = Connection();
    // The list is filled before a message about the reply is shown. A bad
    // reply keeps the good addresses that came before the bad one.
    const AddressListResult result = GetAddressList(connection, [this](const AddressListResult& read) {
        m_addressList->clear();
        m_addressList->addItems(read.addresses);
        const bool incomplete = read.outcome == AddressListOutcome::Incomplete;
        EnableListButtons(read.outcome == AddressListOutcome::Listed || (incomplete && m_addressList->count() > 0));
    });
    if (result.outcome == AddressListOutcome::Incomplete)
        ReportIncompleteList();
}

// The list box shows what the printer's reply carried; the operator must not
// take it for everything the printer holds.
void CAddressListDlg::ReportIncompleteList()
{
    ShowMessage(IncompleteAddressListText(m_addressList->count()), MessageIcon::Exclamation);
}

void CAddressListDlg::OnRemove()
{
    const std::optional<NvAddress> address = SelectedAddress();
    if (!address)
        return;
    const CPrinterWorkScope talking(this);
    CPrinterConnection connection = Connection();
    if (!RemoveAddress(connection, *address))
        return;
    // No entry is selected afterwards: a second Remove asks for one.
    delete m_addressList->selectedItems().front();
    if (m_addressList->count() == 0)
        EnableListButtons(false);
}

void CAddressListDlg::OnRemoveAll()
{
    if (!AskDeleteEveryImage(m_addressList->count()))
        return;
    const CPrinterWorkScope talking(this);
    CPrinterConnection connection = Connection();
    if (!RemoveAllAddresses(connection))
        return;
    m_addressList->clear();
    EnableListButtons(false);
}

void CAddressListDlg::OnPrint()
{
    const std::optional<NvAddress> address = SelectedAddress();
    if (!address)
        return;
    const CPrinterWorkScope talking(this);
    CPrinterConnection connection = Connection();
    PrintAddress(connection, *address);
}

void CAddressListDlg::OnPrintAll()
{
    const CPrinterWorkScope talking(this);
    CPrinterConnection connection = Connection();
    PrintAllAddresses(connection, ListedAddresses());
}

void CAddressListDlg::OnCustomPrint()
{
    if (!HasOnlyAddressCharacters(m_customAddress->text())) {
        ShowOutcome(Outcome::Refused(QString::fromLatin1(kAddressCharactersText)));
        return;
    }
    const std::optional<NvAddress> address = AddressFromText(m_customAddress->text());
    if (!address) {
        ShowOutcome(Outcome::Refused(QString::fromLatin1(kAddressTooShortText)));
        return;
    }
    const CPrinterWorkScope talking(this);
    CPrinterConnection connection = Connection();
    PrintAddress(connection, *address);
}

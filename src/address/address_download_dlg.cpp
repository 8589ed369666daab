#include "address/address_download_dlg.h"

#include "address/address_dlg_ids.h"
#include "address/address_input_dlg.h"
#include "address/address_list_operations.h"
#include "address/address_print_file.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "framework/widgets/file_dialogs.h"
#include "framework/widgets/label_text.h"
#include "transport/printer_connection.h"
#include "framework/outcome.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>


namespace {

// The progress bar counts ten steps per image.
constexpr int kProgressStep = 10;

DialogTemplate AddressDownloadTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Setting Address"), QStringLiteral("Arial"), 8, 329, 163,
            {
                {-1, K::GroupBox, QStringLiteral("Used Address"), 7, 7, 110, 149},
                {-1, K::Static, QStringLiteral("If printer interface is USB, it don't diaply  used address"), 14, 18,
                 96, 18},
                {IDC_ADDR_USED_LIST, K::ListBox, {}, 14, 39, 96, 110},
                {-1, K::GroupBox, QStringLiteral("Download Status"), 124, 7, 198, 62},
                {-1, K::Static, QStringLiteral("Available printer flash memory :"), 131, 20, 110, 8},
                {IDC_ADDR_REMAINING, K::Static, QStringLiteral("Static"), 243, 20, 50, 8},
                {-1, K::Static, QStringLiteral("Byte"), 296, 20, 20, 8},
                {IDC_ADDR_STATUS, K::Static, QStringLiteral("Static"), 131, 34, 184, 8},
                {IDC_ADDR_PROGRESS, K::ProgressBar, {}, 131, 48, 184, 12},
                {-1, K::GroupBox, QStringLiteral("Memory Function"), 124, 74, 198, 62},
                {IDC_ADDR_GET_ADDRESS, K::PushButton, QStringLiteral("Get Address"), 131, 86, 58, 14},
                {IDC_ADDR_DELETE, K::PushButton, QStringLiteral("Delete Address"), 194, 86, 58, 14},
                {IDC_ADDR_SAVE_FILE, K::PushButton, QStringLiteral("Save File.."), 257, 86, 58, 14},
                {IDC_ADDR_AUTO_DOWNLOAD, K::PushButton, QStringLiteral("Auto Address Download"), 131, 106, 89, 22},
                {IDC_ADDR_USER_DOWNLOAD, K::PushButton, QStringLiteral("User Defined Address \r\nDownload"), 226,
                 106, 89, 22},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("Exit"), 258, 142, 57, 14},
            }};
}

}  // namespace

struct CAddressDownloadDlg::Button {
    int id;
    void (CAddressDownloadDlg::*handler)();
};

const CAddressDownloadDlg::Button CAddressDownloadDlg::kButtons[] = {
    {IDC_ADDR_AUTO_DOWNLOAD, &CAddressDownloadDlg::OnAutoDownload},
    {IDC_ADDR_USER_DOWNLOAD, &CAddressDownloadDlg::OnUserDefinedDownload},
    {win::kIdOk, &CAddressDownloadDlg::accept},
    {IDC_ADDR_GET_ADDRESS, &CAddressDownloadDlg::OnGetAddress},
    {IDC_ADDR_DELETE, &CAddressDownloadDlg::OnDeleteAddress},
    {IDC_ADDR_SAVE_FILE, &CAddressDownloadDlg::OnSaveFile},
};

CAddressDownloadDlg::CAddressDownloadDlg(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress,
                                         int tcpPort, QString modelName, DownloadList items, QWidget* parent)
    : CDialog(AddressDownloadTemplate(), parent),
      m_settings(settings),
      m_interfaceKind(interfaceKind),
      m_ipAddress(std::move(ipAddress)),
      m_tcpPort(tcpPort),
      m_modelName(std::move(modelName)),
      m_items(std::move(items))
{
    m_state.usb = !CapabilitiesOf(m_interfaceKind).readsReplies;
    CreateControls();
    ConnectControls();
}

CAddressDownloadDlg::~CAddressDownloadDlg() = default;

void CAddressDownloadDlg::CreateControls()
{
    // Static texts wrap at their width, as the long USB note must.
    for (QLabel* label : findChildren<QLabel*>())
        label->setWordWrap(true);
    m_progress = Control<QProgressBar>(IDC_ADDR_PROGRESS);
    m_progress->setTextVisible(false);
    // Idle: an empty bar (a range of 0..0 would show a busy animation).
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_usedList = Control<QListWidget>(IDC_ADDR_USED_LIST);
    m_usedList->setSortingEnabled(true);
    m_usedList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_remaining = Control<QLabel>(IDC_ADDR_REMAINING);
    m_status = Control<QLabel>(IDC_ADDR_STATUS);
    // One line: a long logo name is cut in the middle (whole in the
    // tooltip) rather than wrapped below the line's height.
    m_status->setWordWrap(false);
}

void CAddressDownloadDlg::ConnectControls()
{
    for (const Button& button : kButtons)
        ConnectClicked(button.id, button.handler);
}

bool CAddressDownloadDlg::OnInitDialog()
{
    if (m_state.usb) {
        m_state.remaining = kUsbAssumedCapacity;
    } else {
        // Each query opens and closes its own connection.
        CPrinterConnection usedQuery = Connection();
        if (!QueryUsedAddresses(usedQuery, &m_state.used, &m_state.usedIncomplete))
            return false;
        CPrinterConnection memoryQuery = Connection();
        if (!QueryFreeMemory(memoryQuery, &m_state.remaining))
            return false;
    }
    ShowUsedAddresses();
    ShowRemaining(m_state.remaining);
    m_status->clear();
    setWindowTitle(m_modelName + QStringLiteral(" Stampdesk"));
    ReportIncompleteUsedList();
    return true;
}

CPrinterConnection CAddressDownloadDlg::Connection() const
{
    // These dialogs serve only the two-colour kind; its row names this text,
    // and the row sits in operations/, above this folder.
    return CPrinterConnection(m_settings, m_interfaceKind, m_ipAddress, m_tcpPort, OpenFailureText::AddressDialogs);
}

AddressDownloadObserver CAddressDownloadDlg::Observer()
{
    AddressDownloadObserver observer;
    observer.enableControls = [this](bool enable) { EnableControls(enable); };
    observer.progress = [this](const QString& name, int index, int total) {
        ShowProgress(name, index, total);
        m_progress->setValue(m_progress->value() + kProgressStep);
        m_progress->repaint();
    };
    observer.remainingChanged = [this](int remaining) { ShowRemaining(remaining); };
    observer.usedChanged = [this](const QStringList&) { ShowUsedAddresses(); };
    observer.askAddress = [this](const QStringList&) { return AskAddress(); };
    return observer;
}

std::optional<NvAddress> CAddressDownloadDlg::AskAddress()
{
    // The prompt knows the addresses the list shows; those given to earlier
    // images of the same run are not among them until the list is read again.
    QStringList used;
    for (int row = 0; row < m_usedList->count(); ++row)
        used.append(m_usedList->item(row)->text());
    CAddressInputDlg prompt(used, this);
    if (prompt.exec() != QDialog::Accepted)
        return std::nullopt;
    return prompt.ChosenAddress();
}

void CAddressDownloadDlg::StartProgress()
{
    m_progress->setRange(0, kProgressStep * static_cast<int>(m_items.size()));
    m_progress->setValue(0);
}

void CAddressDownloadDlg::OnAutoDownload()
{
    const CPrinterWorkScope talking(this);
    StartProgress();
    CPrinterConnection connection = Connection();
    const bool done = RunAutoAddressDownload(connection, m_items, m_state, Observer());
    // A download that went through has read the used addresses again.
    ShowUsedAddresses();
    if (done)
        ReportIncompleteUsedList();
}

void CAddressDownloadDlg::OnUserDefinedDownload()
{
    const CPrinterWorkScope talking(this);
    StartProgress();
    CPrinterConnection connection = Connection();
    const bool done = RunUserDefinedAddressDownload(connection, m_items, m_state, Observer());
    ShowUsedAddresses();
    if (done)
        ReportIncompleteUsedList();
}

void CAddressDownloadDlg::OnSaveFile()
{
    const QStringList paths = ShowFileDialog(SavePrintFileRequest(this));
    if (paths.isEmpty()) {
        ShowOutcome(Outcome::Refused(QStringLiteral("Cancel to save file!")));
        return;
    }
    // A file that cannot be created or written is reported with the reason,
    // never as finished.
    QString error;
    if (!SaveAddressedPrintFile(paths.front(), m_items, &error)) {
        ShowMessage(error, MessageIcon::Exclamation);
        return;
    }
    ShowOutcome(Outcome::Success(QStringLiteral("Print files Save finished"), MessageIcon::Exclamation));
}

void CAddressDownloadDlg::OnGetAddress()
{
    if (m_state.usb) {
        ShowOutcome(Outcome::Refused(QStringLiteral("If it is USB I/F, it dosen't support this function!")));
        return;
    }
    const CPrinterWorkScope talking(this);
    m_state.used.clear();
    ShowUsedAddresses();
    CPrinterConnection connection = Connection();
    QueryUsedAddresses(connection, &m_state.used, &m_state.usedIncomplete);
    ShowUsedAddresses();
    ReportIncompleteUsedList();
}

void CAddressDownloadDlg::OnDeleteAddress()
{
    // Over USB the printer's list cannot be read: the count is not known.
    if (!AskDeleteEveryImage(m_state.usb ? 0 : m_usedList->count()))
        return;
    const CPrinterWorkScope talking(this);
    // The list and the free memory stay as shown until they are read again.
    CPrinterConnection connection = Connection();
    DeleteAllImages(connection);
}

void CAddressDownloadDlg::EnableControls(bool enable)
{
    for (const Button& button : kButtons)
        Control(button.id)->setEnabled(enable);
}

void CAddressDownloadDlg::ShowProgress(const QString& name, int index, int total)
{
    ShowElidedText(m_status, QStringLiteral("Downloding... ") + name + QString::asprintf(" ( %d / %d ) ", index, total));
    m_status->repaint();
}

void CAddressDownloadDlg::ShowRemaining(int remaining)
{
    m_remaining->setText(QString::asprintf("%d", remaining));
    m_remaining->repaint();
}

void CAddressDownloadDlg::ShowUsedAddresses()
{
    m_usedList->clear();
    m_usedList->addItems(m_state.used);
}

// The list shows what the printer's reply carried; the operator must not
// take it for everything the printer holds (nor choose an address as free
// only because it is not shown).
void CAddressDownloadDlg::ReportIncompleteUsedList()
{
    if (m_state.usedIncomplete)
        ShowMessage(IncompleteAddressListText(m_usedList->count()), MessageIcon::Exclamation);
}

#include "app/main_dlg.h"

#include "app/about_dlg.h"
#include "app/main_dlg_template.h"
#include "config/model_file.h"
#include "config/model_info.h"
#include "config/port_config_dlg.h"
#include "config/profile_file.h"
#include "operations/printer_kind_table.h"
#include "framework/message_box.h"
#include "framework/widgets/label_text.h"
#include "logos/logo_store.h"
#include "logos/store_lock.h"
#include "res/resource_ids.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// A text too long for its label (a device path under /dev/serial/by-id, a
// long model name) is cut in the middle; the tooltip shows it whole.
void SetLabel(const CDialog* dialog, int id, const QString& text)
{
    if (auto* label = dialog->Control<QLabel>(id))
        ShowElidedText(label, text);
}

void EnableControl(const CDialog* dialog, int id, bool enable)
{
    if (QWidget* control = dialog->Control(id))
        control->setEnabled(enable);
}

// While a window names its own store, the store works below that folder.
class CStoreRootScope {
public:
    explicit CStoreRootScope(const QString& root) : m_active(!root.isEmpty())
    {
        if (m_active)
            SetLogoStoreRoot(root);
    }
    ~CStoreRootScope()
    {
        if (m_active)
            SetLogoStoreRoot(QString());
    }
    CStoreRootScope(const CStoreRootScope&) = delete;
    CStoreRootScope& operator=(const CStoreRootScope&) = delete;

private:
    bool m_active;
};

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : CMainDlg(MainDlgPaths{}, parent) {}

CMainDlg::CMainDlg(const MainDlgPaths& paths, QWidget* parent)
    : CDialog(MainDlgTemplate(), parent), m_paths(paths)
{
    FindControls();
    ConnectControls();
}

CMainDlg::~CMainDlg()
{
    // A window torn down without being closed still keeps its list.
    OnDestroy();
}

namespace {

// Alt+letter for the window's buttons; the captions stay as they are.
void AddMnemonics(const CDialog* dialog)
{
    const struct {
        int id;
        const char* text;
    } mnemonics[] = {
        {IDC_PORT_SETTING, "&Port Setting"}, {IDC_OPEN_FILE, "&Open File"}, {IDC_REMOVE, "Re&move"},
        {IDC_RESET, "R&eset"},               {IDC_DOWNLOAD, "&Download.."}, {IDC_PRINT, "Pr&int"},
        {IDC_EXIT, "E&XIT"},
    };
    for (const auto& mnemonic : mnemonics) {
        if (auto* button = dialog->Control<QPushButton>(mnemonic.id))
            button->setText(QString::fromLatin1(mnemonic.text));
    }
}

}  // namespace

void CMainDlg::FindControls()
{
    AddMnemonics(this);
    Control(IDC_PREVIEW)->setAccessibleName(QStringLiteral("Preview"));
    m_colorPanel = std::make_unique<CColorPanel>(
        this, CColorPanel::Logos{[this] { return m_logos.FindByNumber(m_logos.CurrentEntryNumber()); },
                                 [this] { return m_logoPanel->PreviewEntry(); }});
    m_logoPanel = std::make_unique<CLogoPanel>(this, m_logos, m_config, *m_colorPanel);
}

void CMainDlg::ConnectControls()
{
    connect(Control<QPushButton>(IDC_EXIT), &QPushButton::clicked, this, &QDialog::accept);
    connect(Control<QPushButton>(IDC_PORT_SETTING), &QPushButton::clicked, this, &CMainDlg::OnPortSetting);
    connect(Control<QPushButton>(IDC_DOWNLOAD), &QPushButton::clicked, this, &CMainDlg::OnDownload);
    connect(Control<QPushButton>(IDC_PRINT), &QPushButton::clicked, this, &CMainDlg::OnPrint);
    m_aboutAction = new QAction(QStringLiteral("&About MARKO3..."), this);
    m_aboutAction->setData(IDM_ABOUTBOX);
    connect(m_aboutAction, &QAction::triggered, this, [this] { OnSysCommand(m_aboutAction->data().toInt()); });
}

bool CMainDlg::OnInitDialog()
{
    m_destroyed = false;  // this run's list is saved when it closes
    m_logoPanel->AddComposeItem();
    AddAboutItem();
    setWindowIcon(QIcon(QStringLiteral(":/res/markograph.png")));
    m_config = MainWindowDefaults();
    m_logoPanel->OnInitDialog();
    m_colorPanel->OnInitDialog();
    LoadStartupState();
    m_logoPanel->FillLogoView();
    m_logoPanel->UpdateSummary();
    return !m_startRefused;
}

// Qt dialogs have no window menu to extend: the About item is the window's
// context menu (a right click on the window) and F1, with the same command id.
void CMainDlg::AddAboutItem()
{
    m_aboutAction->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(m_aboutAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CMainDlg::LoadStartupState()
{
    {
        const CStoreRootScope store(m_paths.logoStoreRoot);
        if (!LockStore(LogoStoreLockPath()))
            return;
    }
    m_modelFilePath = m_paths.modelFile.isEmpty() ? ModelFilePath() : m_paths.modelFile;
    CProfileFile modelFile(m_modelFilePath);
    // A model file that exists but cannot be read (a FIFO, a folder, no
    // permission) reads as empty; say why before the messages that follow.
    if (QString error; !modelFile.Reload(&error))
        ShowMessage(QStringLiteral("The model file cannot be read:\n%1").arg(error), MessageIcon::Exclamation);
    setWindowTitle(ReadDescription(modelFile) + (m_readOnly ? QStringLiteral(" (read-only)") : QString()));
    LoadConfiguration();
    {
        const CStoreRootScope store(m_paths.logoStoreRoot);
        RestoreLogoList(m_logos);
    }
    m_logoPanel->OnListRestored();
    m_colorPanel->EnableForModel(m_config.modelType);
}

void CMainDlg::LoadConfiguration()
{
    // Read afresh each time: the configuration dialog rewrites the file.
    const CProfileFile file(m_modelFilePath);
    ::LoadConfiguration(file, m_config);
    m_logos.SetLimits({m_config.downMax, m_config.memorySize, m_config.receiptWidth});
    ShowConfiguration();
}

void CMainDlg::ShowConfiguration()
{
    SetLabel(this, IDC_MODEL_NAME, m_config.modelName);
    SetLabel(this, IDC_DOWNLOAD_MODE, ModelTypeText(m_config.modelType));
    ShowSerialLabels(false);
    const PortSettings& port = m_config.port;
    SetLabel(this, IDC_LABEL_PORT, QStringLiteral("Port :"));
    SetLabel(this, IDC_LABEL_BAUDRATE, QStringLiteral("Baudrate :"));
    SetLabel(this, IDC_BAUDRATE, QString::number(port.baudRate));
    switch (port.interfaceKind) {
    case InterfaceKind::Serial:
        SetLabel(this, IDC_INTERFACE, QStringLiteral("Serial"));
        SetLabel(this, IDC_PORT_NAME, port.portName);
        ShowSerialLabels(true);
        break;
    case InterfaceKind::Parallel:
        SetLabel(this, IDC_INTERFACE, QStringLiteral("Parallel"));
        SetLabel(this, IDC_PORT_NAME, port.portName);
        break;
    case InterfaceKind::Usb:
        SetLabel(this, IDC_INTERFACE, QStringLiteral("USB"));
        SetLabel(this, IDC_PORT_NAME, m_config.portNameText);
        break;
    default:
        SetLabel(this, IDC_INTERFACE, QStringLiteral("Ethernet"));
        SetLabel(this, IDC_LABEL_PORT, QStringLiteral("IP :"));
        SetLabel(this, IDC_PORT_NAME, FormatIpAddress(port.ipAddress));
        SetLabel(this, IDC_LABEL_BAUDRATE, QStringLiteral("Port :"));
        SetLabel(this, IDC_BAUDRATE, QString::number(port.tcpPort));
        break;
    }
    const bool baudShown = port.interfaceKind != InterfaceKind::Parallel && port.interfaceKind != InterfaceKind::Usb;
    EnableControl(this, IDC_LABEL_BAUDRATE, baudShown);
    EnableControl(this, IDC_BAUDRATE, baudShown);
}

// Data bits, parity and stop bits belong to a serial line only; for one they
// show what was loaded, otherwise they are greyed out.
void CMainDlg::ShowSerialLabels(bool serial)
{
    for (int id : {IDC_LABEL_PARITY, IDC_PARITY, IDC_LABEL_DATABITS, IDC_DATABITS, IDC_LABEL_STOPBITS, IDC_STOPBITS})
        EnableControl(this, id, serial);
    if (!serial)
        return;
    SetLabel(this, IDC_DATABITS, QString::number(m_config.port.dataBits));
    SetLabel(this, IDC_PARITY, ParityName(m_config.port.parity));
    SetLabel(this, IDC_STOPBITS, QString::number(FileValue(m_config.port.stopBits)));
}

void CMainDlg::OnSysCommand(int id)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CMainDlg::OnPortSetting()
{
    CPortConfigDlg dlg(this, m_modelFilePath);
    dlg.exec();
    // OK or Cancel: the window shows what the file holds now.
    LoadConfiguration();
    // A logo on show keeps its own settings: the sliders show them and the
    // preview draws it with them. The colour choice then becomes the model's
    // default (Not Used for one ink, Red for two), as after every reload, so
    // logos added from now on take it; a single-ink model never keeps a
    // greyed-out colour checked.
    if (const LogoEntry* entry = m_logoPanel->PreviewEntry())
        m_colorPanel->ShowLogo(*entry);
    m_colorPanel->EnableForModel(m_config.modelType);
    m_logoPanel->UpdateSummary();
    m_colorPanel->DrawPreview();
}

void CMainDlg::done(int result)
{
    OnDestroy();
    QDialog::done(result);
}

// Saves the list once, then frees it. A failed save says why; the store keeps
// the list of the previous run whole.
void CMainDlg::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    QString error;
    bool saved = true;
    if (!m_readOnly) {
        const CStoreRootScope store(m_paths.logoStoreRoot);
        saved = SaveLogoList(m_logos, &error);
    }
    if (!saved)
        ShowMessage(QStringLiteral("The logo list could not be saved: %1").arg(error), MessageIcon::Exclamation);
    m_logos.FreeAllLogos();
    m_storeLock.reset();
}

void CMainDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    m_colorPanel->PaintPreview(painter);
}

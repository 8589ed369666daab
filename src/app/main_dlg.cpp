#include "app/main_dlg.h"

#include "app/about_dlg.h"
#include "app/main_dlg_template.h"
#include "config/model_file.h"
#include "config/model_info.h"
#include "config/port_config_dlg.h"
#include "config/profile_file.h"
#include "kinds/printer_kind_table.h"
#include "framework/message_box.h"
#include "framework/widgets/control_ids.h"
#include "logos/logo_store.h"
#include "logos/store_lock.h"
#include "res/resource_ids.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>

namespace {

// A text too long for its label (a device path under /dev/serial/by-id, a
// long model name) is cut in the middle; the tooltip shows it whole.
void SetLabel(const QWidget* dialog, int id, const QString& text)
{
    auto* label = FindControl<QLabel>(dialog, id);
    if (!label)
        return;
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width());
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}

void EnableControl(const QWidget* dialog, int id, bool enable)
{
    if (QWidget* control = FindControl(dialog, id))
        control->setEnabled(enable);
}

QString ParityText(int parity)
{
    switch (parity) {
    case kParityOdd:
        return QStringLiteral("ODD");
    case kParityEven:
        return QStringLiteral("EVEN");
    default:
        return QStringLiteral("NONE");
    }
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

CMainDlg::CMainDlg(const MainDlgPaths& paths, QWidget* parent) : QDialog(parent), m_paths(paths)
{
    BuildDialog(this, MainDlgTemplate());
    FindControls();
    ConnectControls();
    OnInitDialog();
}

CMainDlg::~CMainDlg()
{
    // A window torn down without being closed still keeps its list.
    OnDestroy();
}

namespace {

// Alt+letter for the window's buttons; the captions stay as they are.
void AddMnemonics(const QWidget* dialog)
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
        if (auto* button = FindControl<QPushButton>(dialog, mnemonic.id))
            button->setText(QString::fromLatin1(mnemonic.text));
    }
}

}  // namespace

void CMainDlg::FindControls()
{
    AddMnemonics(this);
    FindControl(this, IDC_PREVIEW)->setAccessibleName(QStringLiteral("Preview"));
    m_logoView = FindControl<QTreeWidget>(this, IDC_LOGO_LIST);
    m_summary = FindControl<QLabel>(this, IDC_SUMMARY);
    m_thresholdSlider = FindControl<QSlider>(this, IDC_THRESHOLD_SLIDER);
    m_rSlider = FindControl<QSlider>(this, IDC_R_SLIDER);
    m_lSlider = FindControl<QSlider>(this, IDC_L_SLIDER);
    m_thresholdEdit = FindControl<QLineEdit>(this, IDC_THRESHOLD_VALUE);
    m_rEdit = FindControl<QLineEdit>(this, IDC_R_VALUE);
    m_lEdit = FindControl<QLineEdit>(this, IDC_L_VALUE);
    m_colorGroup = FindControl<QRadioButton>(this, IDC_COLOR_RED)->group();
    m_invertCheck = FindControl<QCheckBox>(this, IDC_INVERT);
}

void CMainDlg::ConnectControls()
{
    connect(FindControl<QPushButton>(this, IDC_EXIT), &QPushButton::clicked, this, &QDialog::accept);
    connect(FindControl<QPushButton>(this, IDC_PORT_SETTING), &QPushButton::clicked, this, &CMainDlg::OnPortSetting);
    connect(FindControl<QPushButton>(this, IDC_OPEN_FILE), &QPushButton::clicked, this, &CMainDlg::OnOpenFile);
    connect(FindControl<QPushButton>(this, IDC_REMOVE), &QPushButton::clicked, this, &CMainDlg::OnRemove);
    connect(FindControl<QPushButton>(this, IDC_RESET), &QPushButton::clicked, this, &CMainDlg::OnReset);
    connect(FindControl<QPushButton>(this, IDC_DOWNLOAD), &QPushButton::clicked, this, &CMainDlg::OnDownload);
    connect(FindControl<QPushButton>(this, IDC_PRINT), &QPushButton::clicked, this, &CMainDlg::OnPrint);
    connect(m_logoView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainDlg::OnLogoSelectionChanged);
    // Only the operator's click counts, not the box following UpdateData.
    connect(m_invertCheck, &QCheckBox::clicked, this, &CMainDlg::OnInvertCheck);
    connect(m_colorGroup, &QButtonGroup::idClicked, this, &CMainDlg::OnColorClicked);
    // A slider acts when a move ends: the mouse lets go, or the keys come up.
    for (QSlider* slider : {m_thresholdSlider, m_rSlider, m_lSlider})
        slider->installEventFilter(this);
    m_aboutAction = new QAction(QStringLiteral("&About MARKO3..."), this);
    m_aboutAction->setData(IDM_ABOUTBOX);
    connect(m_aboutAction, &QAction::triggered, this, [this] { OnSysCommand(m_aboutAction->data().toInt()); });
}

void CMainDlg::OnInitDialog()
{
    AddAboutItem();
    setWindowIcon(QIcon(QStringLiteral(":/res/markograph.png")));
    // The logo is drawn inside the frame's black line, so that its first row
    // and column are not hidden under it.
    const auto* previewFrame = FindControl<QFrame>(this, IDC_PREVIEW);
    m_previewRect = previewFrame->contentsRect().translated(previewFrame->pos());
    m_config = MainWindowDefaults();
    InitSliders();
    m_threshold = 0;
    m_rValue = 100;
    m_lValue = 100;
    m_colorChoice = kColorModeRed;
    m_colors = SeparationColors{};
    m_rCartridgeSwatch = RGB(255, 0, 0);
    m_lCartridgeSwatch = RGB(0, 0, 0);
    UpdateData(false);
    InitLogoView();
    UpdateColorSettings();
    LoadStartupState();
    FillLogoView();
    UpdateSummary();
}

// Qt dialogs have no window menu to extend: the About item is the window's
// context menu (a right click on the window) and F1, with the same command id.
void CMainDlg::AddAboutItem()
{
    m_aboutAction->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(m_aboutAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CMainDlg::InitSliders()
{
    m_rSlider->setRange(0, 255);
    m_rSlider->setValue(100);
    m_lSlider->setRange(0, 255);
    m_lSlider->setValue(100);
    m_thresholdSlider->setRange(0, 360);
    m_thresholdSlider->setValue(0);
    for (QSlider* slider : {m_thresholdSlider, m_rSlider, m_lSlider}) {
        slider->setSingleStep(1);
        slider->setPageStep(1);
    }
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
    if (!m_logos.IsEmpty())
        m_lastLogoFolder = QFileInfo(m_logos.Entries().back()->path).absolutePath();
    EnableColorControls(m_config.modelType);
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
    case kInterfaceSerial:
        SetLabel(this, IDC_INTERFACE, QStringLiteral("Serial"));
        SetLabel(this, IDC_PORT_NAME, port.portName);
        ShowSerialLabels(true);
        break;
    case kInterfaceParallel:
        SetLabel(this, IDC_INTERFACE, QStringLiteral("Parallel"));
        SetLabel(this, IDC_PORT_NAME, port.portName);
        break;
    case kInterfaceUsb:
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
    const bool baudShown = port.interfaceKind != kInterfaceParallel && port.interfaceKind != kInterfaceUsb;
    EnableControl(this, IDC_LABEL_BAUDRATE, baudShown);
    EnableControl(this, IDC_BAUDRATE, baudShown);
    UpdateData(false);
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
    SetLabel(this, IDC_PARITY, ParityText(m_config.port.parity));
    SetLabel(this, IDC_STOPBITS, QString::number(m_config.port.stopBits));
}

void CMainDlg::EnableColorControls(const CModelType& modelType)
{
    UpdateData(true);
    const PrinterKindEntry* kind = KindEntry(modelType);
    if (kind) {
        const bool twoInks = kind->secondInk;
        // "Not Used" stays enabled: it is the choice of single-ink models.
        for (int id : {IDC_COLOR_RED, IDC_COLOR_BLUE, IDC_COLOR_GREEN, IDC_INVERT, IDC_THRESHOLD_SLIDER, IDC_R_SLIDER,
                       IDC_L_SLIDER})
            EnableControl(this, id, twoInks);
        // Their value boxes and labels grey out with them, and a greyed box
        // leaves the tab order.
        for (QLineEdit* edit : {m_thresholdEdit, m_rEdit, m_lEdit}) {
            edit->setEnabled(twoInks);
            for (QLabel* label : findChildren<QLabel*>()) {
                if (label->buddy() == edit)
                    label->setEnabled(twoInks);
            }
        }
        m_colorChoice = twoInks ? kColorModeRed : kColorModeNotUsed;
    }
    UpdateData(false);
}

void CMainDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_summaryText = m_summary->text();
        m_lValue = m_lEdit->text().toInt();
        m_rValue = m_rEdit->text().toInt();
        m_threshold = m_thresholdEdit->text().toInt();
        const int checked = m_colorGroup->checkedId();
        m_colorChoice = checked < 0 ? -1 : checked - IDC_COLOR_RED;
        m_invert = m_invertCheck->isChecked() ? 1 : 0;
        return;
    }
    m_summary->setText(m_summaryText);
    m_lEdit->setText(QString::number(m_lValue));
    m_rEdit->setText(QString::number(m_rValue));
    m_thresholdEdit->setText(QString::number(m_threshold));
    if (QAbstractButton* radio = m_colorGroup->button(IDC_COLOR_RED + m_colorChoice)) {
        radio->setChecked(true);
    } else if (QAbstractButton* checked = m_colorGroup->checkedButton()) {
        // No choice: an exclusive group cannot be cleared otherwise.
        m_colorGroup->setExclusive(false);
        checked->setChecked(false);
        m_colorGroup->setExclusive(true);
    }
    m_invertCheck->setChecked(m_invert != 0);
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
    EnableColorControls(m_config.modelType);
    // The model's default choice is for logos added from now on; a logo on
    // show keeps its own, and the controls go on showing what it holds.
    if (LogoEntry* entry = PreviewEntry())
        ShowEntrySettings(*entry);
    UpdateSummary();
    DrawPreview();
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
    PaintPreview(painter);
}

namespace {

// Keys with which a slider moves itself.
bool MovesSlider(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

// The moments a slider move is finished: the mouse lets go of it (after a
// drag or a click on its groove), the last key of a press or of an
// auto-repeat burst comes up, or a wheel step has moved it.
bool EndsSliderMove(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        return true;
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        return !key->isAutoRepeat() && MovesSlider(key->key());
    }
    default:
        return false;
    }
}

}  // namespace

bool CMainDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_logoView->viewport() && HandleLogoDrop(event))
        return true;
    // The slider handles the event first (a drag's last position, the key's
    // step), then the window reads it.
    auto* slider = qobject_cast<QSlider*>(watched);
    if (slider && slider->isEnabled() && EndsSliderMove(event))
        QTimer::singleShot(0, this, &CMainDlg::OnSliderReleased);
    return QDialog::eventFilter(watched, event);
}

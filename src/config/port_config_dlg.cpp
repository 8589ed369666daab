#include "config/port_config_dlg.h"

#include "config/combo_choice.h"
#include "config/port_config_ids.h"
#include "config/port_config_layout.h"
#include "config/port_config_page.h"
#include "config/profile_file.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog_template.h"
#include "framework/outcome.h"

#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

const char kLoadErrorText[] = "Error : Loading information file!";
const char kModelChangedText[] = "Error Code 1111 : Changed Printer Information File!";
const char kChooseInterfaceText[] = "Select an interface in Step 2.";

// The interfaces in the order the interface combo lists them, each with its
// caption and its bit in a catalogue entry's interface set.
struct InterfaceEntry {
    InterfaceKind kind;
    const char* caption;
    int bit;
};
constexpr std::array<InterfaceEntry, 4> kInterfaces = {{
    {InterfaceKind::Serial, "Serial", kInterfaceBitSerial},
    {InterfaceKind::Parallel, "Parallel", kInterfaceBitParallel},
    {InterfaceKind::Usb, "USB", kInterfaceBitUsb},
    {InterfaceKind::Ethernet, "Ethernet", kInterfaceBitEthernet},
}};

bool IsKnownInterface(InterfaceKind kind)
{
    return std::any_of(kInterfaces.begin(), kInterfaces.end(),
                       [kind](const InterfaceEntry& entry) { return entry.kind == kind; });
}

}  // namespace

CPortConfigDlg::CPortConfigDlg(QWidget* parent, QString modelFilePath)
    : CDialog(PortConfigTemplate(), parent), m_modelFilePath(std::move(modelFilePath))
{
    CreateControls();
    ConnectControls();
}

CPortConfigDlg::~CPortConfigDlg() = default;

void CPortConfigDlg::SetUsbDiscoveryRoots(QString sysfsRoot, QString deviceRoot, std::FILE* trace)
{
    m_sysfsRoot = std::move(sysfsRoot);
    m_deviceRoot = std::move(deviceRoot);
    m_usbTrace = trace;
}

void CPortConfigDlg::CreateControls()
{
    const DialogTemplate layout = PortConfigTemplate();
    FinishPortConfigLayout(this, layout);
    m_page = std::make_unique<CPortConfigPage>(this);
    m_modelCombo = Control<QComboBox>(IDC_CONFIG_MODEL);
    m_interfaceCombo = Control<QComboBox>(IDC_CONFIG_INTERFACE);
    // Tab in reading order, through the four address fields (the control
    // came last, so the chain is laid out again); a page's hidden boxes are
    // passed over.
    std::vector<QWidget*> order = {m_modelCombo, m_interfaceCombo};
    for (QWidget* field : m_page->TabOrder())
        order.push_back(field);
    order.push_back(Control(win::kIdOk));
    order.push_back(Control(win::kIdCancel));
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void CPortConfigDlg::ConnectControls()
{
    // activated, not currentIndexChanged: only the operator's choices count,
    // not the selections this dialog makes itself while filling the boxes.
    connect(m_modelCombo, &QComboBox::activated, this, &CPortConfigDlg::OnModelChanged);
    connect(m_interfaceCombo, &QComboBox::activated, this, &CPortConfigDlg::OnInterfaceChanged);
    connect(Control<QPushButton>(win::kIdOk), &QPushButton::clicked, this, &CPortConfigDlg::OnOK);
    connect(Control<QPushButton>(win::kIdCancel), &QPushButton::clicked, this, &CPortConfigDlg::OnCancel);
}

void CPortConfigDlg::reject()
{
    OnCancel();
}

bool CPortConfigDlg::OnInitDialog()
{
    // The application's icon (IDR_MAINFRAME); one QIcon holds the large and
    // the small size. Without the resource the application's icon stays.
    setWindowIcon(QIcon(QStringLiteral(":/res/markograph.png")));
    const CProfileFile file(m_modelFilePath);
    m_models = ReadModelCatalogue(file);
    setWindowTitle(ReadDescription(file));

    // The current model is the last one of the name: a catalogue that lists a
    // name twice shows the later entry.
    const QString current = file.ReadString(kSectionCommon, kKeyModelName);
    m_modelCombo->clear();
    int currentIndex = -1;
    for (size_t i = 0; i < m_models.size(); ++i) {
        m_modelCombo->addItem(m_models[i].modelName);
        if (m_models[i].modelName == current)
            currentIndex = static_cast<int>(i);
    }
    if (currentIndex < 0) {
        ShowOutcome(Outcome::Failure(QString::fromLatin1(kLoadErrorText)));
        return false;
    }
    m_modelCombo->setCurrentIndex(currentIndex);
    FillInterfaceCombo(m_models[static_cast<size_t>(currentIndex)].interfaceMask);

    // An interface kind the dialog does not know would leave every step-3
    // control of every page on top of each other; show the page of the
    // model's first interface instead.
    InterfaceKind saved = InterfaceKindFromFile(file.ReadInt(kSectionCommunication, kKeyInterface, 0));
    if (!IsKnownInterface(saved) && ChosenInterface())
        saved = *ChosenInterface();
    ShowInterfacePage(saved);
    RestoreSavedSettings();
    return true;
}

void CPortConfigDlg::FillInterfaceCombo(int interfaceMask)
{
    m_interfaceCombo->clear();
    for (const InterfaceEntry& entry : kInterfaces) {
        if (interfaceMask & entry.bit)
            m_interfaceCombo->addItem(QString::fromLatin1(entry.caption), FileValue(entry.kind));
    }
    m_interfaceCombo->setCurrentIndex(0);
}

std::optional<InterfaceKind> CPortConfigDlg::ChosenInterface() const
{
    if (m_interfaceCombo->currentIndex() < 0)
        return std::nullopt;
    return InterfaceKindFromFile(m_interfaceCombo->currentData().toInt());
}

void CPortConfigDlg::ShowInterfacePage(InterfaceKind kind)
{
    if (!IsKnownInterface(kind))
        return;
    // A kind the model does not offer leaves the interface box without a choice.
    SelectData(m_interfaceCombo, FileValue(kind));
    if (kind == InterfaceKind::Usb) {
        // Printers come and go: discover afresh every time the page is shown.
        const CProfileFile file(m_modelFilePath);
        m_usbPorts = EnumerateUsbPrinters(m_sysfsRoot, ReadUsbVendorIds(file), m_deviceRoot, m_usbTrace);
    }
    m_page->Show(kind, m_usbPorts);
}

void CPortConfigDlg::RestoreSavedSettings()
{
    // The saved interface's values go into whatever page is shown.
    const CProfileFile file(m_modelFilePath);
    const InterfaceKind savedKind = InterfaceKindFromFile(file.ReadInt(kSectionCommunication, kKeyInterface, 0));
    m_page->Restore(file, ChosenInterface() == savedKind);
}

void CPortConfigDlg::OnModelChanged()
{
    // Names are looked up from the front: of two entries with one name, the
    // earlier one counts.
    const ModelInfo* model = FindModelByName(m_models, m_modelCombo->currentText());
    if (!model)
        return;
    FillInterfaceCombo(model->interfaceMask);
    OnInterfaceChanged();
}

void CPortConfigDlg::OnInterfaceChanged()
{
    // An empty interface box (a model that offers none) reads as Ethernet,
    // as any caption other than the first three does: its page is shown
    // rather than leaving the previous model's page on show.
    ShowInterfacePage(ChosenInterface().value_or(InterfaceKind::Ethernet));
    RestoreSavedSettings();
}

void CPortConfigDlg::OnOK()
{
    // A refused choice or a failed write keeps the dialog open: the operator
    // corrects the choice or the file and presses OK again, or cancels.
    const SaveResult saved = SaveSettings();
    if (saved == SaveResult::Refused || saved == SaveResult::WriteFailed)
        return;
    EndDialog(QDialog::Accepted);
}

void CPortConfigDlg::OnCancel()
{
    EndDialog(QDialog::Rejected);
}

void CPortConfigDlg::done(int result)
{
    m_models.clear();
    m_usbPorts.clear();
    CDialog::done(result);
}

CPortConfigDlg::SaveResult CPortConfigDlg::SaveSettings()
{
    const ModelInfo* model = FindModelByName(m_models, m_modelCombo->currentText());
    if (!model) {
        ShowOutcome(Outcome::Failure(QString::fromLatin1(kModelChangedText)));
        return SaveResult::ModelNotFound;
    }
    const std::optional<InterfaceKind> kind = ChosenInterface();
    if (!kind) {
        RequireChoice(m_interfaceCombo, kChooseInterfaceText);
        return SaveResult::Refused;
    }
    // Every choice is checked before the first write, so a refusal leaves the
    // file as it was. One replace of the whole file with every key set in
    // this order: a failure part-way (a full disk) leaves the previous
    // settings whole, never a new model with the old limits.
    const QString common = QString::fromLatin1(kSectionCommon);
    std::vector<ProfileWrite> writes = {
        {common, QString::fromLatin1(kKeyModelName), model->modelName},
        {common, QString::fromLatin1(kKeyModelType), QString::number(model->modelType.Number())},
        {common, QString::fromLatin1(kKeyReceiptWidth), QString::number(model->receiptWidth)},
        {common, QString::fromLatin1(kKeyMemorySize), QString::number(model->memorySize)},
        {common, QString::fromLatin1(kKeyDownMax), QString::number(model->downMax)},
        {QString::fromLatin1(kSectionCommunication), QString::fromLatin1(kKeyInterface),
         QString::number(FileValue(*kind))},
    };
    if (!m_page->AddWrites(*kind, m_usbPorts, writes))
        return SaveResult::Refused;

    CProfileFile file(m_modelFilePath);
    QString error;
    if (!file.WriteStrings(writes, &error)) {
        ShowMessage(QStringLiteral("The settings could not be saved in %1:\n%2")
                        .arg(QDir::toNativeSeparators(m_modelFilePath), error),
                    MessageIcon::Exclamation);
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
}

#include "config/port_config_dlg.h"

#include "config/port_config_ids.h"
#include "config/port_settings.h"
#include "config/profile_file.h"
#include "framework/message_box.h"
#include "framework/widgets/control_ids.h"
#include "framework/widgets/dialog_template.h"
#include "framework/widgets/dialog_units.h"
#include "framework/widgets/ip_address_ctrl.h"

#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

const char kLoadErrorText[] = "Error : Loading information file!";
const char kModelChangedText[] = "Error Code 1111 : Changed Printer Information File!";
const char kNoUsbPrinterText[] = "Not Connect Printer";
const char kNoUsbPortName[] = "USB000:";
const char kNoUsbDevicePath[] = "NONE";
const char kEthernetPortName[] = "Ethernet";

const char kChooseInterfaceText[] = "Select an interface in Step 2.";
const char kChoosePortText[] = "Select a port in Step 3.";
const char kChooseBaudRateText[] = "Select a baud rate in Step 3.";
const char kChooseDataBitsText[] = "Select the data bits in Step 3.";
const char kChooseStopBitsText[] = "Select the stop bits in Step 3.";
const char kChooseParityText[] = "Select a parity in Step 3.";
const char kEnterTcpPortText[] = "Enter a TCP port number from 1 to 65535 in Step 3.";

// Interface names by kind, in the order the interface combo lists them.
constexpr std::array<const char*, 4> kInterfaceNames = {"Serial", "Parallel", "USB", "Ethernet"};
constexpr std::array<int, 4> kInterfaceBits = {kInterfaceBitSerial, kInterfaceBitParallel, kInterfaceBitUsb,
                                               kInterfaceBitEthernet};

// A combo box's template height is the height of its dropped-down list; the
// closed box is one line of text high, and the list shows as many entries as
// fit in the rest.
constexpr int kComboClosedHeight = 12;  // dialog units
constexpr int kComboItemHeight = 8;     // dialog units

constexpr int kMaxTcpPort = 65535;

DialogTemplate PortConfigTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Markograph ver 3.1.1"), QStringLiteral("MS Sans Serif"), 8, 172, 189,
            {
                {-1, K::GroupBox, QStringLiteral("Step 1. Select Printer Model"), 7, 7, 158, 30},
                {IDC_CONFIG_MODEL, K::ComboBox, {}, 35, 17, 109, 167},
                {-1, K::GroupBox, QStringLiteral("Step 2. Select Interface"), 7, 41, 158, 29},
                {IDC_CONFIG_INTERFACE, K::ComboBox, {}, 35, 52, 108, 68},
                {-1, K::GroupBox, QStringLiteral("Step 3. Set Configuration"), 7, 74, 158, 87},
                {IDC_CONFIG_PORT_LABEL, K::Static, QStringLiteral("Port :"), 31, 89, 18, 8},
                {IDC_CONFIG_PORT, K::ComboBox, {}, 51, 87, 93, 114},
                {IDC_CONFIG_IP_ADDRESS, K::Custom, {}, 51, 87, 93, 12},
                {IDC_CONFIG_BAUDRATE_LABEL, K::Static, QStringLiteral("Baudrate :"), 15, 103, 34, 8},
                {IDC_CONFIG_BAUDRATE, K::ComboBox, {}, 51, 101, 93, 73},
                {IDC_CONFIG_TCP_PORT, K::Edit, {}, 51, 101, 93, 12},
                {IDC_CONFIG_DATABITS_LABEL, K::Static, QStringLiteral("DataBits :"), 17, 117, 32, 8},
                {IDC_CONFIG_DATABITS, K::ComboBox, {}, 51, 115, 93, 84},
                {IDC_CONFIG_STOPBITS_LABEL, K::Static, QStringLiteral("StopBits :"), 18, 131, 31, 8},
                {IDC_CONFIG_STOPBITS, K::ComboBox, {}, 51, 129, 93, 60},
                {IDC_CONFIG_PARITY_LABEL, K::Static, QStringLiteral("ParityBits :"), 15, 145, 34, 8},
                {IDC_CONFIG_PARITY, K::ComboBox, {}, 51, 143, 93, 89},
                {IDOK, K::DefaultPushButton, QStringLiteral("OK"), 27, 163, 59, 19},
                {IDCANCEL, K::PushButton, QStringLiteral("Cancel"), 92, 163, 59, 19},
            }};
}

// The kind of an interface entry, found by its text; any text that is not one
// of the first three names stands for Ethernet.
int InterfaceKindOf(const QString& text)
{
    for (int kind = kInterfaceSerial; kind < kInterfaceEthernet; ++kind) {
        if (text == QLatin1String(kInterfaceNames[static_cast<size_t>(kind)]))
            return kind;
    }
    return kInterfaceEthernet;
}

// Selects the entry with exactly that text. Without one the combo box holds
// no choice at all: no entry and an empty text field.
void SelectExact(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(QString());
}

// Shows a saved port: the entry with that text, or, on the page of the
// interface it was saved for, a device path the operator typed
// (/dev/ttyUSB0) as the box's text, so that OK without a change keeps it.
// Another interface's port name leaves the box without a choice.
void ShowSavedPort(QComboBox* combo, const QString& text, bool samePage)
{
    SelectExact(combo, text);
    if (samePage && combo->currentIndex() < 0 && combo->isEditable() && !text.trimmed().isEmpty())
        combo->setEditText(text);
}

void FillCombo(QComboBox* combo, const QStringList& entries, const QString& selected)
{
    combo->clear();
    combo->addItems(entries);
    SelectExact(combo, selected);
}

QStringList NumberedNames(const char* prefix, int count)
{
    QStringList names;
    for (int n = 1; n <= count; ++n)
        names.append(QLatin1String(prefix) + QString::number(n));
    return names;
}

// The choice of a combo box: the selected entry, or what the operator typed
// (a device path such as /dev/ttyUSB0). Refuses an empty one, telling the
// operator what to choose.
std::optional<QString> RequireChoice(QComboBox* combo, const char* whatToChoose)
{
    const QString text = combo->currentText();
    if (!text.trimmed().isEmpty())
        return text;
    ShowMessage(QString::fromLatin1(whatToChoose), MessageIcon::Exclamation);
    combo->setFocus();
    return std::nullopt;
}

}  // namespace

struct CPortConfigDlg::Write {
    const char* section;
    const char* key;
    QString value;
};

CPortConfigDlg::CPortConfigDlg(QWidget* parent, QString modelFilePath)
    : QDialog(parent), m_modelFilePath(std::move(modelFilePath))
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
    BuildDialog(this, layout);
    const CDialogUnits units(font());
    for (const ControlTemplate& control : layout.controls) {
        if (control.kind != ControlKind::ComboBox)
            continue;
        auto* combo = FindControl<QComboBox>(this, control.id);
        combo->setMaxVisibleItems(std::max(1, (control.height - kComboClosedHeight) / kComboItemHeight));
        combo->resize(combo->width(), units.Y(kComboClosedHeight));
    }

    // The IP address control takes its placeholder's place, id and tab position.
    QWidget* placeholder = FindControl(this, IDC_CONFIG_IP_ADDRESS);
    m_ipAddress = new CIpAddressCtrl(this);
    m_ipAddress->setGeometry(placeholder->geometry());
    m_ipAddress->setAccessibleName(placeholder->accessibleName());
    delete placeholder;
    SetControlId(m_ipAddress, IDC_CONFIG_IP_ADDRESS);

    m_modelCombo = FindControl<QComboBox>(this, IDC_CONFIG_MODEL);
    m_interfaceCombo = FindControl<QComboBox>(this, IDC_CONFIG_INTERFACE);
    m_portCombo = FindControl<QComboBox>(this, IDC_CONFIG_PORT);
    m_baudRateCombo = FindControl<QComboBox>(this, IDC_CONFIG_BAUDRATE);
    m_dataBitsCombo = FindControl<QComboBox>(this, IDC_CONFIG_DATABITS);
    m_stopBitsCombo = FindControl<QComboBox>(this, IDC_CONFIG_STOPBITS);
    m_parityCombo = FindControl<QComboBox>(this, IDC_CONFIG_PARITY);
    m_tcpPortEdit = FindControl<QLineEdit>(this, IDC_CONFIG_TCP_PORT);
    m_portLabel = FindControl<QLabel>(this, IDC_CONFIG_PORT_LABEL);
    m_baudRateLabel = FindControl<QLabel>(this, IDC_CONFIG_BAUDRATE_LABEL);
    m_tcpPortEdit->setAlignment(Qt::AlignRight);
    AlignLabelsWithFields();
    // Tab in reading order, through the four address fields (the control
    // came last, so the chain is laid out again); a page's hidden boxes are
    // passed over.
    const std::vector<QWidget*> order = {
        m_modelCombo, m_interfaceCombo, m_portCombo, m_ipAddress->Field(0), m_ipAddress->Field(1),
        m_ipAddress->Field(2), m_ipAddress->Field(3), m_baudRateCombo, m_tcpPortEdit, m_dataBitsCombo,
        m_stopBitsCombo, m_parityCombo, FindControl(this, IDOK), FindControl(this, IDCANCEL)};
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// Each step-3 label stands right against its field and is centred on the
// field's row, so "IP :" and "Port :" line up with what they name.
void CPortConfigDlg::AlignLabelsWithFields()
{
    const std::pair<int, int> rows[] = {
        {IDC_CONFIG_PORT_LABEL, IDC_CONFIG_PORT},         {IDC_CONFIG_BAUDRATE_LABEL, IDC_CONFIG_BAUDRATE},
        {IDC_CONFIG_DATABITS_LABEL, IDC_CONFIG_DATABITS}, {IDC_CONFIG_STOPBITS_LABEL, IDC_CONFIG_STOPBITS},
        {IDC_CONFIG_PARITY_LABEL, IDC_CONFIG_PARITY},
    };
    for (const auto& [labelId, fieldId] : rows) {
        auto* label = FindControl<QLabel>(this, labelId);
        const QWidget* field = FindControl(this, fieldId);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(label->x(), field->y(), label->width(), field->height());
    }
}

void CPortConfigDlg::ConnectControls()
{
    // activated, not currentIndexChanged: only the operator's choices count,
    // not the selections this dialog makes itself while filling the boxes.
    connect(m_modelCombo, &QComboBox::activated, this, &CPortConfigDlg::OnModelChanged);
    connect(m_interfaceCombo, &QComboBox::activated, this, &CPortConfigDlg::OnInterfaceChanged);
    connect(FindControl<QPushButton>(this, IDOK), &QPushButton::clicked, this, &CPortConfigDlg::OnOK);
    connect(FindControl<QPushButton>(this, IDCANCEL), &QPushButton::clicked, this, &CPortConfigDlg::OnCancel);
}

int CPortConfigDlg::exec()
{
    if (!m_initialised) {
        m_initialised = true;
        if (!OnInitDialog()) {
            OnCancel();
            return result();
        }
    }
    return QDialog::exec();
}

void CPortConfigDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_initialised)
        return;
    m_initialised = true;
    // Ending the dialog while it is being shown would be undone by the show.
    if (!OnInitDialog())
        QMetaObject::invokeMethod(this, &CPortConfigDlg::OnCancel, Qt::QueuedConnection);
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
        ShowMessage(QString::fromLatin1(kLoadErrorText));
        return false;
    }
    m_modelCombo->setCurrentIndex(currentIndex);
    FillInterfaceCombo(m_models[static_cast<size_t>(currentIndex)].interfaceMask);

    // An interface kind the dialog does not know would leave every step-3
    // control of every page on top of each other; show the page of the
    // model's first interface instead.
    int saved = file.ReadInt(kSectionCommunication, kKeyInterface, kInterfaceSerial);
    if ((saved < kInterfaceSerial || saved > kInterfaceEthernet) && m_interfaceCombo->currentIndex() >= 0)
        saved = InterfaceKindOf(m_interfaceCombo->currentText());
    ShowInterfacePage(saved);
    RestoreSavedSettings();
    return true;
}

void CPortConfigDlg::FillInterfaceCombo(int interfaceMask)
{
    m_interfaceCombo->clear();
    for (size_t kind = 0; kind < kInterfaceNames.size(); ++kind) {
        if (interfaceMask & kInterfaceBits[kind])
            m_interfaceCombo->addItem(QString::fromLatin1(kInterfaceNames[kind]));
    }
    m_interfaceCombo->setCurrentIndex(0);
}

void CPortConfigDlg::ShowInterfacePage(int kind)
{
    if (kind < kInterfaceSerial || kind > kInterfaceEthernet)
        return;
    // A kind the model does not offer leaves the interface box without a choice.
    SelectExact(m_interfaceCombo, QString::fromLatin1(kInterfaceNames[static_cast<size_t>(kind)]));
    switch (kind) {
    case kInterfaceSerial:
        FillCombo(m_portCombo, NumberedNames("COM", 11), QStringLiteral("COM1"));
        FillCombo(m_baudRateCombo,
                  {QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("19200"),
                   QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")},
                  QStringLiteral("19200"));
        FillCombo(m_dataBitsCombo, {QStringLiteral("8")}, QStringLiteral("8"));
        FillCombo(m_parityCombo, {QStringLiteral("NONE"), QStringLiteral("ODD"), QStringLiteral("EVEN")},
                  QStringLiteral("NONE"));
        FillCombo(m_stopBitsCombo, {QStringLiteral("0")}, QStringLiteral("0"));
        break;
    case kInterfaceParallel:
        FillCombo(m_portCombo, NumberedNames("LPT", 5), QStringLiteral("LPT1"));
        break;
    case kInterfaceUsb:
        // Printers come and go: discover afresh every time the page is shown.
        m_portCombo->clear();
        m_usbPorts.clear();
        EnumerateUsbPrinters();
        if (m_portCombo->count() == 0)
            m_portCombo->addItem(QString::fromLatin1(kNoUsbPrinterText));
        m_portCombo->setCurrentIndex(0);
        break;
    default:  // Ethernet; the hidden port combo keeps what it holds
        m_ipAddress->SetAddress({0, 0, 0, 0});
        m_tcpPort = 0;
        break;
    }

    const bool serial = kind == kInterfaceSerial;
    const bool ethernet = kind == kInterfaceEthernet;
    m_portLabel->setText(ethernet ? QStringLiteral("IP :") : QStringLiteral("Port :"));
    m_baudRateLabel->setText(ethernet ? QStringLiteral("Port :") : QStringLiteral("Baudrate :"));
    m_portCombo->setHidden(ethernet);
    m_ipAddress->setHidden(!ethernet);
    m_tcpPortEdit->setHidden(!ethernet);
    m_baudRateLabel->setHidden(!serial && !ethernet);
    for (int id : {IDC_CONFIG_DATABITS_LABEL, IDC_CONFIG_STOPBITS_LABEL, IDC_CONFIG_PARITY_LABEL,
                   IDC_CONFIG_BAUDRATE, IDC_CONFIG_DATABITS, IDC_CONFIG_STOPBITS, IDC_CONFIG_PARITY})
        FindControl(this, id)->setHidden(!serial);
}

void CPortConfigDlg::RestoreSavedSettings()
{
    // The saved interface's values go into whatever page is shown; a value
    // its combo box does not hold leaves that box without a choice.
    const CProfileFile file(m_modelFilePath);
    const auto saved = [&file](const char* key) { return file.ReadString(kSectionCommunication, key); };
    const int savedKind = file.ReadInt(kSectionCommunication, kKeyInterface, kInterfaceSerial);
    const bool samePage = InterfaceKindOf(m_interfaceCombo->currentText()) == savedKind;
    switch (savedKind) {
    case kInterfaceSerial:
        ShowSavedPort(m_portCombo, saved(kKeyPortName), samePage);
        SelectExact(m_baudRateCombo, saved(kKeyBaudRate));
        SelectExact(m_parityCombo, saved(kKeyParity));
        SelectExact(m_dataBitsCombo, saved(kKeyDataBits));
        SelectExact(m_stopBitsCombo, saved(kKeyStopBits));
        break;
    case kInterfaceParallel:
        ShowSavedPort(m_portCombo, saved(kKeyPortName), samePage);
        break;
    case kInterfaceEthernet: {
        std::array<quint8, 4> address{};
        const std::array<const char*, 4> keys = {kKeyIp1, kKeyIp2, kKeyIp3, kKeyIp4};
        for (size_t i = 0; i < keys.size(); ++i)
            address[i] = static_cast<quint8>(file.ReadInt(kSectionCommunication, keys[i], 0));
        m_ipAddress->SetAddress(address);
        m_tcpPort = file.ReadInt(kSectionCommunication, kKeyTcpPort, 0);
        m_tcpPortEdit->setText(QString::number(m_tcpPort));
        break;
    }
    default:  // USB: discovery has just chosen; anything else: nothing saved to show
        break;
    }
}

void CPortConfigDlg::EnumerateUsbPrinters()
{
    const CProfileFile file(m_modelFilePath);
    m_usbPorts = ::EnumerateUsbPrinters(m_sysfsRoot, ReadUsbVendorIds(file), m_deviceRoot, m_usbTrace);
    for (const UsbPortEntry& entry : m_usbPorts)
        m_portCombo->addItem(entry.portName);
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
    ShowInterfacePage(InterfaceKindOf(m_interfaceCombo->currentText()));
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

void CPortConfigDlg::EndDialog(int result)
{
    m_models.clear();
    m_usbPorts.clear();
    m_initialised = false;  // a further run reads the file again
    QDialog::done(result);
}

CPortConfigDlg::SaveResult CPortConfigDlg::SaveSettings()
{
    const ModelInfo* model = FindModelByName(m_models, m_modelCombo->currentText());
    if (!model) {
        ShowMessage(QString::fromLatin1(kModelChangedText));
        return SaveResult::ModelNotFound;
    }
    // Every choice is checked before the first write, so a refusal leaves the
    // file as it was.
    std::vector<Write> writes = {
        {kSectionCommon, kKeyModelName, model->modelName},
        {kSectionCommon, kKeyModelType, QString::number(model->modelType.Number())},
        {kSectionCommon, kKeyReceiptWidth, QString::number(model->receiptWidth)},
        {kSectionCommon, kKeyMemorySize, QString::number(model->memorySize)},
        {kSectionCommon, kKeyDownMax, QString::number(model->downMax)},
    };
    const std::optional<QString> interfaceName = RequireChoice(m_interfaceCombo, kChooseInterfaceText);
    if (!interfaceName)
        return SaveResult::Refused;
    const int kind = InterfaceKindOf(*interfaceName);
    writes.push_back({kSectionCommunication, kKeyInterface, QString::number(kind)});
    if (!AddInterfaceWrites(kind, writes))
        return SaveResult::Refused;

    // One replace of the whole file with every key set in the order above:
    // a failure part-way (a full disk) leaves the previous settings whole,
    // never a new model with the old limits.
    std::vector<ProfileWrite> changes;
    for (const Write& write : writes)
        changes.push_back({QString::fromLatin1(write.section), QString::fromLatin1(write.key), write.value});
    CProfileFile file(m_modelFilePath);
    QString error;
    if (!file.WriteStrings(changes, &error)) {
        ShowMessage(QStringLiteral("The settings could not be saved in %1:\n%2")
                        .arg(QDir::toNativeSeparators(m_modelFilePath), error),
                    MessageIcon::Exclamation);
        return SaveResult::WriteFailed;
    }
    return SaveResult::Saved;
}

bool CPortConfigDlg::AddInterfaceWrites(int kind, std::vector<Write>& writes)
{
    const auto add = [&writes](const char* key, const QString& value) {
        writes.push_back({kSectionCommunication, key, value});
    };
    if (kind == kInterfaceEthernet) {
        bool isNumber = false;
        const int port = m_tcpPortEdit->text().trimmed().toInt(&isNumber);
        if (!isNumber || port < 1 || port > kMaxTcpPort) {
            ShowMessage(QString::fromLatin1(kEnterTcpPortText), MessageIcon::Exclamation);
            m_tcpPortEdit->setFocus();
            m_tcpPortEdit->selectAll();
            return false;
        }
        m_tcpPort = port;
        const std::array<quint8, 4> address = m_ipAddress->Address();
        add(kKeyPortName, QString::fromLatin1(kEthernetPortName));
        const std::array<const char*, 4> keys = {kKeyIp1, kKeyIp2, kKeyIp3, kKeyIp4};
        for (size_t i = 0; i < keys.size(); ++i)
            add(keys[i], QString::number(address[i]));
        add(kKeyTcpPort, QString::number(m_tcpPort));
        return true;
    }

    const std::optional<QString> port = RequireChoice(m_portCombo, kChoosePortText);
    if (!port)
        return false;
    if (kind == kInterfaceUsb) {
        const auto found = std::find_if(m_usbPorts.begin(), m_usbPorts.end(),
                                        [&port](const UsbPortEntry& entry) { return entry.portName == *port; });
        const bool listed = found != m_usbPorts.end();
        add(kKeyPortName, listed ? found->portName : QString::fromLatin1(kNoUsbPortName));
        add(kKeyUsbPort, listed ? found->devicePath : QString::fromLatin1(kNoUsbDevicePath));
        return true;
    }
    add(kKeyPortName, *port);
    if (kind == kInterfaceParallel)
        return true;

    // Serial: written in this order, each as its box shows it.
    struct SerialChoice {
        QComboBox* combo;
        const char* key;
        const char* whatToChoose;
    };
    const SerialChoice choices[] = {
        {m_baudRateCombo, kKeyBaudRate, kChooseBaudRateText},
        {m_parityCombo, kKeyParity, kChooseParityText},
        {m_dataBitsCombo, kKeyDataBits, kChooseDataBitsText},
        {m_stopBitsCombo, kKeyStopBits, kChooseStopBitsText},
    };
    for (const SerialChoice& choice : choices) {
        const std::optional<QString> value = RequireChoice(choice.combo, choice.whatToChoose);
        if (!value)
            return false;
        add(choice.key, *value);
    }
    return true;
}

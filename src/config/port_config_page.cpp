#include "config/port_config_page.h"

#include "config/combo_choice.h"
#include "config/model_file.h"
#include "config/port_config_ids.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog.h"
#include "framework/widgets/dialog_accessibility.h"
#include "framework/widgets/ip_address_ctrl.h"
#include "framework/outcome.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

namespace {

const char kNoUsbPrinterText[] = "Not Connect Printer";
const char kNoUsbPortName[] = "USB000:";
const char kNoUsbDevicePath[] = "NONE";
const char kEthernetPortName[] = "Ethernet";

const char kChoosePortText[] = "Select a port in Step 3.";
const char kChooseBaudRateText[] = "Select a baud rate in Step 3.";
const char kChooseDataBitsText[] = "Select the data bits in Step 3.";
const char kChooseStopBitsText[] = "Select the stop bits in Step 3.";
const char kChooseParityText[] = "Select a parity in Step 3.";
const char kEnterTcpPortText[] = "Enter a TCP port number from 1 to 65535 in Step 3.";

constexpr int kMaxTcpPort = 65535;
constexpr std::array<const char*, 4> kIpKeys = {kKeyIp1, kKeyIp2, kKeyIp3, kKeyIp4};

QStringList NumberedNames(const char* prefix, int count)
{
    QStringList names;
    for (int n = 1; n <= count; ++n)
        names.append(QLatin1String(prefix) + QString::number(n));
    return names;
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

void AddWrite(std::vector<ProfileWrite>& writes, const char* key, const QString& value)
{
    writes.push_back({QString::fromLatin1(kSectionCommunication), QString::fromLatin1(key), value});
}

// The serial line's boxes hold each value as item data; the file's text is
// made from the value, so what the box shows is never what is written.
QString NumberText(int value) { return QString::number(value); }
QString ParityText(int value) { return ParityName(static_cast<Parity>(value)); }

struct SerialChoice {
    int value;
    QString (*fileText)(int value);
};

// Replaces the entries (each shown as its file text) and selects selected.
void FillValues(QComboBox* combo, std::initializer_list<SerialChoice> choices, int selected)
{
    combo->clear();
    for (const SerialChoice& choice : choices)
        combo->addItem(choice.fileText(choice.value), choice.value);
    SelectData(combo, selected);
}

// Selects the entry whose value the file holds as exactly text; without one
// the box holds no choice.
void SelectSavedValue(QComboBox* combo, const QString& text, QString (*fileText)(int value))
{
    for (int i = 0; i < combo->count(); ++i) {
        const int value = combo->itemData(i).toInt();
        if (fileText(value) == text) {
            SelectData(combo, value);
            return;
        }
    }
    SelectExact(combo, QString());
}

// The value of the entry the box shows: the one chosen, or the one whose
// text the operator typed exactly. Typed text that names no entry is cleared
// and refused like an empty box, so no value the line cannot take reaches
// the file.
std::optional<int> RequireListedValue(QComboBox* combo, const char* whatToChoose)
{
    const int index = combo->findText(combo->currentText());
    if (index < 0)
        SelectExact(combo, QString());
    if (!RequireChoice(combo, whatToChoose))
        return std::nullopt;
    return combo->itemData(index).toInt();
}

}  // namespace

CPortConfigPage::CPortConfigPage(CDialog* dialog) : m_dialog(dialog)
{
    QWidget* placeholder = dialog->Control(IDC_CONFIG_IP_ADDRESS);
    m_ipAddress = new CIpAddressCtrl(dialog);
    m_ipAddress->setGeometry(placeholder->geometry());
    delete placeholder;
    SetControlId(m_ipAddress, IDC_CONFIG_IP_ADDRESS);

    const std::pair<QComboBox**, int> combos[] = {
        {&m_portCombo, IDC_CONFIG_PORT},         {&m_baudRateCombo, IDC_CONFIG_BAUDRATE},
        {&m_dataBitsCombo, IDC_CONFIG_DATABITS}, {&m_stopBitsCombo, IDC_CONFIG_STOPBITS},
        {&m_parityCombo, IDC_CONFIG_PARITY},
    };
    for (const auto& [combo, id] : combos)
        *combo = dialog->Control<QComboBox>(id);
    m_portLabel = dialog->Control<QLabel>(IDC_CONFIG_PORT_LABEL);
    m_baudRateLabel = dialog->Control<QLabel>(IDC_CONFIG_BAUDRATE_LABEL);
    m_tcpPortEdit = dialog->Control<QLineEdit>(IDC_CONFIG_TCP_PORT);
    m_tcpPortEdit->setAlignment(Qt::AlignRight);
    // The address takes its name from the label beside it, as the port does.
    NameAfterLabel(m_ipAddress, m_portLabel);
}

std::vector<QWidget*> CPortConfigPage::TabOrder() const
{
    return {m_portCombo,     m_ipAddress->Field(0), m_ipAddress->Field(1), m_ipAddress->Field(2),
            m_ipAddress->Field(3), m_baudRateCombo, m_tcpPortEdit, m_dataBitsCombo, m_stopBitsCombo,
            m_parityCombo};
}

void CPortConfigPage::Show(InterfaceKind kind, const std::vector<UsbPortEntry>& usbPorts)
{
    switch (kind) {
    case InterfaceKind::Serial:
        FillCombo(m_portCombo, NumberedNames("COM", 11), QStringLiteral("COM1"));
        FillValues(m_baudRateCombo,
                   {{2400, NumberText}, {4800, NumberText}, {9600, NumberText}, {19200, NumberText},
                    {38400, NumberText}, {57600, NumberText}, {115200, NumberText}},
                   19200);
        FillValues(m_dataBitsCombo, {{8, NumberText}}, 8);
        FillValues(m_parityCombo,
                   {{static_cast<int>(Parity::None), ParityText}, {static_cast<int>(Parity::Odd), ParityText},
                    {static_cast<int>(Parity::Even), ParityText}},
                   static_cast<int>(Parity::None));
        FillValues(m_stopBitsCombo, {{FileValue(StopBits::One), NumberText}}, FileValue(StopBits::One));
        break;
    case InterfaceKind::Parallel:
        FillCombo(m_portCombo, NumberedNames("LPT", 5), QStringLiteral("LPT1"));
        break;
    case InterfaceKind::Usb:
        m_portCombo->clear();
        for (const UsbPortEntry& entry : usbPorts)
            m_portCombo->addItem(entry.portName);
        if (m_portCombo->count() == 0)
            m_portCombo->addItem(QString::fromLatin1(kNoUsbPrinterText));
        m_portCombo->setCurrentIndex(0);
        break;
    case InterfaceKind::Ethernet:  // the hidden port combo keeps what it holds
        m_ipAddress->SetAddress({0, 0, 0, 0});
        m_tcpPortEdit->setText(QStringLiteral("0"));
        break;
    default:
        return;
    }
    ShowControlsOf(kind);
}

void CPortConfigPage::ShowControlsOf(InterfaceKind kind)
{
    const bool serial = kind == InterfaceKind::Serial;
    const bool ethernet = kind == InterfaceKind::Ethernet;
    m_portLabel->setText(ethernet ? QStringLiteral("IP :") : QStringLiteral("Port :"));
    m_baudRateLabel->setText(ethernet ? QStringLiteral("Port :") : QStringLiteral("Baudrate :"));
    RefreshNamesFromLabels(m_dialog);
    m_portCombo->setHidden(ethernet);
    m_ipAddress->setHidden(!ethernet);
    m_tcpPortEdit->setHidden(!ethernet);
    m_baudRateLabel->setHidden(!serial && !ethernet);
    for (int id : {IDC_CONFIG_DATABITS_LABEL, IDC_CONFIG_STOPBITS_LABEL, IDC_CONFIG_PARITY_LABEL,
                   IDC_CONFIG_BAUDRATE, IDC_CONFIG_DATABITS, IDC_CONFIG_STOPBITS, IDC_CONFIG_PARITY})
        m_dialog->Control(id)->setHidden(!serial);
}

void CPortConfigPage::Restore(const CProfileFile& file, bool samePage)
{
    const auto saved = [&file](const char* key) { return file.ReadString(kSectionCommunication, key); };
    switch (InterfaceKindFromFile(file.ReadInt(kSectionCommunication, kKeyInterface, 0))) {
    case InterfaceKind::Serial:
        ShowSavedPort(m_portCombo, saved(kKeyPortName), samePage);
        SelectSavedValue(m_baudRateCombo, saved(kKeyBaudRate), NumberText);
        SelectSavedValue(m_parityCombo, saved(kKeyParity), ParityText);
        SelectSavedValue(m_dataBitsCombo, saved(kKeyDataBits), NumberText);
        SelectSavedValue(m_stopBitsCombo, saved(kKeyStopBits), NumberText);
        break;
    case InterfaceKind::Parallel:
        ShowSavedPort(m_portCombo, saved(kKeyPortName), samePage);
        break;
    case InterfaceKind::Ethernet: {
        std::array<quint8, 4> address{};
        for (size_t i = 0; i < kIpKeys.size(); ++i)
            address[i] = static_cast<quint8>(file.ReadInt(kSectionCommunication, kIpKeys[i], 0));
        m_ipAddress->SetAddress(address);
        m_tcpPortEdit->setText(QString::number(file.ReadInt(kSectionCommunication, kKeyTcpPort, 0)));
        break;
    }
    default:  // USB: discovery has just chosen; anything else: nothing saved to show
        break;
    }
}

bool CPortConfigPage::AddWrites(InterfaceKind kind, const std::vector<UsbPortEntry>& usbPorts,
                                std::vector<ProfileWrite>& writes)
{
    if (kind == InterfaceKind::Ethernet)
        return AddEthernetWrites(writes);
    const std::optional<QString> port = RequireChoice(m_portCombo, kChoosePortText);
    if (!port)
        return false;
    if (kind == InterfaceKind::Usb) {
        const auto found = std::find_if(usbPorts.begin(), usbPorts.end(),
                                        [&port](const UsbPortEntry& entry) { return entry.portName == *port; });
        const bool listed = found != usbPorts.end();
        AddWrite(writes, kKeyPortName, listed ? found->portName : QString::fromLatin1(kNoUsbPortName));
        AddWrite(writes, kKeyUsbPort, listed ? found->devicePath : QString::fromLatin1(kNoUsbDevicePath));
        return true;
    }
    AddWrite(writes, kKeyPortName, *port);
    return kind == InterfaceKind::Parallel || AddSerialLineWrites(writes);
}

bool CPortConfigPage::AddEthernetWrites(std::vector<ProfileWrite>& writes)
{
    bool isNumber = false;
    const int port = m_tcpPortEdit->text().trimmed().toInt(&isNumber);
    if (!isNumber || port < 1 || port > kMaxTcpPort) {
        ShowOutcome(Outcome::Warning(QString::fromLatin1(kEnterTcpPortText)));
        m_tcpPortEdit->setFocus();
        m_tcpPortEdit->selectAll();
        return false;
    }
    const std::array<quint8, 4> address = m_ipAddress->Address();
    AddWrite(writes, kKeyPortName, QString::fromLatin1(kEthernetPortName));
    for (size_t i = 0; i < kIpKeys.size(); ++i)
        AddWrite(writes, kIpKeys[i], QString::number(address[i]));
    AddWrite(writes, kKeyTcpPort, QString::number(port));
    return true;
}

// Written in this order, each as the file text of its box's value.
bool CPortConfigPage::AddSerialLineWrites(std::vector<ProfileWrite>& writes)
{
    struct SerialBox {
        QComboBox* combo;
        const char* key;
        const char* whatToChoose;
        QString (*fileText)(int value);
    };
    const SerialBox boxes[] = {
        {m_baudRateCombo, kKeyBaudRate, kChooseBaudRateText, NumberText},
        {m_parityCombo, kKeyParity, kChooseParityText, ParityText},
        {m_dataBitsCombo, kKeyDataBits, kChooseDataBitsText, NumberText},
        {m_stopBitsCombo, kKeyStopBits, kChooseStopBitsText, NumberText},
    };
    for (const SerialBox& box : boxes) {
        const std::optional<int> value = RequireListedValue(box.combo, box.whatToChoose);
        if (!value)
            return false;
        AddWrite(writes, box.key, box.fileText(*value));
    }
    return true;
}

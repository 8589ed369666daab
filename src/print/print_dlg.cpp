#include "print/print_dlg.h"

#include "framework/widgets/dialog_template.h"
#include "print/print_dlg_ids.h"
#include "print/print_operations.h"
#include "transport/printer_connection.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <span>

namespace {

// The radio buttons of each group in the order of their values; the size
// modes' buttons in the order of the modes' numbers.
constexpr std::array<int, 4> kQualityIds = {IDC_PRINTDLG_SINGLE_HIGH_WIDE, IDC_PRINTDLG_DOUBLE_WIDE,
                                            IDC_PRINTDLG_DOUBLE_HIGH, IDC_PRINTDLG_DOUBLE_HIGH_WIDE};
constexpr std::array<int, 2> kHeaderIds = {IDC_PRINTDLG_NONE_HEADER, IDC_PRINTDLG_ADD_HEADER};
constexpr std::array<int, 2> kRangeIds = {IDC_PRINTDLG_ALL, IDC_PRINTDLG_SELECTION};

constexpr int kRangeSelection = 1;
constexpr int kHeaderAdded = 1;

DialogTemplate PrintTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Print"), QStringLiteral("MS Sans Serif"), 8, 243, 151,
            {
                {-1, K::GroupBox, QStringLiteral("Quality"), 7, 7, 112, 68},
                {IDC_PRINTDLG_SINGLE_HIGH_WIDE, K::FirstRadioButton, QStringLiteral("Single &HighWide"), 16, 20,
                 96, 10},
                {IDC_PRINTDLG_DOUBLE_WIDE, K::RadioButton, QStringLiteral("Double Wide"), 16, 33, 96, 10},
                {IDC_PRINTDLG_DOUBLE_HIGH, K::RadioButton, QStringLiteral("Double High"), 16, 46, 96, 10},
                {IDC_PRINTDLG_DOUBLE_HIGH_WIDE, K::RadioButton, QStringLiteral("Double HighWide"), 16, 59, 96, 10},
                {-1, K::GroupBox, QStringLiteral("Header"), 125, 7, 111, 42},
                {IDC_PRINTDLG_NONE_HEADER, K::FirstRadioButton, QStringLiteral("None Header"), 134, 20, 94, 10},
                {IDC_PRINTDLG_ADD_HEADER, K::RadioButton, QStringLiteral("Add Header"), 134, 33, 94, 10},
                {-1, K::GroupBox, QStringLiteral("Printing Range"), 7, 80, 229, 44},
                {IDC_PRINTDLG_ALL, K::FirstRadioButton, QStringLiteral("All"), 16, 93, 34, 10},
                {IDC_PRINTDLG_SELECTION, K::RadioButton, QStringLiteral("Selection"), 54, 93, 48, 10},
                {-1, K::Static, QStringLiteral("Sample) 1-2   3,4,5...  7"), 110, 94, 118, 8},
                {IDC_PRINTDLG_SELECTION_TEXT, K::Edit, {}, 16, 106, 212, 12},
                {IDC_PRINTDLG_PRINT, K::PushButton, QStringLiteral("&Print"), 125, 129, 53, 16},
                {IDC_PRINTDLG_EXIT, K::DefaultPushButton, QStringLiteral("E&xit"), 183, 129, 53, 16},
            }};
}

// The value of a radio button of a group: its position in the group's ids.
int ValueOf(std::span<const int> ids, int id)
{
    const auto found = std::find(ids.begin(), ids.end(), id);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

// The size mode of a position in the "Quality" group; the group always has
// one button checked, so no position falls outside it.
PrintSizeMode SizeModeOf(int value)
{
    return PrintSizeModeFromNumber(value).value_or(PrintSizeMode::Normal);
}

QRadioButton* Radio(const CDialog* dialog, int id)
{
    return dialog->Control<QRadioButton>(id);
}

// Checks the button of the value; a value outside the group checks none.
void ShowChoice(const CDialog* dialog, std::span<const int> ids, int value)
{
    if (value >= 0 && value < static_cast<int>(ids.size())) {
        Radio(dialog, ids[static_cast<size_t>(value)])->setChecked(true);
        return;
    }
    QButtonGroup* group = Radio(dialog, ids.front())->group();
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

int ReadChoice(const CDialog* dialog, std::span<const int> ids)
{
    return ValueOf(ids, Radio(dialog, ids.front())->group()->checkedId());
}

}  // namespace

CPrintDlg::CPrintDlg(QWidget* parent, const PortSettings& settings)
    : CDialog(PrintTemplate(), parent), m_settings(settings)
{
    CreateControls();
    ConnectControls();
}

CPrintDlg::~CPrintDlg() = default;

void CPrintDlg::CreateControls()
{
    m_selectionEdit = Control<QLineEdit>(IDC_PRINTDLG_SELECTION_TEXT);
}

void CPrintDlg::ConnectControls()
{
    connect(Radio(this, kQualityIds.front())->group(), &QButtonGroup::idClicked, this,
            &CPrintDlg::OnQualityClicked);
    connect(Radio(this, kHeaderIds.front())->group(), &QButtonGroup::idClicked, this, &CPrintDlg::OnHeaderClicked);
    connect(Radio(this, kRangeIds.front())->group(), &QButtonGroup::idClicked, this, &CPrintDlg::OnRangeClicked);
    ConnectClicked(IDC_PRINTDLG_PRINT, &CPrintDlg::OnPrint);
    ConnectClicked(IDC_PRINTDLG_EXIT, &QDialog::accept);
}

bool CPrintDlg::OnInitDialog()
{
    m_sizeMode = PrintSizeMode::Normal;
    m_header = 0;
    m_range = 0;
    UpdateData(false);
    return true;
}

void CPrintDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_sizeMode = SizeModeOf(ReadChoice(this, kQualityIds));
        m_header = ReadChoice(this, kHeaderIds);
        m_range = ReadChoice(this, kRangeIds);
        m_selectionText = m_selectionEdit->text();
        return;
    }
    ShowChoice(this, kQualityIds, static_cast<int>(m_sizeMode));
    ShowChoice(this, kHeaderIds, m_header);
    ShowChoice(this, kRangeIds, m_range);
    m_selectionEdit->setText(m_selectionText);
}

void CPrintDlg::OnQualityClicked(int id)
{
    m_sizeMode = SizeModeOf(ValueOf(kQualityIds, id));
}

void CPrintDlg::OnHeaderClicked(int id)
{
    m_header = ValueOf(kHeaderIds, id);
}

void CPrintDlg::OnRangeClicked(int id)
{
    m_range = ValueOf(kRangeIds, id);
    if (m_range == kRangeSelection)
        m_selectionEdit->setFocus();
}

void CPrintDlg::OnPrint()
{
    UpdateData(true);
    const CPrinterWorkScope talking(this);
    // One attempt: the operation opens the connection, sends and closes it,
    // showing its own messages. The dialog serves only the single-colour
    // kind, whose row (in operations/, above this folder) names this text.
    CPrinterConnection connection(m_settings, OpenFailureText::UploadAndPrint);
    PrintNvImageSelection(connection, m_range == kRangeSelection, m_selectionText, m_sizeMode,
                          m_header == kHeaderAdded);
}

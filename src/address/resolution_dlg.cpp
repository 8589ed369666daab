#include "address/resolution_dlg.h"

#include "address/resolution_dlg_ids.h"
#include "framework/message_box.h"  // win::kIdOk
#include "framework/widgets/dialog_template.h"

#include <QRadioButton>

#include <algorithm>

namespace {

// The radio buttons in the group's order, which is the order of the values.
constexpr std::array<int, 3> kChoiceIds = {IDC_RESOLUTION_SINGLE, IDC_RESOLUTION_DOUBLE, IDC_RESOLUTION_QUAD};

DialogTemplate ResolutionTemplate()
{
    using K = ControlKind;
    return {QStringLiteral("Set resolution"), QStringLiteral("Arial"), 8, 221, 77,
            {
                {IDC_RESOLUTION_SINGLE, K::FirstRadioButton,
                 QStringLiteral("Single Density (DX-300 : 104 x 96, DX-400 : 80 x 72)"), 10, 8, 204, 10},
                {IDC_RESOLUTION_DOUBLE, K::RadioButton,
                 QStringLiteral("Double Density (DX-300 : 208 x 96, DX-400 : 160 x 72)"), 10, 22, 204, 10},
                {IDC_RESOLUTION_QUAD, K::RadioButton,
                 QStringLiteral("Quard Density (DX-300 : 208 x 192, DX-400 : 160 x 144)"), 10, 36, 204, 10},
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("OK"), 85, 54, 50, 16},
            }};
}

}  // namespace

CResolutionDlg::CResolutionDlg(QWidget* parent) : CDialog(ResolutionTemplate(), parent)
{
    CreateControls();
    ConnectControls();
}

CResolutionDlg::~CResolutionDlg() = default;

void CResolutionDlg::CreateControls()
{
    for (size_t value = 0; value < kChoiceIds.size(); ++value)
        m_choices[value] = Control<QRadioButton>(kChoiceIds[value]);
    FitChoicesToTheirTexts();
}

// The density texts are long: with a font wider than the template's they
// do not fit its 204 units. The radios, and the window with them, grow to
// show each text whole; OK stays centred below them.
void CResolutionDlg::FitChoicesToTheirTexts()
{
    int right = 0;
    for (QRadioButton* choice : m_choices) {
        choice->resize(std::max(choice->width(), choice->sizeHint().width()), choice->height());
        right = std::max(right, choice->geometry().right() + 1);
    }
    const int margin = m_choices.front()->x();
    if (right + margin <= width())
        return;
    setFixedWidth(right + margin);
    QWidget* ok = Control(win::kIdOk);
    ok->move((width() - ok->width()) / 2, ok->y());
}

void CResolutionDlg::ConnectControls()
{
    ConnectClicked(win::kIdOk, &CResolutionDlg::OnOK);
}

bool CResolutionDlg::OnInitDialog()
{
    m_choices[static_cast<size_t>(DotDensityNumber(DotDensity::Single))]->setChecked(true);
    return true;
}

void CResolutionDlg::OnOK()
{
    for (size_t value = 0; value < m_choices.size(); ++value) {
        if (m_choices[value]->isChecked())
            m_result = DotDensityFromNumber(static_cast<int>(value)).value_or(DotDensity::Single);
    }
    accept();
}

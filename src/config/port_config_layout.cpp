#include "config/port_config_layout.h"

#include "config/port_config_ids.h"
#include "framework/message_box.h"
#include "framework/widgets/dialog.h"
#include "framework/widgets/dialog_units.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>
#include <utility>

namespace {

// A combo box's template height is the height of its dropped-down list; the
// closed box is one line of text high, and the list shows as many entries as
// fit in the rest.
constexpr int kComboClosedHeight = 12;  // dialog units
constexpr int kComboItemHeight = 8;     // dialog units
// Inside the "Step 3" frame (x 7): its line and a little air.
constexpr int kStepFrameLeft = 9;  // dialog units

void FitComboBoxes(CDialog* dialog, const DialogTemplate& layout)
{
    const CDialogUnits units(dialog->font());
    for (const ControlTemplate& control : layout.controls) {
        if (control.kind != ControlKind::ComboBox)
            continue;
        auto* combo = dialog->Control<QComboBox>(control.id);
        combo->setMaxVisibleItems(std::max(1, (control.height - kComboClosedHeight) / kComboItemHeight));
        combo->resize(combo->width(), units.Y(kComboClosedHeight));
    }
}

// So "IP :" and "Port :" line up with what they name. The labels are
// right-aligned against their fields; one whose longest text is wider than
// its template width (the font's letters are wider than those the template
// was drawn for) grows to the left, within the step's frame, instead of
// losing its first letter.
void AlignLabelsWithFields(CDialog* dialog)
{
    const struct {
        int labelId;
        int fieldId;
        const char* otherText;  // the text the label shows on another page
    } rows[] = {
        {IDC_CONFIG_PORT_LABEL, IDC_CONFIG_PORT, "IP :"},
        {IDC_CONFIG_BAUDRATE_LABEL, IDC_CONFIG_BAUDRATE, "Port :"},
        {IDC_CONFIG_DATABITS_LABEL, IDC_CONFIG_DATABITS, ""},
        {IDC_CONFIG_STOPBITS_LABEL, IDC_CONFIG_STOPBITS, ""},
        {IDC_CONFIG_PARITY_LABEL, IDC_CONFIG_PARITY, ""},
    };
    const int frameLeft = CDialogUnits(dialog->font()).X(kStepFrameLeft);
    for (const auto& row : rows) {
        auto* label = dialog->Control<QLabel>(row.labelId);
        const QWidget* field = dialog->Control(row.fieldId);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const QFontMetrics metrics = label->fontMetrics();
        const int needed = std::max(metrics.horizontalAdvance(label->text()),
                                    metrics.horizontalAdvance(QString::fromLatin1(row.otherText))) +
                           2 * label->margin() + 2;
        const int right = label->x() + label->width();
        const int left = std::max(frameLeft, std::min(label->x(), right - needed));
        label->setGeometry(left, field->y(), right - left, field->height());
    }
}

}  // namespace

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
                {win::kIdOk, K::DefaultPushButton, QStringLiteral("OK"), 27, 163, 59, 19},
                {win::kIdCancel, K::PushButton, QStringLiteral("Cancel"), 92, 163, 59, 19},
            }};
}

void FinishPortConfigLayout(CDialog* dialog, const DialogTemplate& layout)
{
    FitComboBoxes(dialog, layout);
    AlignLabelsWithFields(dialog);
}

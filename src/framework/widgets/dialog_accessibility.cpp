#include "framework/widgets/dialog_accessibility.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

#include <limits>

namespace {

// The label a control is named after; the label lives as long as the
// dialog that holds both.
const char kNamedByProperty[] = "markographNamedBy";

// How far, in dialog units, a label may lie from the control it names.
constexpr int kMaxLeftGap = 40;
constexpr int kMaxAboveGap = 14;

bool NeedsLabel(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::Slider:
    case ControlKind::ProgressBar:
    case ControlKind::BlackFrame:
    case ControlKind::Custom:
        return true;
    default:
        return false;
    }
}

bool OverlapsVertically(const ControlTemplate& a, const ControlTemplate& b)
{
    const int top = std::max(a.y, b.y);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return bottom > top;
}

bool OverlapsHorizontally(const ControlTemplate& a, const ControlTemplate& b)
{
    const int left = std::max(a.x, b.x);
    const int right = std::min(a.x + a.width, b.x + b.width);
    return right > left;
}

// The label on the left of the control on its row, else the one above it;
// -1 when none is near.
int FindLabel(const DialogTemplate& layout, size_t index)
{
    const ControlTemplate& control = layout.controls[index];
    int best = -1;
    int bestGap = std::numeric_limits<int>::max();
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlTemplate& label = layout.controls[i];
        if (label.kind != ControlKind::Static || SpokenText(label.text).isEmpty())
            continue;
        const int leftGap = control.x - (label.x + label.width);
        if (OverlapsVertically(label, control) && leftGap >= -2 && leftGap <= kMaxLeftGap && leftGap < bestGap) {
            best = static_cast<int>(i);
            bestGap = leftGap;
        }
    }
    if (best >= 0)
        return best;
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlTemplate& label = layout.controls[i];
        if (label.kind != ControlKind::Static || SpokenText(label.text).isEmpty())
            continue;
        const int aboveGap = control.y - (label.y + label.height);
        if (OverlapsHorizontally(label, control) && aboveGap >= -2 && aboveGap <= kMaxAboveGap &&
            aboveGap < bestGap) {
            best = static_cast<int>(i);
            bestGap = aboveGap;
        }
    }
    return best;
}

// The titled group box whose frame holds the control; -1 for none.
int EnclosingGroup(const DialogTemplate& layout, size_t index)
{
    const ControlTemplate& control = layout.controls[index];
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlTemplate& group = layout.controls[i];
        if (group.kind != ControlKind::GroupBox || SpokenText(group.text).isEmpty())
            continue;
        if (control.x >= group.x && control.y >= group.y && control.x + control.width <= group.x + group.width &&
            control.y <= group.y + group.height)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

QString SpokenText(const QString& caption)
{
    QString text = caption;
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')))
        text = text.chopped(1).trimmed();
    return text;
}

void NameControlsByLabels(const DialogTemplate& layout, const std::vector<QWidget*>& widgets)
{
    for (size_t i = 0; i < layout.controls.size() && i < widgets.size(); ++i) {
        const ControlTemplate& control = layout.controls[i];
        QWidget* widget = widgets[i];
        if (!NeedsLabel(control.kind)) {
            if (control.kind != ControlKind::Static && !SpokenText(control.text).isEmpty())
                widget->setAccessibleName(SpokenText(control.text));
            continue;
        }
        const int label = FindLabel(layout, i);
        if (label < 0) {
            // Alone in its group: the group's title names it.
            const int group = EnclosingGroup(layout, i);
            if (group >= 0)
                widget->setAccessibleName(SpokenText(layout.controls[static_cast<size_t>(group)].text));
            continue;
        }
        auto* labelWidget = qobject_cast<QLabel*>(widgets[static_cast<size_t>(label)]);
        if (!labelWidget) {
            widget->setAccessibleName(SpokenText(layout.controls[static_cast<size_t>(label)].text));
            continue;
        }
        NameAfterLabel(widget, labelWidget);
        if (widget->focusPolicy() != Qt::NoFocus && !labelWidget->buddy())
            labelWidget->setBuddy(widget);
    }
}

void NameAfterLabel(QWidget* control, const QLabel* label)
{
    control->setProperty(kNamedByProperty, QVariant::fromValue(const_cast<QObject*>(static_cast<const QObject*>(label))));
    control->setAccessibleName(SpokenText(label->text()));
}

void RefreshNamesFromLabels(const QWidget* dialog)
{
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(control->property(kNamedByProperty).value<QObject*>()))
            control->setAccessibleName(SpokenText(label->text()));
    }
}

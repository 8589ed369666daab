#include "framework/widgets/dialog_template.h"

#include "framework/widgets/control_ids.h"
#include "framework/widgets/dialog_accessibility.h"
#include "framework/widgets/dialog_units.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

namespace {

QWidget* MakeControl(QDialog* dialog, const ControlTemplate& control, QButtonGroup** radioGroup)
{
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(control.text, dialog);
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        return button;
    }
    case ControlKind::Static: {
        // Static texts are text, never markup: a logo or model name that
        // looks like a tag ("<i>it.bmp") shows as it is.
        auto* label = new QLabel(dialog);
        label->setTextFormat(Qt::PlainText);
        label->setText(control.text);
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(control.text, dialog);
    case ControlKind::BlackFrame: {
        auto* frame = new QFrame(dialog);
        frame->setFrameShape(QFrame::Box);
        return frame;
    }
    case ControlKind::Edit:
    case ControlKind::ReadOnlyEdit: {
        auto* edit = new QLineEdit(control.text, dialog);
        edit->setReadOnly(control.kind == ControlKind::ReadOnlyEdit);
        return edit;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(dialog);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    }
    case ControlKind::ListBox:
        return new QListWidget(dialog);
    case ControlKind::ListView: {
        auto* view = new QTreeWidget(dialog);
        view->setRootIsDecorated(false);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        return view;
    }
    case ControlKind::Slider:
        return new QSlider(Qt::Horizontal, dialog);
    case ControlKind::ProgressBar:
        return new QProgressBar(dialog);
    case ControlKind::FirstRadioButton:
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(control.text, dialog);
        if (control.kind == ControlKind::FirstRadioButton || !*radioGroup)
            *radioGroup = new QButtonGroup(dialog);
        (*radioGroup)->addButton(radio, control.id);
        return radio;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(control.text, dialog);
    case ControlKind::Custom:
        return new QWidget(dialog);
    }
    return new QWidget(dialog);
}

}  // namespace

void BuildDialog(QDialog* dialog, const DialogTemplate& layout)
{
    // The template's font names a face of the system the dialogs were drawn
    // for; every dialog here uses the desktop's own UI font instead, so all
    // of them share one family. Dialog units follow the font, so the
    // geometry keeps its proportions.
    const QFont font = QApplication::font();
    dialog->setFont(font);
    dialog->setWindowTitle(layout.caption);
    const CDialogUnits units(font);
    dialog->setFixedSize(units.X(layout.width), units.Y(layout.height));
    // A window of fixed size has nothing to maximise: its title bar offers
    // closing, and minimising for a window of its own (the main window).
    Qt::WindowFlags frame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    if (!dialog->parentWidget())
        frame |= Qt::WindowMinimizeButtonHint;
    dialog->setWindowFlags(frame);
    QButtonGroup* radioGroup = nullptr;
    QWidget* previous = nullptr;
    std::vector<QWidget*> widgets;
    for (const ControlTemplate& control : layout.controls) {
        QWidget* widget = MakeControl(dialog, control, &radioGroup);
        widgets.push_back(widget);
        if (control.id >= 0)
            SetControlId(widget, control.id);
        widget->setGeometry(units.Rect(control.x, control.y, control.width, control.height));
        // Group boxes go behind the controls they frame.
        if (control.kind == ControlKind::GroupBox)
            widget->lower();
        if (previous && widget->focusPolicy() != Qt::NoFocus)
            QWidget::setTabOrder(previous, widget);
        if (widget->focusPolicy() != Qt::NoFocus)
            previous = widget;
    }
    NameControlsByLabels(layout, widgets);
}

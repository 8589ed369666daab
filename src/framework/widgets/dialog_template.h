#pragma once

#include <QString>

#include <vector>

class QDialog;

// A dialog laid out as its resource template describes it: every control
// with its id, kind, caption and rectangle in dialog units. BuildDialog turns
// the template into real widgets, so positions scale with the dialog's font
// and every control is reachable by its id (FindControl).
enum class ControlKind {
    PushButton,
    DefaultPushButton,
    Static,         // a text label
    GroupBox,       // a frame with a caption; controls are not its children
    BlackFrame,     // an empty framed area (preview, colour swatches)
    Edit,
    ReadOnlyEdit,
    ComboBox,       // drop-down combo: editable, so device paths can be typed too
    ListBox,
    ListView,       // report view with columns
    Slider,
    ProgressBar,
    RadioButton,    // joins the radio group started last
    FirstRadioButton,  // starts a new exclusive group
    CheckBox,
    Custom,         // a placeholder the dialog replaces with its own widget (same id)
};

struct ControlTemplate {
    int id = -1;       // -1: no id (labels and frames nobody addresses)
    ControlKind kind = ControlKind::Static;
    QString text;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
};

struct DialogTemplate {
    QString caption;
    QString fontFamily;
    int fontPointSize = 8;
    int width = 0, height = 0;  // dialog units
    std::vector<ControlTemplate> controls;
};

// Creates the controls as children of the dialog in template order (which is
// also the tab order), sets the dialog's font, caption and fixed size.
void BuildDialog(QDialog* dialog, const DialogTemplate& layout);

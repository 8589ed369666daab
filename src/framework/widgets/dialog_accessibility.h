#pragma once

#include "framework/widgets/dialog_template.h"

#include <vector>

class QLabel;
class QWidget;

// Gives every control of a built dialog an accessible name that screen
// readers and UI automation find: its own caption, or for a control without
// one (an edit, a combo box, a slider, a list) the text of the label beside
// it on the left, else of the label just above it. A label that names a
// control that takes the focus becomes its buddy, so its mnemonic reaches it.
// Labels themselves get no fixed name: they are read by the text they show
// now. widgets[i] is the widget built for layout.controls[i].
void NameControlsByLabels(const DialogTemplate& layout, const std::vector<QWidget*>& widgets);

// Names a control after a label, now and whenever RefreshNamesFromLabels
// runs again.
void NameAfterLabel(QWidget* control, const QLabel* label);

// After labels changed their text (an interface page that turns "Port :"
// into "IP :"), the controls they name take the new text as their name, so
// a screen reader says what the window shows.
void RefreshNamesFromLabels(const QWidget* dialog);

// A caption as it is read out: without mnemonic ampersands, line breaks,
// trailing colons and surrounding spaces.
QString SpokenText(const QString& caption);

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QComboBox;

// How the configuration dialog fills its combo boxes and reads their
// choices. A box without a choice has no current entry and an empty text.

// Replaces the entries and selects selected exactly (SelectExact).
void FillCombo(QComboBox* combo, const QStringList& entries, const QString& selected);

// Selects the entry with exactly that text; without one the box holds no
// choice.
void SelectExact(QComboBox* combo, const QString& text);

// Selects the entry whose item data is value; without one the box holds no
// choice.
void SelectData(QComboBox* combo, int value);

// The choice of a combo box: the selected entry, or what the operator typed
// (a device path such as /dev/ttyUSB0). Refuses an empty one, telling the
// operator whatToChoose and giving the box the focus.
std::optional<QString> RequireChoice(QComboBox* combo, const char* whatToChoose);

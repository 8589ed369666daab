#include "config/combo_choice.h"

#include "framework/message_box.h"
#include "framework/outcome.h"

#include <QComboBox>

namespace {

// Sets the current entry; index -1 also clears what an editable box shows.
void SelectIndex(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(QString());
}

}  // namespace

void FillCombo(QComboBox* combo, const QStringList& entries, const QString& selected)
{
    combo->clear();
    combo->addItems(entries);
    SelectExact(combo, selected);
}

void SelectExact(QComboBox* combo, const QString& text)
{
    SelectIndex(combo, combo->findText(text));
}

void SelectData(QComboBox* combo, int value)
{
    SelectIndex(combo, combo->findData(value));
}

std::optional<QString> RequireChoice(QComboBox* combo, const char* whatToChoose)
{
    const QString text = combo->currentText();
    if (!text.trimmed().isEmpty())
        return text;
    ShowOutcome(Outcome::Warning(QString::fromLatin1(whatToChoose)));
    combo->setFocus();
    return std::nullopt;
}

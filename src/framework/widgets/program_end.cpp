#include "framework/widgets/program_end.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

void EndProgram()
{
    // Each round ends the window on top; a dialog that shows a last message
    // while it ends puts that box on top meanwhile, and it is answered by
    // the operator before the round goes on.
    constexpr int kMostWindows = 64;
    for (int round = 0; round < kMostWindows; ++round) {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* open = qobject_cast<QDialog*>(window); open && open->isVisible()) {
                    dialog = open;
                    break;
                }
            }
        }
        if (!dialog)
            return;
        dialog->done(QDialog::Rejected);
        // One that refuses to end (it stays visible) is left alone.
        if (dialog && dialog->isVisible())
            return;
    }
}

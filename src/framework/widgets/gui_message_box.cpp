#include "framework/widgets/gui_message_box.h"

#include <QApplication>

// Message boxes of the desktop program carry its name as people write it; a
// box with a title of its own keeps that.
const char kMessageTitle[] = "Markograph";

QMessageBox::Icon GuiMessageIcon(const MessageRequest& request)
{
    // Good news never comes with a warning sign, whichever icon its box asks for.
    if (request.severity == Severity::Success && request.icon != MessageIcon::Question)
        return QMessageBox::Information;
    switch (request.icon) {
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    // A plain box says what the one who made the message said it means.
    switch (request.severity) {
    case Severity::Failure:
        return QMessageBox::Critical;
    case Severity::Warning:
        return QMessageBox::Warning;
    case Severity::Success:
    case Severity::Notice:
        break;
    }
    return QMessageBox::Information;
}

void SetUpMessageBox(QMessageBox& box, const MessageRequest& request)
{
    box.setWindowTitle(request.title.isEmpty() ? QString::fromLatin1(kMessageTitle) : request.title);
    // Messages carry names of files and printers: shown as text, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    box.setInformativeText(request.detail);
    box.setIcon(GuiMessageIcon(request));
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
}

int ShowGuiMessage(const MessageRequest& request)
{
    QMessageBox box(QApplication::activeWindow());
    SetUpMessageBox(box, request);
    const int answer = box.exec();
    if (request.buttons == MessageButtons::YesNo)
        return answer == QMessageBox::Yes ? win::kIdYes : win::kIdNo;
    return win::kIdOk;
}

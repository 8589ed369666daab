#pragma once

#include "framework/message_box.h"

#include <QMessageBox>

// The desktop program's message handler: a modal QMessageBox titled
// "Markograph" unless the request names a title, with the request's buttons,
// its detail as a second line, and an icon: the request's own, or for a
// plain box the one its severity calls for (error for a failure, warning
// for a warning, information otherwise); a success always shows the
// information icon. Installed once by the application object.
int ShowGuiMessage(const MessageRequest& request);

// The icon a request is shown with.
QMessageBox::Icon GuiMessageIcon(const MessageRequest& request);

// Fills a box for a request (title, texts, icon, buttons) without showing it.
void SetUpMessageBox(QMessageBox& box, const MessageRequest& request);

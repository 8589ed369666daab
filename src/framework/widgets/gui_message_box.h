#pragma once

#include "framework/message_box.h"

// The desktop program's message handler: a modal QMessageBox with the
// request's icon and buttons, titled with the application's title unless the
// request names one. Installed once by the application object.
int ShowGuiMessage(const MessageRequest& request);

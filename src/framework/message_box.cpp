#include "framework/message_box.h"

#include <cstdio>

namespace {

// Without a window there is nobody to ask: report on standard error and answer
// "No" to questions, so that nothing destructive happens unattended.
int PrintToStandardError(const MessageRequest& request)
{
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    if (!request.detail.isEmpty())
        std::fprintf(stderr, "%s\n", request.detail.toLocal8Bit().constData());
    return request.buttons == MessageButtons::YesNo ? IDNO : IDOK;
}

MessageHandler& CurrentHandler()
{
    static MessageHandler handler = PrintToStandardError;
    return handler;
}

}  // namespace

int ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons, const QString& title,
                const QString& detail)
{
    return CurrentHandler()(MessageRequest{text, title, icon, buttons, detail});
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = handler ? std::move(handler) : MessageHandler(PrintToStandardError);
    return previous;
}

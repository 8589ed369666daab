#include "framework/message_box.h"

#include <cstdio>

namespace {

// Without a window there is nobody to ask: report on standard error and answer
// "No" to questions, so that nothing destructive happens unattended.
int PrintToStandardError(const MessageRequest& request)
{
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    return request.buttons == MessageButtons::YesNo ? IDNO : IDOK;
}

MessageHandler& CurrentHandler()
{
    static MessageHandler handler = PrintToStandardError;
    return handler;
}

// The calling thread's own handler, when it has one.
thread_local MessageHandler t_threadHandler;

}  // namespace

int ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons, const QString& title)
{
    const MessageRequest request{text, title, icon, buttons};
    return t_threadHandler ? t_threadHandler(request) : CurrentHandler()(request);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = handler ? std::move(handler) : MessageHandler(PrintToStandardError);
    return previous;
}

MessageHandler SetThreadMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(t_threadHandler);
    t_threadHandler = std::move(handler);
    return previous;
}

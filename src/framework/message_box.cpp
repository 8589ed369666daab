#include "framework/message_box.h"

#include <QThreadStorage>

#include <cstdio>

namespace {

// Without a window there is nobody to ask: report on standard error and answer
// "No" to questions, so that nothing destructive happens unattended.
int PrintToStandardError(const MessageRequest& request)
{
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    if (!request.detail.isEmpty())
        std::fprintf(stderr, "%s\n", request.detail.toLocal8Bit().constData());
    return request.buttons == MessageButtons::YesNo ? win::kIdNo : win::kIdOk;
}

MessageHandler& CurrentHandler()
{
    static MessageHandler handler = PrintToStandardError;
    return handler;
}

// The calling thread's own handler, when it has one (QThreadStorage rather
// than thread_local for the reason given in clock.cpp).
struct ThreadHandlerSlot {
    MessageHandler handler;
};

QThreadStorage<ThreadHandlerSlot>& ThreadHandlers()
{
    static QThreadStorage<ThreadHandlerSlot> storage;
    return storage;
}

}  // namespace

int ShowRequest(const MessageRequest& request)
{
    QThreadStorage<ThreadHandlerSlot>& storage = ThreadHandlers();
    if (storage.hasLocalData() && storage.localData().handler)
        return storage.localData().handler(request);
    return CurrentHandler()(request);
}

int ShowMessage(const QString& text, MessageIcon icon, MessageButtons buttons, const QString& title,
                const QString& detail)
{
    return ShowRequest(MessageRequest{text, title, icon, buttons, detail});
}

bool AskBeforeLoss(const QString& text, const QString& title)
{
    MessageRequest request{text, title, MessageIcon::Question, MessageButtons::YesNo, {}};
    request.defaultNo = true;
    return ShowRequest(request) == win::kIdYes;
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = handler ? std::move(handler) : MessageHandler(PrintToStandardError);
    return previous;
}

MessageHandler SetThreadMessageHandler(MessageHandler handler)
{
    ThreadHandlerSlot& slot = ThreadHandlers().localData();
    MessageHandler previous = std::move(slot.handler);
    slot.handler = std::move(handler);
    return previous;
}

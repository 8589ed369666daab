#pragma once

#include <QString>

#include <functional>

// The one place through which every part of Markograph tells the operator
// something or asks a yes/no question. The desktop program installs a handler
// that shows a modal box, tests install a recorder with scripted answers, and
// the command-line tool keeps the default, which prints to standard error.

enum class MessageIcon { None, Exclamation, Question, Information, Error };
enum class MessageButtons { Ok, YesNo };

// How a message's news went, stated by whoever makes the message: the
// desktop picks the icon of a plain box from it (a failure is shown as an
// error, a success or a notice as information), and a success is never shown
// with a warning icon, whatever icon its box asks for.
enum class Severity { Success, Notice, Warning, Failure };

// Results, numbered as the dialog framework numbers them.
namespace win {
enum MessageResult { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };
}  // namespace win

struct MessageRequest {
    QString text;
    QString title;  // empty: the application's title
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    // A second line under the text: what was tried (the printer's address,
    // the device). Empty for most messages.
    QString detail;
    // A question whose No is the default button: Enter (or a hasty click on
    // the highlighted button) keeps things as they are.
    bool defaultNo = false;
    Severity severity = Severity::Notice;
};

using MessageHandler = std::function<int(const MessageRequest&)>;

// Shows a message through the current handler and returns its answer.
int ShowMessage(const QString& text, MessageIcon icon = MessageIcon::None,
                MessageButtons buttons = MessageButtons::Ok, const QString& title = {}, const QString& detail = {});

// Shows a request as it stands through the current handler.
int ShowRequest(const MessageRequest& request);

// Asks before something that cannot be undone: text says what will be lost;
// Yes and No with No the default button. True only for Yes.
bool AskBeforeLoss(const QString& text, const QString& title = {});

// Installs a handler (an empty one restores the default) and returns the
// previous one. Not thread-safe: messages belong to the user-interface thread.
MessageHandler SetMessageHandler(MessageHandler handler);

// Installs a handler for the calling thread only (empty: the process handler
// again) and returns the thread's previous one. Work that runs on threads of
// its own, such as one job per printer of a fleet, tells its messages to its
// own handler this way; the process handler is not touched.
MessageHandler SetThreadMessageHandler(MessageHandler handler);

// Keeps a handler installed for the lifetime of the object.
class CScopedMessageHandler {
public:
    explicit CScopedMessageHandler(MessageHandler handler) : m_previous(SetMessageHandler(std::move(handler))) {}
    ~CScopedMessageHandler() { SetMessageHandler(std::move(m_previous)); }
    CScopedMessageHandler(const CScopedMessageHandler&) = delete;
    CScopedMessageHandler& operator=(const CScopedMessageHandler&) = delete;

private:
    MessageHandler m_previous;
};

// Keeps a handler installed for the calling thread for the lifetime of the
// object.
class CScopedThreadMessageHandler {
public:
    explicit CScopedThreadMessageHandler(MessageHandler handler)
        : m_previous(SetThreadMessageHandler(std::move(handler)))
    {
    }
    ~CScopedThreadMessageHandler() { SetThreadMessageHandler(std::move(m_previous)); }
    CScopedThreadMessageHandler(const CScopedThreadMessageHandler&) = delete;
    CScopedThreadMessageHandler& operator=(const CScopedThreadMessageHandler&) = delete;

private:
    MessageHandler m_previous;
};

#pragma once

#include "framework/message_box.h"

#include <QString>

// What an operation came to, as a value: how it went, the fixed text
// operators know and, when there is one, a detail line (what was tried,
// why). Operations of the core return one and leave the telling to their
// caller: the desktop shows it in a message box (ShowOutcome), the
// command-line tool prints it, a fleet records it in the printer's report.
// The severity is chosen where the outcome is made, never read back out of
// the words.
struct Outcome {
    // Whether the operation did what was asked; a notice can go with either.
    bool done = true;
    Severity severity = Severity::Success;
    QString text;    // empty: nothing to tell
    QString detail;  // a second line; empty for most
    // The icon the message's box asks for; None for a plain box, whose icon
    // the desktop takes from the severity.
    MessageIcon boxIcon = MessageIcon::None;

    bool Failed() const { return !done; }
    bool Silent() const { return text.isEmpty(); }

    // Done; the text (when any) says so in a plain box, or in a box that asks
    // for boxIcon.
    static Outcome Success(const QString& text = {}, MessageIcon boxIcon = MessageIcon::None);
    // Done, and the operator is told something beside it (an empty list).
    static Outcome Notice(const QString& text);
    // Not done, for a reason that is no error: a cancelled step, an entry
    // still to make. Told as a notice.
    static Outcome Refused(const QString& text);
    // Not done: the operator has to act first. A box with the exclamation
    // icon.
    static Outcome Warning(const QString& text);
    // Not done: something went wrong. Silent when text is empty (the reason
    // was told already, as by a connection that did not open).
    static Outcome Failure(const QString& text = {}, const QString& detail = {});
};

// Shows the outcome in a box through ShowMessage (nothing for a silent one).
void ShowOutcome(const Outcome& outcome);

// ShowOutcome, then whether the operation did what was asked (it did not
// fail): for callers that go on only after a success.
bool ShowOutcomeOk(const Outcome& outcome);

// The outcome as the lines a log, a terminal or a report shows: the text,
// then the detail, line breaks inside either kept.
QString OutcomeLines(const Outcome& outcome);

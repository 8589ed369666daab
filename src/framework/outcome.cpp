#include "framework/outcome.h"

Outcome Outcome::Success(const QString& text, MessageIcon boxIcon)
{
    return Outcome{true, Severity::Success, text, {}, boxIcon};
}

Outcome Outcome::Notice(const QString& text)
{
    return Outcome{true, Severity::Notice, text, {}, MessageIcon::None};
}

Outcome Outcome::Refused(const QString& text)
{
    return Outcome{false, Severity::Notice, text, {}, MessageIcon::None};
}

Outcome Outcome::Warning(const QString& text)
{
    return Outcome{false, Severity::Warning, text, {}, MessageIcon::Exclamation};
}

Outcome Outcome::Failure(const QString& text, const QString& detail)
{
    return Outcome{false, Severity::Failure, text, detail, MessageIcon::None};
}

void ShowOutcome(const Outcome& outcome)
{
    if (outcome.Silent())
        return;
    MessageRequest request;
    request.text = outcome.text;
    request.detail = outcome.detail;
    request.icon = outcome.boxIcon;
    request.severity = outcome.severity;
    ShowRequest(request);
}

bool ShowOutcomeOk(const Outcome& outcome)
{
    ShowOutcome(outcome);
    return !outcome.Failed();
}

QString OutcomeLines(const Outcome& outcome)
{
    if (outcome.detail.isEmpty())
        return outcome.text;
    return outcome.text + QLatin1Char('\n') + outcome.detail;
}

#include "cli/cli_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

void PrintJson(const QJsonValue& value)
{
    const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    std::fputs(document.toJson(QJsonDocument::Indented).constData(), stdout);
    std::fflush(stdout);
}

#include "fleet/fleet_report.h"

#include <QJsonArray>

#include <algorithm>

namespace {

QString NumberOrDash(qint64 value)
{
    return value < 0 ? QStringLiteral("-") : QString::number(value);
}

QJsonValue NumberOrNull(qint64 value)
{
    return value < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

}  // namespace

QStringList FormatFleetTable(const std::vector<FleetJobReport>& reports)
{
    qsizetype width = QStringLiteral("printer").size();
    for (const FleetJobReport& report : reports)
        width = std::max(width, report.printer.size());
    const QString format = QStringLiteral("%1  %2  %3  %4  %5  %6");
    QStringList lines;
    lines << format.arg(QStringLiteral("printer"), -static_cast<int>(width))
                 .arg(QStringLiteral("result"), -6)
                 .arg(QStringLiteral("seconds"), 7)
                 .arg(QStringLiteral("images stored"), 13)
                 .arg(QStringLiteral("free memory"), 11)
                 .arg(QStringLiteral("reason"))
                 .trimmed();
    int succeeded = 0;
    for (const FleetJobReport& report : reports) {
        succeeded += report.outcome.ok ? 1 : 0;
        lines << format.arg(report.printer, -static_cast<int>(width))
                     .arg(report.outcome.ok ? QStringLiteral("ok") : QStringLiteral("FAILED"), -6)
                     .arg(QString::number(report.seconds, 'f', 1), 7)
                     .arg(NumberOrDash(report.outcome.imagesStored), 13)
                     .arg(NumberOrDash(report.outcome.freeMemory), 11)
                     .arg(report.outcome.ok ? QString() : report.outcome.reason)
                     .trimmed();
    }
    lines << QStringLiteral("%1 of %2 printers succeeded.").arg(succeeded).arg(reports.size());
    return lines;
}

QJsonObject FleetSummaryJson(const QString& command, const std::vector<FleetJobReport>& reports)
{
    QJsonArray printers;
    int succeeded = 0;
    for (const FleetJobReport& report : reports) {
        succeeded += report.outcome.ok ? 1 : 0;
        QJsonObject entry;
        entry.insert("printer", report.printer);
        entry.insert("ok", report.outcome.ok);
        entry.insert("result", report.outcome.ok ? "ok" : "failed");
        entry.insert("reason", report.outcome.ok ? QJsonValue(QJsonValue::Null) : QJsonValue(report.outcome.reason));
        entry.insert("seconds", report.seconds);
        entry.insert("imagesStored", NumberOrNull(report.outcome.imagesStored));
        entry.insert("freeMemory", NumberOrNull(report.outcome.freeMemory));
        entry.insert("messages", QJsonArray::fromStringList(report.messages));
        printers.append(entry);
    }
    QJsonObject summary;
    summary.insert("command", command);
    summary.insert("succeeded", succeeded);
    summary.insert("failed", static_cast<int>(reports.size()) - succeeded);
    summary.insert("printers", printers);
    return summary;
}

#include "fleet/fleet_state.h"

#include "framework/atomic_file.h"
#include "framework/regular_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr int kStateVersion = 1;

}  // namespace

QString CFleetState::PathFor(const QString& hostsFile)
{
    return hostsFile + QStringLiteral(".state.json");
}

bool CFleetState::Load(const QString& path, QString* error)
{
    m_runs = {};
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    // Checked before any open: a FIFO here would hold the run for ever.
    QString reason = ReplaceableFileReason(path);
    QFile file;
    if (!reason.isEmpty() || !OpenRegularFile(path, file, &reason)) {
        *error = QStringLiteral("Cannot read the fleet state %1: %2").arg(path, reason);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(1 << 24), &parseError);
    const QJsonObject root = document.object();
    if (parseError.error != QJsonParseError::NoError || !document.isObject() ||
        root.value("version").toInt() != kStateVersion || !root.value("runs").isObject()) {
        *error = QStringLiteral("%1 is not a fleet state file of this version.").arg(path);
        return false;
    }
    m_runs = root.value("runs").toObject();
    return true;
}

bool CFleetState::Save(const QString& path, QString* error) const
{
    QJsonObject root;
    root.insert("version", kStateVersion);
    root.insert("runs", m_runs);
    return WriteFileAtomically(path, QJsonDocument(root).toJson(QJsonDocument::Indented), error);
}

bool CFleetState::HasRun(const QString& command) const
{
    return m_runs.value(command).isObject();
}

QStringList CFleetState::Options(const QString& command) const
{
    QStringList options;
    for (const QJsonValue& value : m_runs.value(command).toObject().value("options").toArray())
        options << value.toString();
    return options;
}

bool CFleetState::Succeeded(const QString& command, const QString& printer) const
{
    const QJsonObject printers = m_runs.value(command).toObject().value("printers").toObject();
    return printers.value(printer).toObject().value("result").toString() == QLatin1String("ok");
}

void CFleetState::Record(const QString& command, const QStringList& options,
                         const std::vector<FleetJobReport>& reports)
{
    QJsonObject run = m_runs.value(command).toObject();
    // Results recorded under other options say nothing about these.
    QJsonObject printers = Options(command) == options ? run.value("printers").toObject() : QJsonObject();
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    for (const FleetJobReport& report : reports) {
        QJsonObject entry;
        entry.insert("result", report.outcome.ok ? "ok" : "failed");
        entry.insert("reason", report.outcome.reason);
        entry.insert("finished", now);
        printers.insert(report.printer, entry);
    }
    run.insert("options", QJsonArray::fromStringList(options));
    run.insert("printers", printers);
    m_runs.insert(command, run);
}

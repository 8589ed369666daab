#include "cli/fleet_session.h"

#include "cli/cli_common.h"
#include "fleet/fleet_report.h"
#include "fleet/fleet_state_lock.h"

#include <QFileInfo>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>

namespace {

// The options that only say how a fleet runs, not what it does: a re-run
// with --only-failed may change them.
QStringList DecidingOptions(const QStringList& args)
{
    QStringList options;
    for (qsizetype n = 1; n < args.size(); ++n) {
        const QString& arg = args[n];
        if (arg == "--jobs" || arg == "--hosts") {
            ++n;  // and its value
            continue;
        }
        if (arg == "--only-failed" || arg == "--json" || arg.startsWith("--jobs=") || arg.startsWith("--hosts="))
            continue;
        options << arg;
    }
    return options;
}

// The line settings serial printers of the file get, and the TCP port of
// hosts written without one.
std::optional<PortSettings> BaseSettings(const QCommandLineParser& parser, int* tcpPort)
{
    PortSettings base;
    base.baudRate = 19200;
    base.dataBits = 8;
    bool ok = true;
    base.baudRate = IntOption(parser, "baud", base.baudRate, 1, 4000000, &ok);
    *tcpPort = IntOption(parser, "tcp-port", 9100, 1, 65535, &ok);
    if (parser.isSet("parity")) {
        const std::optional<Parity> parity = ParityFromName(parser.value("parity").toUpper());
        if (parity) {
            base.parity = *parity;
        } else {
            PrintError("--parity takes NONE, ODD or EVEN.");
            ok = false;
        }
    }
    return ok ? std::optional<PortSettings>(base) : std::nullopt;
}

}  // namespace

std::optional<CFleetSession> CFleetSession::Prepare(const QString& command, const QCommandLineParser& parser,
                                                    const QStringList& args, int* exitCode)
{
    *exitCode = kExitUsage;
    for (const char* single : {"host", "port", "interface"}) {
        if (parser.isSet(single)) {
            PrintError(QStringLiteral("--%1 names one printer; with --hosts the file names them all.").arg(single));
            return std::nullopt;
        }
    }
    CFleetSession session;
    session.m_command = command;
    session.m_hostsPath = parser.value("hosts");
    session.m_statePath = CFleetState::PathFor(session.m_hostsPath);
    session.m_options = DecidingOptions(args);
    session.m_json = parser.isSet("json");
    bool ok = true;
    session.m_jobs = IntOption(parser, "jobs", 4, 1, 256, &ok);
    int tcpPort = 9100;
    const std::optional<PortSettings> base = BaseSettings(parser, &tcpPort);
    if (!ok || !base)
        return std::nullopt;
    if (!QFileInfo(session.m_hostsPath).isFile()) {
        PrintError(QStringLiteral("Cannot read the hosts file %1.").arg(session.m_hostsPath));
        *exitCode = kExitFailed;
        return std::nullopt;
    }
    // The state file is read now and replaced at the end: one that cannot
    // be (a FIFO would hold this run for ever) stops the run before any
    // printer is contacted.
    if (RefuseUnusableOutput(session.m_statePath) || RefuseUnusableOutput(CFleetStateLock::PathFor(session.m_statePath))) {
        *exitCode = kExitFailed;
        return std::nullopt;
    }
    QStringList errors;
    std::optional<std::vector<FleetTarget>> targets = ReadHostsFile(session.m_hostsPath, *base, tcpPort, &errors);
    for (const QString& error : errors)
        PrintError(error);
    if (!targets)
        return std::nullopt;
    if (!session.ChooseTargets(parser, std::move(*targets), exitCode))
        return std::nullopt;
    *exitCode = kExitOk;
    return session;
}

bool CFleetSession::ChooseTargets(const QCommandLineParser& parser, std::vector<FleetTarget> all, int* exitCode)
{
    QString error;
    m_stateReadable = m_state.Load(m_statePath, &error);
    const bool onlyFailed = parser.isSet("only-failed");
    if (!m_stateReadable) {
        PrintError(error);
        if (onlyFailed) {
            PrintError("Without it --only-failed cannot tell which printers succeeded; run without it.");
            *exitCode = kExitFailed;
            return false;
        }
        PrintError("It is replaced when this run ends.");
    }
    if (!onlyFailed || !m_state.HasRun(m_command)) {
        if (onlyFailed)
            PrintError(QStringLiteral("No earlier %1 is recorded in %2: every printer is tried.").arg(m_command, m_statePath));
        m_targets = std::move(all);
        return true;
    }
    if (m_state.Options(m_command) != m_options) {
        PrintError(QStringLiteral("The last %1 recorded in %2 had other options (%3); --only-failed repeats a run "
                                  "as it was. Run without --only-failed.")
                       .arg(m_command, m_statePath, m_state.Options(m_command).join(' ')));
        *exitCode = kExitUsage;
        return false;
    }
    for (FleetTarget& target : all) {
        if (!m_state.Succeeded(m_command, target.label))
            m_targets.push_back(std::move(target));
    }
    return true;
}

void CFleetSession::Note(const QString& text) const
{
    if (m_json)
        PrintError(text);
    else
        PrintOut(text);
}

void CFleetSession::ReportLine(const FleetTarget& target, const QString& text, bool message) const
{
    const QString line = QStringLiteral("[%1] %2").arg(target.label, text);
    if (message)
        PrintError(line);
    else
        Note(line);
}

int CFleetSession::Run(const FleetJob& job)
{
    if (m_targets.empty()) {
        PrintError(QStringLiteral("Every printer of %1 succeeded in the last %2; nothing to retry.")
                       .arg(m_hostsPath, m_command));
        return kExitOk;
    }
    FleetHooks hooks;
    hooks.line = [this](int index, const QString& text, bool message) {
        ReportLine(m_targets[static_cast<size_t>(index)], text, message);
    };
    hooks.finished = [this](int index, const FleetJobReport& report) {
        ReportLine(m_targets[static_cast<size_t>(index)],
                   report.outcome.ok ? QStringLiteral("done in %1 s").arg(report.seconds, 0, 'f', 1)
                                     : QStringLiteral("FAILED: %1").arg(report.outcome.reason),
                   false);
    };
    const std::vector<FleetJobReport> reports = RunFleet(m_targets, m_jobs, job, hooks);
    if (m_json) {
        QJsonObject summary = FleetSummaryJson(m_command, reports);
        summary.insert("hostsFile", m_hostsPath);
        summary.insert("stateFile", m_statePath);
        std::fputs(QJsonDocument(summary).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        for (const QString& line : FormatFleetTable(reports))
            PrintOut(line);
    }
    const bool kept = KeepResults(reports);
    const bool allOk = std::all_of(reports.begin(), reports.end(), [](const FleetJobReport& r) { return r.outcome.ok; });
    return allOk && kept ? kExitOk : kExitFailed;
}

bool CFleetSession::KeepResults(const std::vector<FleetJobReport>& reports)
{
    // Another run on the same hosts file may have saved its results since
    // this one read the state: read it again under the lock and add ours.
    QString error;
    CFleetStateLock lock;
    const bool locked = lock.Acquire(m_statePath, CFleetStateLock::kWaitMs, [this] {
        PrintError(QStringLiteral("Waiting for another fleet run to save %1 ...").arg(m_statePath));
    }, &error);
    if (locked) {
        CFleetState current;
        QString loadError;
        if (current.Load(m_statePath, &loadError))
            m_state = std::move(current);
        else if (m_stateReadable)
            PrintError(loadError + QStringLiteral(" It is replaced."));
        m_state.Record(m_command, m_options, reports);
        if (m_state.Save(m_statePath, &error))
            return true;
    }
    // A failed save is a failed run: --only-failed would otherwise act on
    // results that are not this run's.
    PrintError(QStringLiteral("The results could not be kept for --only-failed: %1").arg(error));
    return false;
}

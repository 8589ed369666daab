#pragma once

#include "fleet/fleet_runner.h"
#include "fleet/fleet_state.h"

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

// The part of a fleet run that every command shares: reading the hosts
// file, choosing the printers (--only-failed), running the jobs with their
// progress lines, printing the summary and keeping the state.
class CFleetSession {
public:
    // Reads the options and the hosts file for command ("download", ...).
    // Nothing, with the problem printed and *exitCode set, when they are not
    // usable.
    static std::optional<CFleetSession> Prepare(const QString& command, const QCommandLineParser& parser,
                                                const QStringList& args, int* exitCode);

    // The printers this run goes to.
    const std::vector<FleetTarget>& Targets() const { return m_targets; }

    // A line about the run as a whole: standard output, or standard error
    // with --json (standard output then carries the summary alone).
    void Note(const QString& text) const;

    // Runs job on every target and reports; returns the exit code.
    int Run(const FleetJob& job);

private:
    bool ChooseTargets(const QCommandLineParser& parser, std::vector<FleetTarget> all, int* exitCode);
    void ReportLine(const FleetTarget& target, const QString& text, bool message) const;
    // Merges the reports into the state file under its lock; false (and
    // said) when they could not be kept.
    bool KeepResults(const std::vector<FleetJobReport>& reports);

    QString m_command;
    QString m_hostsPath;
    QString m_statePath;
    QStringList m_options;  // the command's options that decide what it does (for --only-failed)
    CFleetState m_state;
    bool m_stateReadable = true;
    std::vector<FleetTarget> m_targets;
    int m_jobs = 4;
    bool m_json = false;
};

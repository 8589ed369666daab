#pragma once

#include "fleet/fleet_runner.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// What the last fleet runs of each command came to, kept beside the hosts
// file ("HOSTS.state.json") so that a re-run with --only-failed goes to the
// printers that have not succeeded yet. Per command (download, print, ...)
// it holds the options of the run and each printer's result; a run merges
// its printers into what is there, so a second re-run still knows the
// printers that succeeded the first time. Written atomically: an interrupted
// save leaves the previous state whole.
class CFleetState {
public:
    static QString PathFor(const QString& hostsFile);

    // A missing file is an empty state. A file that is not a state file
    // fails with the reason in *error, and the state stays empty; so does
    // one that is not a regular file (a FIFO, a link ...), without an open.
    bool Load(const QString& path, QString* error);
    bool Save(const QString& path, QString* error) const;

    // Whether the command has been run and recorded at all.
    bool HasRun(const QString& command) const;
    // The options the command's recorded runs used.
    QStringList Options(const QString& command) const;
    // Whether the printer's last recorded run of the command succeeded.
    bool Succeeded(const QString& command, const QString& printer) const;

    // Records a run: the options, and each report's printer and result.
    void Record(const QString& command, const QStringList& options, const std::vector<FleetJobReport>& reports);

private:
    QJsonObject m_runs;
};

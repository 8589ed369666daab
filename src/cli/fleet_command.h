#pragma once

#include <QCommandLineParser>
#include <QStringList>

// Fleet runs: download, print, delete and capacity with --hosts FILE run the
// same operation on every printer the file names, --jobs at a time, and end
// with a summary table (or JSON with --json). Results are kept beside the
// hosts file so that --only-failed retries only the printers that have not
// succeeded.

// --hosts, --jobs, --only-failed and --json.
void AddFleetOptions(QCommandLineParser& parser);

// Whether the command runs as a fleet (--hosts given).
bool IsFleetRun(const QCommandLineParser& parser);

// For a run without --hosts: a usage error (printed) when a fleet option was
// given all the same. jsonAlone: the command also takes --json by itself.
bool FleetOptionsMisused(const QCommandLineParser& parser, bool jsonAlone);

// Each takes the parsed options and the command's arguments (args[0] is the
// command name) and returns the exit code: 0 when every printer succeeded.
int RunFleetDownloadCommand(const QCommandLineParser& parser, const QStringList& args);
int RunFleetPrintCommand(const QCommandLineParser& parser, const QStringList& args);
int RunFleetDeleteCommand(const QCommandLineParser& parser, const QStringList& args);
int RunFleetCapacityCommand(const QCommandLineParser& parser, const QStringList& args);

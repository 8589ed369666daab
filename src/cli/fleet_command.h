#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

// Fleet runs: download, print, delete and capacity with --hosts FILE run the
// same operation on every printer the file names, --jobs at a time, and end
// with a summary table (or JSON with --json). Results are kept beside the
// hosts file so that --only-failed retries only the printers that have not
// succeeded.

// --hosts, --jobs, --only-failed and --json.
void AddFleetOptions(QCommandLineParser& parser);

// A fleet run takes the parsed options and the command's arguments (args[0]
// is the command name) and returns the exit code: 0 when every printer
// succeeded.
using FleetCommand = int (*)(const QCommandLineParser& parser, const QStringList& args);

// After a command's options are parsed: with --hosts, runs fleetCommand and
// gives its exit code; without, a fleet option given all the same is a usage
// error (printed, kExitUsage). Nothing when the command goes on for the one
// printer of its options. jsonAlone: the command also takes --json by itself.
std::optional<int> RunAsFleetWhenAsked(const QCommandLineParser& parser, const QStringList& args,
                                       FleetCommand fleetCommand, bool jsonAlone);

// The fleet runs of the four commands.
int RunFleetDownloadCommand(const QCommandLineParser& parser, const QStringList& args);
int RunFleetPrintCommand(const QCommandLineParser& parser, const QStringList& args);
int RunFleetDeleteCommand(const QCommandLineParser& parser, const QStringList& args);
int RunFleetCapacityCommand(const QCommandLineParser& parser, const QStringList& args);

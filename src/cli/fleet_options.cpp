// The fleet options and the choice between a fleet run and a run on one
// printer; shared by the converting program and the picture module, which
// runs the fleets themselves (fleet_command.cpp).
#include "cli/cli_common.h"
#include "cli/fleet_command.h"

void AddFleetOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {"hosts", "Run on every printer FILE names, one HOST[:PORT] or device path a line, optionally followed by "
                  "the line's catalogue model; '#' starts a comment.", "FILE"},
        {"jobs", "With --hosts: how many printers at a time (default 4).", "N"},
        {"only-failed", "With --hosts: only the printers that did not succeed in the last run of this command "
                        "with the same options (kept in FILE.state.json)."},
        {"json", "Print the result as JSON (with --hosts: the summary)."},
    });
}

std::optional<int> RunAsFleetWhenAsked(const QCommandLineParser& parser, const QStringList& args,
                                       FleetCommand fleetCommand, bool jsonAlone)
{
    if (parser.isSet("hosts"))
        return fleetCommand(parser, args);
    QStringList misused;
    for (const char* option : {"jobs", "only-failed", "json"}) {
        if (parser.isSet(option) && !(jsonAlone && QLatin1String(option) == QLatin1String("json")))
            misused << QStringLiteral("--%1").arg(option);
    }
    if (misused.isEmpty())
        return std::nullopt;
    PrintError(QStringLiteral("%1 goes with --hosts FILE.").arg(misused.join(", ")));
    return kExitUsage;
}

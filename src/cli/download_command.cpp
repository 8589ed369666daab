#include "address/address_commands.h"
#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_connection.h"
#include "cli/cli_logos.h"
#include "cli/fleet_command.h"
#include "operations/download_operation.h"
#include "operations/printer_kind_table.h"

namespace {

// The kind's download, its lines printed as they come; a complete two-colour
// download ends with the free memory it leaves.
int Download(CliDownload& download, const PortSettings& settings, const QStringList& addresses)
{
    const DownloadRequest request{download.kind, std::move(download.items), addresses};
    const DownloadOutcome outcome = RunDownload(settings, request, [](const QString& line) { PrintOut(line); });
    if (outcome.complete && KindEntry(download.kind).addressed)
        PrintOut(AvailableMemoryText(outcome.state.remaining));
    return outcome.complete ? kExitOk : kExitFailed;
}

}  // namespace

int RunDownloadCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddLogoOptions(parser);
    AddConnectionOptions(parser);
    parser.addOption({"addresses", "Two-colour printers: store the images under these addresses, in order "
                                   "(e.g. 01,02,A1) instead of deleting everything and numbering from 00.",
                      "list"});
    AddFleetOptions(parser);
    if (auto done = ParseCommandLine(parser, args,
                                     "Downloads logos into the printer's NV memory, as \"Download..\" does."))
        return *done;
    if (auto done = RunAsFleetWhenAsked(parser, args, RunFleetDownloadCommand, false))
        return *done;
    int exitCode = kExitOk;
    std::optional<CliDownload> download = BuildDownloadFromOptions(parser, &exitCode);
    if (!download)
        return exitCode;
    const std::optional<PortSettings> settings = ResolveConnection(parser, &exitCode);
    if (!settings)
        return exitCode;
    const QStringList addresses = parser.value("addresses").split(',', Qt::SkipEmptyParts);
    for (const QString& address : addresses) {
        if (address.size() != 2 || !HasOnlyAddressCharacters(address)) {
            PrintError(QStringLiteral("--addresses takes two-character addresses of the characters from space "
                                      "to ~ (20 to 7E), not '%1'.").arg(address));
            return kExitUsage;
        }
    }
    if (!addresses.isEmpty() && addresses.size() != static_cast<int>(download->items.size())) {
        PrintError(QStringLiteral("--addresses names %1 addresses for %2 logos.")
                       .arg(addresses.size()).arg(download->items.size()));
        return kExitUsage;
    }
    PrintOut(QStringLiteral("%1 (%2): %3 item(s) to %4")
                 .arg(download->model.name).arg(PrinterKindNumber(download->kind)).arg(download->items.size())
                 .arg(DescribeConnection(*settings)));
    return Download(*download, *settings, addresses);
}

#include "address/address_download_operations.h"
#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_connection.h"
#include "cli/cli_logos.h"
#include "cli/fleet_command.h"
#include "download/upload_session.h"
#include "operations/printer_kind_table.h"
#include "transport/printer_connection.h"

namespace {

int DownloadNumbered(const CliDownload& download, const PortSettings& settings)
{
    CPrinterConnection connection(settings, OpenFailureText::UploadAndPrint);
    CUploadSession session(download.kind, connection, download.items);
    const bool complete = session.Run([&](int sent, int) { PrintOut(session.ProgressText(sent - 1)); });
    return complete ? kExitOk : kExitFailed;
}

int DownloadAddressed(CliDownload& download, const PortSettings& settings, const QStringList& addresses)
{
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    AddressDownloadState state;
    if (!QueryDownloadState(connection, settings.interfaceKind == InterfaceKind::Usb, &state))
        return kExitFailed;
    PrintOut(QStringLiteral("Available printer flash memory : %1 Byte").arg(state.remaining));
    AddressDownloadObserver observer;
    observer.progress = [](const QString& name, int index, int total) {
        PrintOut(QStringLiteral("Downloding... ") + name + QString::asprintf(" ( %d / %d ) ", index, total));
    };
    int next = 0;
    observer.askAddress = [&](const QStringList&) -> std::optional<NvAddress> {
        return AddressFromText(addresses.value(next++));
    };
    const bool written = addresses.isEmpty()
                             ? RunAutoAddressDownload(connection, download.items, state, observer)
                             : RunUserDefinedAddressDownload(connection, download.items, state, observer);
    if (written)
        PrintOut(QStringLiteral("Available printer flash memory : %1 Byte").arg(state.remaining));
    return written ? kExitOk : kExitFailed;
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
    if (KindEntry(download->kind).addressed)
        return DownloadAddressed(*download, *settings, addresses);
    return DownloadNumbered(*download, *settings);
}

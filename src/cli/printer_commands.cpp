#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_json.h"
#include "cli/cli_connection.h"
#include "cli/cli_model.h"
#include "cli/fleet_command.h"
#include "operations/printer_kind_table.h"
#include "print/print_operations.h"
#include "print/selection_parser.h"
#include "transport/printer_connection.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// Parses the options shared by every command that talks to a printer.
std::optional<int> ParsePrinterCommand(QCommandLineParser& parser, const QStringList& args,
                                       const QString& description)
{
    AddModelFileOption(parser);
    AddConnectionOptions(parser);
    if (auto done = ParseCommandLine(parser, args, description))
        return done;
    if (!parser.positionalArguments().isEmpty()) {
        PrintError(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().front()));
        return kExitUsage;
    }
    return std::nullopt;
}

// The same for a command that a fleet can also run: adds the fleet options
// first and hands a run with --hosts to fleetCommand (see RunAsFleetWhenAsked).
std::optional<int> ParseFleetPrinterCommand(QCommandLineParser& parser, const QStringList& args,
                                            const QString& description, FleetCommand fleetCommand, bool jsonAlone)
{
    AddFleetOptions(parser);
    if (auto done = ParsePrinterCommand(parser, args, description))
        return done;
    return RunAsFleetWhenAsked(parser, args, fleetCommand, jsonAlone);
}

std::optional<NvAddress> AddressOption(const QCommandLineParser& parser)
{
    const QString text = parser.value("address");
    const std::optional<NvAddress> address = AddressFromText(text);
    if (!address || text.size() != 2) {
        PrintError(QStringLiteral("--address takes two characters from space to ~ (20 to 7E), such as 00 or A1."));
        return std::nullopt;
    }
    return address;
}

const char* ListOutcomeName(AddressListOutcome outcome)
{
    switch (outcome) {
    case AddressListOutcome::Listed: return "listed";
    case AddressListOutcome::Incomplete: return "incomplete";
    case AddressListOutcome::Empty: return "empty";
    case AddressListOutcome::Bad: return "bad";
    case AddressListOutcome::WriteFailed: return "write-failed";
    default: return "not-connected";
    }
}

}  // namespace

int RunPrintCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddModelChoiceOptions(parser);
    parser.addOptions({
        {"receipt-width", "Unused here; accepted for symmetry with convert.", "dots"},
        {"select", "Single-colour: the images to print, such as 1-3,7 (default: all, 1 to 255).", "numbers"},
        {"quality", "Single-colour: 0 normal, 1 double width, 2 double height, 3 both (default 0).", "0..3"},
        {"header", "Single-colour: print \"----- Logo : N -----\" above each image."},
        {"address", "Two-colour: print the image stored under this address.", "XX"},
        {"all", "Two-colour: print every listed address."},
    });
    if (auto done = ParseFleetPrinterCommand(parser, args, "Prints images stored in the printer's NV memory.",
                                             RunFleetPrintCommand, false))
        return *done;
    int exitCode = kExitOk;
    const std::optional<CliModel> model = ResolveModel(parser, parser.isSet("model-type"), &exitCode);
    if (!model)
        return exitCode;
    bool ok = true;
    const int quality = IntOption(parser, "quality", 0, 0, 3, &ok);
    if (!ok)
        return kExitUsage;
    const std::optional<PortSettings> settings = ResolveConnection(parser, &exitCode);
    if (!settings)
        return exitCode;

    const PrinterKindEntry* kind = KindEntry(model->modelType);
    if (!kind) {
        PrintError("Not Support Printer");
        return kExitFailed;
    }
    PrintRequest request;
    request.selectionSet = parser.isSet("select");
    request.selection = parser.value("select");
    request.sizeMode = PrintSizeModeFromNumber(quality).value_or(PrintSizeMode::Normal);  // 0..3 checked above
    request.header = parser.isSet("header");
    request.all = parser.isSet("all");
    // Arguments are checked before anything is sent, so a typo costs no connection.
    if (kind->addressed && !request.all) {
        const std::optional<NvAddress> address = AddressOption(parser);
        if (!address)
            return kExitUsage;
        request.address = *address;
    }
    if (kind->printsSelection && request.selectionSet && !ParseSelection(request.selection)) {
        PrintError("Selection Format Error!");
        return kExitUsage;
    }
    return kind->print(*settings, request, {}) ? kExitOk : kExitFailed;
}

int RunListCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOption({"json", "Print {\"outcome\", \"addresses\"} instead (outcome: listed, incomplete, empty, "
                              "bad, not-connected or write-failed)."});
    if (auto done = ParsePrinterCommand(parser, args, "Lists the addresses under which a two-colour printer "
                                                      "holds NV images, one a line; exits 1 when the printer "
                                                      "holds more than it lists."))
        return *done;
    int exitCode = kExitOk;
    const std::optional<PortSettings> settings = ResolveConnection(parser, &exitCode);
    if (!settings)
        return exitCode;
    CPrinterConnection connection(*settings, OpenFailureOf(PrinterKind::TwoColor));
    const AddressListResult list = ReadAddressList(connection);
    PrintOutcome(list.told);
    if (parser.isSet("json"))
        PrintJson(QJsonObject{{"outcome", ListOutcomeName(list.outcome)}, {"addresses", QJsonArray::fromStringList(list.addresses)}});
    else
        for (const QString& address : list.addresses)
            PrintOut(address);
    // The addresses are printed all the same, but a script must not take
    // them for everything the printer holds.
    if (list.outcome == AddressListOutcome::Incomplete)
        PrintError(IncompleteAddressListText(list.addresses.size()));
    const bool good = list.outcome == AddressListOutcome::Listed || list.outcome == AddressListOutcome::Empty;
    return good ? kExitOk : kExitFailed;
}

int RunDeleteCommand(const QStringList& args)
{
    QCommandLineParser parser;
    parser.addOptions({
        {"address", "Delete the image stored under this address.", "XX"},
        {"all", "Delete every image."},
    });
    if (auto done = ParseFleetPrinterCommand(parser, args, "Deletes NV images of a two-colour printer.",
                                             RunFleetDeleteCommand, false))
        return *done;
    if (parser.isSet("all") == parser.isSet("address")) {
        PrintError("delete needs either --address XX or --all.");
        return kExitUsage;
    }
    std::optional<NvAddress> address;
    if (parser.isSet("address") && !(address = AddressOption(parser)))
        return kExitUsage;
    int exitCode = kExitOk;
    const std::optional<PortSettings> settings = ResolveConnection(parser, &exitCode);
    if (!settings)
        return exitCode;
    CPrinterConnection connection(*settings, OpenFailureOf(PrinterKind::TwoColor));
    return PrintOutcome(address ? TryRemoveAddress(connection, *address) : TryRemoveAllAddresses(connection));
}

int RunCapacityCommand(const QStringList& args)
{
    QCommandLineParser parser;
    if (auto done = ParseFleetPrinterCommand(parser, args,
                                             "Prints the free NV memory of a two-colour printer, in bytes.",
                                             RunFleetCapacityCommand, true))
        return *done;
    int exitCode = kExitOk;
    const std::optional<PortSettings> settings = ResolveConnection(parser, &exitCode);
    if (!settings)
        return exitCode;
    CPrinterConnection connection(*settings, OpenFailureOf(PrinterKind::TwoColor));
    if (!connection.CanReadReplies()) {
        PrintError("If it is USB I/F, it dosen't support this function!");
        return kExitFailed;
    }
    const FreeMemoryReply reply = ReadFreeMemory(connection);
    PrintOutcome(reply.told);
    if (!reply.opened)
        return kExitFailed;
    if (!reply.answered) {
        // The desktop shows 0 here; a script must not take that for "full".
        PrintError("The printer did not answer the capacity query, or its answer could not be read.");
        return kExitFailed;
    }
    if (parser.isSet("json"))
        PrintJson(QJsonObject{{"freeMemory", reply.remaining}});
    else
        PrintOut(QString::number(reply.remaining));
    return kExitOk;
}

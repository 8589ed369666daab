#include "cli/fleet_command.h"

#include "cli/cli_common.h"
#include "cli/cli_logos.h"
#include "cli/cli_model.h"
#include "cli/fleet_session.h"
#include "fleet/fleet_operations.h"
#include "operations/printer_kind_table.h"
#include "print/selection_parser.h"

#include <algorithm>
#include <map>

namespace {

std::optional<NvAddress> TwoCharacterAddress(const QString& text)
{
    return text.size() == 2 ? AddressFromText(text) : std::nullopt;
}

// The download converted once for every model the hosts file names (the
// command's own model for lines that name none); conversion problems are
// reported before any printer is contacted.
std::optional<std::map<QString, FleetDownloadPlan>> BuildDownloadPlans(const QCommandLineParser& parser,
                                                                        const CFleetSession& session,
                                                                        const QStringList& addresses, int* exitCode)
{
    std::map<QString, FleetDownloadPlan> plans;
    for (const FleetTarget& target : session.Targets()) {
        if (plans.count(target.model))
            continue;
        std::optional<CliDownload> download = BuildDownloadFromOptions(parser, exitCode, target.model);
        if (!download)
            return std::nullopt;
        FleetDownloadPlan plan;
        plan.kind = download->kind;
        plan.logoCount = static_cast<int>(std::count_if(download->items.begin(), download->items.end(),
                                                        [](const DownloadItem& item) { return item.name != kHeadItemName; }));
        plan.items = std::move(download->items);
        if (KindEntry(plan.kind).addressed && !addresses.isEmpty() && addresses.size() != plan.logoCount) {
            PrintError(QStringLiteral("--addresses names %1 addresses for %2 logos.").arg(addresses.size()).arg(plan.logoCount));
            *exitCode = kExitUsage;
            return std::nullopt;
        }
        plan.addresses = addresses;
        session.Note(QStringLiteral("%1 (%2): %3 item(s) for each of its printers")
                     .arg(download->model.name.isEmpty() ? QStringLiteral("model") : download->model.name)
                     .arg(PrinterKindNumber(plan.kind)).arg(plan.items.size()));
        plans.emplace(target.model, std::move(plan));
    }
    return plans;
}

}  // namespace

int RunFleetDownloadCommand(const QCommandLineParser& parser, const QStringList& args)
{
    const QStringList addresses = parser.value("addresses").split(',', Qt::SkipEmptyParts);
    for (const QString& address : addresses) {
        if (!TwoCharacterAddress(address)) {
            PrintError(QStringLiteral("--addresses takes two-character addresses, not '%1'.").arg(address));
            return kExitUsage;
        }
    }
    int exitCode = kExitOk;
    std::optional<CFleetSession> session = CFleetSession::Prepare("download", parser, args, &exitCode);
    if (!session)
        return exitCode;
    const std::optional<std::map<QString, FleetDownloadPlan>> plans =
        BuildDownloadPlans(parser, *session, addresses, &exitCode);
    if (!plans)
        return exitCode;
    return session->Run([&](const FleetTarget& target, const CFleetJobContext& context) {
        return RunFleetDownload(target.settings, plans->at(target.model), context);
    });
}

int RunFleetPrintCommand(const QCommandLineParser& parser, const QStringList& args)
{
    int exitCode = kExitOk;
    std::optional<CFleetSession> session = CFleetSession::Prepare("print", parser, args, &exitCode);
    if (!session)
        return exitCode;
    bool ok = true;
    FleetPrintPlan common;
    common.sizeMode = PrintSizeModeFromNumber(IntOption(parser, "quality", 0, 0, 3, &ok)).value_or(PrintSizeMode::Normal);
    common.selectionSet = parser.isSet("select");
    common.selection = parser.value("select");
    common.header = parser.isSet("header");
    common.all = parser.isSet("all");
    if (!ok)
        return kExitUsage;
    if (common.selectionSet && !ParseSelection(common.selection)) {
        PrintError("Selection Format Error!");
        return kExitUsage;
    }
    std::map<QString, FleetPrintPlan> plans;
    for (const FleetTarget& target : session->Targets()) {
        if (plans.count(target.model))
            continue;
        const std::optional<CliModel> model = ResolveModel(parser, parser.isSet("model-type") && target.model.isEmpty(),
                                                           &exitCode, target.model);
        if (!model)
            return exitCode;
        FleetPrintPlan plan = common;
        plan.modelType = model->modelType;
        const PrinterKindEntry* kind = KindEntry(plan.modelType);
        if (kind && kind->addressed && !plan.all) {
            const std::optional<NvAddress> address = TwoCharacterAddress(parser.value("address"));
            if (!address) {
                PrintError("Two-colour printers need --address XX (two characters, such as 00 or A1) or --all.");
                return kExitUsage;
            }
            plan.address = *address;
        }
        plans.emplace(target.model, plan);
    }
    return session->Run([&](const FleetTarget& target, const CFleetJobContext& context) {
        return RunFleetPrint(target.settings, plans.at(target.model), context);
    });
}

int RunFleetDeleteCommand(const QCommandLineParser& parser, const QStringList& args)
{
    if (parser.isSet("all") == parser.isSet("address")) {
        PrintError("delete needs either --address XX or --all.");
        return kExitUsage;
    }
    const std::optional<NvAddress> address = TwoCharacterAddress(parser.value("address"));
    if (parser.isSet("address") && !address) {
        PrintError(QStringLiteral("--address takes two characters, such as 00 or A1."));
        return kExitUsage;
    }
    int exitCode = kExitOk;
    std::optional<CFleetSession> session = CFleetSession::Prepare("delete", parser, args, &exitCode);
    if (!session)
        return exitCode;
    return session->Run([&](const FleetTarget& target, const CFleetJobContext& context) {
        return RunFleetDelete(target.settings, address, context);
    });
}

int RunFleetCapacityCommand(const QCommandLineParser& parser, const QStringList& args)
{
    int exitCode = kExitOk;
    std::optional<CFleetSession> session = CFleetSession::Prepare("capacity", parser, args, &exitCode);
    if (!session)
        return exitCode;
    return session->Run([](const FleetTarget& target, const CFleetJobContext& context) {
        return RunFleetCapacity(target.settings, context);
    });
}

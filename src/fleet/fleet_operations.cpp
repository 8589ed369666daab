#include "fleet/fleet_operations.h"

#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "operations/download_operation.h"
#include "transport/printer_connection.h"

namespace {

FleetOutcome Failed(const QString& reason = {})
{
    FleetOutcome outcome;
    outcome.reason = reason;
    return outcome;
}

// The free memory as the printer reports it; < 0 when it cannot tell (USB, no
// reply).
qint64 AskFreeMemory(const PortSettings& settings)
{
    CPrinterConnection connection(settings, OpenFailureOf(PrinterKind::TwoColor));
    if (!connection.CanReadReplies())
        return -1;
    int remaining = 0;
    bool answered = false;
    if (!QueryFreeMemory(connection, &remaining, &answered) || !answered)
        return -1;
    return remaining;
}

// Numbered kinds: imagesStored counts the logos sent. A download that
// stopped after some items leaves the printer's memory unknown: the items it
// was sent do not say what it kept.
FleetOutcome NumberedOutcome(const FleetDownloadPlan& plan, const DownloadOutcome& download)
{
    FleetOutcome outcome;
    outcome.ok = download.complete;
    if (outcome.ok)
        outcome.imagesStored = plan.logoCount;
    else
        outcome.imagesStored = download.itemsSent == 0 ? 0 : -1;
    return outcome;
}

FleetOutcome AddressedOutcome(const PortSettings& settings, const DownloadOutcome& download)
{
    if (!download.reached) {
        FleetOutcome unreachable = Failed();
        unreachable.imagesStored = 0;
        return unreachable;
    }
    const AddressDownloadState& state = download.state;
    const int written = download.itemsSent;
    FleetOutcome outcome;
    outcome.ok = download.complete;
    // After a complete download the printer has been asked for its list
    // again (where replies can be read): that is what it really holds. A
    // printer that did not answer leaves it unknown rather than reported as
    // empty.
    if (!outcome.ok || state.usb) {
        outcome.imagesStored = written;
    } else if (state.usedIncomplete) {
        // The list the printer gave back does not say what it holds: a
        // report must not show the part it carried as the whole.
        outcome.ok = false;
        outcome.reason = QStringLiteral("%1 image(s) were sent, but what the printer holds cannot be told. %2")
                             .arg(written)
                             .arg(IncompleteAddressListText(state.used.size()));
    } else {
        outcome.imagesStored = state.used.isEmpty() ? -1 : static_cast<int>(state.used.size());
    }
    outcome.freeMemory = outcome.ok ? AskFreeMemory(settings) : -1;
    return outcome;
}

}  // namespace

FleetOutcome RunFleetDownload(const PortSettings& settings, const FleetDownloadPlan& plan,
                              const CFleetJobContext& context)
{
    const DownloadRequest request{plan.kind, plan.items, plan.addresses};
    const DownloadOutcome download =
        RunDownload(settings, request, [&](const QString& line) { context.Progress(line); });
    if (KindEntry(plan.kind).addressed)
        return AddressedOutcome(settings, download);
    return NumberedOutcome(plan, download);
}

FleetOutcome RunFleetPrint(const PortSettings& settings, const FleetPrintPlan& plan, const CFleetJobContext& context)
{
    const PrinterKindEntry* kind = KindEntry(plan.modelType);
    if (!kind)
        return Failed(QStringLiteral("Not Support Printer"));
    FleetOutcome outcome;
    outcome.ok = kind->print(settings, plan, [&](const QString& line) { context.Progress(line); });
    return outcome;
}

FleetOutcome RunFleetDelete(const PortSettings& settings, const std::optional<NvAddress>& address,
                            const CFleetJobContext&)
{
    CPrinterConnection connection(settings, OpenFailureOf(PrinterKind::TwoColor));
    FleetOutcome outcome;
    outcome.ok = address ? RemoveAddress(connection, *address) : RemoveAllAddresses(connection);
    return outcome;
}

FleetOutcome RunFleetCapacity(const PortSettings& settings, const CFleetJobContext& context)
{
    CPrinterConnection connection(settings, OpenFailureOf(PrinterKind::TwoColor));
    if (!connection.CanReadReplies())
        return Failed(QStringLiteral("If it is USB I/F, it dosen't support this function!"));
    int remaining = 0;
    bool answered = false;
    if (!QueryFreeMemory(connection, &remaining, &answered))
        return Failed();
    if (!answered)
        return Failed(QStringLiteral("The printer gave no capacity reply."));
    context.Progress(QString::number(remaining));
    FleetOutcome outcome;
    outcome.ok = true;
    outcome.freeMemory = remaining;
    return outcome;
}

#include "fleet/fleet_operations.h"

#include "address/address_download_operations.h"
#include "address/address_list_operations.h"
#include "download/upload_session.h"
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
    if (settings.interfaceKind == InterfaceKind::Usb)
        return -1;
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    int remaining = 0;
    bool answered = false;
    if (!QueryFreeMemory(connection, &remaining, &answered) || !answered)
        return -1;
    return remaining;
}

FleetOutcome DownloadNumbered(const PortSettings& settings, const FleetDownloadPlan& plan,
                              const CFleetJobContext& context)
{
    CPrinterConnection connection(settings, OpenFailureText::UploadAndPrint);
    CUploadSession session(plan.kind, connection, plan.items);
    int sent = 0;
    FleetOutcome outcome;
    outcome.ok = session.Run([&](int count, int) {
        sent = count;
        context.Progress(session.ProgressText(count - 1));
    });
    // A download that stopped after some items leaves the printer's memory
    // unknown: the items it was sent do not say what it kept.
    if (outcome.ok)
        outcome.imagesStored = plan.logoCount;
    else
        outcome.imagesStored = sent == 0 ? 0 : -1;
    return outcome;
}

FleetOutcome DownloadAddressed(const PortSettings& settings, const FleetDownloadPlan& plan,
                               const CFleetJobContext& context)
{
    DownloadList items = plan.items;  // the download writes each image's address into it
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    AddressDownloadState state;
    if (!QueryDownloadState(connection, settings.interfaceKind == InterfaceKind::Usb, &state)) {
        FleetOutcome unreachable = Failed();
        unreachable.imagesStored = 0;
        return unreachable;
    }
    context.Progress(QStringLiteral("Available printer flash memory : %1 Byte").arg(state.remaining));
    AddressDownloadObserver observer;
    int written = 0;
    observer.progress = [&](const QString& name, int index, int total) {
        written = index;
        context.Progress(QStringLiteral("Downloding... ") + name + QString::asprintf(" ( %d / %d ) ", index, total));
    };
    int next = 0;
    observer.askAddress = [&](const QStringList&) -> std::optional<NvAddress> {
        return AddressFromText(plan.addresses.value(next++));
    };
    FleetOutcome outcome;
    outcome.ok = plan.addresses.isEmpty() ? RunAutoAddressDownload(connection, items, state, observer)
                                          : RunUserDefinedAddressDownload(connection, items, state, observer);
    // After a complete download the printer has been asked for its list
    // again (not on USB): that is what it really holds. A printer that did
    // not answer leaves it unknown rather than reported as empty.
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
    if (KindEntry(plan.kind).addressed)
        return DownloadAddressed(settings, plan, context);
    return DownloadNumbered(settings, plan, context);
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
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    FleetOutcome outcome;
    outcome.ok = address ? RemoveAddress(connection, *address) : RemoveAllAddresses(connection);
    return outcome;
}

FleetOutcome RunFleetCapacity(const PortSettings& settings, const CFleetJobContext& context)
{
    if (settings.interfaceKind == InterfaceKind::Usb)
        return Failed(QStringLiteral("If it is USB I/F, it dosen't support this function!"));
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
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

#include "operations/kind_prints.h"

#include "address/address_list_operations.h"
#include "print/print_operations.h"

bool PrintDotModeKind(const PortSettings& settings, const PrintRequest&, const PrintProgress&)
{
    CPrinterConnection connection(settings, OpenFailureOf(PrinterKind::DotMode));
    return PrintDotModeImages(connection);
}

bool PrintMonoKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress&)
{
    CPrinterConnection connection(settings, OpenFailureOf(PrinterKind::Mono));
    return PrintNvImageSelection(connection, request.selectionSet, request.selection, request.sizeMode, request.header);
}

namespace {

Outcome PrintEveryListedAddress(CPrinterConnection& connection, const PrintProgress& progress)
{
    const AddressListResult list = ReadAddressList(connection);
    const bool incomplete = list.outcome == AddressListOutcome::Incomplete;
    if (list.outcome != AddressListOutcome::Listed && !incomplete) {
        // An empty list is told as it always is, but nothing was printed.
        Outcome nothingPrinted = list.told;
        nothingPrinted.done = false;
        return nothingPrinted;
    }
    if (const Outcome printed = TryPrintAllAddresses(connection, list.addresses); printed.Failed())
        return printed;
    if (progress)
        progress(QStringLiteral("Printed %1").arg(list.addresses.join(',')));
    // What the list carried is printed; the images it could not name are not,
    // so "all" did not happen.
    if (incomplete)
        return Outcome::Failure(IncompleteAddressListText(list.addresses.size()));
    return {};
}

}  // namespace

bool PrintTwoColorKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress& progress)
{
    CPrinterConnection connection(settings, OpenFailureOf(PrinterKind::TwoColor));
    if (!request.all)
        return PrintAddress(connection, request.address);
    return ShowOutcomeOk(PrintEveryListedAddress(connection, progress));
}

#include "operations/kind_prints.h"

#include "address/address_list_operations.h"
#include "framework/message_box.h"
#include "print/print_operations.h"

bool PrintDotModeKind(const PortSettings& settings, const PrintRequest&, const PrintProgress&)
{
    CPrinterConnection connection(settings, OpenFailureText::UploadAndPrint);
    return PrintDotModeImages(connection);
}

bool PrintMonoKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress&)
{
    CPrinterConnection connection(settings, OpenFailureText::UploadAndPrint);
    return PrintNvImageSelection(connection, request.selectionSet, request.selection, request.quality, request.header);
}

bool PrintTwoColorKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress& progress)
{
    CPrinterConnection connection(settings, OpenFailureText::AddressDialogs);
    if (!request.all)
        return PrintAddress(connection, request.address);
    const AddressListResult list = GetAddressList(connection);
    const bool incomplete = list.outcome == AddressListOutcome::Incomplete;
    if ((list.outcome != AddressListOutcome::Listed && !incomplete) || !PrintAllAddresses(connection, list.addresses))
        return false;
    if (progress)
        progress(QStringLiteral("Printed %1").arg(list.addresses.join(',')));
    // What the list carried is printed; the images it could not name are not,
    // so "all" did not happen.
    if (incomplete)
        ShowMessage(IncompleteAddressListText(list.addresses.size()));
    return !incomplete;
}

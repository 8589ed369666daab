#pragma once

#include "address/address_commands.h"
#include "framework/outcome.h"

#include <QStringList>

#include <functional>

class CPrinterConnection;

// What the address list's buttons do on the wire, for two-colour printers.
// Each operation opens the connection, sends its commands, and closes it
// again. The Try... operations return what came of it as an Outcome with the
// texts operators know ("Communication Error!", "Data Write Error", ...) for
// the command-line tool and fleets to print or record; the others show that
// outcome (ShowOutcome) and are what the dialogs call. No reply is read
// after a delete or a print: a write that went through is taken as done.
// One thread per connection; the waits go through Clock().

// Incomplete: the addresses the reply carried, while the printer holds more
// (see IsKeyCodeListIncomplete); the caller says so, with
// IncompleteAddressListText.
enum class AddressListOutcome { NotConnected, WriteFailed, Listed, Incomplete, Empty, Bad };

struct AddressListResult {
    AddressListOutcome outcome = AddressListOutcome::NotConnected;
    QStringList addresses;  // Listed: all; Incomplete: those carried; Bad: the good ones before the bad one
    // What the operator is told: a failure, "Empty NV Image list!" as a
    // notice, or nothing (Listed, and Incomplete, which the caller tells
    // in its own way).
    Outcome told;
};

// ESC @, the key-code list command, a 1,000 ms wait, then the reply (at most
// kKeyCodeListReplyBytes) read strictly: "Fail to get Image address list!"
// for a bad reply, "Empty NV Image list!" for none. An incomplete list shows
// no message here: the caller tells it in its own way.
// showList (when given) gets the result read, before any message about it,
// so that a dialog's list already shows it while the operator reads that.
using AddressListShown = std::function<void(const AddressListResult&)>;
AddressListResult GetAddressList(CPrinterConnection& connection, const AddressListShown& showList = {});

// The same, telling nothing: the outcome is in the result's told.
AddressListResult ReadAddressList(CPrinterConnection& connection);

// Asks before every image in the printer is deleted, saying so ("Delete
// every image stored in the printer?") and, when the address list shows
// images (listed > 0), how many. True only when the operator said Yes.
bool AskDeleteEveryImage(int listed);

// What the operator is told when the printer holds more images than its list
// carries: how many addresses are shown, and that there are more.
QString IncompleteAddressListText(qsizetype shown);

Outcome TryRemoveAddress(CPrinterConnection& connection, const NvAddress& address);
Outcome TryRemoveAllAddresses(CPrinterConnection& connection);
Outcome TryPrintAddress(CPrinterConnection& connection, const NvAddress& address);
// Prints every listed address in order; a failed write ends the run.
Outcome TryPrintAllAddresses(CPrinterConnection& connection, const QStringList& addresses);

bool RemoveAddress(CPrinterConnection& connection, const NvAddress& address);
bool RemoveAllAddresses(CPrinterConnection& connection);
bool PrintAddress(CPrinterConnection& connection, const NvAddress& address);
bool PrintAllAddresses(CPrinterConnection& connection, const QStringList& addresses);

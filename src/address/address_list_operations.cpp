#include "address/address_list_operations.h"

#include "address/key_code_reply.h"
#include "address/reply_reader.h"
#include "framework/clock.h"
#include "framework/message_box.h"
#include "transport/printer_connection.h"

namespace {

constexpr int kListReplyWaitMs = 1000;

Outcome NotConnected()
{
    return Outcome::Failure(QStringLiteral("Communication Error!"));
}

Outcome WriteFailed()
{
    return Outcome::Failure(QStringLiteral("Data Write Error"));
}

// Opens, writes the commands one by one, closes; "Data Write Error" when a
// write fails.
Outcome SendCommands(CPrinterConnection& connection, const std::vector<QByteArray>& commands)
{
    if (!connection.OpenPrinter())
        return NotConnected();
    Outcome outcome;
    for (const QByteArray& command : commands) {
        if (!connection.WritePrinter(command)) {
            outcome = WriteFailed();
            break;
        }
    }
    connection.ClosePrinter();
    return outcome;
}

}  // namespace

AddressListResult ReadAddressList(CPrinterConnection& connection)
{
    AddressListResult result;
    if (!connection.OpenPrinter()) {
        result.told = NotConnected();
        return result;
    }
    if (!connection.WritePrinter(InitializeCommand()) || !connection.WritePrinter(KeyCodeListCommand())) {
        connection.ClosePrinter();
        result.outcome = AddressListOutcome::WriteFailed;
        result.told = WriteFailed();
        return result;
    }
    Clock().Sleep(kListReplyWaitMs);
    const QByteArray reply = ReadReply([&](char* buffer, int count) { return connection.ReadPrinter(buffer, count); },
                                       kKeyCodeListReplyBytes, LeadingZero::EndsReply);
    const KeyCodeList list = ParseKeyCodeListStrict(reply);
    result.addresses = list.addresses;
    switch (list.outcome) {
    case KeyCodeListOutcome::Listed:
        result.outcome = AddressListOutcome::Listed;
        break;
    case KeyCodeListOutcome::Incomplete:
        result.outcome = AddressListOutcome::Incomplete;
        break;
    case KeyCodeListOutcome::Empty:
        result.outcome = AddressListOutcome::Empty;
        result.told = Outcome::Notice(QStringLiteral("Empty NV Image list!"));
        break;
    case KeyCodeListOutcome::Bad:
        result.outcome = AddressListOutcome::Bad;
        result.told = Outcome::Failure(QStringLiteral("Fail to get Image address list!"));
        break;
    }
    connection.ClosePrinter();
    return result;
}

AddressListResult GetAddressList(CPrinterConnection& connection, const AddressListShown& showList)
{
    const AddressListResult result = ReadAddressList(connection);
    // The list shows what was read before the operator is told about it.
    if (showList && result.outcome != AddressListOutcome::NotConnected && result.outcome != AddressListOutcome::WriteFailed)
        showList(result);
    ShowOutcome(result.told);
    return result;
}

bool AskDeleteEveryImage(int listed)
{
    QString text = QStringLiteral("Delete every image stored in the printer?");
    if (listed == 1)
        text += QStringLiteral("\r\nThe list shows 1 image; it will be lost.");
    else if (listed > 1)
        text += QStringLiteral("\r\nThe list shows %1 images; all of them will be lost.").arg(listed);
    return AskBeforeLoss(text);
}

QString IncompleteAddressListText(qsizetype shown)
{
    return QStringLiteral("The address list is incomplete: %1 address(es) are shown, and the printer holds more "
                          "images that it cannot list.")
        .arg(shown);
}

Outcome TryRemoveAddress(CPrinterConnection& connection, const NvAddress& address)
{
    return SendCommands(connection, {DeleteImageCommand(address)});
}

Outcome TryRemoveAllAddresses(CPrinterConnection& connection)
{
    return SendCommands(connection, {DeleteAllImagesCommand()});
}

Outcome TryPrintAddress(CPrinterConnection& connection, const NvAddress& address)
{
    return SendCommands(connection, {PrintImageCommand(address)});
}

Outcome TryPrintAllAddresses(CPrinterConnection& connection, const QStringList& addresses)
{
    std::vector<QByteArray> commands;
    for (const QString& text : addresses) {
        if (const std::optional<NvAddress> address = AddressFromText(text))
            commands.push_back(PrintImageCommand(*address));
    }
    return SendCommands(connection, commands);
}

bool RemoveAddress(CPrinterConnection& connection, const NvAddress& address)
{
    return ShowOutcomeOk(TryRemoveAddress(connection, address));
}

bool RemoveAllAddresses(CPrinterConnection& connection)
{
    return ShowOutcomeOk(TryRemoveAllAddresses(connection));
}

bool PrintAddress(CPrinterConnection& connection, const NvAddress& address)
{
    return ShowOutcomeOk(TryPrintAddress(connection, address));
}

bool PrintAllAddresses(CPrinterConnection& connection, const QStringList& addresses)
{
    return ShowOutcomeOk(TryPrintAllAddresses(connection, addresses));
}

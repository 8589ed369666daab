#include "address/address_list_operations.h"

#include "address/key_code_reply.h"
#include "address/reply_reader.h"
#include "framework/clock.h"
#include "framework/message_box.h"
#include "transport/printer_connection.h"

namespace {

constexpr int kListReplyWaitMs = 1000;

bool Open(CPrinterConnection& connection)
{
    if (connection.OpenPrinter())
        return true;
    ShowMessage("Communication Error!");
    return false;
}

// Opens, writes the commands one by one, closes; "Data Write Error" when a
// write fails.
bool SendCommands(CPrinterConnection& connection, const std::vector<QByteArray>& commands)
{
    if (!Open(connection))
        return false;
    bool written = true;
    for (const QByteArray& command : commands) {
        if (!connection.WritePrinter(command)) {
            ShowMessage("Data Write Error");
            written = false;
            break;
        }
    }
    connection.ClosePrinter();
    return written;
}

}  // namespace

AddressListResult GetAddressList(CPrinterConnection& connection, const AddressListShown& showList)
{
    AddressListResult result;
    if (!Open(connection))
        return result;
    if (!connection.WritePrinter(InitializeCommand()) || !connection.WritePrinter(KeyCodeListCommand())) {
        ShowMessage("Data Write Error");
        connection.ClosePrinter();
        result.outcome = AddressListOutcome::WriteFailed;
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
        break;
    case KeyCodeListOutcome::Bad:
        result.outcome = AddressListOutcome::Bad;
        break;
    }
    // The list shows what was read before the operator is told about it.
    if (showList)
        showList(result);
    if (result.outcome == AddressListOutcome::Empty)
        ShowMessage("Empty NV Image list!");
    else if (result.outcome == AddressListOutcome::Bad)
        ShowMessage("Fail to get Image address list!");
    connection.ClosePrinter();
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

bool RemoveAddress(CPrinterConnection& connection, const NvAddress& address)
{
    return SendCommands(connection, {DeleteImageCommand(address)});
}

bool RemoveAllAddresses(CPrinterConnection& connection)
{
    return SendCommands(connection, {DeleteAllImagesCommand()});
}

bool PrintAddress(CPrinterConnection& connection, const NvAddress& address)
{
    return SendCommands(connection, {PrintImageCommand(address)});
}

bool PrintAllAddresses(CPrinterConnection& connection, const QStringList& addresses)
{
    std::vector<QByteArray> commands;
    for (const QString& text : addresses) {
        if (const std::optional<NvAddress> address = AddressFromText(text))
            commands.push_back(PrintImageCommand(*address));
    }
    return SendCommands(connection, commands);
}

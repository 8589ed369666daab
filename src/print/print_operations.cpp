#include "print/print_operations.h"

#include "print/print_commands.h"
#include "print/selection_parser.h"
#include "transport/printer_connection.h"

#include <vector>

namespace {

void SendImages(CPrinterConnection& connection, const std::vector<int>& numbers, PrintSizeMode sizeMode, bool header)
{
    for (int number : numbers) {
        if (header)
            connection.SendWhole(HeaderBlock(number));
        connection.SendWhole(PrintNvBitImageCommand(number, sizeMode));
    }
}

}  // namespace

bool PrintDotModeImages(CPrinterConnection& connection)
{
    if (!connection.OpenPrinter())
        return false;
    for (int n = 1; n <= 10; ++n)
        connection.SendWhole(PrintDotImageCommand(n));
    connection.ClosePrinter();
    return true;
}

Outcome TryPrintNvImageSelection(CPrinterConnection& connection, bool selection, const QString& selectionText,
                                 PrintSizeMode sizeMode, bool header)
{
    if (!connection.OpenPrinter())
        return Outcome::Failure();
    std::vector<int> numbers;
    if (selection) {
        const std::optional<std::vector<int>> parsed =
            selectionText.isEmpty() ? std::nullopt : ParseSelection(selectionText);
        if (!parsed) {
            connection.ClosePrinter();
            // Nothing entered asks for an entry; an entry that does not
            // parse is an error.
            if (selectionText.isEmpty())
                return Outcome::Refused(QStringLiteral("Select Image Number Please!"));
            return Outcome::Failure(QStringLiteral("Selection Format Error!"));
        }
        numbers = *parsed;
    } else {
        for (int n = 1; n <= 255; ++n)
            numbers.push_back(n);
    }
    SendImages(connection, numbers, sizeMode, header);
    connection.ClosePrinter();
    return {};
}

bool PrintNvImageSelection(CPrinterConnection& connection, bool selection, const QString& selectionText,
                           PrintSizeMode sizeMode, bool header)
{
    return ShowOutcomeOk(TryPrintNvImageSelection(connection, selection, selectionText, sizeMode, header));
}

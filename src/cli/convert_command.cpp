#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_logos.h"
#include "address/address_print_file.h"
#include "operations/download_print_file.h"
#include "operations/printer_kind_table.h"

int RunConvertCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddLogoOptions(parser);
    parser.addOption({{"o", "output"}, "The print file to write.", "OUT.prn"});
    if (auto done = ParseCommandLine(parser, args,
                                     "Writes the print file that \"Save File..\" writes for these logos."))
        return *done;
    if (!parser.isSet("output")) {
        PrintError("convert needs -o OUT.prn and at least one logo (FILE.bmp or --logo-list).");
        return kExitUsage;
    }
    if (RefuseUnusableOutput(parser.value("output")))
        return kExitFailed;
    int exitCode = kExitOk;
    std::optional<CliDownload> download = BuildDownloadFromOptions(parser, &exitCode);
    if (!download)
        return exitCode;
    QString error;
    const QString output = parser.value("output");
    const bool saved = KindEntry(download->kind).addressed
                           ? SaveAddressedPrintFile(output, download->items, &error)
                           : SaveDownloadPrintFile(output, download->kind, download->items, &error);
    if (!saved) {
        PrintError(error);
        return kExitFailed;
    }
    return kExitOk;
}

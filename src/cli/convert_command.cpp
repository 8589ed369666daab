#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_model.h"
#include "download/print_file.h"
#include "imaging/download_list_builder.h"
#include "logos/logo_list.h"
#include "logos/logo_value_text.h"

#include <QFile>

namespace {

// Reads a logo list file: one logo a line in the stored text form; blank
// lines are skipped.
std::optional<std::vector<LogoValue>> ReadLogoListFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        PrintError(QStringLiteral("Cannot read the logo list %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    std::vector<LogoValue> values;
    while (!file.atEnd()) {
        const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
        if (!line.isEmpty())
            values.push_back(ParseLogoValue(line));
    }
    return values;
}

// Adds every logo, as "Open File" would; all refusals are reported before the
// command gives up, so one run shows every problem.
bool FillLogoList(CLogoList& list, const std::vector<LogoValue>& fromListFile, const QStringList& files,
                  const LogoSettings& settings)
{
    bool allAdded = true;
    auto add = [&](const QString& path, const LogoSettings& logoSettings) {
        QString reason;
        const int status = list.AddLogoFile(path, logoSettings, &reason);
        if (status == kLogoLoadFailed)
            PrintError(QStringLiteral("  %1: %2").arg(path, reason));
        else if (status != kLogoAdded)
            PrintError(QStringLiteral("  refused: %1").arg(path));
        allAdded = allAdded && status == kLogoAdded;
    };
    for (const LogoValue& value : fromListFile)
        add(value.path, LogoSettings{value.threshold, value.rValue, value.lValue, value.colorMode});
    for (const QString& path : files)
        add(path, settings);
    return allAdded;
}

}  // namespace

int RunConvertCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddModelOptions(parser);
    AddColourOptions(parser);
    parser.addOptions({
        {{"o", "output"}, "The print file to write.", "OUT.prn"},
        {"density", "DOT MODE density: 0 single, 1 double, 2 quad (default 0).", "0|1|2"},
        {"logo-list", "Logos with their own settings, one a line: path,threshold,rValue,lValue,colorMode.", "file"},
        {"no-limits", "Skip the model's limits on the number of logos and their memory."},
    });
    parser.addPositionalArgument("FILE.bmp", "Logos, in download order.", "[FILE.bmp...]");
    if (auto done = ParseCommandLine(parser, args,
                                     "Writes the print file that \"Save File..\" writes for these logos."))
        return *done;

    const QStringList files = parser.positionalArguments();
    if (!parser.isSet("output") || (files.isEmpty() && !parser.isSet("logo-list"))) {
        PrintError("convert needs -o OUT.prn and at least one logo (FILE.bmp or --logo-list).");
        return kExitUsage;
    }
    bool ok = true;
    const int density = IntOption(parser, "density", kDensitySingle, 0, 2, &ok);
    if (!ok)
        return kExitUsage;
    const bool fileOptional = parser.isSet("model-type") && parser.isSet("receipt-width") && parser.isSet("no-limits");
    int exitCode = kExitOk;
    const std::optional<CliModel> model = ResolveModel(parser, fileOptional, &exitCode);
    if (!model)
        return exitCode;
    const std::optional<CliColourState> colours = ResolveColours(parser, model->modelType);
    if (!colours)
        return kExitUsage;

    std::vector<LogoValue> listed;
    if (parser.isSet("logo-list")) {
        auto read = ReadLogoListFile(parser.value("logo-list"));
        if (!read)
            return kExitFailed;
        listed = std::move(*read);
    }
    CLogoList logos;
    logos.SetLimits(parser.isSet("no-limits") ? LogoLimits{255, 0x3FFFFF, model->receiptWidth}
                                              : LogoLimits{model->downMax, model->memorySize, model->receiptWidth});
    if (!FillLogoList(logos, listed, files, colours->settings))
        return kExitFailed;

    QString error;
    const DownloadBuildOptions options{colours->colors, model->receiptWidth, density, {}};
    std::optional<DownloadList> items = BuildDownloadList(model->modelType, logos.Entries(), options, &error);
    if (!items) {
        PrintError(error);
        return kExitFailed;
    }
    const QString output = parser.value("output");
    const bool saved = model->modelType == kModelTypeTwoColor
                           ? SaveAddressedPrintFile(output, *items, &error)
                           : SaveDownloadPrintFile(output, model->modelType, *items, &error);
    if (!saved) {
        PrintError(error);
        return kExitFailed;
    }
    return kExitOk;
}

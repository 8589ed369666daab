#include "cli/cli_logos.h"

#include "cli/cli_common.h"
#include "cli/cli_import_options.h"
#include "framework/regular_file.h"
#include "framework/utf8_text.h"
#include "operations/download_list_builder.h"
#include "logos/logo_list.h"
#include "logos/logo_value_text.h"

#include <QFile>

namespace {

// One logo a line in the stored text form; blank lines are skipped. A line
// whose numbers the window could never have written is refused with the
// file's name and the line's number, so a typing error is not converted
// silently with settings nobody chose.
std::optional<std::vector<LogoValue>> ReadLogoListFile(const QString& path)
{
    QFile file;
    QString reason;
    if (!OpenRegularFile(path, file, &reason)) {
        PrintError(QStringLiteral("Cannot read the logo list %1: %2").arg(path, reason));
        return std::nullopt;
    }
    std::vector<LogoValue> values;
    for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
        const QByteArray bytes = file.readLine();
        const std::optional<QString> decoded = DecodeUtf8(bytes);
        if (!decoded) {
            PrintError(QStringLiteral("%1:%2: the line is not UTF-8 text (%3); a file name read from it would name "
                                      "another file.").arg(path).arg(lineNumber).arg(ShowBytes(bytes.trimmed())));
            return std::nullopt;
        }
        const QString line = decoded->trimmed();
        if (line.isEmpty())
            continue;
        if (const QString problem = LogoValueTextProblem(line); !problem.isEmpty()) {
            PrintError(QStringLiteral("%1:%2: %3").arg(path).arg(lineNumber).arg(problem));
            return std::nullopt;
        }
        values.push_back(ParseLogoValue(line));
    }
    if (file.error() != QFileDevice::NoError) {
        PrintError(QStringLiteral("Cannot read the logo list %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return values;
}

bool FillLogoList(CLogoList& list, const std::vector<LogoValue>& fromListFile, const QStringList& files,
                  const LogoSettings& settings)
{
    bool allAdded = true;
    auto add = [&](const QString& path, const LogoSettings& logoSettings) {
        // A file that does not load is reported by the list with its name and reason.
        const LogoAddResult status = list.AddLogoFile(path, logoSettings);
        if (status != kLogoAdded && status != kLogoLoadFailed)
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

void AddLogoOptions(QCommandLineParser& parser)
{
    AddModelOptions(parser);
    AddColourOptions(parser);
    AddImportOptions(parser);
    parser.addOptions({
        {"density", "DOT MODE density: 0 single, 1 double, 2 quad (default 0).", "0|1|2"},
        {"logo-list", "Logos with their own settings, one a line: path,threshold,rValue,lValue,colorMode.", "file"},
        {"no-limits", "Skip the model's limits on the number of logos and their memory."},
    });
    parser.addPositionalArgument("FILE", "Logos, in download order: BMP files, or pictures of any format, "
                                         "which are imported first.", "[FILE...]");
}

std::optional<CliDownload> BuildDownloadFromOptions(const QCommandLineParser& parser, int* exitCode,
                                                    const QString& modelName)
{
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty() && !parser.isSet("logo-list")) {
        PrintError("No logo given: name FILE.bmp files or --logo-list.");
        *exitCode = kExitUsage;
        return std::nullopt;
    }
    bool ok = true;
    const DotDensity density = DensityOption(parser, &ok);
    if (!ok) {
        *exitCode = kExitUsage;
        return std::nullopt;
    }
    const bool fileOptional = parser.isSet("model-type") && parser.isSet("receipt-width") && parser.isSet("no-limits");
    std::optional<CliModel> model = ResolveModel(parser, fileOptional && modelName.isEmpty(), exitCode, modelName);
    if (!model)
        return std::nullopt;
    std::optional<CliColourState> colours = ResolveColours(parser, model->modelType);
    if (!colours) {
        *exitCode = kExitUsage;
        return std::nullopt;
    }
    std::vector<LogoValue> listed;
    if (parser.isSet("logo-list")) {
        auto read = ReadLogoListFile(parser.value("logo-list"));
        if (!read) {
            *exitCode = kExitFailed;
            return std::nullopt;
        }
        listed = std::move(*read);
    }
    // Pictures among the files become BMP logos first.
    std::optional<std::vector<LogoValue>> given =
        ImportLogoArguments(parser, files, *model, density, colours->settings, exitCode);
    if (!given)
        return std::nullopt;
    listed.insert(listed.end(), given->begin(), given->end());
    CLogoList logos;
    logos.SetLimits(parser.isSet("no-limits") ? LogoLimits{255, 0x3FFFFF, model->receiptWidth}
                                              : LogoLimits{model->downMax, model->memorySize, model->receiptWidth});
    if (!FillLogoList(logos, listed, {}, colours->settings)) {
        *exitCode = kExitFailed;
        return std::nullopt;
    }
    QString error;
    const DownloadBuildOptions options{colours->colors, model->receiptWidth, density};
    std::optional<DownloadList> items = BuildDownloadList(model->modelType, logos.Entries(), options, &error);
    if (!items) {
        PrintError(error);
        *exitCode = kExitFailed;
        return std::nullopt;
    }
    return CliDownload{*model, *model->modelType.Kind(), std::move(*items)};
}

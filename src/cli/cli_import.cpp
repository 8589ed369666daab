#include "cli/cli_import.h"

#include "cli/cli_common.h"
#include "framework/regular_file.h"
#include "import/picture_importer.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// A picture the import reads that is not a BMP. A file that is no picture at
// all is left to the logo list, which reports it as it reports a bad BMP.
bool NeedsImport(const QString& file, bool importAll)
{
    // Reading the format would open the file: a FIFO would hang here. The
    // logo list refuses anything that is not a regular file with its reason.
    if (!NonRegularFileReason(file).isEmpty())
        return false;
    const QByteArray format = QImageReader::imageFormat(file);
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == "svg" || suffix == "svgz")
        return QFileInfo(file).isFile();
    return format == "bmp" ? importAll : !format.isEmpty();
}

}  // namespace

std::optional<ImportSettings> ResolveImportSettings(const QCommandLineParser& parser, const CliModel& model,
                                                    DotDensity density)
{
    ImportSettings settings;
    settings.modelType = model.modelType;
    settings.receiptWidth = model.receiptWidth;
    settings.density = density;
    settings.rotate = parser.isSet("rotate");
    bool ok = true;
    settings.width = IntOption(parser, "width", 0, 1, kMaxImportWidth, &ok);
    settings.level = IntOption(parser, "level", 128, kMinLevel, kMaxLevel, &ok);
    settings.brightness = IntOption(parser, "brightness", 0, -kMaxToneShift, kMaxToneShift, &ok);
    settings.contrast = IntOption(parser, "contrast", 0, -kMaxToneShift, kMaxToneShift, &ok);
    if (parser.isSet("gamma")) {
        bool number = false;
        settings.gamma = parser.value("gamma").toDouble(&number);
        if (!number || settings.gamma < kMinGamma || settings.gamma > kMaxGamma) {
            PrintError(QStringLiteral("--gamma must be a number from 0.1 to 10, not '%1'.").arg(parser.value("gamma")));
            ok = false;
        }
    }
    if (parser.isSet("dither")) {
        const std::optional<DitherMethod> method = ParseDitherMethod(parser.value("dither"));
        if (!method) {
            PrintError(QStringLiteral("--dither takes none, floyd-steinberg, atkinson or bayer, not '%1'.")
                           .arg(parser.value("dither")));
            ok = false;
        }
        settings.dither = method.value_or(DitherMethod::FloydSteinberg);
    }
    if (parser.isSet("ink")) {
        const std::optional<ColorChoice> ink = ParseInkName(parser.value("ink"));
        if (!ink) {
            PrintError(QStringLiteral("--ink takes red, green or blue, not '%1'.").arg(parser.value("ink")));
            ok = false;
        }
        settings.ink = ink.value_or(ColorChoice::Red);
    }
    if (!ok)
        return std::nullopt;
    const QString problem = CheckImportSettings(settings);
    if (!problem.isEmpty()) {
        PrintError(problem);
        return std::nullopt;
    }
    return settings;
}

std::optional<ImportSettings> ResolveModelImportSettings(const QCommandLineParser& parser, int* exitCode)
{
    // --model-type with --receipt-width says all an import needs of a model.
    const bool fileOptional = parser.isSet("model-type") && parser.isSet("receipt-width");
    const std::optional<CliModel> model = ResolveModel(parser, fileOptional, exitCode);
    if (!model)
        return std::nullopt;
    bool ok = true;
    const DotDensity density = DensityOption(parser, &ok);
    std::optional<ImportSettings> settings = ok ? ResolveImportSettings(parser, *model, density) : std::nullopt;
    if (!settings)
        *exitCode = kExitUsage;
    return settings;
}

std::optional<std::vector<LogoValue>> ImportLogoArguments(const QCommandLineParser& parser, const QStringList& files,
                                                          const CliModel& model, DotDensity density,
                                                          const LogoSettings& settings, int* exitCode)
{
    const bool importAll = ImportOptionsGiven(parser);
    std::optional<ImportSettings> import;
    std::vector<LogoValue> logos;
    for (const QString& file : files) {
        if (!NeedsImport(file, importAll)) {
            logos.push_back({file, settings.threshold, settings.rValue, settings.lValue, settings.colorMode});
            continue;
        }
        if (!import && !(import = ResolveImportSettings(parser, model, density))) {
            *exitCode = kExitUsage;
            return std::nullopt;
        }
        ImportedLogo logo;
        QString error;
        const std::optional<QString> path = ImportPictureToLogos(file, *import, &logo, &error);
        if (!path) {
            PrintError(error);
            *exitCode = kExitFailed;
            return std::nullopt;
        }
        PrintError(QStringLiteral("Imported %1 as %2").arg(file, *path));
        const LogoSettings& chosen = logo.logoSettings;
        logos.push_back({*path, chosen.threshold, chosen.rValue, chosen.lValue, chosen.colorMode});
    }
    return logos;
}

int SaveAndReportLogo(const ImportedLogo& logo, const QString& output)
{
    // The settings line printed below must read back as this one logo.
    if (const QString problem = LogoPathProblem(QFileInfo(output).absoluteFilePath()); !problem.isEmpty()) {
        PrintError(QStringLiteral("Cannot write %1: %2").arg(output, problem));
        return kExitFailed;
    }
    QString error;
    if (!SaveImportedLogo(logo, output, &error)) {
        PrintError(error);
        return kExitFailed;
    }
    LogoEntry entry;
    entry.path = QFileInfo(output).absoluteFilePath();
    entry.threshold = logo.logoSettings.threshold;
    entry.rValue = static_cast<std::uint8_t>(logo.logoSettings.rValue);
    entry.lValue = static_cast<std::uint8_t>(logo.logoSettings.lValue);
    entry.colorMode = logo.logoSettings.colorMode;
    PrintOut(FormatLogoValue(entry));
    PrintError(QStringLiteral("%1 x %2 dots%3").arg(logo.dotWidth).arg(logo.dotHeight)
                   .arg(logo.unitWidth * logo.unitHeight > 1
                            ? QStringLiteral(" (%1 x %2 pixels in the file)").arg(logo.bmpSize.width()).arg(logo.bmpSize.height())
                            : QString()));
    return kExitOk;
}

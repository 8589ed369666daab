#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_import.h"
#include "import/picture_importer.h"
#include "logos/logo_value_text.h"

#include <QFileInfo>

int RunImportCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddModelOptions(parser);
    AddImportOptions(parser);
    parser.addOptions({
        {"density", "DOT MODE: the density the logo will be downloaded at, 0 single, 1 double, 2 quad (default 0).",
         "0|1|2"},
        {{"o", "output"}, "The BMP to write (default: a new file in ~/.local/share/markograph/logos).", "OUT.bmp"},
    });
    parser.addPositionalArgument("IN", "The picture: PNG, JPEG, GIF, BMP, TIFF, WebP, SVG ...", "IN");
    if (auto done = ParseCommandLine(parser, args,
                                     "Makes a picture ready for the printer: fitted to its width, its tones "
                                     "dithered for the printer kind, written as a BMP logo. Prints the logo "
                                     "with the settings to add it with (the --logo-list form)."))
        return *done;
    if (parser.positionalArguments().size() != 1) {
        PrintError("import needs exactly one picture: import [options] -o OUT.bmp IN");
        return kExitUsage;
    }
    int exitCode = kExitOk;
    const bool fileOptional = parser.isSet("model-type") && parser.isSet("receipt-width");
    const std::optional<CliModel> model = ResolveModel(parser, fileOptional, &exitCode);
    if (!model)
        return exitCode;
    bool ok = true;
    const DotDensity density = DensityOption(parser, &ok);
    const std::optional<ImportSettings> settings = ok ? ResolveImportSettings(parser, *model, density) : std::nullopt;
    if (!settings)
        return kExitUsage;
    const QString source = parser.positionalArguments().first();
    const QString output = parser.isSet("output")
                               ? parser.value("output")
                               : ImportedLogosFolder() + '/' + ImportedLogoFileName(source, *settings);
    // The settings line printed at the end must read back as this one logo.
    if (const QString problem = LogoPathProblem(QFileInfo(output).absoluteFilePath()); !problem.isEmpty()) {
        PrintError(QStringLiteral("Cannot write %1: %2").arg(output, problem));
        return kExitFailed;
    }
    if (RefuseUnusableOutput(output))
        return kExitFailed;
    QString error;
    const std::optional<ImportedLogo> logo = ImportPictureFile(source, *settings, &error);
    if (!logo) {
        PrintError(error);
        return kExitFailed;
    }
    if (!SaveImportedLogo(*logo, output, &error)) {
        PrintError(error);
        return kExitFailed;
    }
    LogoEntry entry;
    entry.path = QFileInfo(output).absoluteFilePath();
    entry.threshold = logo->logoSettings.threshold;
    entry.rValue = static_cast<std::uint8_t>(logo->logoSettings.rValue);
    entry.lValue = static_cast<std::uint8_t>(logo->logoSettings.lValue);
    entry.colorMode = logo->logoSettings.colorMode;
    PrintOut(FormatLogoValue(entry));
    PrintError(QStringLiteral("%1 x %2 dots%3").arg(logo->dotWidth).arg(logo->dotHeight)
                   .arg(logo->unitWidth * logo->unitHeight > 1
                            ? QStringLiteral(" (%1 x %2 pixels in the file)").arg(logo->bmpSize.width()).arg(logo->bmpSize.height())
                            : QString()));
    return kExitOk;
}

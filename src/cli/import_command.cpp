#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_import.h"
#include "import/picture_importer.h"

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
    const std::optional<ImportSettings> settings = ResolveModelImportSettings(parser, &exitCode);
    if (!settings)
        return exitCode;
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
    return SaveAndReportLogo(*logo, output);
}

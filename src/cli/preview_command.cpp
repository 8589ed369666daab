#include "cli/cli_commands.h"
#include "cli/cli_common.h"
#include "cli/cli_model.h"
#include "framework/atomic_file.h"
#include "imaging/bitmap_surface.h"
#include "imaging/png_encoder.h"
#include "logos/logo_renderer.h"
#include "logos/logo_list.h"

int RunPreviewCommand(const QStringList& args)
{
    QCommandLineParser parser;
    AddModelOptions(parser);
    AddColourOptions(parser);
    parser.addOption({{"o", "output"}, "The PNG file to write.", "OUT.png"});
    parser.addPositionalArgument("FILE.bmp", "The logo.");
    if (auto done = ParseCommandLine(parser, args, "Writes the separated image of a logo as a PNG, as the "
                                                   "preview shows it."))
        return *done;
    const QStringList files = parser.positionalArguments();
    if (!parser.isSet("output") || files.size() != 1) {
        PrintError("preview needs -o OUT.png and exactly one FILE.bmp.");
        return kExitUsage;
    }
    if (RefuseUnusableOutput(parser.value("output")))
        return kExitFailed;
    // Without a model file the colour choice must come from the options.
    const bool fileOptional = parser.isSet("model-type") || parser.isSet("color-mode");
    int exitCode = kExitOk;
    const std::optional<CliModel> model = ResolveModel(parser, fileOptional, &exitCode);
    if (!model)
        return exitCode;
    const std::optional<CliColourState> colours = ResolveColours(parser, model->modelType);
    if (!colours)
        return kExitUsage;

    LogoEntry entry;
    entry.path = files.front();
    entry.name = LogoFileName(entry.path);
    entry.threshold = colours->settings.threshold;
    entry.rValue = static_cast<std::uint8_t>(colours->settings.rValue);
    entry.lValue = static_cast<std::uint8_t>(colours->settings.lValue);
    entry.colorMode = colours->settings.colorMode;
    QString error;
    const std::optional<CBitmapSurface> separated = RenderSeparatedBitmap(entry, colours->colors, &error);
    if (!separated) {
        PrintError(QStringLiteral("Cannot load %1: %2").arg(entry.path, error));
        return kExitFailed;
    }
    // Written by our own encoder: a preview needs no image library.
    const QByteArray png = EncodePng(*separated);
    if (png.isEmpty() || !WriteFileAtomically(parser.value("output"), png, &error)) {
        PrintError(QStringLiteral("Cannot save the preview %1").arg(error));
        return kExitFailed;
    }
    return kExitOk;
}

#include "cli/cli_main.h"

#include "cli/cli_application.h"
#include "cli/cli_commands.h"
#include "cli/cli_common.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char kUsage[] =
    "Usage: markograph-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  models     List the printer models of the model file.\n"
    "  import     Make a picture (PNG, JPEG, SVG ...) a BMP logo for the printer (-o OUT.bmp IN).\n"
    "  compose    Make a BMP logo of text lines, a QR code and a picture (--text ... --qr ... -o OUT.bmp).\n"
    "  convert    Write the print file for logos (-o OUT.prn FILE.bmp...).\n"
    "  preview    Write the separated image of a logo as PNG (-o OUT.png FILE.bmp).\n"
    "  download   Download logos into the printer's NV memory (FILE.bmp...).\n"
    "  print      Print images stored in the printer.\n"
    "  list       List the addresses a two-colour printer holds images under.\n"
    "  delete     Delete stored images of a two-colour printer (--address XX or --all).\n"
    "  capacity   Show the free NV memory of a two-colour printer.\n"
    "  ports      List serial, parallel and USB ports.\n"
    "\n"
    "'markograph-cli COMMAND --help' describes a command's options.\n"
    "'markograph-cli --version' prints the version.\n"
    "Exit status: 0 success, 1 a logo or the output was refused or failed, 2 usage error.\n";

// Each command under its name and the second name it also answers to, if any.
struct CliCommand {
    const char* name;
    const char* alias;
    int (*run)(const QStringList& args);
};
const CliCommand kCommands[] = {
    {"models", "list-models", RunModelsCommand}, {"import", nullptr, RunImportCommand},
    {"compose", nullptr, RunComposeCommand},
    {"convert", "save", RunConvertCommand},      {"preview", nullptr, RunPreviewCommand},
    {"download", "upload", RunDownloadCommand},  {"print", nullptr, RunPrintCommand},
    {"list", "addresses", RunListCommand},       {"delete", "remove", RunDeleteCommand},
    {"capacity", "free", RunCapacityCommand},    {"ports", nullptr, RunPortsCommand},
};

// BMP and PNG are built into the image library; every other picture format
// (JPEG, GIF, TIFF, WebP ...) comes from a plugin. Only an import, or a
// convert or download given such a picture, needs them.
bool NeedsImagePlugins(int argc, char** argv)
{
    if (argc < 2)
        return false;
    const QByteArray command(argv[1]);
    if (command == "import" || command == "compose")
        return true;
    if (command != "convert" && command != "save" && command != "download")
        return false;
    for (int i = 2; i < argc; ++i) {
        const QByteArray arg = QByteArray(argv[i]).toLower();
        // The model file and the logo list are never pictures (the list's
        // logos are BMP files).
        if (arg == "--nv-inf" || arg == "--logo-list") {
            ++i;
            continue;
        }
        if (!arg.startsWith('-') && (arg.contains('.') || arg.contains('/')) && !arg.endsWith(".bmp") &&
            !arg.endsWith(".png") && !arg.endsWith(".prn") && !arg.endsWith(".inf"))
            return true;
    }
    return false;
}

}  // namespace

int RunCliMain(int argc, char** argv)
{
    // Without plugin folders the first image read no longer loads every
    // image-format plugin and their libraries, which took about half of a
    // short run's time. (The converting program never reads pictures: it
    // leaves the folders alone for the picture module it may hand over to.)
    // A drawing needs the platform plug-in as well as the image plug-ins.
    const bool drawings = ArgumentsNameDrawings(argc, argv);
    if (ReadsPictures() && !drawings && !NeedsImagePlugins(argc, argv))
        QCoreApplication::setLibraryPaths({});
    // Compose always draws text; other runs need a GUI application only for drawings.
    const bool compose = argc > 1 && QByteArray(argv[1]) == "compose";
    const std::unique_ptr<QCoreApplication> app =
        compose ? MakeComposeApplication(argc, argv) : MakeCliApplication(argc, argv, drawings);
    QCoreApplication::setApplicationName("markograph-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOGRAPH_VERSION));

    if (RefuseNonUtf8Arguments(argc, argv))
        return kExitFailed;
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString command = args.value(0);
    if (command.isEmpty() || command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, command.isEmpty() ? stderr : stdout);
        return command.isEmpty() ? kExitUsage : kExitOk;
    }
    if (command == "--version") {
        PrintOut(QStringLiteral("markograph-cli %1").arg(MARKOGRAPH_VERSION));
        return kExitOk;
    }
    args[0] = "markograph-cli " + command;
    for (const CliCommand& entry : kCommands) {
        if (command == QLatin1String(entry.name) || (entry.alias && command == QLatin1String(entry.alias)))
            return entry.run(args);
    }
    PrintError(QStringLiteral("Unknown command '%1'.").arg(command));
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

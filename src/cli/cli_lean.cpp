// The converting program's stand-ins for what only the picture module does
// (cli_picture_module.h): each hands the run over before it has an effect.
#include "cli/cli_application.h"
#include "cli/cli_commands.h"
#include "cli/cli_import_options.h"
#include "cli/cli_picture_module.h"
#include "cli/fleet_command.h"
#include "framework/regular_file.h"

#include <QFile>
#include <QFileInfo>

namespace {

// What the import would take up: a regular file that is not a BMP by its
// first bytes (a picture of another format, a drawing, or no picture at all,
// which the module's logo list then reports), or any drawing by its name.
bool MayNeedImport(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "svg" || suffix == "svgz")
        return QFileInfo(path).isFile();
    // A FIFO or a device would hang or act on being opened; the logo list
    // refuses such files with their reason in either program.
    if (!NonRegularFileReason(path).isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !file.peek(2).startsWith("BM");
}

}  // namespace

std::optional<std::vector<LogoValue>> ImportLogoArguments(const QCommandLineParser& parser, const QStringList& files,
                                                          const CliModel&, DotDensity, const LogoSettings& settings,
                                                          int*)
{
    const bool importAll = ImportOptionsGiven(parser);
    std::vector<LogoValue> logos;
    for (const QString& file : files) {
        if (importAll || MayNeedImport(file))
            throw CPictureModuleNeeded{};
        logos.push_back({file, settings.threshold, settings.rValue, settings.lValue, settings.colorMode});
    }
    return logos;
}

bool ArgumentsNameDrawings(int, char**)
{
    return false;  // drawings are the picture module's (ImportLogoArguments above)
}

std::unique_ptr<QCoreApplication> MakeCliApplication(int& argc, char** argv, bool)
{
    return std::make_unique<QCoreApplication>(argc, argv);
}

std::unique_ptr<QCoreApplication> MakeComposeApplication(int&, char**)
{
    throw CPictureModuleNeeded{};
}

int RunImportCommand(const QStringList&)
{
    throw CPictureModuleNeeded{};
}

int RunComposeCommand(const QStringList&)
{
    throw CPictureModuleNeeded{};
}

int RunFleetDownloadCommand(const QCommandLineParser&, const QStringList&)
{
    throw CPictureModuleNeeded{};
}

int RunFleetPrintCommand(const QCommandLineParser&, const QStringList&)
{
    throw CPictureModuleNeeded{};
}

int RunFleetDeleteCommand(const QCommandLineParser&, const QStringList&)
{
    throw CPictureModuleNeeded{};
}

int RunFleetCapacityCommand(const QCommandLineParser&, const QStringList&)
{
    throw CPictureModuleNeeded{};
}

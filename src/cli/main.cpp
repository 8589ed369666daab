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
    "  convert    Write the print file for logos (-o OUT.prn FILE.bmp...).\n"
    "  preview    Write the separated image of a logo as PNG (-o OUT.png FILE.bmp).\n"
    "\n"
    "'markograph-cli COMMAND --help' describes a command's options.\n"
    "Exit status: 0 success, 1 a logo or the output was refused or failed, 2 usage error.\n";

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("markograph-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOGRAPH_VERSION));

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
    if (command == "models" || command == "list-models")
        return RunModelsCommand(args);
    if (command == "convert" || command == "save")
        return RunConvertCommand(args);
    if (command == "preview")
        return RunPreviewCommand(args);
    PrintError(QStringLiteral("Unknown command '%1'.").arg(command));
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

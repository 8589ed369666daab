// markograph-cli, the converting program: QtCore alone. Runs that need
// pictures, drawings, fonts or fleets go to the picture module
// (cli_picture_module.h).
#include "cli/cli_common.h"
#include "cli/cli_main.h"
#include "cli/cli_picture_module.h"
#include "framework/file_size_signal.h"
#include "framework/private_module.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int RunInPictureModule(const std::vector<std::string>& arguments)
{
    // The module's run builds its own application object from these.
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    QString reason;
    const auto run = reinterpret_cast<CliMainFunction*>(
        ResolvePrivateModule("markograph-cli-pictures", kCliMainSymbol, &reason));
    if (!run) {
        std::fprintf(stderr, "Error: this run needs the picture module, which %s.\n",
                     reason.toLocal8Bit().constData());
        return kExitFailed;
    }
    return run(static_cast<int>(copies.size()), argv.data());
}

}  // namespace

bool ReadsPictures()
{
    return false;
}

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    const std::vector<std::string> arguments(argv, argv + argc);
    try {
        return RunCliMain(argc, argv);
    } catch (const CPictureModuleNeeded&) {
    }
    return RunInPictureModule(arguments);
}

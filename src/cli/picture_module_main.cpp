// The picture module's entry point: the whole command-line run, with
// picture import, drawings, composing and fleets (cli_picture_module.h).
#include "cli/cli_main.h"
#include "cli/cli_picture_module.h"

#include <QtGlobal>

bool ReadsPictures()
{
    return true;
}

extern "C" Q_DECL_EXPORT int markograph_cli_main(int argc, char** argv)
{
    return RunCliMain(argc, argv);
}

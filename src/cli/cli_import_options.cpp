#include "cli/cli_import_options.h"

namespace {

const QStringList kImportOptionNames{"width", "rotate", "dither", "level", "brightness", "contrast", "gamma", "ink"};

}  // namespace

bool ImportOptionsGiven(const QCommandLineParser& parser)
{
    for (const QString& name : kImportOptionNames)
        if (parser.isSet(name))
            return true;
    return false;
}

void AddImportOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {"width", "Import: width in dots (default: shrink to the printable width, never enlarge).", "dots"},
        {"rotate", "Import: turn the picture 90 degrees clockwise first (tall receipts)."},
        {"dither", "Import: none, floyd-steinberg (default), atkinson or bayer (not for two-colour printers).",
         "method"},
        {"level", "Import: tones below this level print, 1 to 255 (default 128).", "level"},
        {"brightness", "Import: -100 to 100 (default 0).", "n"},
        {"contrast", "Import: -100 to 100 (default 0).", "n"},
        {"gamma", "Import: 0.1 to 10; above 1 lightens mid-tones (default 1).", "g"},
        {"ink", "Import, two-colour printers: the second ink, red (default), green or blue.", "colour"},
    });
}

#include "cli/cli_model.h"

#include "cli/cli_common.h"
#include "config/model_info.h"
#include "config/profile_file.h"
#include "framework/regular_file.h"
#include "imaging/color_separation.h"
#include "operations/printer_kind_table.h"

#include <QFileInfo>

void AddModelFileOption(QCommandLineParser& parser)
{
    parser.addOption({"nv-inf", "The model file (default: the one the desktop program uses).", "path"});
}

void AddModelChoiceOptions(QCommandLineParser& parser)
{
    parser.addOption({"model", "A model of the catalogue (default: the model file's current model).", "name"});
    parser.addOption(
        {"model-type", "Printer kind: 0 DOT MODE, 1 single-colour thermal, 2 two-colour thermal.", "0|1|2"});
}

void AddModelOptions(QCommandLineParser& parser)
{
    AddModelFileOption(parser);
    AddModelChoiceOptions(parser);
    parser.addOption({"receipt-width", "Printable width in dots.", "dots"});
}

void AddColourOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {"threshold", "THRESHOLD hue angle, 0 to 360 (default 0), of the logos named on the command line; "
                      "a --logo-list line keeps its own.", "deg"},
        {"r-value", "R Value, 0 to 255 (default 100).", "n"},
        {"l-value", "L Value, 0 to 255 (default 100).", "n"},
        {"color-mode", "Colour choice: 0 Red, 1 Green, 2 Blue, 3 Not Used (default 3 for single-colour "
                       "thermal models, else 0).", "0|1|2|3"},
        {"invert", "The second ink takes the colour of the chosen ink (Red, Green or Blue)."},
    });
}

std::optional<CliModel> ResolveModel(const QCommandLineParser& parser, bool fileOptional, int* exitCode,
                                     const QString& modelName)
{
    const QString path = ModelFileOption(parser);
    const QString chosenName = modelName.isEmpty() ? parser.value("model") : modelName;
    CliModel model;
    if (QFileInfo(path).isFile()) {
        const CProfileFile profile(path);
        model.name = profile.ReadString("COMMON", "ModelName");
        model.modelType = CModelType::FromNumber(profile.ReadInt("COMMON", "MODELTYPE", 0));
        model.receiptWidth = profile.ReadInt("COMMON", "RECEIPTWIDTH", 0);
        model.downMax = profile.ReadInt("COMMON", "DOWNMAX", 0);
        model.memorySize = profile.ReadInt("COMMON", "MEMORYSIZE", 0);
        if (!chosenName.isEmpty()) {
            const std::vector<ModelInfo> catalogue = ReadModelCatalogue(profile);
            const ModelInfo* chosen = FindModelByName(catalogue, chosenName);
            if (!chosen) {
                PrintError(QStringLiteral("The model file %1 has no model named '%2' (see 'markograph-cli models').")
                               .arg(path, chosenName));
                *exitCode = kExitUsage;
                return std::nullopt;
            }
            model = {chosen->modelName, chosen->modelType, chosen->receiptWidth, chosen->downMax, chosen->memorySize};
        }
    } else if (const QString notAFile = NonRegularFileReason(path); !notAFile.isEmpty()) {
        PrintError(QStringLiteral("Cannot read the model file %1: %2.").arg(path, notAFile));
        *exitCode = kExitFailed;
        return std::nullopt;
    } else if (!fileOptional || !chosenName.isEmpty()) {
        PrintError(QStringLiteral("Cannot read the model file %1. Name one with --nv-inf.").arg(path));
        *exitCode = kExitFailed;
        return std::nullopt;
    }

    bool ok = true;
    model.modelType = CModelType::FromNumber(IntOption(parser, "model-type", model.modelType.Number(), 0, 2, &ok));
    model.receiptWidth = IntOption(parser, "receipt-width", model.receiptWidth, 0, 65535, &ok);
    if (!ok) {
        *exitCode = kExitUsage;
        return std::nullopt;
    }
    return model;
}

std::optional<CliColourState> ResolveColours(const QCommandLineParser& parser, const CModelType& modelType)
{
    bool ok = true;
    CliColourState state;
    const int threshold = IntOption(parser, "threshold", 0, 0, 360, &ok);
    state.settings.threshold = threshold == 360 ? 0 : threshold;  // the slider's 360 is the hue of 0
    state.settings.rValue = IntOption(parser, "r-value", 100, 0, 255, &ok);
    state.settings.lValue = IntOption(parser, "l-value", 100, 0, 255, &ok);
    // Single-ink printers take "Not Used", as the window sets it for them.
    const PrinterKindEntry* kind = KindEntry(modelType);
    const ColorChoice defaultMode = kind && !kind->secondInk ? ColorChoice::NotUsed : ColorChoice::Red;
    state.settings.colorMode = FromStoredNumber(IntOption(parser, "color-mode", ToStoredNumber(defaultMode), 0, 3, &ok));
    if (!ok)
        return std::nullopt;
    state.colors.lColor = LColorForInvert(parser.isSet("invert"), state.settings.colorMode);
    return state;
}

DotDensity DensityOption(const QCommandLineParser& parser, bool* ok)
{
    const int number = IntOption(parser, "density", DotDensityNumber(DotDensity::Single), 0, 2, ok);
    return DotDensityFromNumber(number).value_or(DotDensity::Single);
}

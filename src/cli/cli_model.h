#pragma once

#include "kinds/printer_kind.h"
#include "imaging/separation_colors.h"
#include "logos/logo_list.h"

#include <QCommandLineParser>
#include <QString>

#include <optional>

// The printer model a command works for: the model file's current model, a
// catalogue entry chosen with --model, and the --model-type and
// --receipt-width overrides, in that order.
struct CliModel {
    QString name;
    CModelType modelType;  // as the file says; --model-type takes 0, 1 or 2
    int receiptWidth = 0;
    int downMax = 0;
    int memorySize = 0;
};

// The colour state that the main window would hold: the settings new logos
// take and the colours shared by all logos of a run.
struct CliColourState {
    LogoSettings settings;
    SeparationColors colors;
};

// --nv-inf; --model and --model-type; AddModelOptions adds both and
// --receipt-width.
void AddModelFileOption(QCommandLineParser& parser);
void AddModelChoiceOptions(QCommandLineParser& parser);
void AddModelOptions(QCommandLineParser& parser);
void AddColourOptions(QCommandLineParser& parser);

// Resolves the model. A missing model file is an error unless fileOptional
// (the options given say everything the command needs). Returns nothing with
// *exitCode set when that fails. A modelName (a fleet's hosts-file line)
// takes the place of --model.
std::optional<CliModel> ResolveModel(const QCommandLineParser& parser, bool fileOptional, int* exitCode,
                                     const QString& modelName = {});

// The colour options for a model: the colour choice defaults to "Not Used"
// for single-colour thermal models and to Red otherwise, as the window's
// radios start out.
// --density: 0 single, 1 double, 2 quad (default single); *ok false after
// a message when it is none of them.
DotDensity DensityOption(const QCommandLineParser& parser, bool* ok);

std::optional<CliColourState> ResolveColours(const QCommandLineParser& parser, const CModelType& modelType);

#pragma once

#include "cli/cli_model.h"
#include "logos/logo_value_text.h"

#include <QCommandLineParser>
#include <QStringList>

#include <optional>
#include <vector>

// The options that say how a picture is imported (--width, --rotate,
// --dither, --level, --brightness, --contrast, --gamma, --ink), shared by
// import, convert and download.
void AddImportOptions(QCommandLineParser& parser);

// Whether any of them was given: then every logo argument is imported.
bool ImportOptionsGiven(const QCommandLineParser& parser);

// Turns the logo arguments of convert and download into logos. A BMP file is
// taken as it is, with the given settings, unless an import option was given;
// any other picture (and then every file) is imported into the per-user logos
// folder and taken with the settings the import chose (its THRESHOLD maps
// the imported inks exactly). Returns nothing, with *exitCode set, on failure.
// The converting program, which cannot import, takes BMP files as they are
// and hands the whole run to the picture module (cli_picture_module.h) as
// soon as an argument needs importing.
std::optional<std::vector<LogoValue>> ImportLogoArguments(const QCommandLineParser& parser, const QStringList& files,
                                                          const CliModel& model, DotDensity density,
                                                          const LogoSettings& settings, int* exitCode);


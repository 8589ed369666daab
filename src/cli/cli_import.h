#pragma once

#include "cli/cli_model.h"
#include "import/import_settings.h"
#include "logos/logo_value_text.h"

#include <QCommandLineParser>
#include <QStringList>

#include <optional>
#include <vector>

// The options that say how a picture is imported (--width, --rotate,
// --dither, --level, --brightness, --contrast, --gamma, --ink), shared by
// import, convert and download.
void AddImportOptions(QCommandLineParser& parser);

// The import settings for a model from the options; a bad value is reported
// and gives nothing.
std::optional<ImportSettings> ResolveImportSettings(const QCommandLineParser& parser, const CliModel& model,
                                                    DotDensity density);

// Turns the logo arguments of convert and download into logos. A BMP file is
// taken as it is, with the given settings, unless an import option was given;
// any other picture (and then every file) is imported into the per-user logos
// folder and taken with the settings the import chose (its THRESHOLD maps
// the imported inks exactly). Returns nothing, with *exitCode set, on failure.
std::optional<std::vector<LogoValue>> ImportLogoArguments(const QCommandLineParser& parser, const QStringList& files,
                                                          const CliModel& model, DotDensity density,
                                                          const LogoSettings& settings, int* exitCode);

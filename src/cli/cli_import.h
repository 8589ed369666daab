#pragma once

#include "cli/cli_model.h"
#include "import/picture_importer.h"
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

// The model (the model options, --density) and the import settings for it, as
// import and compose take them; a problem is reported, *exitCode set, and
// nothing returned.
std::optional<ImportSettings> ResolveModelImportSettings(const QCommandLineParser& parser, int* exitCode);

// Turns the logo arguments of convert and download into logos. A BMP file is
// taken as it is, with the given settings, unless an import option was given;
// any other picture (and then every file) is imported into the per-user logos
// folder and taken with the settings the import chose (its THRESHOLD maps
// the imported inks exactly). Returns nothing, with *exitCode set, on failure.
std::optional<std::vector<LogoValue>> ImportLogoArguments(const QCommandLineParser& parser, const QStringList& files,
                                                          const CliModel& model, DotDensity density,
                                                          const LogoSettings& settings, int* exitCode);

// Writes an imported or composed logo to output (atomically) and prints the
// line that adds it to a logo list (the --logo-list form) on standard output
// and its size on standard error. Returns the exit code.
int SaveAndReportLogo(const ImportedLogo& logo, const QString& output);

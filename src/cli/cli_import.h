#pragma once

#include "cli/cli_import_options.h"
#include "cli/cli_model.h"
#include "import/picture_importer.h"
#include "logos/logo_value_text.h"

#include <QCommandLineParser>
#include <QStringList>

#include <optional>
#include <vector>

// The import settings for a model from the options; a bad value is reported
// and gives nothing.
std::optional<ImportSettings> ResolveImportSettings(const QCommandLineParser& parser, const CliModel& model,
                                                    DotDensity density);

// The model (the model options, --density) and the import settings for it, as
// import and compose take them; a problem is reported, *exitCode set, and
// nothing returned.
std::optional<ImportSettings> ResolveModelImportSettings(const QCommandLineParser& parser, int* exitCode);

// Writes an imported or composed logo to output (atomically) and prints the
// line that adds it to a logo list (the --logo-list form) on standard output
// and its size on standard error. Returns the exit code.
int SaveAndReportLogo(const ImportedLogo& logo, const QString& output);

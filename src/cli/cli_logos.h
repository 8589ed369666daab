#pragma once

#include "cli/cli_model.h"
#include "imaging/download_item.h"

#include <QCommandLineParser>

#include <optional>

// The options that choose logos and their conversion (--density,
// --logo-list, --no-limits, plus the model and colour options), shared by
// convert and download.
void AddLogoOptions(QCommandLineParser& parser);

// Resolves the model, adds every logo as "Open File" would (all refusals are
// reported before giving up) and converts them into the model's download
// list. Returns nothing with *exitCode set on any refusal or usage error.
struct CliDownload {
    CliModel model;
    PrinterKind kind;  // the model's kind: only a known kind converts
    DownloadList items;
};
// modelName, when given, takes the place of --model (see ResolveModel).
std::optional<CliDownload> BuildDownloadFromOptions(const QCommandLineParser& parser, int* exitCode,
                                                    const QString& modelName = {});

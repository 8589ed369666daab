#pragma once

#include "fleet/fleet_runner.h"

#include <QJsonObject>
#include <QStringList>

#include <vector>

// The summary after a fleet run: a table for people, one row per printer in
// hosts-file order (printer, result, seconds, images stored, free memory,
// why it failed), and the same as JSON for scripts.
QStringList FormatFleetTable(const std::vector<FleetJobReport>& reports);

// {"command", "succeeded", "failed", "printers": [{"printer", "ok",
// "result", "reason", "seconds", "imagesStored", "freeMemory",
// "messages"}]}; unknown numbers are null.
QJsonObject FleetSummaryJson(const QString& command, const std::vector<FleetJobReport>& reports);

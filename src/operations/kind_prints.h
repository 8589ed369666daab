#pragma once

#include "operations/printer_kind_table.h"

// The print of each printer kind, over a connection of its own, for the
// command line and the fleet (the desktop opens the kind's print dialog
// instead; DOT MODE has none and prints at once).

// ESC g 1 to ESC g 10, whatever is stored.
bool PrintDotModeKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress& progress);

// FS p for every number of the request's range, with header blocks when asked.
bool PrintMonoKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress& progress);

// The request's address, or every address the printer lists ("Printed 00,01"
// to progress); a list that cannot be had fails.
bool PrintTwoColorKind(const PortSettings& settings, const PrintRequest& request, const PrintProgress& progress);

#pragma once

#include "framework/outcome.h"
#include "kinds/command_bytes.h"  // PrintSizeMode

#include <QString>

class CPrinterConnection;

// Printing what a printer already stores. Each operation opens the
// connection, sends, and closes it; send results are not looked at, as a
// print leaves nothing to recover. A selection that cannot be printed is
// an Outcome: returned by the Try... operation, shown by the other.

// DOT MODE: ESC g 1 to ESC g 10, each its own write, whatever is stored.
bool PrintDotModeImages(CPrinterConnection& connection);

// Single-colour thermal, the print dialog's "Print": for each number in order,
// the optional 30-byte header block, then FS p n m. Range "All" prints 1 to
// 255; "Selection" needs a text ("Select Image Number Please!") that parses
// ("Selection Format Error!"). The connection is opened first and closed
// again in every case.
Outcome TryPrintNvImageSelection(CPrinterConnection& connection, bool selection, const QString& selectionText,
                                 PrintSizeMode sizeMode, bool header);
bool PrintNvImageSelection(CPrinterConnection& connection, bool selection, const QString& selectionText,
                           PrintSizeMode sizeMode, bool header);

#pragma once

#include <QString>

// The program's own shared modules: parts that need large libraries (the
// network library, the picture and font libraries) are built as modules and
// opened only when a run needs them, so a run that converts a BMP logo
// loads QtCore and the C++ runtime alone.
//
// Modules lie in lib/markograph beside the programs' bin folder, in the
// build tree (build/bin, build/lib/markograph) as when installed
// (PREFIX/bin, PREFIX/lib/markograph), so they are found the same way in
// both; MARKOGRAPH_MODULE_DIR names another folder (for a test of a module
// that is missing, for instance).

// The folder the modules are looked for in.
QString PrivateModuleFolder();

// The named entry point of module name (for instance "markograph-net"), the
// module opened on first use and kept open to the end of the process; a
// null function and the reason when it cannot be opened or lacks the entry.
// Safe to call from any thread.
void (*ResolvePrivateModule(const char* name, const char* symbol, QString* reason))();

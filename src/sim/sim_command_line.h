#pragma once

#include "sim/sim_options.h"

#include <QString>
#include <QStringList>

// What markograph-sim was asked to do.
struct SimCommandLine {
    PrinterKind kind = PrinterKind::Mono;
    SimOptions options;
    bool quiet = false;  // no log lines on standard output
};

enum class SimCommandLineResult { Run, Help, Version, UsageError };

// Parses the arguments (args[0] is the program). For Help and Version *text
// is what to print; for UsageError it says what is wrong.
SimCommandLineResult ParseSimCommandLine(const QStringList& args, SimCommandLine* line, QString* text);

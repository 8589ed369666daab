#pragma once

#include "framework/outcome.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// Exit codes every command keeps, so that scripts can tell them apart.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a logo or the output was refused or failed
inline constexpr int kExitUsage = 2;

// Writes a line to standard error / standard output.
void PrintError(const QString& text);
void PrintOut(const QString& text);

// Prints what an operation came to on standard error, its detail on a line
// of its own (nothing for a silent outcome), and returns the exit code it
// calls for: kExitFailed when it was not done, kExitOk otherwise.
int PrintOutcome(const Outcome& outcome);

// Parses a command's arguments (args[0] is the command name). Prints the help
// and returns kExitOk for --help; prints the problem and returns kExitUsage for
// an unknown option; returns nothing when the command should go on.
std::optional<int> ParseCommandLine(QCommandLineParser& parser, const QStringList& args, const QString& description);

// Reads an integer option within [low, high]; an option that is absent gives
// the fallback. A value that is not a number in range is a usage error: it is
// reported and *ok becomes false.
int IntOption(const QCommandLineParser& parser, const QString& name, int fallback, int low, int high, bool* ok);

// The model file the command reads: --nv-inf, or NV.inf beside the program.
QString ModelFileOption(const QCommandLineParser& parser);

// Refuses an output or state file that cannot be replaced (a FIFO, device,
// socket, folder or symbolic link; see ReplaceableFileReason) before any work
// is done for it: prints "Cannot write PATH: reason" and returns true.
bool RefuseUnusableOutput(const QString& path);

// File names are bytes, but every name this program keeps (logo lists, the
// stored list, fleet state) is text. An argument that is not UTF-8 would
// reach the file system as another name, so it is refused instead: prints
// which argument and why, and returns true.
bool RefuseNonUtf8Arguments(int argc, const char* const* argv);

#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <memory>

// Each command takes its own arguments (args[0] is the command name) and
// returns the process exit code.
int RunModelsCommand(const QStringList& args);
int RunImportCommand(const QStringList& args);
int RunComposeCommand(const QStringList& args);
int RunConvertCommand(const QStringList& args);
int RunPreviewCommand(const QStringList& args);
int RunDownloadCommand(const QStringList& args);
int RunPrintCommand(const QStringList& args);
int RunListCommand(const QStringList& args);
int RunDeleteCommand(const QStringList& args);
int RunCapacityCommand(const QStringList& args);
int RunPortsCommand(const QStringList& args);

// compose draws text, which needs fonts and so a GUI application (on the
// offscreen platform); every other command runs on a core application.
std::unique_ptr<QCoreApplication> MakeComposeApplication(int& argc, char** argv);

#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>

// Runs the built markograph-cli with arguments and collects what it said.
struct CliResult {
    int exitCode = -1;  // -1 when a signal ended it
    QByteArray out;
    QByteArray err;
};

// How the program is started, beyond its arguments.
struct CliRunOptions {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Set in the child only: a file-size limit in bytes (ulimit -f) with the
    // signal such writes raise left at its default action, as a shell leaves it.
    long long fileSizeLimit = -1;
    // Run as this user and group (needs root); -1 keeps the test's own.
    int userId = -1;
};

CliResult RunCli(const QStringList& args);
CliResult RunCli(const QStringList& args, const CliRunOptions& options);
// Runs it with arguments given as printf %b formats ("\\0377" for the byte
// FF), since QProcess hands a program text only and some tests need names
// that are not text.
CliResult RunCliWithBytes(const QStringList& formats);

// What the child runs between fork and exec for the options (cli_run_posix.cpp).
std::function<void()> ChildSetup(const CliRunOptions& options);

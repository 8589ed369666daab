#pragma once

#include <QByteArray>
#include <QStringList>

// Runs the built markograph-cli with arguments and collects what it said.
struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliResult RunCli(const QStringList& args);

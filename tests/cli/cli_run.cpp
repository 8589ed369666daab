#include "cli/cli_run.h"

#include <QProcess>

#include <gtest/gtest.h>

CliResult RunCli(const QStringList& args)
{
    return RunCli(args, CliRunOptions{});
}

CliResult RunCli(const QStringList& args, const CliRunOptions& options)
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    process.setChildProcessModifier(ChildSetup(options));
    process.start(QStringLiteral(MARKOGRAPH_BIN_DIR "/markograph-cli"), args);
    CliResult result;
    if (!process.waitForFinished(30000)) {
        ADD_FAILURE() << "markograph-cli did not finish: " << process.errorString().toStdString();
        process.kill();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

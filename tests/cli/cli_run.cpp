#include "cli/cli_run.h"

#include <QProcess>

#include <gtest/gtest.h>

CliResult RunCli(const QStringList& args)
{
    return RunCli(args, CliRunOptions{});
}

namespace {

const QString kProgram = QStringLiteral(MARKOGRAPH_BIN_DIR "/markograph-cli");

CliResult Finish(QProcess& process)
{
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

}  // namespace

CliResult RunCli(const QStringList& args, const CliRunOptions& options)
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    process.setChildProcessModifier(ChildSetup(options));
    process.start(kProgram, args);
    return Finish(process);
}

CliResult RunCliWithBytes(const QStringList& formats)
{
    QString script = QStringLiteral("exec \"$0\"");
    for (qsizetype i = 1; i <= formats.size(); ++i)
        script += QStringLiteral(" \"$(printf '%b' \"${%1}\")\"").arg(i);
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), QStringList{"-c", script, kProgram} + formats);
    return Finish(process);
}

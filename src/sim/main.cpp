#include "framework/file_size_signal.h"
#include "sim/line_writer.h"
#include "sim/sim_command_line.h"
#include "sim/stop_signal.h"
#include "sim/virtual_printer.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Standard output is read by scripts line by line: every line goes out
// whole and at once.
void PrintLine(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

void PrintError(const QString& text)
{
    std::fprintf(stderr, "markograph-sim: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("markograph-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARKOGRAPH_VERSION));

    SimCommandLine line;
    QString text;
    switch (ParseSimCommandLine(QCoreApplication::arguments(), &line, &text)) {
    case SimCommandLineResult::Help:
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    case SimCommandLineResult::Version:
        PrintLine(QStringLiteral("markograph-sim %1").arg(MARKOGRAPH_VERSION));
        return 0;
    case SimCommandLineResult::UsageError:
        PrintError(text);
        PrintError(QStringLiteral("Try 'markograph-sim --help'."));
        return 2;
    case SimCommandLineResult::Run:
        break;
    }

    BlockStopSignals();
    CVirtualPrinter printer;
    if (!printer.Start(line.kind, line.options)) {
        PrintError(printer.ErrorString());
        return 1;
    }
    for (const QString& note : printer.StartNotes())
        PrintError(note);
    PrintLine(QStringLiteral("listening on %1:%2").arg(printer.ListenAddress()).arg(printer.Port()));
    if (line.options.pty)
        PrintLine(QStringLiteral("pty %1").arg(printer.PtyPath()));
    // From here on standard output is written by a thread of its own: a
    // reader that stops reading must not stall the printer.
    CLineWriter log(CLineWriter::StandardOutput());
    if (!line.quiet) {
        log.Start();
        printer.SetLogSink([&log](const QString& entry) { log.Post(entry); });
    }

    const int signal = WaitForStopSignal();
    printer.Stop();
    printer.SetLogSink({});
    log.Finish(1000);
    PrintError(QStringLiteral("stopped by signal %1; NV memory saved").arg(signal));
    return 0;
}

#include "cli/cli_common.h"

#include "config/model_file.h"
#include "framework/regular_file.h"
#include "framework/utf8_text.h"

#include <cstdio>

void PrintError(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int PrintOutcome(const Outcome& outcome)
{
    if (!outcome.Silent())
        PrintError(OutcomeLines(outcome));
    return outcome.Failed() ? kExitFailed : kExitOk;
}

void PrintOut(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);  // keep the order of progress lines and messages on a shared terminal or log
}

std::optional<int> ParseCommandLine(QCommandLineParser& parser, const QStringList& args, const QString& description)
{
    parser.setApplicationDescription(description);
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    parser.addOption(help);
    if (!parser.parse(args)) {
        PrintError(parser.errorText());
        PrintError(QStringLiteral("Try '%1 --help'.").arg(args.value(0)));
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return kExitOk;
    }
    return std::nullopt;
}

int IntOption(const QCommandLineParser& parser, const QString& name, int fallback, int low, int high, bool* ok)
{
    if (!parser.isSet(name))
        return fallback;
    bool isNumber = false;
    const int value = parser.value(name).toInt(&isNumber);
    if (!isNumber || value < low || value > high) {
        PrintError(QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'.")
                       .arg(name).arg(low).arg(high).arg(parser.value(name)));
        *ok = false;
        return fallback;
    }
    return value;
}

QString ModelFileOption(const QCommandLineParser& parser)
{
    return parser.isSet("nv-inf") ? parser.value("nv-inf") : ModelFilePath();
}

bool RefuseUnusableOutput(const QString& path)
{
    const QString reason = ReplaceableFileReason(path);
    if (reason.isEmpty())
        return false;
    PrintError(QStringLiteral("Cannot write %1: %2").arg(path, reason));
    return true;
}

bool RefuseNonUtf8Arguments(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (DecodeUtf8(arg))
            continue;
        PrintError(QStringLiteral("Argument %1 (%2) is not UTF-8 text. File names are kept as text in logo lists and "
                                  "state files, so a name that is not text would end up naming another file; "
                                  "rename it with UTF-8 characters only.")
                       .arg(i)
                       .arg(ShowBytes(arg)));
        return true;
    }
    return false;
}

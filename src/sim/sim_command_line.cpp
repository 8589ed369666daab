#include "sim/sim_command_line.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include <climits>

namespace {

const char kDescription[] =
    "A virtual receipt printer for trying and testing Markograph without hardware.\n"
    "It listens on TCP (and, with --pty, on a pseudo-terminal that stands in for a\n"
    "serial port), decodes the NV image commands of its kind, keeps its NV memory\n"
    "in the state folder across runs, answers the queries of two-colour printers\n"
    "and renders stored images and prints as PNG with an index.json.\n"
    "\n"
    "Standard output: first 'listening on ADDRESS:PORT', then 'pty /dev/pts/N'\n"
    "with --pty, then one line per command unless --quiet. Runs until SIGINT or\n"
    "SIGTERM, then exits with 0. Exit status 1: could not start; 2: usage error.";

struct Number {
    const char* name;
    qint64 low;
    qint64 high;
};

// Reads an integer option; false (with *error) when it is set but not a
// whole number within its range.
bool ReadNumber(const QCommandLineParser& parser, const Number& option, qint64* value, QString* error)
{
    if (!parser.isSet(option.name))
        return true;
    bool ok = false;
    const qint64 number = parser.value(option.name).toLongLong(&ok);
    if (!ok || number < option.low || number > option.high) {
        *error = QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'.")
                     .arg(option.name).arg(option.low).arg(option.high).arg(parser.value(option.name));
        return false;
    }
    *value = number;
    return true;
}

bool ReadListen(const QString& text, SimOptions* options, QString* error)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const QString address = colon < 0 ? options->listenAddress : text.left(colon);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535 || QHostAddress(address).protocol() != QAbstractSocket::IPv4Protocol) {
        *error = QStringLiteral("--listen takes ADDRESS:PORT with an IPv4 address (such as 127.0.0.1:9100), not '%1'.")
                     .arg(text);
        return false;
    }
    options->listenAddress = address;
    options->listenPort = static_cast<quint16>(port);
    return true;
}

bool ReadReply(const QString& text, SimFaults* faults, QString* error)
{
    const struct { const char* name; SimReplyFault fault; } kReplies[] = {
        {"normal", SimReplyFault::Normal}, {"none", SimReplyFault::None}, {"garbage", SimReplyFault::Garbage},
        {"endless", SimReplyFault::Endless}, {"cut", SimReplyFault::CutShort},
    };
    for (const auto& reply : kReplies) {
        if (text == QLatin1String(reply.name)) {
            faults->reply = reply.fault;
            return true;
        }
    }
    *error = QStringLiteral("--reply takes normal, none, garbage, endless or cut, not '%1'.").arg(text);
    return false;
}

void AddOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addOptions({
        {"kind", "Printer kind: mono (single-colour thermal), two-color or dot (impact).", "KIND"},
        {"listen", "Address and port to listen on (port 0: any free one). Default 127.0.0.1:9100.", "ADDR:PORT"},
        {"pty", "Also open a pseudo-terminal for the serial path and print its name."},
        {"state", "Folder of the saved NV memory. Default $XDG_STATE_HOME/markograph-sim.", "DIR"},
        {"no-state", "Keep the NV memory only while running."},
        {"out", "Folder for PNG renderings of stored images and prints, and index.json.", "DIR"},
        {"capacity", "NV memory in bytes. Default 262144.", "BYTES"},
        {"command-timeout", "Discard a half-received command after this much silence. Default 15000.", "MS"},
        {"idle-timeout", "Close a TCP connection that sent nothing for this long. Default 60000.", "MS"},
        {"line-baud", "Speed of the pseudo-terminal's line. Default: the speed the host sets.", "BAUD"},
        {"receive-buffer", "Bytes the printer takes from the pseudo-terminal ahead of its line. Default 4096.",
         "BYTES"},
        {"width", "Printable width in dots; wider images are drawn cut. Default 576 (dot: 400).", "DOTS"},
        {"quiet", "Print only the listening lines, not one line per command."},
        {"close-after", "Fault: close each connection after it delivered this many bytes.", "BYTES"},
        {"reply", "Fault: answer queries normally, not at all (none), with garbage, endlessly, or cut short.",
         "MODE"},
        {"reply-cut", "Fault: send only the first K bytes of each reply (implies --reply cut).", "K"},
        {"pause-reading-after", "Fault: stop reading once a connection delivered this many bytes.", "BYTES"},
        {"pause-reading-ms", "How long reading stops (with --pause-reading-after). Default 2000.", "MS"},
        {"read-rate", "Fault: read at most this many bytes per second.", "BYTES"},
    });
}

// Everything after --kind; false with *error on the first bad value.
bool ReadOptions(const QCommandLineParser& parser, SimCommandLine* line, QString* error)
{
    SimOptions& options = line->options;
    SimFaults& faults = options.faults;
    line->quiet = parser.isSet("quiet");
    options.pty = parser.isSet("pty");
    options.stateDir = parser.isSet("no-state") ? QString()
                       : parser.isSet("state")  ? parser.value("state")
                                                : DefaultStateDir();
    options.outDir = parser.value("out");
    qint64 capacity = DefaultCapacity(line->kind);
    qint64 timeout = options.commandTimeoutMs;
    qint64 cut = -1;
    qint64 pauseMs = 2000;
    qint64 rate = 0;
    qint64 idle = options.idleTimeoutMs;
    qint64 baud = options.lineBaud;
    qint64 receiveBuffer = options.receiveBufferBytes;
    qint64 width = DefaultPrintableWidth(line->kind);
    const bool ok = (!parser.isSet("listen") || ReadListen(parser.value("listen"), &options, error))
                    && (!parser.isSet("reply") || ReadReply(parser.value("reply"), &faults, error))
                    && ReadNumber(parser, {"capacity", 0, kMaxCapacity}, &capacity, error)
                    && ReadNumber(parser, {"command-timeout", 1, 3600000}, &timeout, error)
                    && ReadNumber(parser, {"close-after", 0, LLONG_MAX}, &faults.closeAfterBytes, error)
                    && ReadNumber(parser, {"reply-cut", 0, 1024}, &cut, error)
                    && ReadNumber(parser, {"pause-reading-after", 0, LLONG_MAX}, &faults.pauseReadingAfterBytes, error)
                    && ReadNumber(parser, {"pause-reading-ms", 0, 3600000}, &pauseMs, error)
                    && ReadNumber(parser, {"read-rate", 1, INT_MAX}, &rate, error)
                    && ReadNumber(parser, {"idle-timeout", 1, 3600000}, &idle, error)
                    && ReadNumber(parser, {"line-baud", 50, 4000000}, &baud, error)
                    && ReadNumber(parser, {"receive-buffer", 1, kMaxReceiveBufferBytes}, &receiveBuffer, error)
                    && ReadNumber(parser, {"width", 1, 65535}, &width, error);
    options.idleTimeoutMs = static_cast<int>(idle);
    options.lineBaud = static_cast<int>(baud);
    options.receiveBufferBytes = static_cast<int>(receiveBuffer);
    options.printableWidth = static_cast<int>(width);
    options.capacity = capacity;
    options.commandTimeoutMs = static_cast<int>(timeout);
    faults.pauseReadingMs = static_cast<int>(pauseMs);
    faults.readBytesPerSecond = static_cast<int>(rate);
    if (cut >= 0) {
        faults.reply = SimReplyFault::CutShort;
        faults.cutReplyBytes = static_cast<int>(cut);
    }
    return ok;
}

}  // namespace

SimCommandLineResult ParseSimCommandLine(const QStringList& args, SimCommandLine* line, QString* text)
{
    QCommandLineParser parser;
    AddOptions(parser);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(args)) {
        *text = parser.errorText();
        return SimCommandLineResult::UsageError;
    }
    if (parser.isSet(help)) {
        *text = parser.helpText();
        return SimCommandLineResult::Help;
    }
    if (parser.isSet(version))
        return SimCommandLineResult::Version;
    if (!parser.positionalArguments().isEmpty()) {
        *text = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
        return SimCommandLineResult::UsageError;
    }
    const std::optional<PrinterKind> kind = ParseSimKind(parser.value("kind"));
    if (!kind) {
        *text = parser.isSet("kind") ? QStringLiteral("--kind takes mono, two-color or dot, not '%1'.").arg(parser.value("kind"))
                                     : QStringLiteral("--kind is required (mono, two-color or dot).");
        return SimCommandLineResult::UsageError;
    }
    line->kind = *kind;
    return ReadOptions(parser, line, text) ? SimCommandLineResult::Run : SimCommandLineResult::UsageError;
}

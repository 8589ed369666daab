// The two files a fleet run reads: the same bytes as a hosts file and as the
// state file kept beside it.
//
// Hosts file: a run either gets printers or reasons, never both; every
// reason names the file and a line; a line that is not UTF-8 text is refused
// by number, never read as another name; printers are unique, in file
// order, and each one's label with its model parses back to the same printer.
//
// State file: a state that loads survives a save and a load with the same
// answers for every command and printer it holds; a run recorded on top of
// it (as a second run merges its results under the lock) keeps every other
// command's results and gives its own.
#include "fuzz_support.h"

#include "fleet/fleet_state.h"
#include "fleet/fleet_target.h"
#include "framework/utf8_text.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

struct Answers {
    QStringList options;
    QMap<QString, bool> succeeded;  // printer -> result
};

// What a state says about every command and printer its text names.
QMap<QString, Answers> AnswersOf(const CFleetState& state, const QByteArray& text)
{
    QMap<QString, Answers> answers;
    const QJsonObject runs = QJsonDocument::fromJson(text).object().value("runs").toObject();
    for (auto run = runs.begin(); run != runs.end(); ++run) {
        FUZZ_CHECK(state.HasRun(run.key()) == run.value().isObject());
        Answers& entry = answers[run.key()];
        entry.options = state.Options(run.key());
        const QJsonObject printers = run.value().toObject().value("printers").toObject();
        for (auto printer = printers.begin(); printer != printers.end(); ++printer)
            entry.succeeded[printer.key()] = state.Succeeded(run.key(), printer.key());
    }
    return answers;
}

void CheckHostsFile(const QString& path, const QByteArray& bytes)
{
    PortSettings base;
    base.baudRate = 19200;
    QStringList errors;
    const std::optional<std::vector<FleetTarget>> targets = ReadHostsFile(path, base, 9100, &errors);
    FUZZ_CHECK(targets.has_value() == errors.isEmpty());
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QString& error : errors)
        FUZZ_CHECK(error.startsWith(path + ':') || error.contains(path));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (!DecodeUtf8(lines[n]))
            FUZZ_CHECK(errors.contains(QStringLiteral("%1:%2: the line is not UTF-8 text (%3)")
                                           .arg(path).arg(n + 1).arg(ShowBytes(lines[n].trimmed()))));
    }
    if (!targets)
        return;
    FUZZ_CHECK(!targets->empty());
    QSet<QString> labels;
    int lastLine = 0;
    for (const FleetTarget& target : *targets) {
        FUZZ_CHECK(!labels.contains(target.label));
        labels.insert(target.label);
        FUZZ_CHECK(target.line > lastLine && target.line <= lines.size());
        lastLine = target.line;
        QString error;
        const QString again = target.model.isEmpty() ? target.label : target.label + ' ' + target.model;
        const std::optional<FleetTarget> parsed = ParseHostsLine(again, base, 9100, &error);
        FUZZ_CHECK(parsed.has_value());
        FUZZ_CHECK(parsed->label == target.label && parsed->model == target.model);
        FUZZ_CHECK(parsed->settings.interfaceKind == target.settings.interfaceKind);
        FUZZ_CHECK(parsed->settings.tcpPort == target.settings.tcpPort);
        FUZZ_CHECK(parsed->settings.portName == target.settings.portName);
    }
}

void CheckStateFile(const QString& path, const QByteArray& bytes)
{
    CFleetState state;
    QString error;
    if (!state.Load(path, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return;
    }
    const QMap<QString, Answers> before = AnswersOf(state, bytes);
    const QString copy = path + QStringLiteral(".copy");
    FUZZ_CHECK(state.Save(copy, &error));
    CFleetState reloaded;
    FUZZ_CHECK(reloaded.Load(copy, &error));
    const QMap<QString, Answers> after = AnswersOf(reloaded, bytes);
    for (auto command = before.begin(); command != before.end(); ++command) {
        FUZZ_CHECK(after.value(command.key()).options == command->options);
        FUZZ_CHECK(after.value(command.key()).succeeded == command->succeeded);
    }

    // Another run's results merged on top: its own are there, the others stay.
    const QString command = QStringLiteral("capacity");
    FleetJobReport report;
    report.printer = QStringLiteral("127.0.0.1:9100");
    report.outcome.ok = !reloaded.Succeeded(command, report.printer);
    const QStringList options = reloaded.Options(command);
    reloaded.Record(command, options, {report});
    FUZZ_CHECK(reloaded.Save(copy, &error));
    CFleetState merged;
    FUZZ_CHECK(merged.Load(copy, &error));
    FUZZ_CHECK(merged.HasRun(command) && merged.Options(command) == options);
    FUZZ_CHECK(merged.Succeeded(command, report.printer) == report.outcome.ok);
    for (auto other = before.begin(); other != before.end(); ++other) {
        if (other.key() == command)
            continue;
        FUZZ_CHECK(merged.Options(other.key()) == other->options);
        for (auto printer = other->succeeded.begin(); printer != other->succeeded.end(); ++printer)
            FUZZ_CHECK(merged.Succeeded(other.key(), printer.key()) == printer.value());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString hosts = FuzzFolder() + QStringLiteral("/hosts.txt");
    WriteFuzzFile(hosts, data, size);
    CheckHostsFile(hosts, bytes);
    const QString state = CFleetState::PathFor(hosts);
    WriteFuzzFile(state, data, size);
    CheckStateFile(state, bytes);
    return 0;
}

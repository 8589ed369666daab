#include "journeys/journey_invariants.h"

#include "dialog_test_helpers.h"

#include "config/profile_file.h"
#include "res/resource_ids.h"
#include "sim/sim_test_support.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>

namespace {

constexpr std::array<PrinterKind, 3> kKinds{PrinterKind::DotMode, PrinterKind::Mono, PrinterKind::TwoColor};

bool TellsOfMore(const QString& text)
{
    static const QRegularExpression more(QStringLiteral("incomplete|more"),
                                         QRegularExpression::CaseInsensitiveOption);
    return text.contains(more);
}

bool IsSuccess(const QString& text)
{
    return text.contains(QLatin1String("Download Completed!")) || text.contains(QLatin1String("download finished"));
}

QStringList LogoPaths(const CMainDlg& window)
{
    QStringList paths;
    for (const LogoEntry* entry : window.LogoList().Entries())
        paths << entry->path;
    return paths;
}

}  // namespace

CJourneyInvariants::CJourneyInvariants(CJourneyDriver& driver, CJourneyMessages& messages, CJourneyClock& clock)
    : m_driver(driver), m_messages(messages), m_clock(clock)
{
}

void CJourneyInvariants::Before()
{
    m_logosBefore = LogoPaths(m_driver.Window());
    m_clock.StartStep();
    m_clock.ForgetLongestWait();
}

QStringList CJourneyInvariants::After(const StepRecord& record)
{
    QStringList faults = CheckPrinters(record);
    faults << CheckSavedFile(record) << CheckPortSetting(record) << CheckWaits();
    // (c) for the window's list: a logo leaves it only after a Yes.
    const QStringList logos = LogoPaths(m_driver.Window());
    if (logos.size() < m_logosBefore.size() && !m_messages.AnsweredYes())
        faults << QStringLiteral("(c) %1 of %2 logos left the list without a question answered Yes")
                      .arg(m_logosBefore.size() - logos.size())
                      .arg(m_logosBefore.size());
    return faults;
}

QStringList CJourneyInvariants::CheckPrinters(const StepRecord& record)
{
    QStringList faults = record.benchFaults;
    for (size_t k = 0; k < kKinds.size(); ++k) {
        CJourneyPrinter* printer = m_driver.PrinterOf(kKinds[k]);
        const bool here = printer == record.printer;
        // The printer first carries out what reached it (at once when no
        // connection is open); one nobody wrote to holds what it held, and
        // reading it back is skipped, which keeps the walk fast.
        if (!printer->Settle())
            faults << QStringLiteral("(e) printer %1 still has a connection open 10 s after the step")
                          .arg(SimKindName(kKinds[k]));
        if (printer->Sim().Counters().bytesReceived == m_bytesSeen[k] && !(here && record.downloadStarted))
            continue;
        m_bytesSeen[k] = printer->Sim().Counters().bytesReceived;
        const HeldImages now = HeldBy(printer->Sim().StoredImages());
        if (now != m_held[k] || (here && record.downloadStarted)) {
            faults << m_models[k].Check(now, here ? record.attempt : CPrinterModel::Attempt(), kKinds[k],
                                        m_expected);
            m_compared += int(now.size());
        }
        for (const auto& [name, dots] : m_held[k]) {
            const auto kept = now.find(name);
            if (kept != now.end() && kept->second == dots)
                continue;
            const bool allowed = (here && record.downloadStarted) || m_messages.AnsweredYes()
                                 || (here && name == record.removedAddress);
            if (!allowed)
                faults << QStringLiteral("(c) printer %1 lost image %2 without a download or a Yes")
                              .arg(SimKindName(kKinds[k]), name);
        }
        if (here)
            faults << CheckDownloadOutcome(record, now, now == m_held[k]);
        m_held[k] = now;
    }
    return faults;
}

QStringList CJourneyInvariants::CheckDownloadOutcome(const StepRecord& record, const HeldImages& now, bool unchanged)
{
    QStringList faults;
    bool declined = false;
    bool success = false;
    bool failure = false;
    bool toldMore = false;
    for (const SeenMessage& seen : m_messages.StepMessages()) {
        const QString& text = seen.request.text;
        success = success || IsSuccess(text);
        failure = failure || (!CJourneyMessages::IsQuestion(seen) && !IsSuccess(text)
                              && !text.startsWith(QLatin1String("Completed printer flash memory delete")));
        toldMore = toldMore || TellsOfMore(text);
        declined = declined || (CJourneyMessages::IsQuestion(seen) && seen.answer == win::kIdNo);
    }
    for (const QString& text : record.dialogTexts)
        toldMore = toldMore || TellsOfMore(text);
    // A list that could not be read says so with its failure message.
    if (record.listed && now.size() > size_t(record.listed->size()) && !toldMore && !failure)
        faults << QStringLiteral("(b) the address list shows %1 addresses as the whole list; the printer holds %2")
                      .arg(record.listed->size())
                      .arg(now.size());
    // A download the operator declined when asked leaves the printer as it was.
    if (!record.downloadStarted || (declined && unchanged))
        return faults;
    int missing = 0;
    for (const auto& [name, logo] : record.attempt)
        missing += now.count(name) ? 0 : 1;
    int extra = 0;
    if (record.replacesAll)
        for (const auto& [name, dots] : now)
            extra += record.attempt.count(name) ? 0 : 1;
    int cut = 0;
    for (const SimStoredImage& image : record.printer->Sim().StoredImages())
        cut += image.clipped && record.attempt.count(image.name) ? 1 : 0;
    if (missing + extra + cut == 0)
        return faults;
    // A logo cut at the paper's width may be sent on purpose, once the
    // operator has been told or asked.
    if (missing + extra == 0 && (failure || m_messages.AnyQuestion()))
        return faults;
    const QString held = QStringLiteral("the printer holds %1 of %2 images sent (%3 cut at its width, %4 left over)")
                             .arg(int(record.attempt.size()) - missing)
                             .arg(record.attempt.size())
                             .arg(cut)
                             .arg(extra);
    if (success)
        faults << QStringLiteral("(b) success reported, but %1").arg(held);
    else if (!failure)
        faults << QStringLiteral("(b) no message, but %1").arg(held);
    return faults;
}

QStringList CJourneyInvariants::CheckSavedFile(const StepRecord& record)
{
    QFile file(record.savedFile);
    if (record.savedFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const std::optional<PrinterKind> kind = m_driver.Window().Configuration().modelType.Kind();
    if (!kind)
        return {};
    // A fresh printer of the kind takes the file as the saved stream.
    CVirtualPrinter bench;
    SimOptions options;
    options.listenPort = 0;
    const std::optional<quint16> port = bench.Start(*kind, options);
    CSimClient client;
    if (!port || !client.Connect(*port) || !client.Send(bytes))
        return {QStringLiteral("(a) the saved file could not be sent to a fresh printer")};
    const size_t expected = record.savedAttempt.size();
    bench.WaitFor([&] { return bench.StoredImages().size() >= expected; }, 3000);
    client.Close();
    const HeldImages stored = HeldBy(bench.StoredImages());
    bench.Stop();
    CPrinterModel fresh;
    QStringList faults = fresh.Check(stored, record.savedAttempt, *kind, m_expected);
    m_compared += int(stored.size());
    if (stored.size() != expected)
        faults << QStringLiteral("(a) the saved file stores %1 images, not %2").arg(stored.size()).arg(expected);
    for (QString& fault : faults)
        fault = QStringLiteral("saved file: ") + fault;
    return faults;
}

QStringList CJourneyInvariants::CheckPortSetting(const StepRecord& record)
{
    if (!record.portSetting)
        return {};
    QStringList faults = record.pageFaults;
    QFile file(m_driver.ModelFile());
    const QString after = file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    if (!record.portSettingOk && after != record.modelFileBefore)
        faults << QStringLiteral("(d) the model file changed although Port Setting was not left with OK");
    const CProfileFile written(m_driver.ModelFile());
    for (auto shown = record.shownAtOk.begin(); shown != record.shownAtOk.end(); ++shown) {
        const QString section = shown.key().section(QLatin1Char('/'), 0, 0);
        const QString key = shown.key().section(QLatin1Char('/'), 1, 1);
        const QString value = written.ReadString(section, key);
        if (value != shown.value())
            faults << QStringLiteral("(d) %1 is \"%2\" in the file; the dialog showed \"%3\"")
                          .arg(shown.key(), value, shown.value());
    }
    CMainDlg& window = m_driver.Window();
    const QString modelShown = Control<QLabel>(window, IDC_MODEL_NAME)->text();
    if (modelShown != written.ReadString(QStringLiteral("COMMON"), QStringLiteral("ModelName")))
        faults << QStringLiteral("(d) the window shows model %1, the file holds another").arg(modelShown);
    if (window.Configuration().modelType == PrinterKind::Mono
        && !Control<QAbstractButton>(window, IDC_COLOR_NOT_USED)->isChecked())
        faults << QStringLiteral("(d) a single-colour model is shown with a colour choice other than Not Used");
    return faults;
}

QStringList CJourneyInvariants::CheckWaits()
{
    QStringList faults;
    if (m_clock.LongestWaitMs() > 6000)
        faults << QStringLiteral("(e) the window waited %1 ms at once").arg(m_clock.LongestWaitMs());
    const qint64 bound = 10000 + 2000 * qint64(m_driver.Window().LogoList().Count());
    if (m_clock.StepWaitMs() > bound)
        faults << QStringLiteral("(e) the step held the window %1 ms (bound %2 ms)").arg(m_clock.StepWaitMs()).arg(bound);
    return faults;
}

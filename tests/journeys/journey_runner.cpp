#include "journeys/journey_runner.h"

#include "journeys/journey_invariants.h"

#include "dialog_test_helpers.h"

#include "res/resource_ids.h"

#include <QTreeWidget>

#include <random>

QString Step::Describe() const
{
    static const char* const actions[] = {"add BMP",   "add batch",   "import picture", "select", "drag slider",
                                          "key slider", "colour",     "invert",         "port setting",
                                          "remove",    "reset",       "download",       "print"};
    static const char* const closes[] = {"button", "title bar", "Escape"};
    static const char* const faults[] = {"", " FAULT hang-up", " FAULT hang-up in last item", " FAULT stops reading",
                                         " FAULT garbage", " FAULT not there"};
    return QStringLiteral("%1(a=%2 b=%3 c=%4 at=%5) close:%6 answer:%7%8")
        .arg(QLatin1String(actions[int(action)]))
        .arg(a)
        .arg(b)
        .arg(c)
        .arg(at, 0, 'f', 2)
        .arg(QLatin1String(closes[int(closeBy)]), answerYes ? "Yes" : "No", QLatin1String(faults[int(fault)]));
}

std::string JourneyResult::Report() const
{
    // One broken invariant often breaks for many images: the first few say it.
    QStringList shown = faults.mid(0, 6);
    if (faults.size() > shown.size())
        shown << QStringLiteral("... and %1 more").arg(faults.size() - shown.size());
    return QStringLiteral("journey seed %1 (rerun: MARKOGRAPH_JOURNEY_SEED=%1), step %2:\n  %3\nsteps:\n  %4")
        .arg(seed)
        .arg(played.size())
        .arg(shown.join(QStringLiteral("\n  ")), played.join(QStringLiteral("\n  ")))
        .toStdString();
}

namespace {

Step DrawStep(std::mt19937& random)
{
    const auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    // Weights of the actions, in their order: what a technician does most.
    static const std::array<int, 13> weights{12, 2, 3, 12, 10, 4, 6, 3, 8, 4, 3, 14, 6};
    std::discrete_distribution<int> actions(weights.begin(), weights.end());
    Step step;
    step.action = Action(actions(random));
    step.closeBy = CloseBy(pick(3));
    step.answerYes = pick(2) == 1;
    step.at = std::uniform_real_distribution<double>(0.05, 0.95)(random);
    step.a = pick(1000);
    step.b = pick(100000);
    switch (step.action) {
    case Action::AddBmp:
        step.a = 1 + pick(3);
        step.c = pick(8) == 0 ? 1 : 0;  // the first one wider than a narrow printer
        break;
    case Action::AddBatch:
        step.a = 10 + pick(36);
        break;
    case Action::ImportPicture:
        step.c = pick(6) == 0 ? 1 + pick(2) : 0;
        break;
    case Action::Select:
        step.c = pick(4) == 0 ? 1 : 0;
        break;
    case Action::PortSetting:
        step.a = pick(5) == 0 ? -1 : pick(5);
        step.b = pick(3) == 0 ? pick(3) : 1000 - 1;  // mostly the model's last interface (Ethernet)
        step.c = pick(5) < 3 ? 0 : 1 + pick(3);
        break;
    case Action::Download:
    case Action::Print:
        step.c = pick(3) == 0 ? 1 + pick(6) : 0;
        if (pick(5) < 2)
            step.fault = Fault(1 + pick(5));
        break;
    default:
        break;
    }
    return step;
}

}  // namespace

JourneyResult RunJourney(unsigned seed, int steps, const std::vector<Step>& script)
{
    JourneyResult result;
    result.seed = seed;
    std::mt19937 random(seed);
    if (steps <= 0)
        steps = std::uniform_int_distribution<int>(30, 80)(random);
    if (!script.empty())
        steps = int(script.size());

    CTestDir dir;
    CJourneyClock clock;
    CInstalledClock installed(&clock);
    CJourneyMessages messages;
    CJourneyPrinter dot(PrinterKind::DotMode, dir.Path(QStringLiteral("dot")), 200);
    CJourneyPrinter mono(PrinterKind::Mono, dir.Path(QStringLiteral("mono")), 576);
    CJourneyPrinter two(PrinterKind::TwoColor, dir.Path(QStringLiteral("two")), 576);
    // Each journey starts on a model of its own.
    const CatalogueModel& start = JourneyCatalogue()[seed % 3];
    const std::array<CJourneyPrinter*, 3> printers{&dot, &mono, &two};
    {
        QFile file(dir.Path(QStringLiteral("NV.inf")));
        file.open(QIODevice::WriteOnly);
        file.write(JourneyModelFile(start, printers[size_t(PrinterKindNumber(start.kind))]->Port()).toLatin1());
    }
    CMainDlg window(MainDlgPaths{dir.Path(QStringLiteral("NV.inf")), dir.Path(QStringLiteral("store"))});
    window.show();
    CJourneyDriver driver(window, printers, dir, clock);
    CJourneyInvariants invariants(driver, messages, clock);
    for (int i = 0; i < steps; ++i) {
        const Step step = script.empty() ? DrawStep(random) : script[size_t(i)];
        messages.StartStep(i + 1, step.answerYes);
        invariants.Before();
        const StepRecord record = driver.Run(step);
        result.faults = invariants.After(record);
        // The printers behave again and are there for the next step.
        clock.SetTimerHook({});
        clock.SetSleepHook({});
        for (CJourneyPrinter* printer : printers) {
            printer->SwitchOn();
            printer->SetFaults({});
        }
        QString played = QStringLiteral("%1: %2").arg(i + 1).arg(step.Describe());
        if (!record.note.isEmpty())
            played += QStringLiteral(" [") + record.note + QLatin1Char(']');
        const QStringList unexpected = driver.Modals().TakeUnexpected();
        if (!unexpected.isEmpty())
            played += QStringLiteral(" [closed unforeseen: ") + unexpected.join(u',') + QLatin1Char(']');
        driver.Modals().EndStep();
        result.played << played;
        result.steps = i + 1;
        if (!result.faults.isEmpty())
            break;
    }
    result.imagesCompared = invariants.ImagesCompared();
    window.reject();
    return result;
}

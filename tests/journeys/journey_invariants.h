#pragma once

#include "journeys/journey_driver.h"

#include <QStringList>

#include <array>

// What must hold after every step of a journey, whatever the step was:
//  (a) every image a printer stores is the preview of the logo it was sent
//      for, drawn with that logo's own settings as the printer's kind
//      prints it; a saved print file stores the same in a fresh printer;
//  (b) a printer that holds less than a download sent (fewer images, or an
//      image cut at its paper width), or an address list that shows less
//      than the printer holds, comes with a message that says so, never
//      with a success message;
//  (c) nothing a printer held, and no logo of the window's list, goes away
//      except by a download the operator started, the one address the
//      operator removed, or after a question answered Yes;
//  (d) Port Setting writes exactly what the dialog showed at OK (its Step 3
//      page being the one of the interface it names), and nothing when it
//      is left any other way; the window then shows the model written, and
//      a single-colour model's colour choice (Not Used);
//  (e) no wait holds the window longer than the longest documented pause
//      (6,000 ms after the single-colour start command), and no step
//      waits beyond its bound, in virtual time.
class CJourneyInvariants {
public:
    CJourneyInvariants(CJourneyDriver& driver, CJourneyMessages& messages, CJourneyClock& clock);

    // Takes what the printers and the window hold before a step.
    void Before();
    // The faults of the step, one line each; empty when all holds.
    QStringList After(const StepRecord& record);

    int ImagesCompared() const { return m_compared; }

private:
    QStringList CheckPrinters(const StepRecord& record);
    QStringList CheckDownloadOutcome(const StepRecord& record, const HeldImages& now, bool unchanged);
    QStringList CheckSavedFile(const StepRecord& record);
    QStringList CheckPortSetting(const StepRecord& record);
    QStringList CheckWaits();

    CJourneyDriver& m_driver;
    CJourneyMessages& m_messages;
    CJourneyClock& m_clock;
    std::array<CPrinterModel, 3> m_models;
    std::array<HeldImages, 3> m_held;
    std::array<qint64, 3> m_bytesSeen{};
    QStringList m_logosBefore;
    CExpectedDots m_expected;
    int m_compared = 0;
};

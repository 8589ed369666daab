#pragma once

#include "journeys/journey_step.h"

#include <QStringList>

#include <vector>

// One journey: a fresh window on a fresh model file with a virtual printer
// of every kind on 127.0.0.1, then steps drawn from the seed, each followed
// by the invariant checks. Stops at the first step that breaks one.
struct JourneyResult {
    unsigned seed = 0;
    QStringList played;  // "12: download ..." per step done
    QStringList faults;  // of the step that broke an invariant
    int steps = 0;
    int imagesCompared = 0;

    bool Passed() const { return faults.isEmpty(); }
    // The seed, the faults and the steps, for a failure message.
    std::string Report() const;
};

// steps: how many (0: 30 to 80, drawn from the seed). script: steps to play
// instead of drawing them (a minimal reproduction).
JourneyResult RunJourney(unsigned seed, int steps = 0, const std::vector<Step>& script = {});

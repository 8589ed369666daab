#include "journeys/journey_runner.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstdio>

// The operator's journeys: many seeds, each a random walk of 30 to 80 steps
// through the main window and its dialogs with printer faults on the way,
// every step followed by the invariants (journey_invariants.h).
//
// MARKOGRAPH_JOURNEY_SEED=n replays one journey; MARKOGRAPH_JOURNEY_COUNT
// sets how many (the soak test runs many more than the default), and
// MARKOGRAPH_JOURNEY_FIRST the first seed.
namespace {

unsigned EnvNumber(const char* name, unsigned fallback)
{
    bool ok = false;
    const unsigned value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

TEST(Journey, WhatTheOperatorSeesIsWhatThePrinterKeeps)
{
    const bool one = qEnvironmentVariableIsSet("MARKOGRAPH_JOURNEY_SEED");
    const unsigned first = one ? EnvNumber("MARKOGRAPH_JOURNEY_SEED", 1) : EnvNumber("MARKOGRAPH_JOURNEY_FIRST", 1);
    const unsigned count = one ? 1 : EnvNumber("MARKOGRAPH_JOURNEY_COUNT", 200);
    QElapsedTimer timer;
    timer.start();
    int steps = 0;
    int compared = 0;
    int failed = 0;
    for (unsigned seed = first; seed < first + count; ++seed) {
        const JourneyResult result = RunJourney(seed);
        steps += result.steps;
        compared += result.imagesCompared;
        if (!result.Passed()) {
            ++failed;
            ADD_FAILURE() << result.Report();
        }
    }
    // Figures, not assertions: how much the run covered.
    std::printf("journeys %u (seeds %u..%u), steps %d, images compared %d, failed %d, %lld ms\n", count, first,
                first + count - 1, steps, compared, failed, static_cast<long long>(timer.elapsed()));
}

#pragma once

#include "support/virtual_clock.h"

#include <functional>

// The journeys' time: virtual, like every dialog test's, with two additions.
// It keeps the figures of the window's unresponsiveness (the longest single
// wait, the waits of one step), and it lets the journey act "between two
// ticks": a hook runs whenever a window timer is started, which is where an
// operator's click or a printer's hang-up falls between the items of a
// download. Timers still fire at once.
class CJourneyClock final : public CSteppedClock {
public:
    CJourneyClock() : CSteppedClock(1000000) {}

    void Sleep(int ms) override
    {
        CSteppedClock::Sleep(ms);
        Note(ms);
        if (m_onSleep)
            m_onSleep(ms);
    }
    int TimerIntervalMs(int ms) override
    {
        Advance(ms);
        Note(ms);
        if (m_onTimer)
            m_onTimer(++m_timersStarted);
        return 0;
    }

    // Runs with the count of timers started since the hook was set.
    void SetTimerHook(std::function<void(int)> hook)
    {
        m_onTimer = std::move(hook);
        m_timersStarted = 0;
    }
    // Runs with the length of every sleep of the window, after it: where the
    // window pauses for the printer, the journey lets the printer catch up.
    void SetSleepHook(std::function<void(int)> hook) { m_onSleep = std::move(hook); }
    void StartStep() { m_stepWaitMs = 0; }
    qint64 StepWaitMs() const { return m_stepWaitMs; }
    int LongestWaitMs() const { return m_longestWaitMs; }
    void ForgetLongestWait() { m_longestWaitMs = 0; }

private:
    void Note(int ms)
    {
        if (ms <= 0)
            return;
        m_stepWaitMs += ms;
        m_longestWaitMs = std::max(m_longestWaitMs, ms);
    }

    std::function<void(int)> m_onTimer;
    std::function<void(int)> m_onSleep;
    int m_timersStarted = 0;
    qint64 m_stepWaitMs = 0;
    int m_longestWaitMs = 0;
};

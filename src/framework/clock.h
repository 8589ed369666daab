#pragma once

#include <QtGlobal>

// The one clock every wait, pause and time-out of Markograph goes through.
// The programs use the real clock; tests install a virtual one, so that the
// 6,000 / 5,000 / 1,000 / 500 / 100 ms pacing of downloads runs instantly
// while the order and the amounts of waiting stay observable.
class CClock {
public:
    virtual ~CClock() = default;

    // Milliseconds on a monotonic scale; only differences mean anything.
    virtual qint64 NowMs() const = 0;

    // Blocks the calling thread for ms milliseconds (0 or less: returns at once).
    virtual void Sleep(int ms) = 0;

    // The interval a window timer (QTimer) of ms milliseconds should really
    // be started with. Real time: ms. A virtual clock counts the wait as
    // passed and returns 0, so timer-paced dialogs run at once in tests.
    virtual int TimerIntervalMs(int ms) { return ms; }
};

// The clock in use on the calling thread: its own clock when one was
// installed with SetThreadClock, else the process clock. Thread-safe to read;
// install process clocks only while no other thread waits on the old one.
CClock& Clock();

// Installs a clock (null restores the real one) and returns the previous one.
// The caller keeps ownership.
CClock* SetClock(CClock* clock);

// Installs a clock for the calling thread only (null: the process clock
// again) and returns the thread's previous one. Jobs that run side by side,
// such as one download per printer of a fleet, each keep their own time this
// way, so a test can watch every job's waits separately.
CClock* SetThreadClock(CClock* clock);

// Real time: a steady clock and a thread sleep.
class CRealClock final : public CClock {
public:
    qint64 NowMs() const override;
    void Sleep(int ms) override;
};

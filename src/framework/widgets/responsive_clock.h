#pragma once

#include "framework/clock.h"

#include <functional>

// The desktop program's clock. A wait on the window thread keeps the windows
// alive while its time passes: it sleeps in short slices of the underlying
// clock and, between them, lets the windows paint (a closed message box
// disappears, a progress bar and a status line move) and answer the
// desktop's pings. Meanwhile the operator is kept out: mouse, keyboard,
// wheel and close requests to any window are refused (dropped, not queued,
// so nothing they would have started runs after the wait), socket
// notifications wait, and the cursor shows busy. The length and the order of
// the waits stay exactly as asked; a wait on any other thread is the
// underlying clock's sleep.
class CResponsiveClock final : public CClock {
public:
    // base gives time and sleeps; it must outlive this clock.
    explicit CResponsiveClock(CClock& base);

    qint64 NowMs() const override { return m_base.NowMs(); }
    void Sleep(int ms) override;
    int TimerIntervalMs(int ms) override { return m_base.TimerIntervalMs(ms); }

    // Slice length of a wait in milliseconds: short enough for smooth
    // painting, long enough to cost nothing.
    static constexpr int kSliceMs = 20;

private:
    void WaitWithWindowsAlive(int ms);

    CClock& m_base;
};

// Shows a countdown while it lives: each wait on the window thread calls
// show(seconds left, rounded up) at its start and whenever the whole
// seconds left change. One at a time, on the window thread.
class CWaitCountdown {
public:
    explicit CWaitCountdown(std::function<void(int secondsLeft)> show);
    ~CWaitCountdown();
    CWaitCountdown(const CWaitCountdown&) = delete;
    CWaitCountdown& operator=(const CWaitCountdown&) = delete;

    // The countdown in force, or null.
    static CWaitCountdown* Current();
    void Show(qint64 msLeft);

private:
    std::function<void(int)> m_show;
    int m_shown = -1;
    CWaitCountdown* m_previous;
};

#pragma once

#include "support/virtual_clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

// A clock that really waits, but only a fraction of every wait: devices on
// the other end of a real line (a pseudo-terminal) get real time to answer,
// while a 21-second run of read time-outs takes a fraction of a second.
// Installed for the lifetime of the object; records the waits asked for.
class CScaledClock final : public CSteppedClock {
public:
    explicit CScaledClock(int divisor) : CSteppedClock(kStartMs), m_divisor(divisor), m_installed(this) {}

    void Sleep(int ms) override
    {
        CSteppedClock::Sleep(ms);
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, ms / m_divisor)));
    }
    int TimerIntervalMs(int ms) override { return ms / m_divisor; }
    // Total milliseconds the code asked to wait.
    qint64 AskedMs() const { return NowMs() - kStartMs; }

private:
    static constexpr qint64 kStartMs = 1000000;
    int m_divisor;
    CInstalledClock m_installed;  // last: installed once the clock is whole
};

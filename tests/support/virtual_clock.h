#pragma once

#include "framework/clock.h"

#include <mutex>
#include <vector>

// Installs a clock for the whole process while it lives, and puts the
// previous one back at the end.
class CInstalledClock {
public:
    explicit CInstalledClock(CClock* clock) : m_previous(SetClock(clock)) {}
    ~CInstalledClock() { SetClock(m_previous); }
    CInstalledClock(const CInstalledClock&) = delete;
    CInstalledClock& operator=(const CInstalledClock&) = delete;

private:
    CClock* m_previous;
};

// Time that moves only by the waits asked for: Sleep returns at once, moves
// time forward by the amount asked for and records it, so tests can check
// the pacing. Window timers fire at once. Installs nothing by itself.
class CSteppedClock : public CClock {
public:
    explicit CSteppedClock(qint64 startMs = 0) : m_now(startMs) {}

    qint64 NowMs() const override
    {
        std::lock_guard lock(m_mutex);
        return m_now;
    }
    void Sleep(int ms) override
    {
        std::lock_guard lock(m_mutex);
        m_sleeps.push_back(ms);
        if (ms > 0)
            m_now += ms;
    }
    int TimerIntervalMs(int) override { return 0; }
    void Advance(qint64 ms)
    {
        std::lock_guard lock(m_mutex);
        m_now += ms;
    }
    std::vector<int> Sleeps() const
    {
        std::lock_guard lock(m_mutex);
        return m_sleeps;
    }

protected:
    mutable std::mutex m_mutex;
    qint64 m_now;
    std::vector<int> m_sleeps;
};

// The process clock of a test: stepped time, installed for the lifetime of
// the object. Window timers count their interval as passed and are recorded.
class CVirtualClock final : public CSteppedClock {
public:
    CVirtualClock() : CSteppedClock(1000000), m_installed(this) {}

    int TimerIntervalMs(int ms) override
    {
        std::lock_guard lock(m_mutex);
        m_timers.push_back(ms);
        m_now += ms;
        return 0;
    }
    // The intervals window timers were started with, in order.
    std::vector<int> Timers() const
    {
        std::lock_guard lock(m_mutex);
        return m_timers;
    }

private:
    std::vector<int> m_timers;
    CInstalledClock m_installed;  // last: installed once the clock is whole
};

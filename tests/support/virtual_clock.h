#pragma once

#include "framework/clock.h"

#include <mutex>
#include <vector>

// A clock whose Sleep returns at once and moves time forward by the amount
// asked for; it records every sleep so tests can check the pacing. Installed
// for the lifetime of the object.
class CVirtualClock final : public CClock {
public:
    CVirtualClock() : m_previous(SetClock(this)) {}
    ~CVirtualClock() override { SetClock(m_previous); }
    CVirtualClock(const CVirtualClock&) = delete;
    CVirtualClock& operator=(const CVirtualClock&) = delete;

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

private:
    CClock* m_previous;
    mutable std::mutex m_mutex;
    qint64 m_now = 1000000;
    std::vector<int> m_sleeps;
    std::vector<int> m_timers;
};

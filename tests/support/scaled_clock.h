#pragma once

#include "framework/clock.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

// A clock that really waits, but only a fraction of every wait: devices on
// the other end of a real line (a pseudo-terminal) get real time to answer,
// while a 21-second run of read time-outs takes a fraction of a second.
// Installed for the lifetime of the object; records the waits asked for.
class CScaledClock final : public CClock {
public:
    explicit CScaledClock(int divisor) : m_divisor(divisor), m_previous(SetClock(this)) {}
    ~CScaledClock() override { SetClock(m_previous); }
    CScaledClock(const CScaledClock&) = delete;
    CScaledClock& operator=(const CScaledClock&) = delete;

    qint64 NowMs() const override
    {
        std::lock_guard lock(m_mutex);
        return m_now;
    }
    void Sleep(int ms) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_asked += ms > 0 ? ms : 0;
            m_now += ms > 0 ? ms : 0;
        }
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, ms / m_divisor)));
    }
    int TimerIntervalMs(int ms) override { return ms / m_divisor; }
    // Total milliseconds the code asked to wait.
    qint64 AskedMs() const
    {
        std::lock_guard lock(m_mutex);
        return m_asked;
    }

private:
    int m_divisor;
    CClock* m_previous;
    mutable std::mutex m_mutex;
    qint64 m_now = 1000000;
    qint64 m_asked = 0;
};

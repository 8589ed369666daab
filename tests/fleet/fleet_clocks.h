#pragma once

#include "support/virtual_clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

// Clocks for the jobs of a fleet run, one per job (installed by the runner on
// the job's thread through FleetHooks::clockFor), and a log of finished jobs.

// Virtual time of one job: Sleep returns at once and moves this job's time
// only, so each job's seconds are exactly the waits it asked for.
using CLaneClock = CSteppedClock;

// A lane whose first wait holds the job until the test opens the gate: a
// printer that takes as long as the test wants, without any real time bound
// in the assertions.
class CGateClock final : public CLaneClock {
public:
    void Sleep(int ms) override
    {
        std::unique_lock lock(m_gateMutex);
        m_waiting = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
        lock.unlock();
        CLaneClock::Sleep(ms);
    }
    void Open()
    {
        std::lock_guard lock(m_gateMutex);
        m_open = true;
        m_changed.notify_all();
    }
    // Waits until the job stands at the gate (false when it does not come
    // within the bound, so that a broken runner fails instead of hanging).
    bool WaitUntilWaiting(int boundMs = 30000)
    {
        std::unique_lock lock(m_gateMutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return m_waiting; });
    }

private:
    std::mutex m_gateMutex;
    std::condition_variable m_changed;
    bool m_open = false;
    bool m_waiting = false;
};

// Counts finished jobs and lets the test wait for a number of them.
class CFinishLog {
public:
    void Add(int index)
    {
        std::lock_guard lock(m_mutex);
        m_order.push_back(index);
        m_changed.notify_all();
    }
    bool WaitFor(size_t count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(60), [&] { return m_order.size() >= count; });
    }
    std::vector<int> Order()
    {
        std::lock_guard lock(m_mutex);
        return m_order;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_order;
};

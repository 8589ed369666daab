#include "framework/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

CRealClock g_realClock;
std::atomic<CClock*> g_clock{&g_realClock};
thread_local CClock* t_threadClock = nullptr;

}  // namespace

qint64 CRealClock::NowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void CRealClock::Sleep(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

CClock& Clock()
{
    return t_threadClock ? *t_threadClock : *g_clock.load();
}

CClock* SetClock(CClock* clock)
{
    return g_clock.exchange(clock ? clock : &g_realClock);
}

CClock* SetThreadClock(CClock* clock)
{
    CClock* previous = t_threadClock;
    t_threadClock = clock;
    return previous;
}

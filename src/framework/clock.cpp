#include "framework/clock.h"

#include <QThreadStorage>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

CRealClock g_realClock;
std::atomic<CClock*> g_clock{&g_realClock};

// A thread's own clock. QThreadStorage rather than thread_local: the
// programs are position-independent, where thread_local would make them
// need the dynamic loader by name, a dependency the package does not list.
struct ThreadClockSlot {
    CClock* clock = nullptr;
};

QThreadStorage<ThreadClockSlot>& ThreadClocks()
{
    static QThreadStorage<ThreadClockSlot> storage;
    return storage;
}

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
    QThreadStorage<ThreadClockSlot>& storage = ThreadClocks();
    CClock* own = storage.hasLocalData() ? storage.localData().clock : nullptr;
    return own ? *own : *g_clock.load();
}

CClock* SetClock(CClock* clock)
{
    return g_clock.exchange(clock ? clock : &g_realClock);
}

CClock* SetThreadClock(CClock* clock)
{
    ThreadClockSlot& slot = ThreadClocks().localData();
    CClock* previous = slot.clock;
    slot.clock = clock;
    return previous;
}

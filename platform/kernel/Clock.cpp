// Clock.cpp: the system clock over std::chrono::steady_clock, and the calls
// that read whichever clock is installed.
#include "platform/kernel/Clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

class SystemClock final : public Clock {
public:
    uint32_t tickCount() override
    {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    int64_t performanceCounter() override
    {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    }
    int64_t performanceFrequency() override { return 1000000000; }
    void sleep(uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

SystemClock g_systemClock;
std::atomic<Clock*> g_clock{nullptr};

} // namespace

Clock& clock()
{
    Clock* c = g_clock.load(std::memory_order_acquire);
    return c ? *c : g_systemClock;
}

void setClock(Clock* c)
{
    g_clock.store(c, std::memory_order_release);
}

} // namespace platform

DWORD GetTickCount()
{
    return platform::clock().tickCount();
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return FALSE;
    count->QuadPart = platform::clock().performanceCounter();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    frequency->QuadPart = platform::clock().performanceFrequency();
    return TRUE;
}

void Sleep(DWORD milliseconds)
{
    platform::clock().sleep(milliseconds);
}

DWORD GetCurrentThreadId()
{
    // Small, stable, non-zero ids handed out in the order threads first ask.
    static std::atomic<DWORD> next{1};
    thread_local DWORD id = next.fetch_add(1);
    return id;
}

// Clock.h: tick counts, the performance counter, Sleep and thread ids, all
// read through one replaceable clock so that tests can drive time by hand.
#pragma once

#include "platform/Win32Types.h"

#include <atomic>
#include <cstdint>

namespace platform {

// The source of time. The system clock is monotonic; tests install a FakeClock.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
    virtual uint32_t tickCount() = 0;
    // A monotonic counter and its ticks per second.
    virtual int64_t performanceCounter() = 0;
    virtual int64_t performanceFrequency() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
};

// A clock that only moves when told to. Sleep advances it by the time asked
// for and returns at once. Safe to read and advance from several threads.
class FakeClock : public Clock {
public:
    explicit FakeClock(uint32_t startTicks = 1000) : m_microseconds(int64_t(startTicks) * 1000) {}

    void advance(uint32_t milliseconds) { m_microseconds += int64_t(milliseconds) * 1000; }
    void advanceMicroseconds(int64_t microseconds) { m_microseconds += microseconds; }
    void setTickCount(uint32_t ticks) { m_microseconds = int64_t(ticks) * 1000; }

    uint32_t tickCount() override { return uint32_t(m_microseconds.load() / 1000); }
    int64_t performanceCounter() override { return m_microseconds.load(); }
    int64_t performanceFrequency() override { return 1000000; }
    void sleep(uint32_t milliseconds) override { advance(milliseconds); }

private:
    std::atomic<int64_t> m_microseconds;
};

// The clock in use; never null.
Clock& clock();
// Installs a clock (not owned); null restores the system clock.
void setClock(Clock* c);

// Installs a clock for the lifetime of a scope.
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { setClock(&c); }
    ~ScopedClock() { setClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

} // namespace platform

DWORD GetTickCount();
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);
DWORD GetCurrentThreadId();

// Timer.cpp: the performance-counter timer.
#include "core/lang/Timer.h"

#include "platform/kernel/Clock.h"

namespace lang {

Timer::Timer() : m_nLastCounter(0), m_nFrequency(1)
{
    LARGE_INTEGER f;
    if (QueryPerformanceFrequency(&f) && f.QuadPart > 0)
        m_nFrequency = f.QuadPart;
}

int64_t Timer::getCounter()
{
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

void Timer::start()
{
    int64_t c = getCounter();
    m_dTime = double(c) / double(m_nFrequency);
    m_nLastCounter = c;
    m_bStopped = false;
}

void Timer::stop()
{
    m_bStopped = true;
}

double Timer::now()
{
    return double(getCounter()) / double(m_nFrequency);
}

void Timer::tick()
{
    if (m_bStopped)
        return;
    int64_t c = getCounter();
    m_dTime = double(c) / double(m_nFrequency);
    m_dDelta = double(c - m_nLastCounter) / double(m_nFrequency);
    m_nLastCounter = c;
    if (m_dDelta < 0.0)
        m_dDelta = 0.0;
}

} // namespace lang

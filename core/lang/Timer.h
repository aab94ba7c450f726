// Timer.h: seconds from the performance counter, with the time elapsed
// between ticks; drives the canvas's fixed-step frame loop.
#pragma once

#include "core/lang/TimerBase.h"

#include <cstdint>

namespace lang {

class Timer : public TimerBase {
public:
    Timer();

    void start() override;
    void stop() override;
    // The current counter in seconds, whether stopped or not.
    double now() override;
    // While running: time := now, delta := seconds since the last tick or
    // start (never negative).
    void tick() override;

    static int64_t getCounter();

private:
    int64_t m_nLastCounter;
    int64_t m_nFrequency;
};

} // namespace lang

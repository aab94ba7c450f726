// TimerBase.h: the timer interface: time and per-tick delta in seconds.
#pragma once

namespace lang {

class TimerBase {
public:
    virtual ~TimerBase() = default;
    virtual void start() {}
    virtual void stop() {}
    virtual double now() { return 0.0; }
    virtual void tick() {}

    double getTime() const { return m_dTime; }
    double getDelta() const { return m_dDelta; }
    bool isStopped() const { return m_bStopped; }

protected:
    double m_dTime = 0.0;
    double m_dDelta = 0.0;
    bool m_bStopped = true;
};

} // namespace lang

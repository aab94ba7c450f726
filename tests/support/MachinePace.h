// MachinePace.h: time counted at the pace the machine gives a program, for
// the wall-clock limits that only catch a hang.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>

namespace testsupport {

// Time at the pace the machine gives a program, counted from its making:
// a stretch in which the load over the last minute is twice the processors
// counts as half of it (all of it on a machine less busy), so that a limit
// reached stands for a hang, not for a busy machine.
class MachinePace {
public:
    // The milliseconds counted so far, the time since the last look
    // included.
    int counted()
    {
        const auto now = std::chrono::steady_clock::now();
        double load = 0;
        getloadavg(&load, 1);
        m_topLoad = std::max(m_topLoad, load);
        const double busy = std::max(1.0, load / m_processors);
        m_counted += std::chrono::duration<double, std::milli>(now - m_last).count() / busy;
        m_last = now;
        return int(m_counted);
    }
    // The highest load seen, for a failure's message.
    std::string load() const
    {
        std::ostringstream text;
        text << "a load of up to " << m_topLoad << " on " << m_processors << " processors";
        return text.str();
    }

private:
    const unsigned m_processors = std::max(1u, std::thread::hardware_concurrency());
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
    double m_counted = 0;
    double m_topLoad = 0;
};

} // namespace testsupport

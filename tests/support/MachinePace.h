// MachinePace.h: time counted at the pace the machine gives a program, for
// the wall-clock limits that only catch a hang; and a processor kept busy.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sched.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// The processors this process may run on (a program held to some with
// taskset has only those), at least one.
inline cpu_set_t usableProcessors()
{
    cpu_set_t processors;
    CPU_ZERO(&processors);
    if (sched_getaffinity(0, sizeof processors, &processors) != 0 || CPU_COUNT(&processors) == 0)
        CPU_SET(0, &processors);
    return processors;
}

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
    const int m_processors = [] {
        const cpu_set_t processors = usableProcessors();
        return CPU_COUNT(&processors);
    }();
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
    double m_counted = 0;
    double m_topLoad = 0;
};

// The first processor this process may use, shared with three threads that
// never rest while the object lives: a thread moved onto it gets a quarter
// of it at most. The object is whole once all three spin.
class BusyProcessor {
public:
    BusyProcessor()
    {
        for (int i = 0; i < 3; ++i)
            m_spinning.emplace_back([this] {
                share(0);
                ++m_spinningCount;
                while (m_busy) {
                }
            });
        while (m_spinningCount < 3)
            std::this_thread::yield();
    }
    ~BusyProcessor()
    {
        m_busy = false;
        for (std::thread& t : m_spinning)
            t.join();
    }
    BusyProcessor(const BusyProcessor&) = delete;
    BusyProcessor& operator=(const BusyProcessor&) = delete;

    // Moves a thread onto the processor (its system id, which for a
    // process's first thread is the process's; 0: the calling thread); the
    // threads it makes from then on run there too. A process with the same
    // processors as the object's (one it started, or started it) may move
    // its threads there too.
    static void share(pid_t id)
    {
        const cpu_set_t usable = usableProcessors();
        int first = 0;
        while (first < CPU_SETSIZE - 1 && !CPU_ISSET(first, &usable))
            ++first;
        cpu_set_t processor;
        CPU_ZERO(&processor);
        CPU_SET(first, &processor);
        sched_setaffinity(id, sizeof processor, &processor);
    }

private:
    std::atomic<bool> m_busy{true};
    std::atomic<int> m_spinningCount{0};
    std::vector<std::thread> m_spinning;
};

} // namespace testsupport

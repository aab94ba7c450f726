// MachinePace.h: time counted at the pace the machine gives a program, for
// the wall-clock limits that only catch a hang; and a processor kept busy.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
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

// Time at the pace the machine gives a program, counted from its making: a
// stretch in which twice as many threads are ready to run as this process
// has processors counts as half of it (all of it on a machine less busy),
// so that a limit reached stands for a hang, not for a busy machine. The
// threads ready now are counted (the load over the last minute would count
// a load that has just come as none), looked at once every few
// milliseconds; the load over the last minute, when higher, stands for the
// moments between the looks. A stretch counts at the busier of its two
// ends.
class MachinePace {
public:
    // The milliseconds counted so far, the time since the last look
    // included.
    int counted()
    {
        const auto now = std::chrono::steady_clock::now();
        const double before = m_busy;
        if (now - m_looked >= kLookEvery) {
            m_busy = busyNow();
            m_looked = now;
        }
        m_counted += std::chrono::duration<double, std::milli>(now - m_last).count() / std::max(before, m_busy);
        m_last = now;
        return int(m_counted);
    }
    // The most threads seen ready to run and the highest load, for a
    // failure's message.
    std::string load() const
    {
        std::ostringstream text;
        text << "up to " << m_topReady << " threads ready to run and a load of up to " << m_topLoad << " on "
             << m_processors << " processors";
        return text.str();
    }

private:
    static constexpr std::chrono::milliseconds kLookEvery{10};

    // How many times slower than alone a thread of this process runs now,
    // at least 1.
    double busyNow()
    {
        double load = 0;
        int ready = 0;
        // "1.00 0.50 0.25 3/120 4567": the loads over 1, 5 and 15 minutes,
        // then the threads ready to run (the reader among them) of all.
        std::ifstream file("/proc/loadavg");
        double ignored = 0;
        char slash = 0;
        if (!(file >> load >> ignored >> ignored >> ready >> slash))
            getloadavg(&load, 1);
        m_topReady = std::max(m_topReady, ready);
        m_topLoad = std::max(m_topLoad, load);
        return std::max(1.0, std::max(double(ready), load) / m_processors);
    }

    const int m_processors = [] {
        const cpu_set_t processors = usableProcessors();
        return CPU_COUNT(&processors);
    }();
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_looked = m_last;
    double m_counted = 0;
    int m_topReady = 0;
    double m_topLoad = 0;
    double m_busy = busyNow();
};

// Looks at `done` every millisecond until it answers true, or `limitMs`
// pass at the machine's pace (a hang); its last answer.
template <typename Done>
bool reachedAtPace(int limitMs, Done done)
{
    MachinePace waited;
    while (!done()) {
        if (waited.counted() >= limitMs)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Repeats `wait(ms)`, a wait of `ms` milliseconds at most that answers
// whether what it waits for came, until it answers true or `ms` have
// passed at the machine's pace (a hang); its last answer. On a machine no
// busier than its processors that is one wait, which a wait that is never
// woken runs out (a tenth is left for the rounding of the clocks).
template <typename Wait>
bool waitAtPace(int ms, Wait wait)
{
    MachinePace waited;
    while (!wait(ms)) {
        if (waited.counted() >= ms - ms / 10)
            return false;
    }
    return true;
}

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

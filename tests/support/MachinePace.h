// MachinePace.h: time counted at the pace the machine gives a program, for
// the wall-clock limits that only catch a hang; a child process's own
// running time; and a processor kept busy.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
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

// Waits until a child process has run for a time on its own processor clock,
// or has ended (it stays to be waited for); a minute at most. A kill timed
// so lands at the same point of the child's work however long a busy
// machine keeps it from running.
inline void waitUntilChildHasRun(pid_t child, std::chrono::microseconds ran)
{
    clockid_t childClock;
    if (clock_getcpuclockid(child, &childClock) != 0)
        return;
    for (int wait = 0; wait < 600000; ++wait) {
        timespec used{};
        siginfo_t ended{};
        if (clock_gettime(childClock, &used) != 0 ||
            std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec) >= ran ||
            (waitid(P_PID, id_t(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == child))
            return;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

// The first processor this process may use, shared with three threads that
// never rest while the object lives: a thread moved onto it gets a quarter
// of it at most. The object is whole once all three spin: a process forked
// (a death test) while one of them still starts would inherit the locks its
// start holds (the sanitizer's allocator) and wait for them for ever.
class BusyProcessor {
public:
    BusyProcessor()
    {
        const cpu_set_t usable = usableProcessors();
        int first = 0;
        while (first < CPU_SETSIZE - 1 && !CPU_ISSET(first, &usable))
            ++first;
        CPU_ZERO(&m_processor);
        CPU_SET(first, &m_processor);
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
    // threads it makes from then on run there too.
    void share(pid_t id) const { sched_setaffinity(id, sizeof m_processor, &m_processor); }

private:
    cpu_set_t m_processor;
    std::atomic<bool> m_busy{true};
    std::atomic<int> m_spinningCount{0};
    std::vector<std::thread> m_spinning;
};

} // namespace testsupport

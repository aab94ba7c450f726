// Thread.cpp: threads over std::thread. Each thread is a kernel object shared
// by its handle and by the running thread itself; it is signalled at the end.
#include "platform/kernel/Thread.h"

#include "platform/kernel/Clock.h"
#include "platform/kernel/KernelObject.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <sched.h>
#include <string>
#include <sys/syscall.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

class ThreadObject final : public platform::KernelObject {
public:
    ThreadObject(std::function<DWORD()> body, bool suspended)
        : m_body(std::move(body)), m_suspendCount(suspended ? 1 : 0)
    {
    }

    // Starts the system thread and waits until it knows its own id. False when
    // no thread could be made.
    bool launch()
    {
        addRef(); // the running thread's own reference
        try {
            std::thread(&ThreadObject::main, this).detach();
        } catch (const std::system_error&) {
            release();
            return false;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cond.wait(lock, [this] { return m_id != 0; });
        return true;
    }

    DWORD id()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_id;
    }

    DWORD resume()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        DWORD before = m_suspendCount;
        if (m_suspendCount > 0 && --m_suspendCount == 0)
            m_cond.notify_all();
        return before;
    }

    DWORD exitCode()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_finished ? m_exitCode : STILL_ACTIVE;
    }

    int priority() const { return m_priority.load(); }
    void setPriority(int priority) { m_priority = priority; }

    DWORD wait(DWORD milliseconds) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        auto ended = [this] { return m_finished; };
        if (milliseconds == INFINITE) {
            m_cond.wait(lock, ended);
        } else if (!m_cond.wait_for(lock, std::chrono::milliseconds(milliseconds), ended)) {
            return WAIT_TIMEOUT;
        }
        return WAIT_OBJECT_0;
    }

private:
    void main()
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_id = GetCurrentThreadId();
            m_cond.notify_all();
            m_cond.wait(lock, [this] { return m_suspendCount == 0; });
        }
        DWORD code = m_body();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_exitCode = code;
            m_finished = true;
            m_cond.notify_all();
        }
        release();
    }

    std::function<DWORD()> m_body;
    std::mutex m_mutex;
    std::condition_variable m_cond;
    DWORD m_id = 0;
    DWORD m_suspendCount;
    DWORD m_exitCode = 0;
    bool m_finished = false;
    std::atomic<int> m_priority{THREAD_PRIORITY_NORMAL};
};

ThreadObject* threadOf(HANDLE h)
{
    return dynamic_cast<ThreadObject*>(platform::KernelObject::fromHandle(h));
}

HANDLE startThread(std::function<DWORD()> body, DWORD flags, DWORD* threadId)
{
    auto* thread = new ThreadObject(std::move(body), (flags & CREATE_SUSPENDED) != 0);
    if (!thread->launch()) {
        thread->release();
        return nullptr;
    }
    if (threadId)
        *threadId = thread->id();
    return thread->handle();
}

bool isThreadPriority(int priority)
{
    return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
           priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, LPDWORD threadId)
{
    if (!start)
        return nullptr;
    return startThread([start, parameter] { return start(parameter); }, creationFlags, threadId);
}

uintptr_t crtBeginThreadEx(void*, unsigned, unsigned (*start)(void*), void* argument, unsigned initFlags,
                           unsigned* threadId)
{
    if (!start)
        return 0;
    DWORD id = 0;
    HANDLE h = startThread([start, argument] { return DWORD(start(argument)); }, initFlags, &id);
    if (h && threadId)
        *threadId = id;
    return reinterpret_cast<uintptr_t>(h);
}

DWORD ResumeThread(HANDLE thread)
{
    ThreadObject* t = threadOf(thread);
    return t ? t->resume() : DWORD(-1);
}

BOOL SetThreadPriority(HANDLE thread, int priority)
{
    ThreadObject* t = threadOf(thread);
    if (!t || !isThreadPriority(priority))
        return FALSE;
    t->setPriority(priority);
    return TRUE;
}

int GetThreadPriority(HANDLE thread)
{
    ThreadObject* t = threadOf(thread);
    return t ? t->priority() : THREAD_PRIORITY_ERROR_RETURN;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode)
{
    ThreadObject* t = threadOf(thread);
    if (!t || !exitCode)
        return FALSE;
    *exitCode = t->exitCode();
    return TRUE;
}

namespace platform {

long systemThreadId()
{
    return long(::syscall(SYS_gettid));
}

bool threadActivity(long systemId, ThreadActivity& activity)
{
    const std::string path = "/proc/self/task/" + std::to_string(systemId) + "/stat";
    std::FILE* file = std::fopen(path.c_str(), "re");
    if (!file)
        return false;
    char line[1024];
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    // The thread's name, in brackets, may hold anything: the fields after
    // the last closing bracket are its state, then ten others, then the
    // user and system time in clock ticks.
    const char* fields = read ? std::strrchr(line, ')') : nullptr;
    char state = 0;
    unsigned long long user = 0, system = 0;
    if (!fields || std::sscanf(fields + 1, " %c %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %llu %llu", &state, &user,
                               &system) != 3)
        return false;
    static const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    activity.asleep = state == 'S' || state == 'D';
    activity.processorMs = int64_t((user + system) * 1000 / (ticksPerSecond > 0 ? ticksPerSecond : 100));
    return true;
}

double machineCrowding()
{
    // "1.00 0.50 0.25 3/120 4567": the loads over 1, 5 and 15 minutes, then
    // the threads ready to run (the reader among them) of all.
    double load = 0, ignored = 0;
    int ready = 0;
    std::FILE* file = std::fopen("/proc/loadavg", "re");
    if (!file || std::fscanf(file, "%lf %lf %lf %d/", &load, &ignored, &ignored, &ready) != 4) {
        ready = 0;
        if (::getloadavg(&load, 1) != 1)
            load = 0;
    }
    if (file)
        std::fclose(file);
    cpu_set_t usable;
    CPU_ZERO(&usable);
    const int processors =
        ::sched_getaffinity(0, sizeof usable, &usable) == 0 && CPU_COUNT(&usable) > 0 ? CPU_COUNT(&usable) : 1;
    return std::max(1.0, std::max(double(ready), load) / processors);
}

} // namespace platform

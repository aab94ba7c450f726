// Sync.cpp: critical sections over std::recursive_mutex, events over a
// condition variable, interlocked counters over the compiler's atomics.
#include "platform/kernel/Sync.h"

#include "platform/kernel/KernelObject.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

std::recursive_mutex* mutexOf(LPCRITICAL_SECTION cs)
{
    return static_cast<std::recursive_mutex*>(cs->impl);
}

class Event final : public platform::KernelObject {
public:
    Event(bool manualReset, bool initial) : m_manual(manualReset), m_signalled(initial) {}

    void set()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = true;
        if (m_manual)
            m_cond.notify_all();
        else
            m_cond.notify_one();
    }

    void reset()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = false;
    }

    DWORD wait(DWORD milliseconds) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        auto ready = [this] { return m_signalled; };
        if (milliseconds == INFINITE) {
            m_cond.wait(lock, ready);
        } else if (!m_cond.wait_for(lock, std::chrono::milliseconds(milliseconds), ready)) {
            return WAIT_TIMEOUT;
        }
        if (!m_manual)
            m_signalled = false;
        return WAIT_OBJECT_0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_manual;
    bool m_signalled;
};

Event* eventOf(HANDLE h)
{
    return dynamic_cast<Event*>(platform::KernelObject::fromHandle(h));
}

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION cs)
{
    cs->impl = new std::recursive_mutex();
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs)
{
    delete mutexOf(cs);
    cs->impl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION cs)
{
    mutexOf(cs)->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs)
{
    mutexOf(cs)->unlock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs)
{
    return mutexOf(cs)->try_lock() ? TRUE : FALSE;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR)
{
    return (new Event(manualReset != FALSE, initialState != FALSE))->handle();
}

BOOL SetEvent(HANDLE event)
{
    Event* e = eventOf(event);
    if (!e)
        return FALSE;
    e->set();
    return TRUE;
}

BOOL ResetEvent(HANDLE event)
{
    Event* e = eventOf(event);
    if (!e)
        return FALSE;
    e->reset();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds)
{
    platform::KernelObject* o = platform::KernelObject::fromHandle(object);
    if (!o)
        return WAIT_FAILED;
    return o->wait(milliseconds);
}

BOOL CloseHandle(HANDLE object)
{
    platform::KernelObject* o = platform::KernelObject::fromHandle(object);
    if (!o)
        return FALSE;
    o->release();
    return TRUE;
}

LONG InterlockedIncrement(LONG volatile* value)
{
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedDecrement(LONG volatile* value)
{
    return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedExchange(LONG volatile* target, LONG value)
{
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand)
{
    LONG expected = comparand;
    __atomic_compare_exchange_n(target, &expected, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return expected;
}

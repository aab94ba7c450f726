// Object.cpp: reference counting, the lazily made monitor, wait and notify.
#include "core/lang/Object.h"

#include "core/lang/String.h"

#include <cstring>

namespace lang {
namespace {

// Guards the creation of every object's monitor and wait event. Made on first
// use; never destroyed, so objects released by static destructors still work.
CRITICAL_SECTION& monitorCreationLock()
{
    static CRITICAL_SECTION* lock = [] {
        auto* cs = new CRITICAL_SECTION;
        InitializeCriticalSection(cs);
        return cs;
    }();
    return *lock;
}

} // namespace

Object::Object() : m_nRefCount(1), m_monitor(), m_hWaitEvent(nullptr), m_nHoldCount(0), m_bMonitorMade(false)
{
    monitorCreationLock();
}

Object::~Object()
{
    if (m_bMonitorMade.load(std::memory_order_acquire))
        DeleteCriticalSection(&m_monitor);
    if (m_hWaitEvent)
        CloseHandle(m_hWaitEvent);
}

void Object::addRef()
{
    InterlockedIncrement(&m_nRefCount);
}

void Object::release()
{
    if (InterlockedDecrement(&m_nRefCount) < 1)
        delete this;
}

void Object::makeMonitor()
{
    CRITICAL_SECTION& global = monitorCreationLock();
    EnterCriticalSection(&global);
    if (!m_bMonitorMade.load(std::memory_order_relaxed)) {
        InitializeCriticalSection(&m_monitor);
        m_bMonitorMade.store(true, std::memory_order_release);
    }
    LeaveCriticalSection(&global);
}

void Object::lock()
{
    if (!m_bMonitorMade.load(std::memory_order_acquire))
        makeMonitor();
    EnterCriticalSection(&m_monitor);
    ++m_nHoldCount;
}

bool Object::tryLock()
{
    if (!m_bMonitorMade.load(std::memory_order_acquire))
        makeMonitor();
    if (!TryEnterCriticalSection(&m_monitor))
        return false;
    ++m_nHoldCount;
    return true;
}

void Object::unlock()
{
    --m_nHoldCount;
    LeaveCriticalSection(&m_monitor);
}

int Object::hashCode()
{
    return 0;
}

bool Object::equals(Object* other)
{
    return other == this;
}

String Object::toString()
{
    return String("lang.Object");
}

void Object::wait(int milliseconds)
{
    if (!m_hWaitEvent) {
        // Two threads may wait without holding the monitor; make the event once.
        CRITICAL_SECTION& global = monitorCreationLock();
        EnterCriticalSection(&global);
        if (!m_hWaitEvent)
            m_hWaitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        LeaveCriticalSection(&global);
    }
    ResetEvent(m_hWaitEvent);
    int held = m_nHoldCount;
    for (int i = 0; i < held; ++i)
        unlock();
    WaitForSingleObject(m_hWaitEvent, milliseconds < 0 ? INFINITE : DWORD(milliseconds));
    for (int i = 0; i < held; ++i)
        lock();
}

void Object::wait()
{
    wait(-1);
}

void Object::notify()
{
    if (m_hWaitEvent)
        SetEvent(m_hWaitEvent);
}

void Object::notifyAll()
{
    notify();
}

bool Object::isClassName(const char* name, const char* shortName)
{
    return name != nullptr && std::strcmp(name, shortName) == 0;
}

bool Object::isInstanceOf(const char* name)
{
    return isClassName(name, "Object");
}

const char* Object::getClassName()
{
    return "Object";
}

} // namespace lang

// Object.h: the root class: an intrusive atomic reference count, a recursive
// monitor made on first use with wait/notify on a manual-reset event, identity
// equality, and run-time type tests by short class name.
#pragma once

#include "core/lang/ObjectI.h"
#include "platform/kernel/Sync.h"

#include <atomic>

// Declares a class's short name inside its class body: getClassName returns
// it, and isInstanceOf answers it and otherwise asks the base class.
#define HV_CLASS_NAME(shortName, Base)                                                     \
    bool isInstanceOf(const char* name) override                                           \
    {                                                                                      \
        return lang::Object::isClassName(name, shortName) || Base::isInstanceOf(name);     \
    }                                                                                      \
    const char* getClassName() override { return shortName; }

namespace lang {

class Object : public ObjectI {
public:
    Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    void addRef() override;
    void release() override;
    void lock() override;
    void unlock() override;
    // Takes the monitor only when no other thread holds it; whether it did
    // (unlock then gives it back).
    bool tryLock();
    int hashCode() override;
    bool equals(Object* other) override;
    String toString() override;
    // Releases the monitor completely (however often it is held), waits for a
    // notification or the time-out, then takes the monitor back as often.
    void wait(int milliseconds) override;
    void wait() override;
    void notify() override;
    void notifyAll() override;
    virtual bool isInstanceOf(const char* name);
    virtual const char* getClassName();
    ~Object() override;

    // Whether name is the given short class name (null never is).
    static bool isClassName(const char* name, const char* shortName);

    // The current reference count (for tests and diagnostics).
    int getRefCount() const { return m_nRefCount; }

private:
    void makeMonitor();

    volatile LONG m_nRefCount;
    CRITICAL_SECTION m_monitor;
    HANDLE m_hWaitEvent;
    int m_nHoldCount;
    std::atomic<bool> m_bMonitorMade;
};

} // namespace lang

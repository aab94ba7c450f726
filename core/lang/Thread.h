// Thread.h: runs a Runnable on an operating-system thread of its own, with
// start, join with a time-out, and sleep.
#pragma once

#include "core/lang/Object.h"
#include "core/lang/Runnable.h"
#include "core/lang/String.h"

#include <atomic>

namespace lang {

class Thread : public Object, public Runnable {
public:
    // Takes a reference on the target (which may be null).
    explicit Thread(Runnable* target);
    ~Thread() override;

    // Starts a new thread running the target, unless a run is in progress.
    void start();
    // Waits until the thread ends or the time passes; 0 waits without limit.
    void join(int milliseconds);
    static void sleep(int milliseconds);
    bool isRunning() const { return m_bRunning; }

    // The Runnable face shares the Object part's count and monitor.
    void addRef() override { Object::addRef(); }
    void release() override { Object::release(); }
    void lock() override { Object::lock(); }
    void unlock() override { Object::unlock(); }
    int hashCode() override { return Object::hashCode(); }
    bool equals(Object* other) override { return Object::equals(other); }
    String toString() override;
    void wait(int milliseconds) override { Object::wait(milliseconds); }
    void wait() override { Object::wait(); }
    void notify() override { Object::notify(); }
    void notifyAll() override { Object::notifyAll(); }
    bool isInstanceOf(const char* name) override;
    const char* getClassName() override { return "Thread"; }
    void run() override {}

private:
    static unsigned threadProcedure(void* argument);

    Runnable* m_pTarget;
    std::atomic<bool> m_bRunning;
    HANDLE m_hThread;
};

} // namespace lang

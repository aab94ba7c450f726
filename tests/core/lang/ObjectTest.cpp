// Reference counts, monitors across real threads, class-name tests, Integer,
// Exception and Math.
#include "core/lang/Exception.h"
#include "core/lang/Integer.h"
#include "core/lang/Math.h"
#include "core/lang/Object.h"
#include "core/lang/Runnable.h"
#include "core/lang/String.h"
#include "core/lang/Synchronized.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

long msSince(SteadyClock::time_point t)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - t).count());
}

// Counts its destructions so tests can see exactly when an object dies.
class Tracked : public lang::Object {
public:
    explicit Tracked(int* deaths) : m_deaths(deaths) {}
    ~Tracked() override { ++*m_deaths; }

private:
    int* m_deaths;
};

TEST(ObjectModel, ReleaseDestroysExactlyOnceAtTheLastReference)
{
    int deaths = 0;
    auto* o = new Tracked(&deaths);
    EXPECT_EQ(o->getRefCount(), 1);
    o->addRef();
    EXPECT_EQ(o->getRefCount(), 2);
    o->release();
    EXPECT_EQ(deaths, 0);
    o->release();
    EXPECT_EQ(deaths, 1);
}

TEST(ObjectModel, ReferenceCountsAreAtomicAcrossThreads)
{
    int deaths = 0;
    auto* o = new Tracked(&deaths);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([o] {
            for (int i = 0; i < 50000; ++i) {
                o->addRef();
                o->release();
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(o->getRefCount(), 1);
    EXPECT_EQ(deaths, 0);
    o->release();
    EXPECT_EQ(deaths, 1);
}

TEST(ObjectModel, IdentityEqualityAndDefaults)
{
    lang::Object a, b;
    EXPECT_TRUE(a.equals(&a));
    EXPECT_FALSE(a.equals(&b));
    EXPECT_FALSE(a.equals(nullptr));
    EXPECT_EQ(a.hashCode(), 0);
    EXPECT_STREQ(a.toString().c_str(), "lang.Object");
    EXPECT_TRUE(a.isInstanceOf("Object"));
    EXPECT_FALSE(a.isInstanceOf("object")) << "class names are case-sensitive";
    EXPECT_FALSE(a.isInstanceOf(nullptr));
    EXPECT_STREQ(a.getClassName(), "Object");
}

TEST(Monitor, RecursiveLockThenFreeForOthers)
{
    lang::Object o;
    o.lock();
    o.lock();
    std::atomic<bool> entered{false};
    std::thread other([&] {
        o.lock();
        entered = true;
        o.unlock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(entered);
    o.unlock();
    o.unlock();
    other.join();
    EXPECT_TRUE(entered);
}

TEST(Monitor, WaitReleasesAMonitorHeldThreeTimesAndTakesItBack)
{
    lang::Object o;
    std::atomic<bool> otherEntered{false};
    o.lock();
    o.lock();
    o.lock();
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        lang::Synchronized guard(&o, true);
        otherEntered = true;
    });
    // A wait that times out before the other thread got in takes the monitor
    // back: wait again until it has been in, as a busy machine may keep it
    // from running for longer than one wait (20 s at the machine's pace is
    // a hang).
    testsupport::MachinePace waited;
    while (!otherEntered && waited.counted() < 20000)
        o.wait(200);
    if (!otherEntered) {
        o.unlock();
        o.unlock();
        o.unlock();
        other.join();
        FAIL() << "the waiting thread must have released its monitor";
    }
    other.join();
    // Still held three times: a third party cannot get in until three unlocks.
    std::atomic<bool> thirdEntered{false};
    std::thread third([&] {
        o.lock();
        thirdEntered = true;
        o.unlock();
    });
    o.unlock();
    o.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(thirdEntered);
    o.unlock();
    third.join();
    EXPECT_TRUE(thirdEntered);
}

TEST(Monitor, NotifyWakesEveryWaiter)
{
    lang::Object o;
    std::atomic<int> started{0}, woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i)
        waiters.emplace_back([&] {
            lang::Synchronized guard(&o);
            ++started;
            // Woken: back before the wait's time ran out.
            const auto notified = [&o](int ms) {
                const auto t0 = SteadyClock::now();
                o.wait(ms);
                return msSince(t0) < ms;
            };
            if (testsupport::waitAtPace(5000, notified))
                ++woken;
        });
    while (started < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Both waiters have reset the event and released the monitor once we get it.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    {
        lang::Synchronized guard(&o);
        o.notify();
    }
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken, 2) << "a manual-reset event wakes every waiter";
}

TEST(Monitor, NotifyAllWakesWaitersToo)
{
    lang::Object o;
    std::atomic<bool> woken{false};
    std::atomic<bool> waiting{false};
    std::thread waiter([&] {
        lang::Synchronized guard(&o);
        waiting = true;
        o.wait();
        woken = true;
    });
    while (!waiting)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    o.lock();
    o.notifyAll();
    o.unlock();
    waiter.join();
    EXPECT_TRUE(woken);
}

TEST(Monitor, NotifyBeforeWaitIsLost)
{
    lang::Object o;
    o.wait(1); // makes the event
    o.notify();
    auto t0 = SteadyClock::now();
    o.wait(100);
    EXPECT_GE(msSince(t0), 95) << "the wait resets the event first, so the earlier notify is lost";
}

TEST(Monitor, NotifyWithoutAnyWaitDoesNothing)
{
    lang::Object o;
    o.notify();
    o.notifyAll();
    SUCCEED();
}

TEST(ObjectModel, SynchronizedTakesAndDropsAReferenceUnlessAskedNotTo)
{
    int deaths = 0;
    auto* o = new Tracked(&deaths);
    {
        lang::Synchronized guard(o);
        EXPECT_EQ(o->getRefCount(), 2);
    }
    EXPECT_EQ(o->getRefCount(), 1);
    {
        lang::Synchronized guard(o, true);
        EXPECT_EQ(o->getRefCount(), 1);
    }
    o->release();
    EXPECT_EQ(deaths, 1);
}

TEST(ObjectModel, SynchronizedReleasesTheMonitorWhenAnExceptionLeaves)
{
    lang::Object o;
    try {
        lang::Synchronized guard(&o, true);
        throw new lang::Exception("Index out of range");
    } catch (lang::Exception* e) {
        EXPECT_STREQ(e->toString().c_str(), "Index out of range");
        e->release();
    }
    std::atomic<bool> entered{false};
    std::thread([&] {
        o.lock();
        entered = true;
        o.unlock();
    }).join();
    EXPECT_TRUE(entered);
}

// A class that is both an Object and a Runnable shares one count and monitor.
class Job : public lang::Object, public lang::Runnable {
public:
    void addRef() override { Object::addRef(); }
    void release() override { Object::release(); }
    void lock() override { Object::lock(); }
    void unlock() override { Object::unlock(); }
    int hashCode() override { return Object::hashCode(); }
    bool equals(lang::Object* other) override { return Object::equals(other); }
    lang::String toString() override { return Object::toString(); }
    void wait(int ms) override { Object::wait(ms); }
    void wait() override { Object::wait(); }
    void notify() override { Object::notify(); }
    void notifyAll() override { Object::notifyAll(); }
    bool isInstanceOf(const char* name) override
    {
        return Object::isInstanceOf(name) || Runnable::isInstanceOf(name);
    }
    const char* getClassName() override { return "Object"; }
    void run() override {}
};

TEST(ObjectModel, RunnableFaceSharesTheObjectsCount)
{
    auto* job = new Job;
    lang::Runnable* r = job;
    r->addRef();
    EXPECT_EQ(job->getRefCount(), 2);
    EXPECT_TRUE(job->isInstanceOf("Runnable"));
    EXPECT_TRUE(job->isInstanceOf("Object"));
    r->release();
    r->release();
}

TEST(Integer, EqualityHashAndParsing)
{
    lang::Integer five(5), otherFive(5), six(6);
    lang::String text("5");
    EXPECT_TRUE(five.equals(&otherFive));
    EXPECT_FALSE(five.equals(&six));
    EXPECT_FALSE(five.equals(&text));
    EXPECT_FALSE(five.equals(nullptr));
    EXPECT_EQ(five.hashCode(), 5);
    EXPECT_TRUE(five.isInstanceOf("Integer"));
    EXPECT_TRUE(five.isInstanceOf("Object"));
    EXPECT_EQ(lang::Integer::parseInt(" -12abc"), -12);
    EXPECT_EQ(lang::Integer::parseInt("\t+7"), 7);
    EXPECT_EQ(lang::Integer::parseInt("x12"), 0);
    EXPECT_EQ(lang::Integer::parseInt(""), 0);
    EXPECT_EQ(lang::Integer::parseInt(nullptr), 0);
    EXPECT_EQ(lang::Integer::parseInt("-2147483648"), INT_MIN);
}

TEST(Exception, CarriesItsMessageAndDiesOnRelease)
{
    auto* e = new lang::Exception(lang::String("Error Opening data.bin"));
    EXPECT_STREQ(e->toString().c_str(), "Error Opening data.bin");
    EXPECT_TRUE(e->isInstanceOf("Exception"));
    EXPECT_STREQ(e->getClassName(), "Exception");
    EXPECT_EQ(e->getRefCount(), 1);
    e->release();
}

TEST(Math, SmallHelpers)
{
    EXPECT_EQ(lang::Math::min(-1, 3), -1);
    EXPECT_EQ(lang::Math::max(-1, 3), 3);
    EXPECT_EQ(lang::Math::abs(-7), 7);
    EXPECT_EQ(lang::Math::abs(INT_MIN), INT_MIN);
    EXPECT_DOUBLE_EQ(lang::Math::abs(-2.5), 2.5);
}

TEST(Math, RandomIsBelowOneInStepsOf1Over32768)
{
    for (int i = 0; i < 10000; ++i) {
        double r = lang::Math::random();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        double scaled = r * 32768.0;
        ASSERT_EQ(scaled, double(int(scaled)));
    }
}

} // namespace

// Threads running Runnables, and the performance-counter timer on a fake clock.
#include "core/lang/Thread.h"
#include "core/lang/Timer.h"
#include "platform/kernel/Clock.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// A Runnable object that counts its runs and can be held inside run().
class Work : public lang::Object, public lang::Runnable {
public:
    std::atomic<int> runs{0};
    std::atomic<bool> hold{false};
    std::atomic<int>* deaths = nullptr;

    ~Work() override
    {
        if (deaths)
            ++*deaths;
    }
    void run() override
    {
        ++runs;
        while (hold)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void addRef() override { Object::addRef(); }
    void release() override { Object::release(); }
    void lock() override { Object::lock(); }
    void unlock() override { Object::unlock(); }
    int hashCode() override { return 0; }
    bool equals(lang::Object* o) override { return Object::equals(o); }
    lang::String toString() override { return Object::toString(); }
    void wait(int ms) override { Object::wait(ms); }
    void wait() override { Object::wait(); }
    void notify() override { Object::notify(); }
    void notifyAll() override { Object::notifyAll(); }
    bool isInstanceOf(const char* n) override { return Object::isInstanceOf(n); }
    const char* getClassName() override { return "Object"; }
};

TEST(Thread, RunsTheTargetAndJoins)
{
    auto* work = new Work;
    auto* t = new lang::Thread(work);
    EXPECT_EQ(work->getRefCount(), 2);
    t->start();
    t->join(0);
    EXPECT_EQ(work->runs, 1);
    EXPECT_FALSE(t->isRunning());
    t->release();
    EXPECT_EQ(work->getRefCount(), 1);
    work->release();
}

TEST(Thread, SecondStartWhileRunningIsIgnoredAndRestartAfterwardsWorks)
{
    auto* work = new Work;
    lang::Thread* t = new lang::Thread(work);
    work->hold = true;
    t->start();
    t->start();
    work->hold = false;
    t->join(0);
    EXPECT_EQ(work->runs, 1);
    t->start();
    t->join(0);
    EXPECT_EQ(work->runs, 2);
    t->release();
    work->release();
}

TEST(Thread, JoinWithATimeOutReturnsWhileTheThreadRuns)
{
    auto* work = new Work;
    lang::Thread* t = new lang::Thread(work);
    work->hold = true;
    t->start();
    auto t0 = SteadyClock::now();
    testsupport::MachinePace paced;
    t->join(10);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - t0).count();
    EXPECT_GE(ms, 9);
    EXPECT_LT(paced.counted(), 1000) << paced.load();
    EXPECT_TRUE(t->isRunning());
    work->hold = false;
    t->join(0);
    t->release();
    work->release();
}

TEST(Thread, ReleasingRightAfterStartKeepsTheThreadAliveUntilItsRunEnds)
{
    std::atomic<int> deaths{0};
    auto* work = new Work;
    work->deaths = &deaths;
    work->hold = true;
    auto* t = new lang::Thread(work);
    work->release(); // the thread now holds the only reference on the work
    t->start();
    t->release();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(deaths, 0) << "the running thread keeps the Thread, and so its target, alive";
    work->hold = false;
    testsupport::reachedAtPace(2000, [&deaths] { return deaths != 0; });
    EXPECT_EQ(deaths, 1);
}

TEST(Thread, AnswersAllThreeClassNames)
{
    lang::Thread t(nullptr);
    EXPECT_TRUE(t.isInstanceOf("Thread"));
    EXPECT_TRUE(t.isInstanceOf("Object"));
    EXPECT_TRUE(t.isInstanceOf("Runnable"));
    EXPECT_FALSE(t.isInstanceOf("String"));
    t.start(); // no target: runs nothing
    t.join(0);
}

TEST(Timer, TicksOnlyWhileStartedAndNeverGoesBackwards)
{
    platform::FakeClock fake(10000);
    platform::ScopedClock use(fake);
    lang::Timer timer;
    timer.tick();
    EXPECT_EQ(timer.getTime(), 0.0);
    EXPECT_EQ(timer.getDelta(), 0.0);
    timer.start();
    EXPECT_DOUBLE_EQ(timer.getTime(), 10.0);
    fake.advance(40);
    timer.tick();
    EXPECT_NEAR(timer.getDelta(), 0.040, 1e-9);
    EXPECT_NEAR(timer.getTime(), 10.040, 1e-9);
    fake.advance(16);
    timer.tick();
    EXPECT_NEAR(timer.getDelta(), 0.016, 1e-9);
    timer.stop();
    fake.advance(1000);
    timer.tick();
    EXPECT_NEAR(timer.getDelta(), 0.016, 1e-9) << "a stopped timer keeps its last values";
    EXPECT_NEAR(timer.getTime(), 10.056, 1e-9);
    EXPECT_NEAR(timer.now(), 11.056, 1e-9) << "now() advances while stopped";
    timer.start();
    fake.setTickCount(5000); // the counter jumps back
    timer.tick();
    EXPECT_EQ(timer.getDelta(), 0.0);
}

TEST(Timer, BaseTimerDoesNothing)
{
    lang::TimerBase base;
    base.start();
    base.tick();
    EXPECT_EQ(base.now(), 0.0);
    EXPECT_TRUE(base.isStopped());
}

} // namespace

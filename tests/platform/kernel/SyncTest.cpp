// Critical sections, events and interlocked counters across real threads.
#include "platform/kernel/Kernel.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long elapsedMs(Clock::time_point since)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);
    std::atomic<bool> entered{false};
    std::thread other([&] {
        EnterCriticalSection(&cs);
        entered = true;
        LeaveCriticalSection(&cs);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(entered);
    LeaveCriticalSection(&cs);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(entered) << "one leave of two must keep the section held";
    LeaveCriticalSection(&cs);
    other.join();
    EXPECT_TRUE(entered);
    DeleteCriticalSection(&cs);
}

TEST(Event, ManualResetWakesEveryWaiterAndStaysSignalled)
{
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            const auto signalled = [e](int ms) { return WaitForSingleObject(e, DWORD(ms)) == WAIT_OBJECT_0; };
            if (testsupport::waitAtPace(5000, signalled))
                ++woken;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(e);
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken, 3);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    ResetEvent(e);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(CloseHandle(e));
}

TEST(Event, AutoResetClearsAfterOneWait)
{
    HANDLE e = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
    CloseHandle(e);
}

TEST(Event, TimedWaitRunsItsFullTime)
{
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(e, 60), WAIT_TIMEOUT);
    EXPECT_GE(elapsedMs(start), 55);
    CloseHandle(e);
}

TEST(Event, BadHandlesFail)
{
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(Interlocked, CountsAreExactUnderContention)
{
    volatile LONG counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 100000; ++i) {
                InterlockedIncrement(&counter);
                InterlockedIncrement(&counter);
                InterlockedDecrement(&counter);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(counter, 400000);
    EXPECT_EQ(InterlockedExchange(&counter, 7), 400000);
    EXPECT_EQ(InterlockedCompareExchange(&counter, 9, 6), 7);
    EXPECT_EQ(counter, 7);
    EXPECT_EQ(InterlockedCompareExchange(&counter, 9, 7), 7);
    EXPECT_EQ(counter, 9);
}

} // namespace

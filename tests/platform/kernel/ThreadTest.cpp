// Threads: joining with a time-out, exit codes, ids, suspended start,
// priorities and closing the handle of a thread that still runs.
#include "platform/kernel/Kernel.h"
#include "platform/kernel/Thread.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// What a test thread sees: it records its id, waits for `release` and returns
// `result`.
struct Shared {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> id{0};
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    unsigned result = 0;

    ~Shared() { CloseHandle(release); }
};

unsigned crtRoutine(void* argument)
{
    auto* shared = static_cast<Shared*>(argument);
    shared->id = GetCurrentThreadId();
    shared->started = true;
    WaitForSingleObject(shared->release, INFINITE);
    unsigned result = shared->result;
    shared->finished = true; // the last touch of `shared`
    return result;
}

DWORD WINAPI winRoutine(LPVOID argument)
{
    return crtRoutine(argument);
}

// Whether the thread ends within five seconds at the machine's pace,
// waited for by the join with a time-out.
bool endsAtPace(HANDLE thread)
{
    const auto ended = [thread](int ms) { return WaitForSingleObject(thread, DWORD(ms)) == WAIT_OBJECT_0; };
    return testsupport::waitAtPace(5000, ended);
}

TEST(Thread, JoinTimesOutWhileRunningThenSucceeds)
{
    Shared shared;
    shared.result = 42;
    unsigned id = 0;
    HANDLE h = reinterpret_cast<HANDLE>(crtBeginThreadEx(nullptr, 0, crtRoutine, &shared, 0, &id));
    ASSERT_NE(h, nullptr);

    auto start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(h, 40), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 35);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    SetEvent(shared.release);
    EXPECT_TRUE(endsAtPace(h));
    EXPECT_TRUE(shared.finished);
    EXPECT_TRUE(GetExitCodeThread(h, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
    EXPECT_TRUE(CloseHandle(h));
}

TEST(Thread, ReportedIdIsTheIdInsideTheThread)
{
    Shared shared;
    SetEvent(shared.release);
    unsigned crtId = 0;
    HANDLE a = reinterpret_cast<HANDLE>(crtBeginThreadEx(nullptr, 0, crtRoutine, &shared, 0, &crtId));
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(endsAtPace(a));
    EXPECT_EQ(shared.id.load(), crtId);
    EXPECT_NE(crtId, GetCurrentThreadId());
    CloseHandle(a);

    Shared other;
    SetEvent(other.release);
    DWORD winId = 0;
    HANDLE b = CreateThread(nullptr, 0, winRoutine, &other, 0, &winId);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(endsAtPace(b));
    EXPECT_EQ(other.id.load(), winId);
    EXPECT_NE(winId, DWORD(crtId));
    CloseHandle(b);
}

TEST(Thread, SuspendedThreadRunsOnlyAfterResume)
{
    Shared shared;
    SetEvent(shared.release);
    shared.result = 7;
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, winRoutine, &shared, CREATE_SUSPENDED, &id);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(WaitForSingleObject(h, 30), WAIT_TIMEOUT);
    EXPECT_FALSE(shared.started);
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, STILL_ACTIVE);

    EXPECT_EQ(ResumeThread(h), 1u);
    EXPECT_TRUE(endsAtPace(h));
    EXPECT_EQ(shared.id.load(), id);
    EXPECT_EQ(ResumeThread(h), 0u);
    GetExitCodeThread(h, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(h);
}

TEST(Thread, ClosingTheHandleOfARunningThreadIsSafe)
{
    Shared shared;
    HANDLE h = CreateThread(nullptr, 0, winRoutine, &shared, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(CloseHandle(h));
    SetEvent(shared.release);
    EXPECT_TRUE(testsupport::reachedAtPace(5000, [&shared] { return shared.finished.load(); }));
}

TEST(Thread, PrioritiesAreRecordedAndChecked)
{
    Shared shared;
    SetEvent(shared.release);
    HANDLE h = CreateThread(nullptr, 0, winRoutine, &shared, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(h, THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(h), 15);
    EXPECT_TRUE(SetThreadPriority(h, THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_FALSE(SetThreadPriority(h, 7));
    EXPECT_EQ(GetThreadPriority(h), -1);
    ResumeThread(h);
    endsAtPace(h);
    CloseHandle(h);
}

TEST(Thread, CallsOnOtherHandlesFail)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD code = 0;
    EXPECT_EQ(ResumeThread(event), DWORD(-1));
    EXPECT_FALSE(SetThreadPriority(event, THREAD_PRIORITY_HIGHEST));
    EXPECT_EQ(GetThreadPriority(event), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_FALSE(GetExitCodeThread(event, &code));
    EXPECT_FALSE(GetExitCodeThread(nullptr, &code));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    CloseHandle(event);
}

} // namespace

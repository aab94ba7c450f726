// Window timers driven by the fake clock, set and killed from other threads.
#include "UserTestSupport.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace usertest;

namespace {

using Timers = UserTest;

struct ProcCall {
    HWND hwnd;
    UINT message;
    UINT_PTR id;
    DWORD time;
};
std::vector<ProcCall> g_procCalls;

void recordingTimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time)
{
    g_procCalls.push_back(ProcCall{hwnd, message, id, time});
}

int countTimers(HWND hwnd)
{
    int n = 0;
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE))
        ++n;
    return n;
}

TEST_F(Timers, FireWhenDueAndOnceForAnyBacklog)
{
    HWND frame = createFrame();
    EXPECT_EQ(SetTimer(frame, 1, 60, nullptr), 1u);
    EXPECT_EQ(countTimers(frame), 0);
    m_clock.advance(59);
    EXPECT_EQ(countTimers(frame), 0);
    m_clock.advance(1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, frame);
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_EQ(countTimers(frame), 0) << "next one 60 ms after this one";
    m_clock.advance(250);
    EXPECT_EQ(countTimers(frame), 1) << "a late timer is delivered once";
    log().clear();
    m_clock.advance(60);
    pump();
    ASSERT_EQ(log().of(WM_TIMER).size(), 1u) << "a plain timer reaches the window procedure";
    EXPECT_TRUE(KillTimer(frame, 1));
    EXPECT_FALSE(KillTimer(frame, 1));
    m_clock.advance(1000);
    EXPECT_EQ(countTimers(frame), 0);
}

TEST_F(Timers, IntervalsBelowTenMillisecondsBecomeTen)
{
    HWND frame = createFrame();
    const struct {
        UINT asked, period;
    } cases[] = {{0, 10}, {1, 10}, {9, 10}, {10, 10}, {11, 11}};
    for (const auto& c : cases) {
        SetTimer(frame, 3, c.asked, nullptr);
        for (int round = 0; round < 2; ++round) {
            m_clock.advance(c.period - 1);
            EXPECT_EQ(countTimers(frame), 0) << c.asked << " ms, round " << round;
            m_clock.advance(1);
            EXPECT_EQ(countTimers(frame), 1) << c.asked << " ms, round " << round;
        }
        KillTimer(frame, 3);
    }
}

TEST_F(Timers, TimerProcedureRunsFromDispatchInsteadOfTheWindow)
{
    g_procCalls.clear();
    HWND frame = createFrame();
    SetTimer(frame, 2, 16, recordingTimerProc);
    m_clock.advance(16);
    log().clear();
    pump();
    ASSERT_EQ(g_procCalls.size(), 1u);
    EXPECT_EQ(g_procCalls[0].hwnd, frame);
    EXPECT_EQ(g_procCalls[0].message, UINT(WM_TIMER));
    EXPECT_EQ(g_procCalls[0].id, 2u);
    EXPECT_EQ(g_procCalls[0].time, GetTickCount());
    EXPECT_TRUE(log().of(WM_TIMER).empty());

    // A WM_TIMER naming a procedure nobody gave SetTimer calls nothing.
    MSG forged{frame, WM_TIMER, 2, (LPARAM)&countTimers, 0, {0, 0}, 0};
    EXPECT_EQ(DispatchMessageA(&forged), 0);
}

TEST_F(Timers, ResettingATimerRestartsItsPeriod)
{
    HWND frame = createFrame();
    SetTimer(frame, 1, 60, nullptr);
    m_clock.advance(50);
    SetTimer(frame, 1, 60, nullptr);
    m_clock.advance(50);
    EXPECT_EQ(countTimers(frame), 0);
    m_clock.advance(10);
    EXPECT_EQ(countTimers(frame), 1);
}

TEST_F(Timers, SetAndKilledFromAnotherThreadButDeliveredOnTheWindowsThread)
{
    g_procCalls.clear();
    HWND frame = createFrame();
    SetTimer(frame, 1, 60, nullptr);
    std::thread loader([&] {
        // As the loader thread hands over: the loading timer goes, the game timer comes.
        KillTimer(frame, 1);
        SetTimer(frame, 2, 16, recordingTimerProc);
        m_clock.advance(16);
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "not this thread's timer";
    });
    loader.join();
    pump();
    ASSERT_EQ(g_procCalls.size(), 1u);
    EXPECT_EQ(g_procCalls[0].id, 2u);
    EXPECT_EQ(countTimers(frame), 0);
}

TEST_F(Timers, WaitingLoopWakesWhenTheClockReachesTheTimer)
{
    HWND frame = createFrame();
    pump();
    SetTimer(frame, 7, 16, nullptr);
    std::thread ticker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        m_clock.advance(16);
    });
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    ticker.join();
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(Timers, ThreadTimersGetTheirOwnIds)
{
    g_procCalls.clear();
    UINT_PTR a = SetTimer(nullptr, 0, 20, recordingTimerProc);
    UINT_PTR b = SetTimer(nullptr, 0, 20, nullptr);
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    m_clock.advance(20);
    MSG msg;
    int plain = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_EQ(msg.hwnd, nullptr);
        if (msg.message == WM_TIMER && msg.wParam == b)
            ++plain;
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(plain, 1);
    ASSERT_EQ(g_procCalls.size(), 1u);
    EXPECT_EQ(g_procCalls[0].id, a);
    EXPECT_TRUE(KillTimer(nullptr, a));
    EXPECT_TRUE(KillTimer(nullptr, b));
}

} // namespace

// The replaceable clock and the debugger output sink.
#include "platform/kernel/Kernel.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace {

TEST(Clock, FakeClockDrivesEveryTimeCall)
{
    platform::FakeClock fake(5000);
    platform::ScopedClock use(fake);
    EXPECT_EQ(GetTickCount(), 5000u);
    Sleep(250);
    EXPECT_EQ(GetTickCount(), 5250u);
    LARGE_INTEGER count, frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_EQ(count.QuadPart / frequency.QuadPart, 5);
    fake.advanceMicroseconds(1500);
    QueryPerformanceCounter(&count);
    EXPECT_EQ(count.QuadPart, 5251500);
}

TEST(Clock, TickCountWrapsAt32Bits)
{
    platform::FakeClock fake(0xFFFFFFF0u);
    platform::ScopedClock use(fake);
    DWORD before = GetTickCount();
    fake.advance(0x20);
    EXPECT_EQ(GetTickCount() - before, 0x20u) << "differences survive the wrap";
}

TEST(Clock, SystemClockIsMonotonicAfterRestore)
{
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    Sleep(2);
    QueryPerformanceCounter(&b);
    EXPECT_GT(b.QuadPart, a.QuadPart);
}

TEST(Clock, ThreadIdsAreDistinctAndStable)
{
    DWORD mine = GetCurrentThreadId();
    EXPECT_EQ(GetCurrentThreadId(), mine);
    EXPECT_NE(mine, 0u);
    DWORD other = 0;
    std::thread([&] { other = GetCurrentThreadId(); }).join();
    EXPECT_NE(other, mine);
}

TEST(DebugOutput, CaptureSeesEveryLine)
{
    platform::DebugCapture capture;
    OutputDebugStringA("Entering Frame::RestoreDevice\n");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("WM_SIZE, m_width = 800\n");
    EXPECT_EQ(capture.text(), "Entering Frame::RestoreDevice\nWM_SIZE, m_width = 800\n");
    capture.clear();
    EXPECT_EQ(capture.text(), "");
}

} // namespace

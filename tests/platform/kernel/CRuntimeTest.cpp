// The Windows runtime's generator and number format, and Windows-1252 text.
#include "platform/kernel/Kernel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

TEST(CrtRand, MatchesTheLinearCongruentialGenerator)
{
    crtSrand(1);
    // First values of the Windows runtime generator from seed 1.
    EXPECT_EQ(crtRand(), 41);
    EXPECT_EQ(crtRand(), 18467);
    EXPECT_EQ(crtRand(), 6334);
    crtSrand(12345);
    unsigned state = 12345;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        ASSERT_EQ(crtRand(), int((state >> 16) & 0x7FFF));
    }
}

TEST(CrtRand, StateIsPerThread)
{
    crtSrand(99);
    int first = crtRand();
    int otherFirst = -1;
    std::thread([&] {
        crtSrand(99);
        otherFirst = crtRand();
    }).join();
    EXPECT_EQ(first, otherFirst);
    crtSrand(99);
    crtRand();
    int second = crtRand();
    crtSrand(99);
    crtRand();
    std::thread([&] { crtRand(); crtRand(); }).join();
    EXPECT_EQ(crtRand(), second) << "another thread's draws must not disturb ours";
}

std::string gcvt(double v)
{
    char buffer[32];
    return crtGcvt(v, 9, buffer);
}

TEST(CrtGcvt, FormatsLikeTheWindowsRuntime)
{
    EXPECT_EQ(gcvt(3.0), "3.");
    EXPECT_EQ(gcvt(0.5), "0.5");
    EXPECT_EQ(gcvt(2.5), "2.5");
    EXPECT_EQ(gcvt(100.0), "100.");
    EXPECT_EQ(gcvt(0.25), "0.25");
    EXPECT_EQ(gcvt(0.05), "5.e-002");
    EXPECT_EQ(gcvt(1e10), "1.e+010");
    EXPECT_EQ(gcvt(123456789.0), "123456789.");
    EXPECT_EQ(gcvt(1234567890.0), "1.23456789e+009");
    EXPECT_EQ(gcvt(-0.125), "-0.125");
    EXPECT_EQ(gcvt(0.0), "0.");
    EXPECT_EQ(gcvt(1.0 / 3.0), "0.333333333");
    EXPECT_EQ(gcvt(2.0 / 3.0), "0.666666667");
    EXPECT_EQ(gcvt(99999.99999), "100000.");
}

TEST(AnsiText, CaseMappingCoversWindows1252Letters)
{
    char text[] = "abc\xe9\xff\x9a\xf7\xdf z";
    CharUpperA(text);
    EXPECT_STREQ(text, "ABC\xc9\x9f\x8a\xf7\xdf Z");
    CharLowerA(text);
    EXPECT_STREQ(text, "abc\xe9\xff\x9a\xf7\xdf z");
    EXPECT_EQ(platform::ansiToUpper(0xD7), 0xD7) << "the multiplication sign has no case";
}

TEST(AnsiText, Comparisons)
{
    EXPECT_EQ(lstrcmpA("abc", "abc"), 0);
    EXPECT_LT(lstrcmpA("abc", "abd"), 0);
    EXPECT_GT(lstrcmpA("abcd", "abc"), 0);
    EXPECT_NE(lstrcmpA("ABC", "abc"), 0);
    EXPECT_EQ(lstrcmpiA("ABC", "abc"), 0);
    EXPECT_EQ(lstrcmpiA("\xc9t\xc9", "\xe9t\xe9"), 0);
    EXPECT_LT(lstrcmpiA("apple", "Banana"), 0);
    EXPECT_EQ(lstrcmpA(nullptr, ""), 0);
    EXPECT_LT(lstrcmpiA(nullptr, "a"), 0);
    EXPECT_EQ(lstrlenA("four"), 4);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

} // namespace

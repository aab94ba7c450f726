// The system version the sound engine chooses its output by, the system
// folder, and the per-thread start of the component library.
#include "platform/audio/Com.h"
#include "platform/audio/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

TEST(SystemInfo, ReportsTheNtFamilyFromVersionFive)
{
    OSVERSIONINFOA info;
    std::memset(&info, 0xAB, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
    EXPECT_GE(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.szCSDVersion[0], '\0');
    info.dwOSVersionInfoSize = 12;
    EXPECT_FALSE(GetVersionExA(&info));
}

TEST(SystemInfo, SystemDirectoryReportsTheSizeItNeeds)
{
    char small[4];
    UINT needed = GetSystemDirectoryA(small, sizeof small);
    ASSERT_GT(needed, sizeof small);
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    EXPECT_EQ(length + 1, needed);
    EXPECT_EQ(std::strlen(path), length);
    EXPECT_EQ(path[0], '\\') << "a Windows-form path";
}

TEST(Com, InitialisationIsCountedPerThread)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    std::thread([] {
        EXPECT_EQ(CoInitialize(nullptr), S_OK);
        CoUninitialize();
    }).join();
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

} // namespace

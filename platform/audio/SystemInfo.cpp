// SystemInfo.cpp: the reported system version and the system folder.
#include "platform/audio/SystemInfo.h"

#include <cstring>

namespace {

// The system's shared libraries, as a Windows-form path.
constexpr const char* kSystemDirectory = "\\usr\\lib";

} // namespace

BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return TRUE;
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    const UINT length = UINT(std::strlen(kSystemDirectory));
    if (!buffer || size <= length)
        return length + 1;
    std::memcpy(buffer, kSystemDirectory, length + 1);
    return length;
}

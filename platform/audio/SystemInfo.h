// SystemInfo.h: the system's version and system folder, as the sound engine
// asks for them to choose its output.
#pragma once

#include "platform/Win32Types.h"

#define VER_PLATFORM_WIN32_NT 2

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;

// Reports the NT family, version 5.1: a system with the current sound
// outputs. FALSE unless dwOSVersionInfoSize is sizeof(OSVERSIONINFOA).
BOOL GetVersionExA(LPOSVERSIONINFOA info);

// The folder of system libraries, in Windows form. Returns the length without
// the NUL; when the buffer is too small, the size needed including the NUL
// (nothing written).
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);

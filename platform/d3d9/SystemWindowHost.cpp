// SystemWindowHost.cpp: forwards to the window layer.
#include "platform/d3d9/SystemWindowHost.h"

#include "platform/user/WindowSurface.h"

namespace platform::d3d9 {

bool SystemWindowHost::clientSize(HWND hwnd, int* width, int* height)
{
    return platform::windowClientSize(hwnd, width, height);
}

bool SystemWindowHost::present(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes,
                               const RECT* source, const RECT* dest, bool fullScreen)
{
    return platform::presentToWindow(hwnd, pixels, width, height, pitchBytes, source, dest, fullScreen);
}

bool SystemWindowHost::isActive(HWND hwnd) { return platform::windowIsActive(hwnd); }

uint32_t SystemWindowHost::displayModeGeneration() { return platform::displayModeGeneration(); }

} // namespace platform::d3d9

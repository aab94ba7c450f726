// WindowHost.h: what the graphics device needs of the window system: client
// sizes, showing frames, whether a window is active, and display-mode changes.
// Tests install a fake one through DeviceControls.
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>

namespace platform::d3d9 {

class WindowHost {
public:
    virtual ~WindowHost() = default;

    // Size of the window's client area; false when hwnd is not a window.
    virtual bool clientSize(HWND hwnd, int* width, int* height) = 0;
    // Shows a frame of 0xAARRGGBB words in the window's client area; the
    // frame of a full-screen device (fullScreen) covers the whole display.
    virtual bool present(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes,
                         const RECT* source, const RECT* dest, bool fullScreen) = 0;
    // Whether the window is the active foreground window and not minimised.
    virtual bool isActive(HWND hwnd) = 0;
    // A counter that changes whenever the display mode changes.
    virtual uint32_t displayModeGeneration() = 0;
};

} // namespace platform::d3d9

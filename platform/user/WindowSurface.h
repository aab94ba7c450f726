// WindowSurface.h: what the graphics device needs of the window layer: the
// size of a window's client area, showing a finished frame in it, and whether
// the window is active. Tests read presented frames back.
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>
#include <vector>

namespace platform {

// Size of the window's client area in pixels; false when hwnd is not a window.
bool windowClientSize(HWND hwnd, int* width, int* height);

// Shows a frame of 32-bit pixels (0xAARRGGBB words, alpha ignored) in the
// window's client area: the `source` rectangle of the frame (null: all of it)
// scaled to the `dest` rectangle of the client area (null: all of it). In full
// screen the backend scales and letterboxes the client area to the display.
// A full-screen device's frame (fullScreen) covers the whole display: the
// top-level window shows it in place of its children's pictures until a
// windowed present into it or one of its children. False when hwnd is not a
// window.
bool presentToWindow(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes,
                     const RECT* source, const RECT* dest, bool fullScreen = false);

// The window's client area as last presented (tests read frames back). False
// when hwnd is not a window or nothing was presented to it yet.
bool readWindowFrame(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height);

// Whether the window's top-level window is the active foreground window and
// not minimised.
bool windowIsActive(HWND hwnd);

// Counts display-mode changes (ChangeDisplaySettingsA calls that changed the
// mode, or left full screen); a device compares it to notice a mode change.
uint32_t displayModeGeneration();

} // namespace platform

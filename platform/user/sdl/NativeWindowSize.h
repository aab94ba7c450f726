// NativeWindowSize.h: the size a window really has on the display, which is
// not always the size SDL records: without a window manager a full-screen
// request leaves the window as it was, while SDL counts it display-sized.
#pragma once

struct SDL_Window;

namespace platform {

// The window's size as the windowing system has it, or SDL's record of it
// where the system cannot be asked.
void nativeWindowSize(SDL_Window* window, int& width, int& height);

} // namespace platform

// WindowSurface.cpp: placeholder until the window layer lands; no windows exist.
#include "platform/user/WindowSurface.h"

namespace platform {

bool windowClientSize(HWND, int*, int*) { return false; }
bool presentToWindow(HWND, const uint32_t*, int, int, int, const RECT*, const RECT*) { return false; }
bool readWindowFrame(HWND, std::vector<uint32_t>&, int&, int&) { return false; }
bool windowIsActive(HWND) { return false; }
uint32_t displayModeGeneration() { return 0; }

} // namespace platform

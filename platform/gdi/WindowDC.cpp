// WindowDC.cpp: placeholder until the GDI layer lands.
#include "platform/gdi/WindowDC.h"

namespace platform {

HDC createWindowDC(HWND, int, int) { return nullptr; }
void deleteWindowDC(HDC) {}

} // namespace platform

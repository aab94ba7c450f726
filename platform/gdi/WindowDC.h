// WindowDC.h: device contexts that belong to windows. The window layer makes
// one for GetDC and BeginPaint; it draws into memory of the client area's size.
#pragma once

#include "platform/Win32Types.h"

namespace platform {

// A device context for a window's client area of the given size.
HDC createWindowDC(HWND hwnd, int width, int height);
// Frees a device context made by createWindowDC.
void deleteWindowDC(HDC dc);

} // namespace platform

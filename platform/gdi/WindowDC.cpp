// WindowDC.cpp: device contexts of windows, each drawing into a buffer of the
// client area's size.
#include "platform/gdi/WindowDC.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiHandleTable.h"

namespace platform {

HDC createWindowDC(HWND hwnd, int width, int height)
{
    return static_cast<HDC>(GdiHandleTable::instance().add(DeviceContext::createWindow(hwnd, width, height)));
}

void deleteWindowDC(HDC dc)
{
    auto context = GdiHandleTable::instance().get<DeviceContext>(dc);
    if (context && !context->isMemory())
        GdiHandleTable::instance().remove(dc);
}

} // namespace platform

// Painting.cpp: invalid areas, WM_PAINT through BeginPaint and EndPaint, and
// the device contexts of windows.
#include "platform/gdi/WindowDC.h"
#include "platform/user/Display.h"
#include "platform/user/Window.h"
#include "platform/user/core/WindowManager.h"

using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    if (!hwnd) {
        // Every window.
        for (auto& kv : wm().windows)
            wm().invalidate(*kv.second, nullptr, erase != FALSE);
        return TRUE;
    }
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return FALSE;
    wm().invalidate(*w, rect, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return FALSE;
    if (!w->updatePending)
        return TRUE;
    // The invalid area is kept as a box: it goes once the validated rectangle covers it.
    if (!rect || (rect->left <= w->updateRect.left && rect->top <= w->updateRect.top &&
                  rect->right >= w->updateRect.right && rect->bottom >= w->updateRect.bottom)) {
        w->updatePending = false;
        w->erasePending = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    bool paint;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return FALSE;
        paint = w->updatePending && wm().isVisible(*w) && !w->isIconic();
    }
    if (paint)
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    if (!paint)
        return nullptr;
    RECT area{0, 0, 0, 0};
    bool erase;
    int cw, ch;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return nullptr;
        if (w->updatePending)
            area = w->updateRect;
        erase = w->erasePending;
        w->updatePending = false;
        w->erasePending = false;
        WindowManager::clientSize(*w, cw, ch);
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = platform::createWindowDC(hwnd, cw, ch);
    paint->rcPaint = area;
    paint->fErase = FALSE;
    if (erase)
        paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, (WPARAM)paint->hdc, 0) ? FALSE : TRUE;
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint)
{
    if (paint && paint->hdc)
        platform::deleteWindowDC(paint->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    int cw, ch;
    if (!hwnd) {
        platform::DisplayMode mode = platform::currentDisplayMode();
        return platform::createWindowDC(nullptr, mode.width, mode.height);
    }
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return nullptr;
        WindowManager::clientSize(*w, cw, ch);
    }
    return platform::createWindowDC(hwnd, cw, ch);
}

int ReleaseDC(HWND, HDC dc)
{
    if (!dc)
        return 0;
    platform::deleteWindowDC(dc);
    return 1;
}

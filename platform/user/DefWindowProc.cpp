// DefWindowProc.cpp: what a window does with a message its procedure leaves
// to the default.
#include "platform/user/Backend.h"
#include "platform/user/Cursors.h"
#include "platform/user/Input.h"
#include "platform/user/Window.h"
#include "platform/user/core/WindowManager.h"

using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace {

LRESULT setCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    HWND parent = nullptr;
    HCURSOR classCursor = nullptr;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return FALSE;
        if (w->isChild())
            parent = w->parent;
        if (w->windowClass)
            classCursor = w->windowClass->cursor;
    }
    // The parent decides first.
    if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    if (LOWORD(lParam) == HTCLIENT && (HWND)wParam == hwnd) {
        if (classCursor)
            SetCursor(classCursor);
        return TRUE;
    }
    return FALSE;
}

void positionChanged(HWND hwnd, const WINDOWPOS* pos)
{
    if (!pos)
        return;
    LPARAM origin, size;
    WPARAM kind;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return;
        POINT o = WindowManager::clientOriginInParent(*w);
        int cw, ch;
        WindowManager::clientSize(*w, cw, ch);
        origin = MAKELPARAM(o.x, o.y);
        kind = w->isIconic() ? SIZE_MINIMIZED : SIZE_RESTORED;
        size = w->isIconic() ? 0 : MAKELPARAM(cw, ch);
    }
    if (!(pos->flags & SWP_NOCLIENTMOVE))
        SendMessageA(hwnd, WM_MOVE, 0, origin);
    if (!(pos->flags & SWP_NOCLIENTSIZE))
        SendMessageA(hwnd, WM_SIZE, kind, size);
}

HWND topLevelOf(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().topLevelOf(hwnd);
}

} // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps))
            EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        // Only a class with a background brush erases.
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        return w && w->windowClass && w->windowClass->background ? 1 : 0;
    }
    case WM_SETCURSOR:
        return setCursorDefault(hwnd, wParam, lParam);
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGED:
        positionChanged(hwnd, (const WINDOWPOS*)lParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0)
            SetFocus(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the top-level window.
        if (wParam == VK_F4 && (lParam & (1 << 29))) {
            if (HWND top = topLevelOf(hwnd))
                SendMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SETTEXT: {
        std::string title = lParam ? (const char*)lParam : "";
        bool topLevel;
        {
            std::lock_guard<std::mutex> lock(wm().mutex);
            WindowRecord* w = wm().find(hwnd);
            if (!w)
                return FALSE;
            w->title = title;
            topLevel = !w->isChild();
        }
        if (topLevel)
            platform::windowBackend().windowTitled(hwnd, title);
        return TRUE;
    }
    case WM_POWERBROADCAST:
        return TRUE;
    default:
        return 0;
    }
}

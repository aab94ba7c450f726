// Windows.cpp: window classes, creating and destroying windows, placement,
// showing, minimising, and the window's long values and title.
#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/Display.h"
#include "platform/user/Input.h"
#include "platform/user/Window.h"
#include "platform/user/core/FrameRecorder.h"
#include "platform/user/core/WindowManager.h"

#include "platform/kernel/AnsiText.h"

#include <algorithm>
#include <unistd.h>

using platform::user::WindowClassRecord;
using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace {

std::shared_ptr<WindowClassRecord> findClass(WindowManager& m, LPCSTR name)
{
    if (!name)
        return nullptr;
    for (auto& c : m.classes) {
        if (IS_INTRESOURCE(name) ? c->atom == ATOM(ULONG_PTR(name)) : lstrcmpiA(c->name.c_str(), name) == 0)
            return c;
    }
    return nullptr;
}

} // namespace

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !*wc->lpszClassName)
        return 0;
    std::lock_guard<std::mutex> lock(wm().mutex);
    if (findClass(wm(), wc->lpszClassName))
        return 0;
    auto c = std::make_shared<WindowClassRecord>();
    c->name = wc->lpszClassName;
    c->atom = wm().nextAtom++;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->instance = wc->hInstance;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    wm().classes.push_back(c);
    return c->atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    auto c = findClass(wm(), className);
    if (!c)
        return FALSE;
    for (auto& kv : wm().windows)
        if (kv.second->windowClass == c)
            return FALSE;
    auto& v = wm().classes;
    v.erase(std::remove(v.begin(), v.end(), c), v.end());
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    WindowManager& m = wm();
    HWND hwnd;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        auto c = findClass(m, className);
        if (!c)
            return nullptr;
        WindowRecord* parentRecord = parent ? m.find(parent) : nullptr;
        if ((style & WS_CHILD) && !parentRecord)
            return nullptr;
        if (parent && !parentRecord)
            return nullptr;
        if (x == CW_USEDEFAULT) {
            x = 0;
            y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = 640;
            height = 480;
        }
        auto w = std::make_shared<WindowRecord>();
        // Handles are never reused, so a stale one never names a new window.
        m.nextHandle += 4;
        hwnd = (HWND)(uintptr_t)(0x10000 + m.nextHandle);
        w->hwnd = hwnd;
        w->windowClass = c;
        w->proc = c->proc;
        w->style = style & ~WS_VISIBLE; // shown below, after WM_CREATE
        w->exStyle = exStyle;
        w->parent = parent;
        w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
        w->title = windowName ? windowName : "";
        w->id = (style & WS_CHILD) ? LONG_PTR(menu) : 0;
        w->instance = instance;
        w->threadId = GetCurrentThreadId();
        w->queue = m.currentQueue();
        m.resizeSurface(*w);
        m.windows[hwnd] = w;
        if (style & WS_CHILD)
            parentRecord->children.insert(parentRecord->children.begin(), hwnd);
        else
            m.topLevels.insert(m.topLevels.begin(), hwnd);
    }
    if (!(style & WS_CHILD)) {
        RECT client;
        {
            std::lock_guard<std::mutex> lock(m.mutex);
            WindowRecord* w = m.find(hwnd);
            POINT o = m.clientOriginOnScreen(*w);
            int cw, ch;
            WindowManager::clientSize(*w, cw, ch);
            client = RECT{o.x, o.y, o.x + cw, o.y + ch};
        }
        platform::windowBackend().windowCreated(hwnd, client);
        platform::windowBackend().windowTitled(hwnd, windowName ? windowName : "");
    }
    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cy = height;
    cs.cx = width;
    cs.y = y;
    cs.x = x;
    cs.style = LONG(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!m.send(hwnd, WM_NCCREATE, 0, (LPARAM)&cs)) {
        m.send(hwnd, WM_NCDESTROY, 0, 0);
        {
            std::lock_guard<std::mutex> lock(m.mutex);
            m.forgetWindow(hwnd);
        }
        if (!(style & WS_CHILD))
            platform::windowBackend().windowDestroyed(hwnd);
        return nullptr;
    }
    if (m.send(hwnd, WM_CREATE, 0, (LPARAM)&cs) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if ((style & WS_VISIBLE) && IsWindow(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

void WindowManager::destroyTree(HWND hwnd)
{
    std::vector<HWND> children;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w)
            return;
        w->destroying = true;
        children = w->children;
    }
    send(hwnd, WM_DESTROY, 0, 0);
    for (HWND c : children)
        destroyTree(c);
    send(hwnd, WM_NCDESTROY, 0, 0);
    bool topLevel;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w)
            return;
        topLevel = !w->isChild();
        forgetWindow(hwnd);
    }
    if (topLevel)
        windowBackend().windowDestroyed(hwnd);
}

bool WindowManager::destroy(HWND hwnd)
{
    HWND top;
    bool lostActive, lostFocus, lostCapture;
    std::vector<uint32_t> lastPixels;
    int lastWidth = 0, lastHeight = 0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w || w->destroying || w->threadId != GetCurrentThreadId())
            return false;
        top = w->isChild() ? nullptr : hwnd;
        if (top)
            compose(top, lastPixels, lastWidth, lastHeight);
        auto inside = [&](HWND h) {
            for (const WindowRecord* r = find(h); r; r = r->isChild() ? find(r->parent) : nullptr)
                if (r->hwnd == hwnd)
                    return true;
            return false;
        };
        lostActive = top && active == hwnd;
        lostFocus = focus && inside(focus);
        lostCapture = capture && inside(capture);
        w->style &= ~WS_VISIBLE;
    }
    FrameRecorder::frameShown(lastPixels.data(), lastWidth, lastHeight, true);
    if (lostCapture)
        releaseCapture();
    if (lostActive)
        activate(nullptr, WA_INACTIVE, false);
    if (lostFocus) {
        HWND old = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex);
            old = focus;
            focus = nullptr;
        }
        if (old)
            send(old, WM_KILLFOCUS, 0, 0);
    }
    if (top)
        windowBackend().windowShown(top, false);
    destroyTree(hwnd);
    return true;
}

BOOL DestroyWindow(HWND hwnd)
{
    return wm().destroy(hwnd) ? TRUE : FALSE;
}

BOOL IsWindow(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().find(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    return w && wm().isVisible(*w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    return w && w->isIconic() ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    while (w && w->isChild()) {
        if (w->parent == parent)
            return TRUE;
        w = wm().find(w->parent);
    }
    return FALSE;
}

HWND GetParent(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    return w ? w->parent : nullptr;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (processId)
        *processId = w ? DWORD(getpid()) : 0;
    return w ? w->threadId : 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return 0;
    LONG_PTR old = 0;
    switch (index) {
    case GWL_USERDATA:
        old = w->userData;
        w->userData = value;
        break;
    case GWL_WNDPROC:
        old = (LONG_PTR)w->proc;
        w->proc = (WNDPROC)value;
        break;
    case GWL_STYLE:
        old = LONG_PTR(w->style);
        w->style = DWORD(value);
        break;
    case GWL_EXSTYLE:
        old = LONG_PTR(w->exStyle);
        w->exStyle = DWORD(value);
        break;
    case GWL_ID:
        old = w->id;
        w->id = value;
        break;
    case GWL_HINSTANCE:
        old = (LONG_PTR)w->instance;
        w->instance = (HINSTANCE)value;
        break;
    default:
        break;
    }
    return old;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return 0;
    switch (index) {
    case GWL_USERDATA:
        return w->userData;
    case GWL_WNDPROC:
        return (LONG_PTR)w->proc;
    case GWL_STYLE:
        return LONG_PTR(w->style);
    case GWL_EXSTYLE:
        return LONG_PTR(w->exStyle);
    case GWL_ID:
        return w->id;
    case GWL_HINSTANCE:
        return (LONG_PTR)w->instance;
    case GWL_HWNDPARENT:
        return (LONG_PTR)w->parent;
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR value)
{
    return SetWindowLongPtrA(hwnd, index, value);
}

LONG_PTR GetWindowLongA(HWND hwnd, int index)
{
    return GetWindowLongPtrA(hwnd, index);
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    if (!IsWindow(hwnd))
        return FALSE;
    return wm().send(hwnd, WM_SETTEXT, 0, (LPARAM)(text ? text : "")) ? TRUE : FALSE;
}

bool WindowManager::setWindowPos(const WINDOWPOS& request, bool stateChanged)
{
    const HWND hwnd = request.hwnd;
    WINDOWPOS pos = request;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w)
            return false;
        if (pos.flags & SWP_NOMOVE) {
            pos.x = w->rect.left;
            pos.y = w->rect.top;
        }
        if (pos.flags & SWP_NOSIZE) {
            pos.cx = w->rect.right - w->rect.left;
            pos.cy = w->rect.bottom - w->rect.top;
        }
    }
    if (!(pos.flags & SWP_NOSENDCHANGING))
        send(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);

    bool topLevel, wasVisible, nowVisible, placed;
    RECT clientOnScreen{};
    WINDOWPOS done = pos;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w)
            return false;
        topLevel = !w->isChild();
        wasVisible = (w->style & WS_VISIBLE) != 0;
        POINT oldOrigin = clientOriginInParent(*w);
        int oldW, oldH;
        clientSize(*w, oldW, oldH);
        RECT r = w->rect;
        if (!(pos.flags & SWP_NOMOVE)) {
            LONG width = r.right - r.left, height = r.bottom - r.top;
            r = RECT{pos.x, pos.y, pos.x + width, pos.y + height};
        }
        if (!(pos.flags & SWP_NOSIZE)) {
            r.right = r.left + std::max(pos.cx, 0);
            r.bottom = r.top + std::max(pos.cy, 0);
        }
        w->rect = r;
        if (!(pos.flags & SWP_NOZORDER)) {
            if (pos.hwndInsertAfter == HWND_TOPMOST)
                w->exStyle |= WS_EX_TOPMOST;
            else if (pos.hwndInsertAfter == HWND_NOTOPMOST)
                w->exStyle &= ~WS_EX_TOPMOST;
            if (topLevel && pos.hwndInsertAfter != HWND_BOTTOM) {
                topLevels.erase(std::remove(topLevels.begin(), topLevels.end(), hwnd), topLevels.end());
                topLevels.insert(topLevels.begin(), hwnd);
            }
        }
        if (pos.flags & SWP_SHOWWINDOW)
            w->style |= WS_VISIBLE;
        if (pos.flags & SWP_HIDEWINDOW)
            w->style &= ~WS_VISIBLE;
        nowVisible = (w->style & WS_VISIBLE) != 0;
        POINT newOrigin = clientOriginInParent(*w);
        int newW, newH;
        clientSize(*w, newW, newH);
        bool moved = newOrigin.x != oldOrigin.x || newOrigin.y != oldOrigin.y;
        bool sized = newW != oldW || newH != oldH;
        done.x = r.left;
        done.y = r.top;
        done.cx = r.right - r.left;
        done.cy = r.bottom - r.top;
        if (!moved && !stateChanged)
            done.flags |= SWP_NOCLIENTMOVE;
        if (!sized && !stateChanged)
            done.flags |= SWP_NOCLIENTSIZE;
        if (sized)
            resizeSurface(*w);
        if ((sized || stateChanged || (nowVisible && !wasVisible)) && !(pos.flags & SWP_NOREDRAW))
            invalidate(*w, nullptr, true);
        placed = moved || sized;
        POINT o = clientOriginOnScreen(*w);
        clientOnScreen = RECT{o.x, o.y, o.x + newW, o.y + newH};
    }
    if (topLevel) {
        if (placed)
            windowBackend().windowPlaced(hwnd, clientOnScreen);
        if (nowVisible != wasVisible)
            windowBackend().windowShown(hwnd, nowVisible);
    }
    send(hwnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&done);

    if (topLevel && nowVisible && !(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)))
        activate(hwnd, WA_ACTIVE, false);
    if (wasVisible && !nowVisible) {
        HWND oldFocus = nullptr;
        bool wasActive;
        {
            std::lock_guard<std::mutex> lock(mutex);
            wasActive = active == hwnd;
            if (focus && (focus == hwnd || (!topLevel && topLevelOf(focus) == topLevelOf(hwnd)))) {
                // A hidden window cannot keep the focus.
                for (const WindowRecord* r = find(focus); r; r = r->isChild() ? find(r->parent) : nullptr)
                    if (r->hwnd == hwnd) {
                        oldFocus = focus;
                        focus = nullptr;
                        break;
                    }
            }
        }
        if (oldFocus)
            send(oldFocus, WM_KILLFOCUS, 0, 0);
        if (wasActive)
            activate(nullptr, WA_INACTIVE, false);
    }
    return true;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags & ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE)};
    return wm().setWindowPos(pos, false) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

void WindowManager::setMinimized(HWND hwnd, bool minimized, bool fromSystem)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w || w->isChild() || w->isIconic() == minimized)
            return;
        if (minimized)
            w->style |= WS_MINIMIZE;
        else
            w->style &= ~WS_MINIMIZE;
    }
    WINDOWPOS pos{hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED};
    setWindowPos(pos, true);
    if (!fromSystem)
        windowBackend().windowMinimized(hwnd, minimized);
    bool wasActive;
    {
        std::lock_guard<std::mutex> lock(mutex);
        wasActive = active == hwnd;
    }
    if (minimized && wasActive)
        activate(nullptr, WA_INACTIVE, fromSystem);
}

bool WindowManager::showWindow(HWND hwnd, int command)
{
    bool wasVisible, topLevel, iconic, firstShow = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w)
            return false;
        wasVisible = (w->style & WS_VISIBLE) != 0;
        topLevel = !w->isChild();
        iconic = w->isIconic();
    }
    if (command == SW_HIDE) {
        if (!wasVisible)
            return false;
        send(hwnd, WM_SHOWWINDOW, FALSE, 0);
        WINDOWPOS pos{hwnd, nullptr, 0, 0, 0, 0,
                      SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE};
        setWindowPos(pos, false);
        return true;
    }
    bool minimize = command == SW_SHOWMINIMIZED || command == SW_MINIMIZE || command == SW_SHOWMINNOACTIVE ||
                    command == SW_FORCEMINIMIZE;
    bool restore = command == SW_SHOWNORMAL || command == SW_RESTORE || command == SW_SHOWDEFAULT ||
                   command == SW_SHOWMAXIMIZED;
    bool activates = topLevel && (command == SW_SHOWNORMAL || command == SW_SHOWMAXIMIZED || command == SW_SHOW ||
                                  command == SW_RESTORE || command == SW_SHOWDEFAULT);
    if (!wasVisible) {
        send(hwnd, WM_SHOWWINDOW, TRUE, 0);
        WINDOWPOS pos{hwnd, nullptr, 0, 0, 0, 0,
                      SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE};
        setWindowPos(pos, false);
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (w && !w->shownOnce) {
            w->shownOnce = true;
            firstShow = true;
        }
    }
    if (firstShow) {
        // The first time a window shows, it learns its size and place.
        LPARAM size = 0, origin = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            WindowRecord* w = find(hwnd);
            if (!w)
                return wasVisible;
            int cw, ch;
            clientSize(*w, cw, ch);
            POINT o = clientOriginInParent(*w);
            size = MAKELPARAM(cw, ch);
            origin = MAKELPARAM(o.x, o.y);
        }
        send(hwnd, WM_SIZE, SIZE_RESTORED, size);
        send(hwnd, WM_MOVE, 0, origin);
    }
    if (minimize && topLevel)
        setMinimized(hwnd, true, false);
    else if (restore && iconic)
        setMinimized(hwnd, false, false);
    if (activates && !minimize) {
        activate(hwnd, WA_ACTIVE, false);
    }
    return wasVisible;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    return wm().showWindow(hwnd, command) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    if (!rect)
        return FALSE;
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return FALSE;
    RECT r = w->rect;
    if (w->isChild()) {
        if (WindowRecord* p = wm().find(w->parent)) {
            POINT o = wm().clientOriginOnScreen(*p);
            r.left += o.x;
            r.right += o.x;
            r.top += o.y;
            r.bottom += o.y;
        }
    }
    *rect = r;
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    if (!rect)
        return FALSE;
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return FALSE;
    int cw, ch;
    WindowManager::clientSize(*w, cw, ch);
    *rect = RECT{0, 0, cw, ch};
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect)
        return FALSE;
    int fx = 0, fy = 0;
    if (style & WS_THICKFRAME) {
        fx = GetSystemMetrics(SM_CXFRAME);
        fy = GetSystemMetrics(SM_CYFRAME);
    } else if (style & WS_DLGFRAME) {
        fx = GetSystemMetrics(SM_CXDLGFRAME);
        fy = GetSystemMetrics(SM_CYDLGFRAME);
    } else if (style & WS_BORDER) {
        fx = GetSystemMetrics(SM_CXBORDER);
        fy = GetSystemMetrics(SM_CYBORDER);
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        fx += 2;
        fy += 2;
    }
    rect->left -= fx;
    rect->right += fx;
    rect->top -= fy;
    rect->bottom += fy;
    if ((style & WS_CAPTION) == WS_CAPTION)
        rect->top -= GetSystemMetrics(SM_CYCAPTION);
    if (menu && !(style & WS_CHILD))
        rect->top -= GetSystemMetrics(SM_CYMENU);
    return TRUE;
}

namespace {

// Moves a point by the window's client origin on the screen, times `sign`.
BOOL shiftByClientOrigin(HWND hwnd, LPPOINT point, int sign)
{
    if (!point)
        return FALSE;
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return FALSE;
    POINT o = wm().clientOriginOnScreen(*w);
    point->x += sign * o.x;
    point->y += sign * o.y;
    return TRUE;
}

} // namespace

BOOL ScreenToClient(HWND hwnd, LPPOINT point)
{
    return shiftByClientOrigin(hwnd, point, -1);
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point)
{
    return shiftByClientOrigin(hwnd, point, 1);
}

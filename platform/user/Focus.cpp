// Focus.cpp: window activation, the keyboard focus and the mouse capture.
#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "platform/user/Window.h"
#include "platform/user/core/WindowManager.h"

#include <algorithm>

using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace {

// A window handle as the calling thread may see it: windows of other threads
// read as null, as the system answers for focus, activation and capture.
HWND ownedByCaller(WindowManager& m, HWND hwnd)
{
    const WindowRecord* w = m.find(hwnd);
    return w && w->threadId == GetCurrentThreadId() ? hwnd : nullptr;
}

} // namespace

namespace platform {
namespace user {

void WindowManager::activate(HWND top, WORD how, bool fromSystem)
{
    HWND old;
    bool oldIconic = false, newIconic = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (top) {
            top = topLevelOf(top);
            if (!top)
                return;
        }
        old = active;
        if (old == top)
            return;
        active = top;
        if (const WindowRecord* o = find(old))
            oldIconic = o->isIconic();
        if (const WindowRecord* n = find(top)) {
            newIconic = n->isIconic();
            topLevels.erase(std::remove(topLevels.begin(), topLevels.end(), top), topLevels.end());
            topLevels.insert(topLevels.begin(), top);
        }
    }
    if (old)
        send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, oldIconic ? 1 : 0), (LPARAM)top);
    if (!top) {
        // The program lost the system's focus: no window keeps the keyboard
        // focus or the mouse capture.
        HWND oldFocus;
        {
            std::lock_guard<std::mutex> lock(mutex);
            oldFocus = focus;
            focus = nullptr;
        }
        if (oldFocus)
            send(oldFocus, WM_KILLFOCUS, 0, 0);
        releaseCapture();
        return;
    }
    if (!fromSystem)
        windowBackend().windowRaised(top);
    send(top, WM_ACTIVATE, MAKEWPARAM(how, newIconic ? 1 : 0), (LPARAM)old);
}

HWND WindowManager::setFocus(HWND hwnd)
{
    HWND previous, top = nullptr;
    bool needActivation = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (hwnd) {
            WindowRecord* w = find(hwnd);
            if (!w || w->threadId != GetCurrentThreadId())
                return nullptr;
            top = topLevelOf(hwnd);
            needActivation = active != top;
        }
        previous = ownedByCaller(*this, focus);
        if (hwnd == focus)
            return previous;
    }
    if (needActivation) {
        activate(top, WA_ACTIVE, false);
        std::lock_guard<std::mutex> lock(mutex);
        if (!find(hwnd))
            return nullptr;
        if (focus == hwnd)
            return previous;
    }
    HWND old;
    {
        std::lock_guard<std::mutex> lock(mutex);
        old = focus;
        focus = hwnd;
    }
    if (old)
        send(old, WM_KILLFOCUS, (WPARAM)hwnd, 0);
    bool stillFocus;
    {
        std::lock_guard<std::mutex> lock(mutex);
        stillFocus = hwnd && focus == hwnd;
    }
    if (stillFocus)
        send(hwnd, WM_SETFOCUS, (WPARAM)old, 0);
    return previous;
}

HWND WindowManager::setCapture(HWND hwnd)
{
    HWND previous;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!find(hwnd))
            return nullptr;
        previous = capture;
        capture = hwnd;
    }
    if (previous && previous != hwnd)
        send(previous, WM_CAPTURECHANGED, 0, (LPARAM)hwnd);
    return previous;
}

void WindowManager::releaseCapture()
{
    HWND old;
    {
        std::lock_guard<std::mutex> lock(mutex);
        old = capture;
        capture = nullptr;
    }
    if (old)
        send(old, WM_CAPTURECHANGED, 0, 0);
}

} // namespace user
} // namespace platform

HWND SetFocus(HWND hwnd)
{
    return wm().setFocus(hwnd);
}

HWND GetFocus()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return ownedByCaller(wm(), wm().focus);
}

HWND GetActiveWindow()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return ownedByCaller(wm(), wm().active);
}

HWND GetForegroundWindow()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().active;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    wm().activate(hwnd, WA_ACTIVE, false);
    return TRUE;
}

HWND SetCapture(HWND hwnd)
{
    return wm().setCapture(hwnd);
}

BOOL ReleaseCapture()
{
    wm().releaseCapture();
    return TRUE;
}

HWND GetCapture()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return ownedByCaller(wm(), wm().capture);
}

// InputEvents.cpp: input and window-state events from the backend, turned
// into queued input messages and work for the windows' threads.
#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"
#include "platform/user/Window.h"
#include "platform/user/core/Keyboard.h"
#include "platform/user/core/WindowManager.h"

#include <atomic>

using platform::user::QueueEntry;
using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace {

// MSG.lPrivate: the backend types the key's printable character itself.
constexpr DWORD kTextFollows = 1;

WPARAM mouseKeyFlags(const BYTE* keys)
{
    WPARAM f = 0;
    if (keys[VK_LBUTTON] & 0x80)
        f |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & 0x80)
        f |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & 0x80)
        f |= MK_MBUTTON;
    if (keys[VK_SHIFT] & 0x80)
        f |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80)
        f |= MK_CONTROL;
    return f;
}

// Posts a mouse message to the capture window or the window under the pointer.
void postMouse(UINT message, BYTE stateKey, bool down)
{
    WindowManager& m = wm();
    HWND target = m.capture ? m.capture : m.hitTest(m.pointer);
    WindowRecord* w = m.find(target);
    if (!w)
        return;
    POINT origin = m.clientOriginOnScreen(*w);
    QueueEntry e;
    e.kind = QueueEntry::Input;
    e.msg.hwnd = target;
    e.msg.message = message;
    e.msg.wParam = mouseKeyFlags(m.asyncKeys);
    e.msg.lParam = MAKELPARAM(m.pointer.x - origin.x, m.pointer.y - origin.y);
    e.msg.time = platform::clock().tickCount();
    e.msg.pt = m.pointer;
    e.stateKey = stateKey;
    e.stateDown = down;
    m.post(w->queue, std::move(e));
}

// Key input goes to the focus window, or to the active window when none has it.
WindowRecord* keyTarget()
{
    WindowManager& m = wm();
    if (WindowRecord* w = m.find(m.focus))
        return w;
    return m.find(m.active);
}

// The window's close requests so far: the window system's, and the
// system's close keys.
std::atomic<unsigned> inputEventsCloseRequests{0};

} // namespace

namespace platform {
namespace events {

void mouseMoved(int screenX, int screenY)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    wm().pointer = POINT{screenX, screenY};
    postMouse(WM_MOUSEMOVE, 0, false);
}

void mouseButton(MouseButton button, bool down)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    BYTE vk = button == MouseButton::Left ? VK_LBUTTON : button == MouseButton::Right ? VK_RBUTTON : VK_MBUTTON;
    user::applyKeyChange(wm().asyncKeys, vk, 0, down);
    UINT message;
    switch (button) {
    case MouseButton::Left:
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
    case MouseButton::Right:
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
    default:
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
    }
    postMouse(message, vk, down);
}

void key(UINT virtualKey, bool down, bool textFollows)
{
    if (virtualKey == 0 || virtualKey > 255)
        return;
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowManager& m = wm();
    // Messages carry the generic modifier keys; the state keeps both.
    BYTE generic = BYTE(virtualKey), specific = 0;
    switch (virtualKey) {
    case VK_SHIFT: case VK_LSHIFT: generic = VK_SHIFT; specific = virtualKey == VK_SHIFT ? VK_LSHIFT : BYTE(virtualKey); break;
    case VK_RSHIFT: generic = VK_SHIFT; specific = VK_RSHIFT; break;
    case VK_CONTROL: case VK_LCONTROL: generic = VK_CONTROL; specific = VK_LCONTROL; break;
    case VK_RCONTROL: generic = VK_CONTROL; specific = VK_RCONTROL; break;
    case VK_MENU: case VK_LMENU: generic = VK_MENU; specific = VK_LMENU; break;
    case VK_RMENU: generic = VK_MENU; specific = VK_RMENU; break;
    default: break;
    }
    const bool wasDown = (m.asyncKeys[specific ? specific : generic] & 0x80) != 0;
    if (!down && !wasDown)
        return; // a release of a key that was never pressed
    user::applyKeyChange(m.asyncKeys, generic, specific, down);
    WindowRecord* target = keyTarget();
    if (!target)
        return;
    const bool alt = (m.asyncKeys[VK_MENU] & 0x80) != 0;
    const bool ctrl = (m.asyncKeys[VK_CONTROL] & 0x80) != 0;
    const bool system = generic == VK_MENU || generic == VK_F10 || (alt && !ctrl);
    // Alt+F4 closes the window once its message is taken; a thread that
    // takes no messages now (it runs a script, or waits in a box) sees the
    // close by the count.
    if (down && !wasDown && generic == VK_F4 && alt && !ctrl)
        ++inputEventsCloseRequests;
    unsigned scan = user::scanCodeOf(generic == BYTE(virtualKey) ? generic : BYTE(specific));
    DWORD data = 1u | ((scan & 0xFFu) << 16);
    if (scan & 0x100)
        data |= 1u << 24;
    if (system && alt)
        data |= 1u << 29;
    if (!down || wasDown)
        data |= 1u << 30; // the key was down before
    if (!down)
        data |= 1u << 31;
    QueueEntry e;
    e.kind = QueueEntry::Input;
    e.msg.hwnd = target->hwnd;
    e.msg.message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    e.msg.wParam = generic;
    e.msg.lParam = LPARAM(data);
    e.msg.time = clock().tickCount();
    e.msg.pt = m.pointer;
    e.msg.lPrivate = textFollows ? kTextFollows : 0;
    e.stateKey = generic;
    e.stateKeySpecific = specific;
    e.stateDown = down;
    m.post(target->queue, std::move(e));
}

void text(const std::string& ansi)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowManager& m = wm();
    WindowRecord* target = keyTarget();
    if (!target)
        return;
    for (unsigned char c : ansi) {
        QueueEntry e;
        e.kind = QueueEntry::Input;
        e.msg.hwnd = target->hwnd;
        e.msg.message = WM_CHAR;
        e.msg.wParam = c;
        e.msg.lParam = 1;
        e.msg.time = clock().tickCount();
        e.msg.pt = m.pointer;
        m.post(target->queue, std::move(e));
    }
}

void activated(HWND topLevel)
{
    HWND owner = topLevel;
    if (!owner) {
        std::lock_guard<std::mutex> lock(wm().mutex);
        owner = wm().active;
    }
    if (!owner)
        return;
    wm().runOnWindowThread(owner, [topLevel] { wm().activate(topLevel, WA_ACTIVE, true); });
}

void minimized(HWND topLevel, bool minimized)
{
    wm().runOnWindowThread(topLevel, [topLevel, minimized] {
        // A restore of a window that was not minimised (the system also
        // reports one when a window leaves full screen) changes nothing.
        const bool wasMinimized = IsIconic(topLevel) != FALSE;
        wm().setMinimized(topLevel, minimized, true);
        if (!minimized && wasMinimized)
            wm().activate(topLevel, WA_ACTIVE, true);
    });
}

void closeRequested(HWND topLevel)
{
    ++inputEventsCloseRequests;
    wm().runOnWindowThread(topLevel, [topLevel] { wm().send(topLevel, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

unsigned closeRequestCount()
{
    return inputEventsCloseRequests.load();
}

void exposed(HWND topLevel)
{
    InvalidateRect(topLevel, nullptr, FALSE);
}

} // namespace events
} // namespace platform

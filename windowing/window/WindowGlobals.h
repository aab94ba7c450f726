// WindowGlobals.h: the process-wide objects and values of the window layer:
// the paint lock, the lost-device flag, the double-click time, the window
// class "HVWND", the program's cursors, and the focus requester, main thread,
// sleeping and quitting values.
#pragma once

#include "core/lang/Object.h"
#include "platform/Win32Types.h"

namespace window {

class LostDeviceFlag;

class WindowGlobals {
public:
    // The name of the window class of every window of the program.
    static constexpr const char* WINDOW_CLASS_NAME = "HVWND";

    // Made before the program's entry function runs (or on first use) and torn
    // down in reverse order at exit.
    // A plain object whose monitor serialises painting, device restore and
    // full-screen switching. The window layer's locks are taken in one order,
    // so that no thread waits for a lock another holds while it waits for
    // one this thread holds: a canvas's monitor, then this lock, then the
    // frame's own monitor (a loading screen's paint, leaving full screen),
    // then the lost-device flag's monitor.
    static lang::Object* paintLock();
    static LostDeviceFlag* lostDeviceFlag();
    // The system's double-click time, read once.
    static UINT doubleClickTime();
    static ATOM windowClassAtom();
    // Registers the window class again, for a window layer that was reset and
    // forgot its classes (tests); true when it is registered afterwards.
    static bool registerWindowClass();

    // The window that last asked for the keyboard focus (null: none).
    static HWND focusRequester();
    static void setFocusRequester(HWND hwnd);
    // The thread that created the top-level frame's window.
    static DWORD mainThreadId();
    static void setMainThreadId(DWORD threadId);
    // Between a suspend notice and the resume notice no device restore runs.
    static bool isSleeping();
    static void setSleeping(bool sleeping);
    // Set when the program shuts down.
    static bool isQuitting();
    static void setQuitting(bool quitting);

private:
    class State;
    static State& state();
};

} // namespace window

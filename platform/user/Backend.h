// Backend.h: the driver interface under the window layer (a headless one for
// tests and a display one for the program), where it is chosen, and the input
// and window-state events a backend (or a test) reports to the window layer.
#pragma once

#include "platform/Win32Types.h"
#include "platform/user/Cursors.h"
#include "platform/user/Display.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// What the window layer asks of the system under it. Top-level windows are the
// only ones a backend sees; child windows are drawn into their top-level
// window's client area by the window layer. Calls come without the window
// layer's lock held and may come from any thread.
class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual const char* name() const = 0;

    // The display before any mode change, its work area, and the modes offered.
    virtual DisplayMode desktopMode() = 0;
    virtual RECT workArea() = 0;
    virtual std::vector<DisplayMode> displayModes();

    // Top-level windows; `client` is the client area in screen coordinates.
    virtual void windowCreated(HWND hwnd, const RECT& client) = 0;
    virtual void windowDestroyed(HWND hwnd) = 0;
    virtual void windowShown(HWND hwnd, bool visible) = 0;
    virtual void windowPlaced(HWND hwnd, const RECT& client) = 0;
    virtual void windowTitled(HWND hwnd, const std::string& title) = 0;
    virtual void windowMinimized(HWND hwnd, bool minimized) = 0;
    // The program activated the window: bring it to the front with the input focus.
    virtual void windowRaised(HWND hwnd) = 0;
    // A mode switch began (fullScreen, the mode the windows see) or ended.
    virtual void displayChanged(bool fullScreen, const DisplayMode& mode) = 0;
    // The client area of a top-level window, children drawn in, to be shown:
    // width x height words. The buffer is shared with the window layer, which
    // changes it only once the backend has let it go.
    virtual void present(HWND hwnd, std::shared_ptr<const std::vector<uint32_t>> pixels, int width,
                         int height) = 0;

    // The pointer's shape (null: hidden) and its position in screen coordinates.
    virtual void pointerChanged(const CursorShape* shape) = 0;
    virtual void warpPointer(int screenX, int screenY) = 0;

    // Shows a message box and waits for it; false when it cannot show one.
    virtual bool showMessageBox(const std::string& text, const std::string& caption, UINT type) = 0;

    // Delivers the system's pending events, on the thread that made the first
    // top-level window; pumpInterval is how often (ms) a waiting message loop
    // must call it, or -1 when it never needs to.
    virtual void pump() {}
    virtual int pumpInterval() const { return -1; }
};

// The backend in use, made on first use from HV_WINDOW_BACKEND: "headless", or
// "sdl" (the default). When that backend cannot start (no display can be
// opened, an unknown name), one line on stderr says so and the process ends
// at once with exit code NO_WINDOW_EXIT_CODE: a program calls this before it
// starts anything.
WindowBackend& windowBackend();
// That line, for a backend that cannot start because of `failure`, and that
// exit code.
std::string noWindowLine(const std::string& failure);
constexpr int NO_WINDOW_EXIT_CODE = 1;
// How long a display's server may keep the opening once the program is asked
// to end, while the opening waits for its answer: twice the longest SDL waits
// on its own for the server.
constexpr int DISPLAY_OPENING_LIMIT_MS = 2000;
// windowBackend(), with the opening watched from another thread: a display
// whose server does not answer would keep it for ever. Once `quitAsked`
// answers true, the time the calling thread sleeps in the opening, waiting
// for the server, is counted, and the count starts again whenever that
// thread runs (the server answered); the time it waits for a processor or is
// held does not count, and on a machine with more threads ready to run than
// processors a stretch counts for the share of a processor a thread gets
// (the server too waits for one). A count of DISPLAY_OPENING_LIMIT_MS ends the process
// at once with that line ("it does not answer") and that code. So a live
// display slow to open on a busy machine opens, and only one that does not
// answer ends the program. `quitAsked` may be called from any thread.
WindowBackend& openWindowBackend(bool (*quitAsked)());
// Installs a backend (null: choose again from the environment on next use).
void setWindowBackend(std::unique_ptr<WindowBackend> backend);
// Installs a backend by name ("headless" or "sdl"); false for an unknown name
// or a backend that cannot start (the current one then stays).
bool setWindowBackend(const std::string& name);

// Forgets every window, class, timer, queued message, key and button state,
// focus, capture, cursor and display change, so that a test starts afresh.
// No message is sent. Call it with no window procedure running.
void resetWindowLayer();

// Events from the backend (or a test standing in for it). Input is queued to
// the thread of the window it is for, as the system would: mouse messages to
// the capture window or the window under the pointer, key messages to the
// focus window (else the active one). The window-state events run on the
// window's thread when it next takes messages.
namespace events {

enum class MouseButton { Left, Right, Middle };

void mouseMoved(int screenX, int screenY);
void mouseButton(MouseButton button, bool down);
// `textFollows`: the backend delivers the key's printable character itself
// (text()), so TranslateMessage makes characters only for control keys.
void key(UINT virtualKey, bool down, bool textFollows = false);
// Typed characters in Windows-1252, each a WM_CHAR for the focus window.
void text(const std::string& ansi);
// The system gave the program the input focus with this top-level window in
// front, or (null) took it away.
void activated(HWND topLevel);
void minimized(HWND topLevel, bool minimized);
void closeRequested(HWND topLevel);
// How many close requests have come so far (the window system's, and the
// system's close keys): code that keeps the window's thread busy (a script
// stuck in a loop, a box) pumps the backend and looks here to learn of a
// close that waits for it.
unsigned closeRequestCount();
void exposed(HWND topLevel);

} // namespace events

} // namespace platform

// XDisplayWatch.cpp: Xlib's error handlers for the display the backend runs
// on, and the backend's own X calls. Kept apart from the backend: the X
// headers define names (None, Status, Bool) that clash with the window
// layer's own.
#include "platform/user/sdl/XDisplayWatch.h"

#include "platform/kernel/DebugOutput.h"
#include "platform/kernel/StandardError.h"
#include "platform/user/DisplayThread.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

#include <atomic>
#include <cstdlib>
#include <poll.h>
#include <string>

namespace platform {
namespace {

// The watched display's connection (-1: none).
int xConnection = -1;

// While SDL opens its display: the lines and exit code that end the program
// should the display be lost meanwhile, or stall (see watchXErrors).
std::string xLostWhileOpening;
std::string xStalledWhileOpening;
int xLostWhileOpeningCode = 0;
std::atomic<bool> xOpening{false};

// Writes `line` on standard error and ends the process with the opening's
// exit code, waiting for nothing but the line (a moment at most).
[[noreturn]] void xEndOpening(const std::string& line)
{
    StandardError::line(line);
    std::_Exit(xLostWhileOpeningCode);
}

#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
// The display whose loss ends no call (see watchXDisplay).
Display* xWatched = nullptr;

void xConnectionGone(Display*, void*)
{
    DisplayThread::markDisplayLost();
    // Inside SDL's call SDL would go on with the answers it cannot have and
    // crash on them (its pump handles the events the server sent as it
    // ended): the display's thread stays there, and the close goes on
    // without it.
    if (DisplayThread::inCall())
        DisplayThread::stayInCall();
}

// The connection failed: noted. Xlib calls the display's exit handler
// next, and once that returns every call on the display returns at once.
// Until the first window is made that handler is still Xlib's, which ends
// the process: a call into the display stays here instead, as it would
// there.
int xConnectionFailed(Display* display)
{
    DisplayThread::markDisplayLost();
    if (xOpening)
        xEndOpening(xLostWhileOpening);
    if (display != xWatched)
        xConnectionGone(display, nullptr);
    return 0;
}

// A request that failed (drawing into a window another client destroyed,
// say) is no reason to end the game.
int xRequestFailed(Display*, XErrorEvent* error)
{
    OutputDebugStringA(("X error " + std::to_string(int(error->error_code)) + " of request " +
                        std::to_string(int(error->request_code)) + " on resource " +
                        std::to_string(error->resourceid) + "\n")
                           .c_str());
    return 0;
}

// The X display and window of an SDL window; false when it is not on X.
bool xWindowOf(SDL_Window* window, Display*& display, Window& xWindow)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xWindow = info.info.x11.window;
    return true;
}

// In a box's process: its window gone, or its display, ends it (see
// xEndOnDisplayError); other errors are no reason to.
int xBoxRequestFailed(Display*, XErrorEvent* error)
{
    if (error->error_code == BadWindow || error->error_code == BadDrawable)
        std::_Exit(0);
    return 0;
}

int xBoxConnectionFailed(Display*)
{
    std::_Exit(0);
}

// The window a window manager names on `window` as its own (0: none).
Window xWindowManagerCheck(Display* display, Window window)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    Window named = 0;
    if (XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type, &format, &items, &left, &data) ==
            Success &&
        data) {
        if (type == XA_WINDOW && format == 32 && items == 1)
            named = Window(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
    }
    return named;
}

// Whether a window manager runs on the display: it then maps the windows
// and gives the focus. One that ended may have left its name on the root
// window: its own window must name itself too.
bool xWindowManagerRuns(Display* display)
{
    const Window manager = xWindowManagerCheck(display, DefaultRootWindow(display));
    return manager != 0 && xWindowManagerCheck(display, manager) == manager;
}

// Whether the watched display has a window manager, as it had when the
// first window was made (SDL too looks once).
bool xManaged = false;
#endif

} // namespace

void watchXErrors(const std::string& lostLine, const std::string& stalledLine, int lostCode)
{
    xLostWhileOpening = lostLine;
    xStalledWhileOpening = stalledLine;
    xLostWhileOpeningCode = lostCode;
    xOpening = true;
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    XSetErrorHandler(xRequestFailed);
    XSetIOErrorHandler(xConnectionFailed);
#endif
}

void xEndStalledOpening()
{
    // The lines were written before the flag was set.
    if (xOpening)
        xEndOpening(xStalledWhileOpening);
}

void xDisplayOpened(bool onX)
{
    xOpening = false;
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    // SDL sets an error handler of its own as it starts, which passes
    // errors on to the one it found, but first resets the display's mode.
    if (onX)
        XSetErrorHandler(xRequestFailed);
#else
    (void)onX;
#endif
}

void watchXDisplay(SDL_Window* window)
{
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xWindow = 0;
    if (!xWindowOf(window, display, xWindow) || display == xWatched)
        return;
    xWatched = display;
    XSetIOErrorExitHandler(display, xConnectionGone, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    xManaged = xWindowManagerRuns(display);
    xConnection = ConnectionNumber(display);
#else
    (void)window;
#endif
}

bool xDisplayLost()
{
    return DisplayThread::displayLost();
}

void xCheckDisplay()
{
    pollfd connection{xConnection, POLLRDHUP, 0};
    if (xConnection >= 0 && ::poll(&connection, 1, 0) == 1 &&
        (connection.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0)
        DisplayThread::markDisplayLost();
}

bool xWindowDestroyed(const SDL_Event& event, SDL_Window* window)
{
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    Display* display = nullptr;
    Window xWindow = 0;
    return x.type == DestroyNotify && xWindowOf(window, display, xWindow) && x.xdestroywindow.window == xWindow;
#else
    (void)event;
    (void)window;
    return false;
#endif
}

bool xShowWindow(SDL_Window* window, bool visible)
{
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xWindow = 0;
    if (!xWindowOf(window, display, xWindow))
        return false;
    if (visible) {
        XMapRaised(display, xWindow);
        // Without a window manager nobody gives the window the focus (its
        // map is done once the server reads on).
        if (!xManaged)
            XSetInputFocus(display, xWindow, RevertToNone, CurrentTime);
    } else {
        XWithdrawWindow(display, xWindow, DefaultScreen(display));
    }
    XFlush(display);
    return true;
#else
    (void)window;
    (void)visible;
    return false;
#endif
}

void xEndOnDisplayError()
{
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    XSetErrorHandler(xBoxRequestFailed);
    XSetIOErrorHandler(xBoxConnectionFailed);
#endif
}

} // namespace platform

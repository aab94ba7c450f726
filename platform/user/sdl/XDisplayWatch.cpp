// XDisplayWatch.cpp: Xlib's error handlers for the display the backend runs
// on. Kept apart from the backend: the X headers define names (None, Status,
// Bool) that clash with the window layer's own.
#include "platform/user/sdl/XDisplayWatch.h"

#include "platform/kernel/DebugOutput.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>
#include <string>

namespace platform {
namespace {

std::atomic<bool> xLost{false};

#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
// The connection failed: noted. Xlib calls the exit handler next, and
// once that returns every call on the display returns at once.
int xConnectionFailed(Display*)
{
    xLost = true;
    return 0;
}

void xConnectionGone(Display*, void*)
{
    xLost = true;
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
#endif

} // namespace

void watchXDisplay(SDL_Window* window)
{
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    static Display* watched = nullptr;
    Display* display = nullptr;
    Window xWindow = 0;
    if (!xWindowOf(window, display, xWindow) || display == watched)
        return;
    watched = display;
    XSetErrorHandler(xRequestFailed);
    XSetIOErrorHandler(xConnectionFailed);
    XSetIOErrorExitHandler(display, xConnectionGone, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
#else
    (void)window;
#endif
}

bool xDisplayLost()
{
    return xLost;
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

} // namespace platform

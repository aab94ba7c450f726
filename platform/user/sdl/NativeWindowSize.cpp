// NativeWindowSize.cpp: asks the X server for a window's size. Kept apart
// from the backend: the X headers define names (None, Status, Bool) that
// clash with the window layer's own.
#include "platform/user/sdl/NativeWindowSize.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace platform {

void nativeWindowSize(SDL_Window* window, int& width, int& height)
{
    SDL_GetWindowSize(window, &width, &height);
#if defined(HV_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) && attributes.width > 0 &&
        attributes.height > 0) {
        width = attributes.width;
        height = attributes.height;
    }
#endif
}

} // namespace platform

// XDisplayWatch.h: the X display's failures, which Xlib's own handlers
// answer by ending the process at once: the display lost (its server ended,
// the connection cut) and requests on a window another client destroyed;
// and the X calls the backend makes itself where SDL's would wait for the
// server.
#pragma once

#include <string>

union SDL_Event;
struct SDL_Window;

namespace platform {

// Called before SDL opens its display: from now on the display's errors are
// noted instead of ending the process with Xlib's own text. Until
// xDisplayOpened, the display's loss (its server gone as SDL talks to it)
// ends the process at once with `lostLine` on standard error and exit code
// `lostCode`: SDL could not go on, and the program has no display.
// `stalledLine` is the one xEndStalledOpening ends it with.
void watchXErrors(const std::string& lostLine, const std::string& stalledLine, int lostCode);
// Called from another thread: while SDL is still opening its display (a
// server that does not answer keeps it there for ever), ends the process at
// once with the stalled line and the lost code; else does nothing.
void xEndStalledOpening();
// Called once SDL has opened its display (or failed to): from then on the
// display's loss is noted, and so is its loss inside a call into the display
// (the display's thread stays in that call, see DisplayThread). On X the
// watch's handlers take the place of those SDL set meanwhile.
void xDisplayOpened(bool onX);
// From now on the display's loss is noted instead of ending the process
// wherever it is found, and the display's own events come as
// SDL_SYSWMEVENT. Called on SDL's thread with a window it made; does nothing
// when SDL does not run on X.
void watchXDisplay(SDL_Window* window);
// Whether the display is lost: nothing may touch it any more (Xlib answers
// nothing then, and SDL would wait for ever for some of its answers).
bool xDisplayLost();
// Looks, without reading from it, whether the server has closed its end of
// the watched display's connection: the display is then lost before SDL
// reads what is left on it (SDL goes on with the events it has read when
// Xlib finds the connection gone).
void xCheckDisplay();
// Whether the event (an SDL_SYSWMEVENT) tells that the X window of `window`
// was destroyed.
bool xWindowDestroyed(const SDL_Event& event, SDL_Window* window);
// Shows (maps and raises; a minimised window comes back) or hides
// (withdraws) the X window of `window` without waiting for the server: SDL's
// own show, restore and hide wait for the window's map or unmap, which never
// comes once another client destroyed the window or the server ended. SDL
// learns of the change from the map or unmap event, as of any other. False
// when `window` is not on X (SDL's calls are then used).
bool xShowWindow(SDL_Window* window, bool visible);
// In a process that only shows a box: an error on its display (the box's
// window destroyed by another client, say) or the display's loss ends the
// process at once and quietly, as the box's answer would.
void xEndOnDisplayError();

} // namespace platform

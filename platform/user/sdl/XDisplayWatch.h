// XDisplayWatch.h: the X display's failures, which Xlib's own handlers
// answer by ending the process at once: the display lost (its server ended,
// the connection cut) and requests on a window another client destroyed.
#pragma once

union SDL_Event;
struct SDL_Window;

namespace platform {

// From now on the display's loss and its errors are noted instead of ending
// the process, and the display's own events come as SDL_SYSWMEVENT. Called
// on SDL's thread with a window it made; does nothing when SDL does not run
// on X.
void watchXDisplay(SDL_Window* window);
// Whether the display is lost: nothing may touch it any more (Xlib answers
// nothing then, and SDL would wait for ever for some of its answers).
bool xDisplayLost();
// Whether the event (an SDL_SYSWMEVENT) tells that the X window of `window`
// was destroyed.
bool xWindowDestroyed(const SDL_Event& event, SDL_Window* window);

} // namespace platform

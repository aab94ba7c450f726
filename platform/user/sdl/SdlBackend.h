// SdlBackend.h: the window backend of the real program, over SDL2.
#pragma once

#include "platform/user/Backend.h"

#include <memory>
#include <string>

namespace platform {

// Starts SDL's video on a display (a driver without one only when
// SDL_VIDEODRIVER asks for it by name); null when it cannot, with `failure`
// naming the display that could not be opened.
std::unique_ptr<WindowBackend> createSdlBackend(std::string& failure);

// Called, when set, on SDL's thread each time the backend's pump has handled
// one of SDL's events, before it polls for the next: a test holds the pump
// there.
extern void (*sdlEventHandled)();

} // namespace platform

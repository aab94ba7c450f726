// SdlBackend.h: the window backend of the real program, over SDL2.
#pragma once

#include "platform/user/Backend.h"

#include <memory>

namespace platform {

// Starts SDL's video; null when it cannot (no display).
std::unique_ptr<WindowBackend> createSdlBackend();

} // namespace platform

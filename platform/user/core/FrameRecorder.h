// FrameRecorder.h: keeps the picture of the program's window on disk as a PNG
// while it runs, when the environment variable HV_LAST_FRAME names a file, so
// that a program run without a display (or stopped from outside) leaves its
// last frame behind.
#pragma once

#include <cstdint>

namespace platform {
namespace user {

class FrameRecorder {
public:
    // Called with every picture presented into a window. The newest is written
    // within a second of real time (by a thread of its own); with final true it
    // is written at once.
    static void frameShown(const uint32_t* pixels, int width, int height, bool final = false);
};

} // namespace user
} // namespace platform

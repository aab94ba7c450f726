// HandCursorResource.h: the program's cursor resource 104, a pointing hand
// (32 x 32, monochrome, hot spot at the fingertip, 4, 1).
#pragma once

namespace window {

class HandCursorResource {
public:
    static constexpr int RESOURCE_ID = 104;
    static constexpr int HOT_X = 4;
    static constexpr int HOT_Y = 1;
    static constexpr int SIZE = 32;

    // Makes the picture available as the program's cursor resource 104.
    static void install();
};

} // namespace window

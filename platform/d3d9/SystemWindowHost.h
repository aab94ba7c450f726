// SystemWindowHost.h: the window host over the window layer's functions.
#pragma once

#include "platform/d3d9/WindowHost.h"

namespace platform::d3d9 {

class SystemWindowHost final : public WindowHost {
public:
    bool clientSize(HWND hwnd, int* width, int* height) override;
    bool present(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes, const RECT* source,
                 const RECT* dest, bool fullScreen) override;
    bool isActive(HWND hwnd) override;
    uint32_t displayModeGeneration() override;
};

} // namespace platform::d3d9

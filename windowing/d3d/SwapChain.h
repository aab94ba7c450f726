// SwapChain.h: an additional swap chain of the window graphics' device: the
// back buffer presented to one window.
#pragma once

#include "core/lang/Object.h"
#include "platform/Win32Types.h"

struct IDirect3DSwapChain9;

namespace window {

class SwapChain : public lang::Object {
public:
    explicit SwapChain(HWND hwnd) : windowHandle(hwnd), chain(nullptr) {}
    // Releases the chain.
    ~SwapChain() override;

    HWND windowHandle;
    IDirect3DSwapChain9* chain;
};

} // namespace window

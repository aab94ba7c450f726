// DeviceControls.h: process-wide settings of the software device: its
// capabilities, the window host it presents through, and failure injection
// for tests (calls that fail, devices that are lost).
#pragma once

#include "platform/d3d9/SoftwareCaps.h"
#include "platform/d3d9/WindowHost.h"

#include <cstdint>

namespace platform::d3d9 {

// Calls whose failure can be injected.
enum class FaultPoint {
    Direct3DCreate9,  // the factory function returns null
    GetDeviceCaps,    // the factory's capability query
    CheckDeviceFormat,
    CreateDevice,
    Reset,
    CreateAdditionalSwapChain,
    CreateTexture,
    CreateVertexBuffer,
    CreateVertexDeclaration,
    CreateOffscreenPlainSurface,
    EndScene,
    Present,          // both the device's and the swap chains'
    GetRenderTargetData,
    LockRect,
    Count
};

class DeviceControls {
public:
    // Capabilities of devices created from now on (and of the factory's queries).
    static SoftwareCaps caps();
    static void setCaps(const SoftwareCaps& caps);

    // The next `times` calls of `point` fail with `result` and do nothing else.
    static void failNext(FaultPoint point, int times, HRESULT result);
    // The injected result of the next call of `point`, or S_OK when none is pending.
    static HRESULT takeFault(FaultPoint point);

    // Every live device is lost, as when another program takes the display:
    // TestCooperativeLevel answers D3DERR_DEVICELOST `holdCalls` times and then
    // D3DERR_DEVICENOTRESET until a Reset succeeds.
    static void loseDevices(int holdCalls = 0);
    static uint32_t lossGeneration();
    static int lossHoldCalls();

    // The window host devices present through; null restores the window layer's.
    static void setWindowHost(WindowHost* host);
    static WindowHost& windowHost();

    // Back to the defaults: default capabilities, no pending faults, the window layer's host.
    static void reset();
};

} // namespace platform::d3d9

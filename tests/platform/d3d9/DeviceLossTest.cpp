// The lost-device state machine (losses held, display-mode changes, full
// screen without the foreground, Reset and its failures) and the injected
// failures of the factory and the device.
#include "DeviceFixture.h"

namespace d3d9test {
namespace {

class Loss : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
    }

    HRESULT reset(bool windowed = true)
    {
        D3DPRESENT_PARAMETERS p = parameters(windowed);
        return device->Reset(&p);
    }
    HRESULT present() { return device->Present(nullptr, nullptr, nullptr, nullptr); }
};

TEST_F(Loss, AnInjectedLossHoldsThenWaitsForAReset)
{
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    DeviceControls::loseDevices(2);
    EXPECT_EQ(present(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(reset(), D3DERR_DEVICELOST);  // not while the loss holds
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(present(), D3DERR_DEVICELOST);
    EXPECT_EQ(reset(), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(present(), D3D_OK);
}

TEST_F(Loss, ADisplayModeChangeMakesTheDeviceAskForAReset)
{
    // The frame's switch to full screen: the mode changes, the device is
    // reset with Windowed false.
    ++host.generation;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(reset(false), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    // Full screen without the foreground: lost until the window is in front.
    host.active.erase(window);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(present(), D3DERR_DEVICELOST);
    EXPECT_EQ(reset(false), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    host.active.insert(window);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(reset(false), D3D_OK);
    EXPECT_EQ(present(), D3D_OK);
    // Back to windowed: another mode change; a windowed device does not mind
    // losing the foreground.
    ++host.generation;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(reset(true), D3D_OK);
    host.active.erase(window);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
}

TEST_F(Loss, FailedResetsLeaveTheDeviceWaitingForAnother)
{
    DeviceControls::loseDevices();
    DeviceControls::failNext(FaultPoint::Reset, 2, E_FAIL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(reset(), E_FAIL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(reset(), E_FAIL);
    EXPECT_EQ(reset(), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    // A Reset that fails on an operational device leaves it waiting too.
    D3DPRESENT_PARAMETERS bad = parameters();
    bad.MultiSampleType = D3DMULTISAMPLE_TYPE(4);
    EXPECT_EQ(device->Reset(&bad), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(reset(), D3D_OK);
}

TEST_F(Loss, ALostDeviceDrawsNothing)
{
    engineStates();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF111111, 1.0f, 0);
    DeviceControls::loseDevices(1);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF222222, 1.0f, 0), D3D_OK);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    fillQuad(0, 0, 8, 8, 0xFFFFFFFF);
    IDirect3DSurface9* copy = nullptr;
    IDirect3DSurface9* target = nullptr;
    device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
    device->GetRenderTarget(0, &target);
    EXPECT_EQ(device->GetRenderTargetData(target, copy), D3DERR_DEVICELOST);
    // The lockable back buffer can still be read.
    EXPECT_EQ(readSurface(target).at(2, 2), 0xFF111111u);
    EXPECT_EQ(device->CreateAdditionalSwapChain(nullptr, nullptr), D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS p = parameters();
    IDirect3DSwapChain9* chain = nullptr;
    EXPECT_EQ(device->CreateAdditionalSwapChain(&p, &chain), D3DERR_DEVICELOST);
    target->Release();
    copy->Release();
}

TEST_F(Loss, ResetMakesNewBuffersAndDefaultState)
{
    engineStates();
    RECT scissor = {1, 1, 2, 2};
    device->SetScissorRect(&scissor);
    D3DPRESENT_PARAMETERS p = parameters();
    p.BackBufferWidth = 32;
    p.BackBufferHeight = 16;
    // References the application holds on the implicit buffers block a Reset.
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
    back->Release();
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    EXPECT_EQ(viewport.Height, 16u);
    // Default state: no blending, no scissor test, stage 0 MODULATE, culling
    // of counter-clockwise triangles.
    device->SetVertexDeclaration(colouredDecl);
    ColouredVertex quad[4] = {{0, 0, 0, 1, 0x80FF0000}, {32, 0, 0, 1, 0x80FF0000}, {32, 16, 0, 1, 0x80FF0000},
                              {0, 16, 0, 1, 0x80FF0000}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColouredVertex));
    ASSERT_EQ(present(), D3D_OK);
    const FakeWindowHost::Frame& frame = host.frames[window];
    ASSERT_EQ(frame.width, 32);
    ASSERT_EQ(frame.height, 16);
    EXPECT_EQ(frame.pixels[0], 0x80FF0000u);
    EXPECT_EQ(frame.pixels[31 + 15 * 32], 0x80FF0000u);
}

TEST_F(Loss, StrictResetRefusesWhileDefaultPoolResourcesAreHeld)
{
    device->Release();
    device = nullptr;
    colouredDecl->Release();
    colouredDecl = nullptr;
    texturedDecl->Release();
    texturedDecl = nullptr;
    SoftwareCaps caps;
    caps.strictReset = true;
    DeviceControls::setCaps(caps);
    createDevice();
    IDirect3DVertexBuffer9* buffer = nullptr;
    IDirect3DTexture9* managed = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(80, D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
    device->SetStreamSource(0, buffer, 0, 20);
    EXPECT_EQ(reset(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    // Held only by the device's binding now; managed textures never count.
    buffer->Release();
    EXPECT_EQ(reset(), D3D_OK);
    managed->Release();
}

TEST_F(Loss, PresentAndEndSceneFailuresCanBeInjected)
{
    DeviceControls::failNext(FaultPoint::Present, 1, D3DERR_DEVICELOST);
    EXPECT_EQ(present(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);  // the state itself is untouched
    EXPECT_EQ(present(), D3D_OK);
    DeviceControls::failNext(FaultPoint::EndScene, 1, D3DERR_DEVICELOST);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(present(), D3DERR_INVALIDCALL);  // not inside a scene
    EXPECT_EQ(device->EndScene(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);  // the scene did end
    DeviceControls::failNext(FaultPoint::CreateAdditionalSwapChain, 1, D3DERR_INVALIDCALL);
    D3DPRESENT_PARAMETERS p = parameters();
    IDirect3DSwapChain9* chain = nullptr;
    EXPECT_EQ(device->CreateAdditionalSwapChain(&p, &chain), D3DERR_INVALIDCALL);
    EXPECT_EQ(chain, nullptr);
}

class Factory : public DeviceFixture {};

TEST_F(Factory, CreationAndQueriesCanBeMadeToFail)
{
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    DeviceControls::failNext(FaultPoint::Direct3DCreate9, 1, E_FAIL);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    IDirect3D9* another = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(another, nullptr);
    EXPECT_EQ(another->Release(), 0u);

    D3DCAPS9 caps;
    DeviceControls::failNext(FaultPoint::GetDeviceCaps, 10, D3DERR_NOTAVAILABLE);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3DERR_NOTAVAILABLE);
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_TRUE(caps.RasterCaps & D3DPRASTERCAPS_SCISSORTEST);
    EXPECT_TRUE(caps.AlphaCmpCaps & D3DPCMPCAPS_GREATEREQUAL);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_TRUE(caps.Caps3 & D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD);
    EXPECT_EQ(caps.MaxTextureWidth, 4096u);

    D3DDISPLAYMODE mode;
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D24S8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_A8R8G8B8),
              D3DERR_NOTAVAILABLE);
    DeviceControls::failNext(FaultPoint::CheckDeviceFormat, 1, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, mode.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);

    // The engine retries a failed CreateDevice once with a 16-bit depth buffer.
    DeviceControls::failNext(FaultPoint::CreateDevice, 1, D3DERR_NOTAVAILABLE);
    D3DPRESENT_PARAMETERS p = parameters();
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    p.AutoDepthStencilFormat = D3DFMT_D16;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
}

TEST_F(Factory, DeviceCreationChecksAndCompletesItsParameters)
{
    auto create = [&](D3DPRESENT_PARAMETERS p, DWORD flags = D3DCREATE_HARDWARE_VERTEXPROCESSING) {
        IDirect3DDevice9* made = nullptr;
        HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, flags, &p, &made);
        if (made)
            made->Release();
        return hr;
    };
    D3DPRESENT_PARAMETERS p = parameters();
    EXPECT_EQ(create(p, D3DCREATE_MULTITHREADED), D3DERR_INVALIDCALL);  // no vertex processing named
    p.MultiSampleType = D3DMULTISAMPLE_TYPE(2);
    EXPECT_EQ(create(p), D3DERR_INVALIDCALL);
    p = parameters();
    p.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_EQ(create(p), D3DERR_INVALIDCALL);
    p = parameters();
    p.BackBufferCount = 3;
    EXPECT_EQ(create(p), D3DERR_INVALIDCALL);
    // A windowed device takes its size from the window's client area, and the
    // display format when none is given; the parameters are filled in.
    p = parameters();
    p.BackBufferWidth = 0;
    p.BackBufferHeight = 0;
    p.BackBufferFormat = D3DFMT_UNKNOWN;
    p.BackBufferCount = 0;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
    EXPECT_EQ(p.BackBufferWidth, UINT(kWidth));
    EXPECT_EQ(p.BackBufferHeight, UINT(kHeight));
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 1u);
    // Without alpha in the target, what is drawn stays opaque.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x12345678, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(host.frames[window].pixels[0], 0xFF345678u);
    // A window that does not exist has no size to take.
    p = parameters();
    p.BackBufferWidth = 0;
    p.hDeviceWindow = fakeWindow(9);
    EXPECT_EQ(create(p), D3DERR_INVALIDCALL);
}

} // namespace
} // namespace d3d9test

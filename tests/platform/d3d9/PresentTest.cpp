// Presentation: the device's back buffer to its window, additional swap
// chains to their own windows, full screen to the focus window.
#include "DeviceFixture.h"

namespace d3d9test {
namespace {

class Presentation : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
        engineStates();
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    }
};

TEST_F(Presentation, PresentShowsTheBackBufferInTheDeviceWindow)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF101010, 1.0f, 0);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    fillQuad(2, 3, 5, 4, 0xFFFFFF00);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const FakeWindowHost::Frame& frame = host.frames[window];
    EXPECT_EQ(frame.count, 1);
    ASSERT_EQ(frame.width, kWidth);
    ASSERT_EQ(frame.height, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            bool inside = x >= 2 && x < 5 && y == 3;
            ASSERT_EQ(frame.pixels[size_t(y) * kWidth + x], inside ? 0xFFFFFF00u : 0xFF101010u) << x << "," << y;
        }
    // The back buffer keeps its contents after a present.
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(host.frames[window].pixels[3 * kWidth + 2], 0xFFFFFF00u);
    EXPECT_EQ(host.frames[window].count, 2);
}

TEST_F(Presentation, SwapChainsPresentToTheirOwnWindows)
{
    HWND child = fakeWindow(2);
    host.sizes[child] = {20, 10};
    D3DPRESENT_PARAMETERS p = parameters();
    p.hDeviceWindow = child;
    p.BackBufferWidth = 0;
    p.BackBufferHeight = 0;
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(device->CreateAdditionalSwapChain(&p, &chain), D3D_OK);
    EXPECT_EQ(p.BackBufferWidth, 20u);
    EXPECT_EQ(p.BackBufferHeight, 10u);

    // Drawing into the chain's back buffer, as the engine does for each window.
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, back), D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
    back->Release();
    depth->Release();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    fillQuad(0, 0, 1, 1, 0xFFFFFFFF);
    ASSERT_EQ(chain->Present(nullptr, nullptr, nullptr, nullptr, 0), D3D_OK);
    const FakeWindowHost::Frame& frame = host.frames[child];
    ASSERT_EQ(frame.width, 20);
    ASSERT_EQ(frame.height, 10);
    EXPECT_EQ(frame.pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(frame.pixels[19 + 9 * 20], 0xFF0000FFu);
    EXPECT_EQ(host.frames.count(window), 0u);

    // A lost device presents nothing through its swap chains either.
    DeviceControls::loseDevices();
    EXPECT_EQ(chain->Present(nullptr, nullptr, nullptr, nullptr, 0), D3DERR_DEVICELOST);
    EXPECT_EQ(host.frames[child].count, 1);
    EXPECT_EQ(chain->Release(), 1u);  // still the render target
    D3DPRESENT_PARAMETERS again = parameters();
    ASSERT_EQ(device->Reset(&again), D3D_OK);  // unbinds it; the chain goes
}

TEST_F(Presentation, FullScreenPresentsToTheFocusWindow)
{
    // The engine's Reset carries the last swap chain's window; in full screen
    // the frame goes to the top-level window the device was made for.
    HWND child = fakeWindow(3);
    D3DPRESENT_PARAMETERS p = parameters(false);
    p.hDeviceWindow = child;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(host.frames[window].count, 1);
    EXPECT_EQ(host.frames.count(child), 0u);
    // No additional swap chains beside a full-screen device.
    IDirect3DSwapChain9* chain = nullptr;
    D3DPRESENT_PARAMETERS windowed = parameters();
    EXPECT_EQ(device->CreateAdditionalSwapChain(&windowed, &chain), D3DERR_INVALIDCALL);
    // Windowed again, the device window named in the parameters is used.
    host.sizes[child] = {kWidth, kHeight};
    p.Windowed = TRUE;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(host.frames[child].count, 1);
}

} // namespace
} // namespace d3d9test

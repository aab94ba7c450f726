// Reference counts of every interface: creation, getters, bindings held by
// the device, surfaces counted with their containers, and resources that
// outlive their device.
#include "DeviceFixture.h"

namespace d3d9test {
namespace {

class References : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        createDevice();
    }

    static ULONG count(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }
};

TEST_F(References, TheFactoryIsHeldByItsDevices)
{
    EXPECT_EQ(count(d3d), 2u);  // the fixture's and the device's
    EXPECT_EQ(count(device), 1u);
    IDirect3DDevice9* second = nullptr;
    D3DPRESENT_PARAMETERS p = parameters();
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &second), D3D_OK);
    EXPECT_EQ(count(d3d), 3u);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(count(d3d), 2u);
}

TEST_F(References, QueryInterfaceAnswersTheInterfacesAnObjectHas)
{
    void* object = nullptr;
    EXPECT_EQ(device->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, static_cast<void*>(device));
    EXPECT_EQ(count(device), 2u);
    device->Release();
    EXPECT_EQ(device->QueryInterface(IID_IDirect3DTexture9, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    for (const IID* iid : {&IID_IDirect3DTexture9, &IID_IDirect3DBaseTexture9, &IID_IDirect3DResource9}) {
        ASSERT_EQ(texture->QueryInterface(*iid, &object), S_OK);
        static_cast<IUnknown*>(object)->Release();
    }
    EXPECT_EQ(texture->QueryInterface(IID_IDirect3DSurface9, &object), E_NOINTERFACE);
    EXPECT_EQ(d3d->QueryInterface(IID_IDirect3D9, &object), S_OK);
    d3d->Release();
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(References, SurfacesCountWithTheirContainer)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(count(texture), 1u);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    EXPECT_EQ(count(texture), 2u);
    EXPECT_EQ(count(level), 2u);
    EXPECT_EQ(texture->GetSurfaceLevel(1, &level), D3DERR_INVALIDCALL);
    EXPECT_EQ(level, nullptr);
    texture->GetSurfaceLevel(0, &level);
    // The surface keeps the texture alive after the texture's own reference goes.
    EXPECT_EQ(texture->Release(), 2u);
    EXPECT_EQ(level->Release(), 1u);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
    level->UnlockRect();
    EXPECT_EQ(level->Release(), 0u);

    // Surfaces of the device count on the device.
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    EXPECT_EQ(back, target);
    EXPECT_EQ(count(device), 4u);
    back->Release();
    target->Release();
    EXPECT_EQ(depth->Release(), 1u);

    // An off-screen surface counts by itself.
    IDirect3DSurface9* plain = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &plain, nullptr), D3D_OK);
    EXPECT_EQ(plain->AddRef(), 2u);
    EXPECT_EQ(plain->Release(), 1u);
    EXPECT_EQ(count(device), 1u);
    EXPECT_EQ(plain->Release(), 0u);

    // A swap chain's back buffer counts on the swap chain.
    host.sizes[fakeWindow(2)] = {8, 8};
    D3DPRESENT_PARAMETERS p = parameters();
    p.hDeviceWindow = fakeWindow(2);
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(device->CreateAdditionalSwapChain(&p, &chain), D3D_OK);
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(count(chain), 2u);
    EXPECT_EQ(back->Release(), 1u);
    EXPECT_EQ(chain->Release(), 0u);
}

TEST_F(References, BindingsHoldWhatTheyBind)
{
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateVertexBuffer(80, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &buffer,
                                         nullptr),
              D3D_OK);
    device->SetTexture(0, texture);
    device->SetTexture(0, texture);  // binding again holds no second reference
    device->SetStreamSource(0, buffer, 0, 20);
    device->SetVertexDeclaration(colouredDecl);
    EXPECT_EQ(count(texture), 2u);
    EXPECT_EQ(count(buffer), 2u);
    EXPECT_EQ(count(colouredDecl), 2u);
    IDirect3DVertexDeclaration9* current = nullptr;
    ASSERT_EQ(device->GetVertexDeclaration(&current), D3D_OK);
    EXPECT_EQ(current, colouredDecl);
    EXPECT_EQ(current->Release(), 2u);

    // Released by the application but still bound: drawing uses it safely,
    // and unbinding destroys it.
    EXPECT_EQ(texture->Release(), 1u);
    device->SetTexture(0, nullptr);

    // Drawing from memory unbinds the stream.
    ColouredVertex point = {1, 1, 0, 1, 0xFFFFFFFF};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    EXPECT_EQ(count(buffer), 1u);

    // A texture's surface bound as render target holds the texture.
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* saved = nullptr;
    target->GetSurfaceLevel(0, &surface);
    device->GetRenderTarget(0, &saved);
    device->SetRenderTarget(0, surface);
    EXPECT_EQ(surface->Release(), 2u);
    EXPECT_EQ(target->Release(), 1u);
    device->SetRenderTarget(0, saved);  // the texture goes here
    saved->Release();
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(References, ResourcesMayOutliveTheirDevice)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    host.sizes[fakeWindow(2)] = {8, 8};
    D3DPRESENT_PARAMETERS p = parameters();
    p.hDeviceWindow = fakeWindow(2);
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(device->CreateAdditionalSwapChain(&p, &chain), D3D_OK);
    device->SetTexture(0, texture);
    colouredDecl->Release();
    colouredDecl = nullptr;
    texturedDecl->Release();
    texturedDecl = nullptr;
    // The device's end drops its bindings and its reference on the factory.
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    EXPECT_EQ(count(d3d), 1u);
    EXPECT_EQ(count(texture), 1u);
    IDirect3DSurface9* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
    level->UnlockRect();
    level->Release();
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(chain->Release(), 0u);
}

} // namespace
} // namespace d3d9test

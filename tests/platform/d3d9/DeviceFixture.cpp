// DeviceFixture.cpp: the device fixture and the reference coverage rule.
#include "DeviceFixture.h"

namespace d3d9test {

void DeviceFixture::SetUp()
{
    DeviceControls::reset();
    DeviceControls::setWindowHost(&host);
    host.sizes[window] = {kWidth, kHeight};
    host.active.insert(window);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
}

void DeviceFixture::TearDown()
{
    if (colouredDecl)
        colouredDecl->Release();
    if (texturedDecl)
        texturedDecl->Release();
    if (device) {
        EXPECT_EQ(device->Release(), 0u);
    }
    if (d3d) {
        EXPECT_EQ(d3d->Release(), 0u);
    }
    DeviceControls::reset();
}

D3DPRESENT_PARAMETERS DeviceFixture::parameters(bool windowed, D3DFORMAT depth) const
{
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = kWidth;
    p.BackBufferHeight = kHeight;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.BackBufferCount = 1;
    p.MultiSampleType = D3DMULTISAMPLE_NONE;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = windowed;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = depth;
    p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return p;
}

void DeviceFixture::createDevice(D3DFORMAT depth)
{
    D3DPRESENT_PARAMETERS p = parameters(true, depth);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window,
                                D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &p, &device),
              D3D_OK);
    const D3DVERTEXELEMENT9 textured[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                          {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          D3DDECL_END()};
    const D3DVERTEXELEMENT9 coloured[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};
    ASSERT_EQ(device->CreateVertexDeclaration(textured, &texturedDecl), D3D_OK);
    ASSERT_EQ(device->CreateVertexDeclaration(coloured, &colouredDecl), D3D_OK);
}

void DeviceFixture::engineStates()
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

IDirect3DTexture9* DeviceFixture::makeTexture(int width, int height, const std::function<uint32_t(int, int)>& pixel,
                                              D3DPOOL pool)
{
    IDirect3DTexture9* texture = nullptr;
    DWORD usage = pool == D3DPOOL_DEFAULT ? D3DUSAGE_DYNAMIC : 0;
    EXPECT_EQ(device->CreateTexture(UINT(width), UINT(height), 1, usage, D3DFMT_A8R8G8B8, pool, &texture, nullptr),
              D3D_OK);
    if (!texture)
        return nullptr;
    IDirect3DSurface9* level = nullptr;
    EXPECT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(level->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch);
        for (int x = 0; x < width; ++x)
            row[x] = pixel(x, y);
    }
    level->UnlockRect();
    level->Release();
    return texture;
}

void DeviceFixture::fillQuad(float x0, float y0, float x1, float y1, DWORD colour)
{
    drawColoured(D3DPT_TRIANGLEFAN,
                 {{x0, y0, 0, 1, colour}, {x1, y0, 0, 1, colour}, {x1, y1, 0, 1, colour}, {x0, y1, 0, 1, colour}}, 2);
}

void DeviceFixture::drawTexturedQuad(float x0, float y0, float x1, float y1, DWORD colour, float u0, float v0,
                                     float u1, float v1, const DWORD* corners)
{
    DWORD c[4] = {colour, colour, colour, colour};
    if (corners)
        std::memcpy(c, corners, sizeof c);
    drawTextured(D3DPT_TRIANGLEFAN,
                 {{x0, y0, 0, 1, c[0], u0, v0},
                  {x1, y0, 0, 1, c[1], u1, v0},
                  {x1, y1, 0, 1, c[2], u1, v1},
                  {x0, y1, 0, 1, c[3], u0, v1}},
                 2);
}

void DeviceFixture::drawTextured(D3DPRIMITIVETYPE type, const std::vector<TexturedVertex>& vertices, UINT primitives)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT length = UINT(vertices.size() * sizeof(TexturedVertex));
    ASSERT_EQ(device->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer,
                                         nullptr),
              D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    std::memcpy(data, vertices.data(), length);
    buffer->Unlock();
    device->SetVertexDeclaration(texturedDecl);
    device->SetStreamSource(0, buffer, 0, sizeof(TexturedVertex));
    EXPECT_EQ(device->DrawPrimitive(type, 0, primitives), D3D_OK);
    device->SetStreamSource(0, nullptr, 0, 0);
    buffer->Release();
}

void DeviceFixture::drawColoured(D3DPRIMITIVETYPE type, const std::vector<ColouredVertex>& vertices, UINT primitives)
{
    device->SetTexture(0, nullptr);
    device->SetVertexDeclaration(colouredDecl);
    EXPECT_EQ(device->DrawPrimitiveUP(type, primitives, vertices.data(), sizeof(ColouredVertex)), D3D_OK);
}

Image DeviceFixture::readSurface(IDirect3DSurface9* surface, int width, int height)
{
    Image image;
    D3DLOCKED_RECT locked;
    if (surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) != D3D_OK) {
        ADD_FAILURE() << "surface not lockable";
        return image;
    }
    // Rows are copied at the surface's pitch, which is wider than the row.
    EXPECT_GT(locked.Pitch, width * 4);
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&image.pixels[size_t(y) * width], static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch,
                    size_t(width) * 4);
    surface->UnlockRect();
    return image;
}

Image DeviceFixture::readRenderTarget()
{
    IDirect3DSurface9* target = nullptr;
    EXPECT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    IDirect3DSurface9* copy = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr),
              D3D_OK);
    EXPECT_EQ(device->GetRenderTargetData(target, copy), D3D_OK);
    Image image = readSurface(copy);
    copy->Release();
    target->Release();
    return image;
}

bool referenceCovers(double ax, double ay, double bx, double by, double cx, double cy, int px, int py)
{
    const double xs[3] = {ax, bx, cx}, ys[3] = {ay, by, cy};
    for (int i = 0; i < 3; ++i) {
        double x0 = xs[i], y0 = ys[i], x1 = xs[(i + 1) % 3], y1 = ys[(i + 1) % 3];
        double rx = xs[(i + 2) % 3], ry = ys[(i + 2) % 3];
        // Which side of the edge the third vertex lies on, and the pixel.
        double sideThird = (x1 - x0) * (ry - y0) - (y1 - y0) * (rx - x0);
        double sidePixel = (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
        if (sideThird == 0)
            return false;  // degenerate
        if (sidePixel == 0) {
            bool top = y0 == y1 && ry > y0;
            // Left edge: at the third vertex's height the edge lies left of it.
            bool left = y0 != y1 && (x0 + (x1 - x0) * (ry - y0) / (y1 - y0)) < rx;
            if (!top && !left)
                return false;
        } else if ((sidePixel > 0) != (sideThird > 0)) {
            return false;
        }
    }
    return true;
}

} // namespace d3d9test

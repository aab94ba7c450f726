// GraphicsWWinDX.cpp: the window graphics: device creation, reset and
// re-creation, swap chains, the drawing bracket and presentation, and the
// drawing operations over the device.
#include "windowing/d3d/GraphicsWWinDX.h"

#include "core/lang/Synchronized.h"
#include "core/util/Vector.h"
#include "platform/d3d9/D3D9.h"
#include "platform/files/Modules.h"
#include "platform/kernel/Clock.h"
#include "platform/user/User.h"
#include "windowing/window/Component.h"
#include "windowing/window/DebugLine.h"
#include "windowing/d3d/GraphicsParticleDX.h"
#include "windowing/graphics/HVMatrixStack.h"
#include "windowing/d3d/ImageWinDX.h"
#include "windowing/d3d/LostDeviceFlag.h"
#include "windowing/graphics/MatrixMath.h"
#include "windowing/graphics/Polygon.h"
#include "windowing/graphics/ProfileScope.h"
#include "windowing/d3d/SwapChain.h"
#include "windowing/window/WindowGlobals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace window {

namespace {

// Vertex layouts of the shared buffers.
struct ColoredVertex {
    float x, y, z, rhw;
    uint32_t colour;
};
static_assert(sizeof(ColoredVertex) == 20, "coloured vertices are 20 bytes");

const D3DVERTEXELEMENT9 kTexturedElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

const D3DVERTEXELEMENT9 kColoredElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END()};

typedef IDirect3D9* (*Direct3DCreate9Function)(UINT sdkVersion);

// The wording of the fatal boxes when the archive lacks their text items.
const char* fallbackText(const char* key)
{
    if (std::strcmp(key, "IDS_DXERR_RESTART") == 0)
        return "The graphics device could not be restored. Please restart the game.";
    if (std::strcmp(key, "IDS_DXERR_SWAP") == 0)
        return "The graphics device could not draw into the game's window.";
    return "The graphics device could not be started.";
}

// A division rounded to nearest, halves away from zero (b > 0).
int roundDiv(int a, int b)
{
    return a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b));
}

} // namespace

GraphicsWWinDX::ViewCamera::ViewCamera()
    : valid(1), axis1{0.996f, 0.077f, -0.21f}, axis2{-0.033f, 0.64f, 0.767f}, axis3{0.072f, -0.7645f, 0.64f},
      position{-2.3f, 24.66f, -16.92f}
{
}

GraphicsWWinDX::GraphicsWWinDX(HWND hwnd)
    : m_hWindow(hwnd), m_nWidth(0), m_nHeight(0), m_pLostFlag(nullptr), m_hD3D9Module(nullptr),
      m_bLibraryLoaded(false), m_pDevice(nullptr), m_pD3D(nullptr), m_presentParams(), m_pTexturedDecl(nullptr),
      m_pColoredDecl(nullptr), m_pVertexBuffers{nullptr, nullptr, nullptr}, m_viewport(), m_savedViewport(),
      m_pRenderTexture(nullptr), m_pSavedRenderTarget(nullptr), m_nRenderTextureWidth(0), m_nRenderTextureHeight(0),
      m_pSwapChains(nullptr), m_pCurrentSwapChain(nullptr), m_pCurrentSwapChainInterface(nullptr),
      m_pMatrixStack(new HVMatrixStack()), m_pParticles(new util::TVector<GraphicsParticle*>(10)),
      m_bDynamicTextures(false), m_nMaskState(0), m_bMaskInverted(false), m_nMaxTextureWidth(0),
      m_nMaxTextureHeight(0), m_nMaxTextureAspect(0), m_bScissorSupported(false), m_bAlphaTestSupported(false),
      m_displayMode(), m_bSquareOnly(false), m_bPowerOfTwo(false), m_bSceneOpen(false), m_bWindowed(true),
      m_nResetFailures(0), m_nCoopTries(0), m_behaviorFlags(0), m_nDrawDepth(0)
{
    matrixIdentity(&m_viewMatrix);
    matrixIdentity(&m_worldMatrix);
    matrixIdentity(&m_projectionMatrix);
    RECT client{};
    if (hwnd && GetClientRect(hwnd, &client)) {
        m_nWidth = client.right - client.left;
        m_nHeight = client.bottom - client.top;
    }
    setClipRect(util::RectangleNM(0, 0, m_nWidth, m_nHeight));
}

GraphicsWWinDX::~GraphicsWWinDX()
{
    ImageWinDX::releaseAllTextures(true);
    ImageWinDX::deleteLiveList();
    ImageWinDX::flushPendingReleases();
    if (m_pSavedRenderTarget) {
        m_pSavedRenderTarget->Release();
        m_pSavedRenderTarget = nullptr;
    }
    if (m_pRenderTexture) {
        m_pRenderTexture->Release();
        m_pRenderTexture = nullptr;
    }
    releaseSwapChains();
    detachParticles();
    releaseDevice();
    releaseD3D();
    m_pParticles->release();
    m_pParticles = nullptr;
    m_pMatrixStack->release();
    m_pMatrixStack = nullptr;
}

// ---------------------------------------------------------------------------
// Device life

bool GraphicsWWinDX::loadD3DLibrary()
{
    m_hD3D9Module = LoadLibraryA("d3d9.dll");
    m_bLibraryLoaded = m_hD3D9Module != nullptr;
    return m_bLibraryLoaded;
}

void GraphicsWWinDX::fatalError(const char* textKey)
{
    lang::String title = lang::String::loadText("IDS_DXERR_TITLE");
    lang::String text = lang::String::loadText(textKey);
    MessageBoxA(nullptr, text.isEmpty() ? fallbackText(textKey) : text.c_str(),
                title.isEmpty() ? "Harbinvel Error" : title.c_str(), MB_OK);
    // A failure: the parent process must not read it as a normal end.
    std::exit(EXIT_FAILURE);
}

HRESULT GraphicsWWinDX::InitD3D(bool windowed, D3DDEVTYPE type, IDirect3DDevice9** out, bool reset)
{
    if (!m_bLibraryLoaded && !loadD3DLibrary())
        return E_FAIL;
    if (!m_pD3D) {
        auto create = reinterpret_cast<Direct3DCreate9Function>(GetProcAddress(m_hD3D9Module, "Direct3DCreate9"));
        if (!create)
            return E_FAIL;
        m_pD3D = create(D3D_SDK_VERSION);
        if (!m_pD3D)
            return E_FAIL;
    }

    D3DCAPS9 caps{};
    HRESULT hr = m_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, type, &caps);
    for (int retries = 0; hr == D3DERR_NOTAVAILABLE && retries < 10; ++retries) {
        Sleep(100);
        hr = m_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, type, &caps);
    }
    if (hr == D3DERR_NOTAVAILABLE)
        fatalError("IDS_DXERR_NODLL");
    if (FAILED(hr))
        return hr;

    m_behaviorFlags = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                                       : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    m_behaviorFlags |= D3DCREATE_MULTITHREADED;
    m_bScissorSupported = (caps.RasterCaps & D3DPRASTERCAPS_SCISSORTEST) != 0;

    std::memset(&m_presentParams, 0, sizeof m_presentParams);
    m_presentParams.BackBufferWidth = UINT(m_nWidth);
    m_presentParams.BackBufferHeight = UINT(m_nHeight);
    m_presentParams.BackBufferFormat = D3DFMT_A8R8G8B8;
    m_presentParams.BackBufferCount = 1;
    m_presentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_presentParams.MultiSampleQuality = 0;
    m_presentParams.SwapEffect = (caps.Caps3 & D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD) ? D3DSWAPEFFECT_DISCARD
                                                                                           : D3DSWAPEFFECT_COPY;
    m_presentParams.hDeviceWindow = m_hWindow;
    m_presentParams.Windowed = windowed ? TRUE : FALSE;
    m_presentParams.EnableAutoDepthStencil = TRUE;
    m_presentParams.AutoDepthStencilFormat = D3DFMT_D24S8;
    m_presentParams.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    m_presentParams.FullScreen_RefreshRateInHz = 0;
    m_presentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    m_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &m_displayMode);
    if (FAILED(m_pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, type, m_displayMode.Format, D3DUSAGE_DEPTHSTENCIL,
                                         D3DRTYPE_SURFACE, D3DFMT_D24S8)))
        return E_FAIL;

    if (!reset || !*out) {
        hr = m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, type, m_hWindow, m_behaviorFlags, &m_presentParams, out);
        if (FAILED(hr)) {
            m_presentParams.AutoDepthStencilFormat = D3DFMT_D16;
            hr = m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, type, m_hWindow, m_behaviorFlags, &m_presentParams, out);
            if (FAILED(hr)) {
                m_pD3D->Release();
                m_pD3D = nullptr;
                return hr;
            }
        }
        D3DCAPS9 deviceCaps{};
        (*out)->GetDeviceCaps(&deviceCaps);
        m_bDynamicTextures = false;
        m_nMaxTextureWidth = int(std::min<DWORD>(1024, deviceCaps.MaxTextureWidth));
        m_nMaxTextureHeight = int(std::min<DWORD>(1024, deviceCaps.MaxTextureHeight));
        m_bSquareOnly = (deviceCaps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
        m_bPowerOfTwo = (deviceCaps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
        m_nMaxTextureAspect = int(deviceCaps.MaxTextureAspectRatio);
        m_bAlphaTestSupported = (deviceCaps.AlphaCmpCaps & D3DPCMPCAPS_GREATEREQUAL) != 0;
        if (m_bSquareOnly) {
            m_nMaxTextureWidth = std::min(512, m_nMaxTextureWidth);
            m_nMaxTextureHeight = std::min(512, m_nMaxTextureHeight);
        }
        return hr;
    }

    hr = (*out)->Reset(&m_presentParams);
    if (FAILED(hr))
        debugLine("InitD3D: Reset() failed.  hr = ", long(hr), "\n");
    else
        debugLine("InitD3D: Reset() succeeded\n");
    return hr;
}

void GraphicsWWinDX::deriveViewMatrix()
{
    ViewCamera& c = m_camera;
    float v[3];
    if (vectorNormalize(v, c.axis3))
        std::memcpy(c.axis3, v, sizeof v);
    vectorCross(v, c.axis3, c.axis1);
    if (vectorNormalize(v, v))
        std::memcpy(c.axis2, v, sizeof v);
    vectorCross(v, c.axis2, c.axis3);
    if (vectorNormalize(v, v))
        std::memcpy(c.axis1, v, sizeof v);
    matrixIdentity(&m_viewMatrix);
    for (int r = 0; r < 3; ++r) {
        m_viewMatrix.m[r][0] = c.axis1[r];
        m_viewMatrix.m[r][1] = c.axis2[r];
        m_viewMatrix.m[r][2] = c.axis3[r];
        m_viewMatrix.m[r][3] = 0.0f;
    }
    m_viewMatrix.m[3][0] = -vectorDot(c.axis1, c.position);
    m_viewMatrix.m[3][1] = -vectorDot(c.axis2, c.position);
    m_viewMatrix.m[3][2] = -vectorDot(c.axis3, c.position);
    m_viewMatrix.m[3][3] = 1.0f;
}

HRESULT GraphicsWWinDX::createDXDevice(bool windowed, bool reset)
{
    if (m_pDevice && !reset)
        return 0;
    m_bWindowed = windowed;
    debugLine("createDXDevice: m_bWindowed = ", m_bWindowed ? 1 : 0, "\n");
    HRESULT hr = InitD3D(windowed, D3DDEVTYPE_HAL, &m_pDevice, reset);
    if (FAILED(hr) && !reset)
        fatalError("IDS_DXERR_NODLL");
    if (FAILED(hr)) {
        if (++m_nResetFailures >= 10)
            fatalError("IDS_DXERR_RESTART");
        // The next failed cooperative-level test raises the flag again, and
        // that retries the reset.
        if (m_pLostFlag) {
            lang::Synchronized guard(m_pLostFlag);
            m_pLostFlag->setLost(false);
        }
        return hr;
    }
    m_nResetFailures = 0;
    m_nCoopTries = 0;
    matrixIdentity(&m_worldMatrix);
    deriveViewMatrix();
    if (!reset) {
        if (!m_pTexturedDecl)
            m_pDevice->CreateVertexDeclaration(kTexturedElements, &m_pTexturedDecl);
        if (!m_pColoredDecl)
            m_pDevice->CreateVertexDeclaration(kColoredElements, &m_pColoredDecl);
    }
    if (matrixPerspectiveFovLH(&m_projectionMatrix, 0.7853982f, float(m_nWidth) / float(m_nHeight), 1.0f, 1000.0f))
        m_pDevice->SetTransform(D3DTS_PROJECTION, &m_projectionMatrix);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    return hr;
}

HRESULT GraphicsWWinDX::testCooperativeLevel(bool quiet)
{
    if (!m_pDevice)
        return D3DERR_INVALIDDEVICE;
    HRESULT hr = m_pDevice->TestCooperativeLevel();
    if (!quiet) {
        debugLine("testCooperativeLevel\n");
        if (hr == D3DERR_DEVICELOST)
            debugLine("testCooperativeLevel: Device lost\n");
        else if (hr == D3DERR_DEVICENOTRESET)
            signalDeviceLost();
    }
    return hr;
}

void GraphicsWWinDX::signalDeviceLost()
{
    if (WindowGlobals::isSleeping() || !m_pLostFlag)
        return;
    lang::Synchronized guard(m_pLostFlag);
    debugLine("signalDeviceLost\n");
    if (!m_pLostFlag->isLost()) {
        m_pLostFlag->setLost(true);
        debugLine("Warning: Device has been lost!!\n");
        PostMessageA(m_hWindow, Component::WMP_LOST_DEVICE, 0, 0);
    }
}

int GraphicsWWinDX::RestoreDevice(bool windowed)
{
    HRESULT hr = testCooperativeLevel(false);
    if (hr == D3DERR_DEVICELOST) {
        ++m_nCoopTries;
        debugLine("RestoreDevice: testCooperativeLevel = D3DERR_LOSTDEVICE\n");
        debugLine("    CoopTries = ", m_nCoopTries, "\n");
        return hr;
    }
    if (hr == D3DERR_DEVICENOTRESET) {
        debugLine("RestoreDevice: testCooperativeLevel = D3DERR_DEVICENOTRESET\n");
        releaseDeviceResources(true);
        hr = createDXDevice(windowed, true);
        if (SUCCEEDED(hr))
            markParticlesForRecreate(true);
        return hr;
    }
    debugLine("RestoreDevice: testCooperativeLevel = ", long(hr), "\n");
    return hr;
}

int GraphicsWWinDX::recreateDevice(bool windowed)
{
    HRESULT hr = testCooperativeLevel(false);
    if (hr == D3DERR_DEVICENOTRESET)
        return RestoreDevice(windowed);
    if (hr != D3DERR_DEVICELOST)
        return hr;
    debugLine("recreateDevice: testCooperativeLevel = D3DERR_LOSTDEVICE\n");
    releaseDeviceResources(false);
    if (m_pDevice)
        releaseDevice();
    hr = createDXDevice(windowed, false);
    if (SUCCEEDED(hr))
        markParticlesForRecreate(true);
    return hr;
}

int GraphicsWWinDX::getCoopTries()
{
    return m_nCoopTries;
}

void GraphicsWWinDX::setCoopTries(int tries)
{
    m_nCoopTries = tries;
}

void GraphicsWWinDX::releaseDeviceResources(bool forReset)
{
    ImageWinDX::releaseAllTextures(forReset);
    for (int kind = 0; kind < 3; ++kind) {
        if (m_pVertexBuffers[kind]) {
            debugLine("Clearing Vertex Buffer ", kind, "\n");
            m_pVertexBuffers[kind]->Release();
            m_pVertexBuffers[kind] = nullptr;
        }
    }
    releaseSwapChains();
}

void GraphicsWWinDX::releaseDevice()
{
    if (m_pTexturedDecl) {
        m_pTexturedDecl->Release();
        m_pTexturedDecl = nullptr;
    }
    if (m_pColoredDecl) {
        m_pColoredDecl->Release();
        m_pColoredDecl = nullptr;
    }
    for (IDirect3DVertexBuffer9*& buffer : m_pVertexBuffers) {
        if (buffer) {
            buffer->Release();
            buffer = nullptr;
        }
    }
    if (m_pDevice) {
        m_pDevice->Release();
        m_pDevice = nullptr;
        debugLine("Releasing device...\n");
    }
}

void GraphicsWWinDX::releaseD3D()
{
    if (m_pD3D) {
        m_pD3D->Release();
        m_pD3D = nullptr;
    }
    m_hD3D9Module = nullptr;
    m_bLibraryLoaded = false;
}

// ---------------------------------------------------------------------------
// Swap chains

bool GraphicsWWinDX::createSwapChain(HWND hwnd)
{
    if (findSwapChain(hwnd))
        return true;
    if (!m_pDevice)
        return false;
    SwapChain* made = new SwapChain(hwnd);
    m_presentParams.hDeviceWindow = hwnd;
    IDirect3DSwapChain9* chain = nullptr;
    HRESULT hr = m_pDevice->CreateAdditionalSwapChain(&m_presentParams, &chain);
    if (FAILED(hr)) {
        made->release();
        if (hr == D3DERR_DEVICELOST) {
            debugLine("*** Warning: DirectX return D3DERR_DEVICELOST in createSwapChain\n");
            signalDeviceLost();
            return false;
        }
        fatalError("IDS_DXERR_SWAP");
    }
    made->chain = chain;
    if (!m_pSwapChains)
        m_pSwapChains = new util::Vector(10);
    lang::Synchronized guard(m_pSwapChains);
    // The list keeps the reference of the creation besides its own; both go
    // in releaseSwapChains.
    m_pSwapChains->addElement(made);
    return true;
}

SwapChain* GraphicsWWinDX::findSwapChain(HWND hwnd)
{
    if (!m_pSwapChains)
        return nullptr;
    lang::Synchronized guard(m_pSwapChains);
    for (int i = 0; i < m_pSwapChains->size(); ++i) {
        auto* chain = static_cast<SwapChain*>(m_pSwapChains->get(i));
        if (chain->windowHandle == hwnd)
            return chain;
    }
    return nullptr;
}

void GraphicsWWinDX::setTargetWindow(HWND hwnd)
{
    if (m_nDrawDepth != 0 || !m_bWindowed || !m_pLostFlag || !m_pDevice)
        return;
    {
        lang::Synchronized guard(m_pLostFlag);
        if (m_pLostFlag->isLost())
            return;
    }
    if (m_pCurrentSwapChain && m_pCurrentSwapChain->windowHandle == hwnd)
        return;
    releaseCurrentSwapChain();
    SwapChain* chain = findSwapChain(hwnd);
    if (!chain) {
        if (!createSwapChain(hwnd))
            return;
        chain = findSwapChain(hwnd);
    }
    if (chain) {
        chain->addRef();
        m_pCurrentSwapChain = chain;
    }
}

HWND GraphicsWWinDX::getTargetWindow() const
{
    return m_pCurrentSwapChain ? m_pCurrentSwapChain->windowHandle : nullptr;
}

void GraphicsWWinDX::releaseCurrentSwapChain()
{
    if (m_pCurrentSwapChain) {
        m_pCurrentSwapChain->release();
        m_pCurrentSwapChain = nullptr;
    }
    m_pCurrentSwapChainInterface = nullptr;
}

void GraphicsWWinDX::releaseSwapChains()
{
    if (m_pSwapChains) {
        util::Vector* chains = m_pSwapChains;
        {
            lang::Synchronized guard(chains);
            while (chains->size() > 0) {
                lang::Object* chain = chains->elementAt(0);
                chains->removeElementAt(0);
                chain->release();
            }
            chains->removeAllElements();
        }
        chains->release();
        m_pSwapChains = nullptr;
    }
    releaseCurrentSwapChain();
}

// ---------------------------------------------------------------------------
// The drawing bracket

bool GraphicsWWinDX::beginDrawing()
{
    ProfileScope profile("GraphicsWWinDX::beginDrawing");
    if (m_nDrawDepth++ == 0) {
        createDXDevice(m_bWindowed, false);
        m_bSceneOpen = false;
    }
    return true;
}

void GraphicsWWinDX::endDrawing()
{
    if (m_nDrawDepth > 0) {
        --m_nDrawDepth;
        if (m_nDrawDepth == 0 && m_bSceneOpen && m_pDevice) {
            HRESULT hr = m_pDevice->EndScene();
            if (!m_bRenderingToImage) {
                if (m_pCurrentSwapChainInterface && m_bWindowed && m_pCurrentSwapChain)
                    hr = m_pCurrentSwapChainInterface->Present(nullptr, nullptr, nullptr, nullptr, 0);
                else
                    hr = m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
            }
            if (hr == D3DERR_DEVICELOST) {
                debugLine("endDrawing(): device is lost");
                signalDeviceLost();
            }
            return;
        }
    }
    if (m_nDrawDepth == 0)
        testCooperativeLevel(false);
}

Graphics* GraphicsWWinDX::create()
{
    if (!beginDrawing())
        return nullptr;
    pushState();
    m_pMatrixStack->push();
    addRef();
    return this;
}

void GraphicsWWinDX::dispose()
{
    popState();
    m_pMatrixStack->pop();
    endDrawing();
}

void GraphicsWWinDX::clearScreen()
{
    if (m_pDevice)
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
}

void GraphicsWWinDX::ensureScene()
{
    if (m_bSceneOpen || !m_pDevice)
        return;
    m_bSceneOpen = true;
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pDevice->BeginScene();
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    applyCompositeMode(m_nCompositeMode);
    if (m_bScissorSupported)
        m_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    // A vertex colour channel of 0x80 leaves the texel unchanged.
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    m_pDevice->SetVertexDeclaration(m_pTexturedDecl);
    ImageWinDX::flushPendingReleases();
    if (m_bWindowed && !m_bRenderingToImage && m_pCurrentSwapChain && m_pCurrentSwapChain->chain) {
        IDirect3DSurface9* backBuffer = nullptr;
        IDirect3DSurface9* depthStencil = nullptr;
        m_pCurrentSwapChain->chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
        m_pDevice->GetDepthStencilSurface(&depthStencil);
        if (backBuffer)
            m_pDevice->SetRenderTarget(0, backBuffer);
        m_pDevice->SetDepthStencilSurface(depthStencil);
        if (backBuffer)
            backBuffer->Release();
        if (depthStencil)
            depthStencil->Release();
        m_pCurrentSwapChainInterface = m_pCurrentSwapChain->chain;
    }
}

bool GraphicsWWinDX::applyCompositeMode(int mode)
{
    if (mode != 0 && mode != 1)
        return false;
    if (m_pDevice) {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, mode == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
    }
    return true;
}

IDirect3DVertexBuffer9* GraphicsWWinDX::getVertexBuffer(int kind, int count)
{
    if (kind < 0 || kind > 2)
        return nullptr;
    if (m_pVertexBuffers[kind])
        return m_pVertexBuffers[kind];
    if (!m_pDevice)
        return nullptr;
    UINT length = kind == VB_TEXTURED ? UINT(count) * 28u
                  : kind == VB_COLORED ? UINT(count) * 20u
                                       : UINT(POINT_BUFFER_VERTICES) * 20u;
    DWORD usage = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | (kind == VB_POINTS ? D3DUSAGE_POINTS : 0);
    HRESULT hr = m_pDevice->CreateVertexBuffer(length, usage, 0, D3DPOOL_DEFAULT, &m_pVertexBuffers[kind], nullptr);
    if (FAILED(hr)) {
        m_pVertexBuffers[kind] = nullptr;
        debugLine("Failed to create vertex buffer...\n");
        return nullptr;
    }
    debugLine("Created Vertex Buffer ", kind, "...\n");
    return m_pVertexBuffers[kind];
}

// ---------------------------------------------------------------------------
// Particle batches

GraphicsParticle* GraphicsWWinDX::createParticle()
{
    auto* batch = new GraphicsParticleDX(this);
    lang::Synchronized guard(m_pParticles);
    m_pParticles->addElement(batch);
    return batch;
}

bool GraphicsWWinDX::removeParticle(GraphicsParticle* batch)
{
    lang::Synchronized guard(m_pParticles);
    return m_pParticles->removeElement(batch);
}

void GraphicsWWinDX::markParticlesForRecreate(bool flag)
{
    lang::Synchronized guard(m_pParticles);
    for (int i = 0; i < m_pParticles->size(); ++i)
        if (auto* batch = dynamic_cast<GraphicsParticleDX*>(m_pParticles->elementAt(i)))
            batch->setNeedsRecreate(flag);
}

void GraphicsWWinDX::detachParticles()
{
    lang::Synchronized guard(m_pParticles);
    for (int i = 0; i < m_pParticles->size(); ++i) {
        if (auto* batch = dynamic_cast<GraphicsParticleDX*>(m_pParticles->elementAt(i))) {
            batch->active = false;
            batch->releaseBuffers();
            batch->detachOwner();
        }
    }
    m_pParticles->removeAllElements();
}

int GraphicsWWinDX::getParticleCount()
{
    return m_pParticles->size();
}

// ---------------------------------------------------------------------------
// Drawing

bool GraphicsWWinDX::getVertexColors(uint32_t out[4])
{
    auto doubledAlpha = [](const ColorBase& c) {
        uint32_t a = uint32_t(std::min(255, 2 * c.getAlpha()));
        return (c.getValue() & 0x00FFFFFFu) | (a << 24);
    };
    if (m_bCornerColorsOn) {
        for (int i = 0; i < 4; ++i)
            out[i] = doubledAlpha(getCornerColor(i));
        return true;
    }
    out[0] = out[1] = out[2] = out[3] = doubledAlpha(getImageColorWithAlpha());
    return false;
}

bool GraphicsWWinDX::drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX,
                                       double scaleY, double rotation, int flip)
{
    ProfileScope profile("GraphicsWWinDX::drawImageCentered");
    if (!image)
        return false;
    image->getPixels();
    auto* dx = dynamic_cast<ImageWinDX*>(image);
    if (!image->hasPixels() || !dx)
        return false;
    ensureScene();
    uint32_t colours[4];
    bool corners = getVertexColors(colours);
    util::RectangleNM whole(0, 0, image->getWidth(), image->getHeight());
    dx->draw(this, cx, cy, src ? src : &whole, colours, corners, m_bDynamicTextures, scaleX, scaleY, rotation, flip);
    return true;
}

bool GraphicsWWinDX::drawImage(ImageBase* image, int x, int y)
{
    ProfileScope profile("GraphicsWWinDX::drawImage");
    if (!image)
        return false;
    image->getPixels(); // the size is known once the picture is decoded
    return drawImageCentered(image, x + (image->getWidth() >> 1), y + (image->getHeight() >> 1), nullptr, 1.0, 1.0,
                             0.0, 0);
}

void GraphicsWWinDX::fillOval(int, int, int, int)
{
    ProfileScope profile("GraphicsWWinDX::fillOval");
    ensureScene();
}

void GraphicsWWinDX::fillRect(int x, int y, int w, int h)
{
    ProfileScope profile("GraphicsWWinDX::fillRect");
    drawFilledRect(x, y, x + w, y + h, m_color.getValue());
}

void GraphicsWWinDX::fillRectAlpha(int x, int y, int w, int h, uint32_t argb)
{
    ProfileScope profile("GraphicsWWinDX::fillRectAlpha");
    drawFilledRect(x, y, x + w, y + h, argb);
}

void GraphicsWWinDX::drawString(lang::String*, int, int)
{
    ProfileScope profile("GraphicsWWinDX::drawString");
}

void GraphicsWWinDX::drawBytes(const unsigned char*, int, int, int, int)
{
    ProfileScope profile("GraphicsWWinDX::drawBytes");
}

void GraphicsWWinDX::drawTruncated(lang::String*, util::RectangleNM*)
{
    ProfileScope profile("GraphicsWWinDX::drawTruncated");
}

void GraphicsWWinDX::drawBezier(const int*, int, int, int, int)
{
    ProfileScope profile("GraphicsWWinDX::drawBezier");
}

void GraphicsWWinDX::fillBezier(const int*, int, int)
{
    ProfileScope profile("GraphicsWWinDX::fillBezier");
}

void GraphicsWWinDX::fillPolygon(Polygon*)
{
    ProfileScope profile("GraphicsWWinDX::fillPolygon");
}

void GraphicsWWinDX::drawFilledRect(int x1, int y1, int x2, int y2, uint32_t argb)
{
    ProfileScope profile("GraphicsWWinDX::drawFilledRect");
    ensureScene();
    RECT out;
    applyClip(util::RectangleNM(x1, y1, x2 - x1, y2 - y1), &out);
    const float tx = float(m_nTranslateX);
    const float ty = float(m_nTranslateY);
    const float xy[8] = {float(x1) + tx, float(y1) + ty, float(x2) + tx, float(y1) + ty,
                         float(x2) + tx, float(y2) + ty, float(x1) + tx, float(y2) + ty};
    drawColoredQuad(xy, argb);
}

void GraphicsWWinDX::drawFilledRect(int x1, int y1, int x2, int y2, uint32_t argb, int x3, int y3, int x4, int y4)
{
    ProfileScope profile("GraphicsWWinDX::drawFilledRect");
    ensureScene();
    RECT out;
    applyClip(util::RectangleNM(x1, y1, x2 - x1, y2 - y1), &out);
    const float tx = float(m_nTranslateX);
    const float ty = float(m_nTranslateY);
    const float xy[8] = {float(x1) + tx, float(y1) + ty, float(x2) + tx, float(y2) + ty,
                         float(x3) + tx, float(y3) + ty, float(x4) + tx, float(y4) + ty};
    drawColoredQuad(xy, argb);
}

void GraphicsWWinDX::drawColoredQuad(const float xy[8], uint32_t argb)
{
    if (!m_pDevice)
        return;
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetVertexDeclaration(m_pColoredDecl);
    IDirect3DVertexBuffer9* buffer = getVertexBuffer(VB_COLORED, 4);
    if (buffer) {
        void* data = nullptr;
        if (SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD)) && data) {
            ColoredVertex vertices[4];
            for (int i = 0; i < 4; ++i)
                vertices[i] = ColoredVertex{xy[2 * i], xy[2 * i + 1], 0.0f, 1.0f, argb};
            std::memcpy(data, vertices, sizeof vertices);
            buffer->Unlock();
            m_pDevice->SetStreamSource(0, buffer, 0, sizeof(ColoredVertex));
            m_pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
        }
    }
    m_pDevice->SetVertexDeclaration(m_pTexturedDecl);
}

int GraphicsWWinDX::applyClip(const util::RectangleNM& rect, RECT* outRect)
{
    util::RectangleNM clip;
    getClipBounds(&clip);
    *outRect = RECT{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
    const int nonEmpty = rect.width >= 1 && rect.height >= 1 ? CLIP_NONEMPTY : 0;
    if (clip.x < 1 && clip.y < 1 && clip.x + clip.width >= m_nWidth && clip.y + clip.height >= m_nHeight) {
        if (m_bScissorSupported && m_pDevice) {
            RECT whole{0, 0, m_nWidth, m_nHeight};
            m_pDevice->SetScissorRect(&whole);
        }
        return nonEmpty;
    }
    if (!m_bScissorSupported) {
        // The viewport cannot start left of or above the target.
        int x = std::max(0, clip.x);
        int y = std::max(0, clip.y);
        int w = std::max(0, clip.x + clip.width - x);
        int h = std::max(0, clip.y + clip.height - y);
        m_viewport = D3DVIEWPORT9{DWORD(x), DWORD(y), DWORD(w), DWORD(h), 0.0f, 0.0f};
        if (m_pDevice) {
            m_pDevice->GetViewport(&m_savedViewport);
            m_pDevice->SetViewport(&m_viewport);
        }
        return nonEmpty | CLIP_VIEWPORT_CHANGED | CLIP_APPLIED;
    }
    setScissor(clip);
    return CLIP_APPLIED | CLIP_NONEMPTY;
}

void GraphicsWWinDX::setScissor(const util::RectangleNM& r)
{
    if (m_bScissorSupported && m_pDevice) {
        RECT scissor{r.x, r.y, r.x + r.width, r.y + r.height};
        m_pDevice->SetScissorRect(&scissor);
    }
}

void GraphicsWWinDX::restoreViewport()
{
    if (!m_bScissorSupported && m_pDevice)
        m_pDevice->SetViewport(&m_savedViewport);
}

void GraphicsWWinDX::drawLine(int x1, int y1, int x2, int y2, int width)
{
    ProfileScope profile("GraphicsWWinDX::drawLine");
    const uint32_t colour = m_color.getOpaqueRGB();
    if (width < 2) {
        drawThinLine(x1, y1, x2, y2, colour);
        return;
    }
    const float line[3] = {float(x2 - x1), float(y2 - y1), 0.0f};
    float normal[3] = {-line[1], line[0], 0.0f};
    float unit[3];
    if (vectorNormalize(unit, normal))
        std::memcpy(normal, unit, sizeof unit);
    const int ox = int(normal[0] * float(width));
    const int oy = int(normal[1] * float(width));
    drawFilledRect(x1, y1, x2, y2, colour, x2 + ox, y2 + oy, x1 + ox, y1 + oy);
}

void GraphicsWWinDX::drawThinLine(int x1, int y1, int x2, int y2, uint32_t argb)
{
    if (x1 == x2 && y1 == y2)
        return;
    // Axis-aligned: one rectangle one pixel thick from the start point up to,
    // not including, the end point.
    if (y1 == y2) {
        const int left = x1 < x2 ? x1 : x2 + 1;
        const int right = x1 < x2 ? x2 : x1 + 1;
        drawFilledRect(left, y1, right, y1 + 1, argb);
        return;
    }
    if (x1 == x2) {
        const int top = y1 < y2 ? y1 : y2 + 1;
        const int bottom = y1 < y2 ? y2 : y1 + 1;
        drawFilledRect(x1, top, x1 + 1, bottom, argb);
        return;
    }
    // Otherwise a stepped line: one pixel per step along the longer axis, at
    // the nearest pixel across it, drawn as runs of pixels in a row or column.
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const bool shallow = std::abs(dx) >= std::abs(dy);
    const int steps = shallow ? std::abs(dx) : std::abs(dy);
    const int major = shallow ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    const int delta = shallow ? dy : dx;
    int i = 0;
    while (i < steps) {
        const int minor = roundDiv(i * delta, steps);
        int j = i + 1;
        while (j < steps && roundDiv(j * delta, steps) == minor)
            ++j;
        // Steps i .. j - 1 share one row (or column).
        const int a = major * i;
        const int b = major * (j - 1);
        const int lo = std::min(a, b);
        const int hi = std::max(a, b) + 1;
        if (shallow)
            drawFilledRect(x1 + lo, y1 + minor, x1 + hi, y1 + minor + 1, argb);
        else
            drawFilledRect(x1 + minor, y1 + lo, x1 + minor + 1, y1 + hi, argb);
        i = j;
    }
}

void GraphicsWWinDX::drawPath(Polygon* polygon, int width)
{
    ProfileScope profile("GraphicsWWinDX::drawPath");
    if (!polygon)
        return;
    for (int i = 0; i + 1 < polygon->getCount(); ++i)
        drawLine(polygon->getX(i), polygon->getY(i), polygon->getX(i + 1), polygon->getY(i + 1), width);
}

void GraphicsWWinDX::drawPolygon(Polygon* polygon)
{
    ProfileScope profile("GraphicsWWinDX::drawPolygon");
    if (!polygon)
        return;
    const int n = polygon->getCount();
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        drawLine(polygon->getX(i), polygon->getY(i), polygon->getX(j), polygon->getY(j), 1);
    }
}

// ---------------------------------------------------------------------------
// Transform stack

void GraphicsWWinDX::getTopMatrix(D3DMATRIX* out)
{
    matrixIdentity(out);
    m_pMatrixStack->getTop(out);
}

void GraphicsWWinDX::translate(int dx, int dy)
{
    Graphics::translate(dx, dy);
    if (dx != 0 || dy != 0)
        m_pMatrixStack->translate(float(dx), float(dy));
}

bool GraphicsWWinDX::scale(double sx, double sy)
{
    m_dScaleX *= sx;
    m_dScaleY *= sy;
    if (m_nDrawDepth == 0)
        return false;
    if (sx == 1.0 && sy == 1.0)
        return true;
    m_pMatrixStack->scale(float(sx), float(sy));
    return true;
}

bool GraphicsWWinDX::rotate(double degrees)
{
    if (m_nDrawDepth == 0)
        return false;
    if (degrees == 0.0)
        return true;
    m_pMatrixStack->rotate(float(degrees));
    return true;
}

bool GraphicsWWinDX::flip(int bits)
{
    if (m_nDrawDepth == 0)
        return false;
    if (bits == 0)
        return true;
    scale((bits & 1) ? -1.0 : 1.0, (bits & 2) ? -1.0 : 1.0);
    return true;
}

// ---------------------------------------------------------------------------
// Blending and masks

void GraphicsWWinDX::setBlendMode(bool alphaBlend)
{
    if (!m_pDevice)
        return;
    if (alphaBlend) {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    } else {
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    }
}

bool GraphicsWWinDX::setCompositeMode(int mode)
{
    if (m_bSceneOpen)
        return applyCompositeMode(mode);
    return mode == 0 || mode == 1;
}

void GraphicsWWinDX::beginMask()
{
    if (!m_pDevice)
        return;
    m_pDevice->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetRenderState(D3DRS_STENCILREF, 1);
    m_pDevice->SetRenderState(D3DRS_STENCILMASK, 1);
    m_pDevice->SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    m_pDevice->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    m_pDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    // Nothing reaches the colour buffer while the mask is written.
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    if (m_bAlphaTestSupported) {
        // Only pixels with some alpha mark the mask.
        m_pDevice->SetRenderState(D3DRS_ALPHAREF, 0);
        m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
    }
    m_pDevice->Clear(0, nullptr, D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
    m_nMaskState = 2;
}

void GraphicsWWinDX::setMaskMode(bool write)
{
    if (m_nMaskState == 0 || (m_nMaskState == 2 && write) || (m_nMaskState == 1 && !write) || !m_pDevice)
        return;
    if (!write) {
        // Reference 1: NOTEQUAL draws outside the mask, EQUAL inside it.
        m_pDevice->SetRenderState(D3DRS_STENCILFUNC, m_bMaskInverted ? D3DCMP_EQUAL : D3DCMP_NOTEQUAL);
        m_pDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
        m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        setBlendMode(true);
        m_nMaskState = 1;
        return;
    }
    m_pDevice->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    if (m_bAlphaTestSupported) {
        m_pDevice->SetRenderState(D3DRS_ALPHAREF, 0);
        m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NOTEQUAL);
    }
    m_nMaskState = 2;
}

void GraphicsWWinDX::endMask()
{
    setBlendMode(true);
    if (m_pDevice) {
        m_pDevice->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    }
    m_nMaskState = 0;
}

void GraphicsWWinDX::setMaskInverted(bool inverted)
{
    m_bMaskInverted = inverted;
}

// ---------------------------------------------------------------------------
// Rendering into an image, reading the back buffer

void GraphicsWWinDX::fitTextureSize(int* width, int* height, bool powerOfTwo, bool squareOnly)
{
    if (powerOfTwo) {
        for (int p = 2; p <= m_nMaxTextureWidth; p *= 2)
            if (p >= *width) {
                *width = p;
                break;
            }
        for (int p = 2; p <= m_nMaxTextureHeight; p *= 2)
            if (p >= *height) {
                *height = p;
                break;
            }
    }
    if (squareOnly && *width != *height)
        *width = *height = std::max(*width, *height);
}

Graphics* GraphicsWWinDX::beginRenderToImage(int* width, int* height)
{
    if (!beginDrawing())
        return nullptr;
    pushState();
    m_pMatrixStack->push();
    addRef();
    if (!m_pDevice)
        return this;
    if (m_pSavedRenderTarget)
        m_pSavedRenderTarget->Release();
    m_pSavedRenderTarget = nullptr;
    m_pDevice->GetRenderTarget(0, &m_pSavedRenderTarget);
    fitTextureSize(width, height, m_bPowerOfTwo, m_bSquareOnly);
    if (m_pRenderTexture)
        m_pRenderTexture->Release();
    m_pRenderTexture = nullptr;
    HRESULT hr = m_pDevice->CreateTexture(UINT(*width), UINT(*height), 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                          D3DPOOL_DEFAULT, &m_pRenderTexture, nullptr);
    if (SUCCEEDED(hr) && m_pRenderTexture) {
        m_nRenderTextureWidth = *width;
        m_nRenderTextureHeight = *height;
        IDirect3DSurface9* surface = nullptr;
        if (SUCCEEDED(m_pRenderTexture->GetSurfaceLevel(0, &surface)) && surface) {
            m_pDevice->SetRenderTarget(0, surface);
            surface->Release();
        }
    } else {
        m_pRenderTexture = nullptr;
    }
    m_bRenderingToImage = true;
    return this;
}

void GraphicsWWinDX::endRenderToImage(ImageBase* image, int width, int height)
{
    popState();
    m_pMatrixStack->pop();
    endDrawing();
    if (m_pDevice && m_pSavedRenderTarget)
        m_pDevice->SetRenderTarget(0, m_pSavedRenderTarget);
    if (m_pSavedRenderTarget) {
        m_pSavedRenderTarget->Release();
        m_pSavedRenderTarget = nullptr;
    }
    copyTextureToImage(image, width, height);
    m_bRenderingToImage = false;
}

void GraphicsWWinDX::copyTextureToImage(ImageBase* image, int width, int height)
{
    if (!m_pDevice || !m_pRenderTexture || !image || width < 1 || height < 1)
        return;
    IDirect3DTexture9* texture = m_pRenderTexture;
    m_pRenderTexture = nullptr;
    IDirect3DSurface9* systemSurface = nullptr;
    HRESULT hr = m_pDevice->CreateOffscreenPlainSurface(UINT(m_nRenderTextureWidth), UINT(m_nRenderTextureHeight),
                                                        D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &systemSurface, nullptr);
    if (FAILED(hr) || !systemSurface) {
        debugLine("Failed to create offscreen plain surface, hr = ", long(hr), "\n");
        texture->Release();
        return;
    }
    IDirect3DSurface9* renderSurface = nullptr;
    texture->GetSurfaceLevel(0, &renderSurface);
    hr = renderSurface ? m_pDevice->GetRenderTargetData(renderSurface, systemSurface) : E_FAIL;
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(hr))
        hr = systemSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NO_DIRTY_UPDATE);
    if (FAILED(hr)) {
        debugLine("Failed to lock rect, Graphics::copyTextureToImage, hr = ", long(hr), "\n");
    } else {
        if (!image->getPixels())
            image->create(width, height, 1, false);
        uint32_t* pixels = image->getPixels();
        if (pixels) {
            // Only what both the texture and the image hold is copied.
            const int rows = std::min(m_nRenderTextureHeight, image->getHeight());
            const int columns = std::min(m_nRenderTextureWidth, image->getWidth());
            const int stride = image->getWidth();
            for (int y = 0; y < rows; ++y)
                std::memcpy(pixels + size_t(y) * size_t(stride),
                            static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
                            size_t(columns) * 4);
            image->setModified(true);
        }
        systemSurface->UnlockRect();
    }
    if (renderSurface)
        renderSurface->Release();
    systemSurface->Release();
    if (auto* dx = dynamic_cast<ImageWinDX*>(image))
        dx->addTexture(texture);
    else
        texture->Release();
}

void GraphicsWWinDX::getBackBuffer(int, int, int w, int h, uint32_t* pixels)
{
    if (!m_pDevice || !pixels || w < 1 || h < 1)
        return;
    IDirect3DSurface9* backBuffer = nullptr;
    HRESULT hr;
    if (m_pCurrentSwapChain && m_pCurrentSwapChain->chain && m_bWindowed)
        hr = m_pCurrentSwapChain->chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    else
        hr = m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    if (FAILED(hr) || !backBuffer) {
        debugLine("Failed to get back buffer, hr = ", long(hr), "\n");
        return;
    }
    D3DSURFACE_DESC desc{};
    // The description of a back buffer comes from its container's parameters.
    desc.Width = m_presentParams.BackBufferWidth;
    desc.Height = m_presentParams.BackBufferHeight;
    D3DLOCKED_RECT locked{};
    hr = backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NO_DIRTY_UPDATE);
    if (FAILED(hr)) {
        debugLine("Failed to lock rect, Graphics::getBackBuffer, hr = ", long(hr), "\n");
        backBuffer->Release();
        return;
    }
    // Only what both the back buffer and the caller's w x h hold is copied.
    const int rows = std::min(h, int(desc.Height));
    const int columns = std::min(w, int(desc.Width));
    for (int y = 0; y < rows; ++y)
        std::memcpy(pixels + size_t(y) * size_t(w),
                    static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
                    size_t(columns) * 4);
    backBuffer->UnlockRect();
    backBuffer->Release();
}

} // namespace window

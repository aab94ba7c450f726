// GraphicsParticleDX.cpp: point-sprite particle batches.
#include "windowing/d3d/GraphicsParticleDX.h"

#include "core/util/Vector3D.h"
#include "platform/d3d9/D3D9.h"
#include "windowing/graphics/ColorBase.h"
#include "windowing/window/DebugLine.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/d3d/ImageWinDX.h"

#include <algorithm>
#include <cstring>

namespace window {

namespace {

struct PointVertex {
    float x, y, z, rhw;
    uint32_t colour;
};
static_assert(sizeof(PointVertex) == 20, "point vertices are 20 bytes");

const D3DVERTEXELEMENT9 kPointElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END()};

const D3DVERTEXELEMENT9 kSpriteElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

DWORD floatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

GraphicsParticleDX::GraphicsParticleDX(GraphicsWWinDX* owner)
    : m_pWrite(nullptr), m_pOwner(owner), m_nFirstVertex(0), m_nBatchSize(0), m_nCapacity(0), m_nBatchLimit(0),
      m_nBatchCount(0), m_pPointDecl(nullptr), m_pSpriteDecl(nullptr), m_pSavedDecl(nullptr),
      m_bNeedsRecreate(false), m_pTexture(nullptr)
{
}

GraphicsParticleDX::~GraphicsParticleDX()
{
    active = false;
    releaseBuffers();
    if (m_pOwner)
        m_pOwner->removeParticle(this);
    if (m_pSavedDecl)
        m_pSavedDecl->Release();
    if (m_pTexture)
        m_pTexture->release();
}

void GraphicsParticleDX::releaseBuffers()
{
    if (m_pPointDecl) {
        m_pPointDecl->Release();
        m_pPointDecl = nullptr;
    }
    if (m_pSpriteDecl) {
        m_pSpriteDecl->Release();
        m_pSpriteDecl = nullptr;
    }
}

int GraphicsParticleDX::begin(int count, float size, ImageWinDX* texture)
{
    if (!m_pOwner || !m_pOwner->getDevice())
        return 0;
    // The points buffer holds 1,000 vertices: a batch never claims more.
    count = std::max(1, std::min(count, int(GraphicsWWinDX::POINT_BUFFER_VERTICES)));
    if (m_nCapacity == 0 || m_nCapacity < count || m_bNeedsRecreate || !m_pPointDecl) {
        m_nCapacity = count;
        m_nBatchSize = std::min(count, int(BATCH_POINTS));
        releaseBuffers();
        IDirect3DDevice9* device = m_pOwner->getDevice();
        device->CreateVertexDeclaration(kPointElements, &m_pPointDecl);
        device->CreateVertexDeclaration(kSpriteElements, &m_pSpriteDecl);
        m_bNeedsRecreate = false;
    }
    if (texture)
        texture->addRef();
    if (m_pTexture)
        m_pTexture->release();
    m_pTexture = texture;
    setupRender(size);
    lockBatch();
    return m_nCapacity;
}

void GraphicsParticleDX::setupRender(float size)
{
    m_pOwner->ensureScene();
    IDirect3DDevice9* device = m_pOwner->getDevice();
    if (m_pSavedDecl)
        m_pSavedDecl->Release();
    m_pSavedDecl = nullptr;
    device->GetVertexDeclaration(&m_pSavedDecl);
    device->SetVertexDeclaration(m_pPointDecl);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, floatBits(size));
    device->SetRenderState(D3DRS_POINTSCALE_A, floatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, floatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, 1);
    IDirect3DTexture9* tile = nullptr;
    if (m_pTexture && m_pTexture->createTextures(device, m_pOwner, m_pOwner->getDynamicTextures()))
        tile = m_pTexture->getTexture(0);
    device->SetTextureStageState(0, D3DTSS_COLOROP, tile ? D3DTOP_MODULATE2X : D3DTOP_MODULATE);
    device->SetTexture(0, tile);
    device->SetStreamSource(0, m_pOwner->getVertexBuffer(GraphicsWWinDX::VB_POINTS, 0), 0, sizeof(PointVertex));
    m_nFirstVertex = 0;
    RECT clipped;
    m_pOwner->applyClip(util::RectangleNM(0, 0, 800, 600), &clipped);
}

void GraphicsParticleDX::restoreRender()
{
    IDirect3DDevice9* device = m_pOwner->getDevice();
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    if (m_pSavedDecl) {
        device->SetVertexDeclaration(m_pSavedDecl);
        m_pSavedDecl->Release();
        m_pSavedDecl = nullptr;
    }
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    m_pOwner->restoreViewport();
}

void GraphicsParticleDX::lockBatch()
{
    m_pWrite = nullptr;
    m_nBatchCount = 0;
    if (m_nFirstVertex >= m_nCapacity)
        m_nFirstVertex = 0;
    m_nBatchLimit = std::min(m_nCapacity - m_nFirstVertex, m_nBatchSize);
    IDirect3DVertexBuffer9* buffer = m_pOwner->getVertexBuffer(GraphicsWWinDX::VB_POINTS, 0);
    if (!buffer)
        return;
    void* data = nullptr;
    const DWORD flags = m_nFirstVertex > 0 ? D3DLOCK_NOOVERWRITE : D3DLOCK_DISCARD;
    if (SUCCEEDED(buffer->Lock(UINT(m_nFirstVertex) * sizeof(PointVertex), UINT(m_nBatchLimit) * sizeof(PointVertex),
                               &data, flags)))
        m_pWrite = static_cast<uint8_t*>(data);
}

void GraphicsParticleDX::unlockBatch()
{
    if (m_pWrite) {
        if (IDirect3DVertexBuffer9* buffer = m_pOwner->getVertexBuffer(GraphicsWWinDX::VB_POINTS, 0))
            buffer->Unlock();
    }
    m_pWrite = nullptr;
}

void GraphicsParticleDX::addParticle(util::Vector3D* position, ColorBase* colour)
{
    if (!m_pOwner || !m_pWrite || !position || !colour)
        return;
    const PointVertex v{position->x, position->y, 0.0f, 1.0f, colour->getValue()};
    std::memcpy(m_pWrite, &v, sizeof v);
    m_pWrite += sizeof v;
    if (++m_nBatchCount == m_nBatchLimit) {
        flush(m_nBatchCount);
        lockBatch();
    }
}

void GraphicsParticleDX::flush(int count)
{
    unlockBatch();
    IDirect3DVertexBuffer9* buffer = m_pOwner->getVertexBuffer(GraphicsWWinDX::VB_POINTS, 0);
    Graphics* context = m_pOwner->create();
    IDirect3DDevice9* device = m_pOwner->getDevice();
    if (device && buffer) {
        device->SetStreamSource(0, buffer, 0, sizeof(PointVertex));
        if (FAILED(device->DrawPrimitive(D3DPT_POINTLIST, UINT(m_nFirstVertex), UINT(count))))
            debugLine("Particle Sprite draw failed\n");
    }
    if (context) {
        context->dispose();
        context->release();
    }
    m_nFirstVertex += count;
}

void GraphicsParticleDX::end()
{
    if (!m_pOwner || !m_pOwner->getDevice())
        return;
    if (m_nBatchCount >= 1)
        flush(m_nBatchCount);
    else
        unlockBatch();
    m_nBatchCount = 0;
    restoreRender();
}

} // namespace window

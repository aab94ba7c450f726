// ImageWinDX.cpp: constructors, copies and the pixel side of the Direct3D
// image, its texture tiles, the process-wide list of images holding textures
// and the textures whose release waits for the next frame, and the drawing
// of an image as textured quads.
#include "windowing/d3d/ImageWinDX.h"

#include "core/lang/Synchronized.h"
#include "core/util/Vector.h"
#include "platform/d3d9/D3D9.h"
#include "windowing/window/DebugLine.h"
#include "windowing/d3d/GraphicsIWinDX.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/graphics/MatrixMath.h"
#include "windowing/d3d/TileDX.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace window {

namespace {

// Images that own textures; the list holds a reference on each. Images are
// released on the loader thread too, so the list is reached atomically.
std::atomic<util::Vector*> g_liveImages{nullptr};
// Set while the live list itself drops its references; written and read
// only under the list's monitor.
bool g_releasingLiveList = false;
// Textures whose release waits for the next scene start, under its own lock.
util::TVector<IDirect3DTexture9*>* g_pendingReleases = nullptr;
// Counts successful texture creations of images.
int g_textureGeneration = 0;

lang::Object* pendingLock()
{
    static lang::Object* lock = new lang::Object();
    return lock;
}

util::Vector* liveList()
{
    if (!g_liveImages)
        g_liveImages = new util::Vector(10);
    return g_liveImages.load();
}

// Dynamic textures are made only while this much texture memory is left.
constexpr UINT kDynamicTextureMemory = 30000000;
// Degrees to radians as the drawing code converts them.
constexpr double kRadiansPerDegree = 0.01745329238474369;

struct TexturedVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(TexturedVertex) == 28, "textured vertices are 28 bytes");

float lerp(float a, float b, float t)
{
    // Exact at both ends, so tiles that share an edge share its vertices.
    return (1.0f - t) * a + t * b;
}

uint32_t lerpColour(uint32_t a, uint32_t b, float t)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = float((a >> shift) & 0xFF);
        const float cb = float((b >> shift) & 0xFF);
        const int c = int(lerp(ca, cb, t) + 0.5f);
        result |= uint32_t(std::min(255, std::max(0, c))) << shift;
    }
    return result;
}

} // namespace

ImageWinDX::ImageWinDX(const lang::String& name)
{
    m_name = name;
    load();
}

ImageWinDX::ImageWinDX(const lang::String& name, bool immediate)
{
    m_name = name;
    bool saved = forceImmediateDecode;
    if (immediate)
        forceImmediateDecode = true;
    load();
    forceImmediateDecode = saved;
}

ImageWinDX::ImageWinDX(const unsigned char* bytes, int length)
{
    decode(bytes, length);
}

ImageWinDX::ImageWinDX(int width, int height, int fillMode, bool noBuffer)
{
    create(width, height, fillMode, noBuffer);
}

ImageWinDX::~ImageWinDX()
{
    releaseTextures(true);
    m_pTextures->release();
    m_pTileRecords->release();
}

void ImageWinDX::createSurface() {}

void ImageWinDX::freePixels()
{
    if (getTextureCount() > 0)
        releaseTextures(false);
    ImageWin32::freePixels();
}

Graphics* ImageWinDX::getGraphics()
{
    return new GraphicsIWinDX(this, nullptr);
}

bool ImageWinDX::hasSurface()
{
    return false;
}

ImageWinDX* ImageWinDX::clone()
{
    ImageWinDX* copy = new ImageWinDX(m_nWidth, m_nHeight, 2, false);
    copyInto(copy);
    return copy;
}

void ImageWinDX::release()
{
    util::Vector* live = g_liveImages;
    if (getRefCount() == 2 && live) {
        lang::Synchronized guard(live);
        if (!g_releasingLiveList && live->indexOf(this) >= 0) {
            g_releasingLiveList = true;
            live->removeElement(this);
            g_releasingLiveList = false;
        }
    }
    ImageWin32::release();
}

// ---------------------------------------------------------------------------
// Textures

int ImageWinDX::getTextureCount()
{
    return m_pTextures->size();
}

int ImageWinDX::getTileRecordCount()
{
    return m_pTileRecords->size();
}

IDirect3DTexture9* ImageWinDX::getTexture(int index)
{
    if (!m_pPixels)
        return nullptr;
    lang::Synchronized guard(m_pTextures);
    if (index < 0 || index >= m_pTextures->size())
        return nullptr;
    return m_pTextures->elementAt(index);
}

void ImageWinDX::addTexture(IDirect3DTexture9* texture)
{
    lang::Synchronized guard(m_pTextures);
    m_pTextures->addElement(texture);
}

bool ImageWinDX::createTextures(IDirect3DDevice9* device, GraphicsWWinDX* graphics, bool dynamic)
{
    if (!m_pPixels || !device || !graphics)
        return false;
    if (!m_bModified && getTextureCount() > 0)
        return true;
    const int tileWidth = graphics->getMaxTextureWidth();
    const int tileHeight = graphics->getMaxTextureHeight();
    if (tileWidth < 1 || tileHeight < 1)
        return false;
    const int across = int(std::ceil(double(m_nWidth) / double(tileWidth)));
    const int down = int(std::ceil(double(m_nHeight) / double(tileHeight)));
    const bool fit = graphics->isPowerOfTwo() || graphics->isSquareOnly();
    bool managedOnly = false;

    // Textures made for this image before a failure are given back, so the
    // next draw starts afresh.
    auto fail = [this]() {
        m_bModified = false;
        releaseTextures(true);
        return false;
    };

    for (int row = 0; row < down; ++row) {
        for (int column = 0; column < across; ++column) {
            const int width = std::min(m_nWidth - column * tileWidth, tileWidth);
            const int height = std::min(m_nHeight - row * tileHeight, tileHeight);
            int textureWidth = width;
            int textureHeight = height;
            if (fit)
                graphics->fitTextureSize(&textureWidth, &textureHeight, graphics->isPowerOfTwo(),
                                         graphics->isSquareOnly());
            const UINT available = device->GetAvailableTextureMem();
            IDirect3DTexture9* texture = nullptr;
            bool isDynamic = false;
            if (dynamic && !managedOnly && available >= kDynamicTextureMemory) {
                if (SUCCEEDED(device->CreateTexture(UINT(textureWidth), UINT(textureHeight), 1, D3DUSAGE_DYNAMIC,
                                                    D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr)) &&
                    texture)
                    isDynamic = true;
                else
                    texture = nullptr;
            }
            if (!texture) {
                managedOnly = true;
                if (FAILED(device->CreateTexture(UINT(textureWidth), UINT(textureHeight), 1, 0, D3DFMT_A8R8G8B8,
                                                 D3DPOOL_MANAGED, &texture, nullptr)))
                    texture = nullptr;
            }
            if (!texture) {
                debugLine("Failed to create Texture...\n");
                debugLine("Available texture Mem = ", available, "\n");
                return fail();
            }
            IDirect3DSurface9* surface = nullptr;
            D3DLOCKED_RECT locked{};
            if (FAILED(texture->GetSurfaceLevel(0, &surface)) || !surface ||
                FAILED(surface->LockRect(&locked, nullptr, isDynamic ? D3DLOCK_DISCARD : 0))) {
                if (surface)
                    surface->Release();
                texture->Release();
                return fail();
            }
            const int firstRow = row * tileHeight;
            const int endRow = std::min(m_nHeight, (row + 1) * tileHeight);
            for (int y = firstRow; y < endRow; ++y)
                std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y - firstRow) * size_t(locked.Pitch),
                            m_pPixels + size_t(y) * size_t(m_nWidth) + size_t(column) * size_t(tileWidth),
                            size_t(width) * 4);
            surface->UnlockRect();
            surface->Release();
            addTexture(texture);
        }
    }
    for (int i = 0; i < std::min(4, across * down); ++i)
        m_pTileRecords->addElement(new TileDX());
    m_nTilesAcross = across;
    m_nTilesDown = down;
    m_nTileWidth = tileWidth;
    m_nTileHeight = tileHeight;
    m_nGeneration = ++g_textureGeneration;
    util::Vector* live = liveList();
    {
        lang::Synchronized guard(live);
        if (live->indexOf(this) < 0)
            live->addElement(this);
    }
    m_bModified = false;
    return true;
}

void ImageWinDX::releaseTextures(bool now)
{
    if (now) {
        lang::Synchronized guard(m_pTextures);
        for (int i = m_pTextures->size() - 1; i >= 0; --i) {
            IDirect3DTexture9* texture = m_pTextures->elementAt(i);
            m_pTextures->removeElementAt(i);
            if (texture)
                texture->Release();
        }
    } else {
        lang::Synchronized pendingGuard(pendingLock());
        if (!g_pendingReleases)
            g_pendingReleases = new util::TVector<IDirect3DTexture9*>(10);
        lang::Synchronized guard(m_pTextures);
        for (int i = 0; i < m_pTextures->size(); ++i)
            g_pendingReleases->addElement(m_pTextures->elementAt(i));
        for (int i = m_pTextures->size() - 1; i >= 0; --i)
            m_pTextures->removeElementAt(i);
    }
    m_nTilesAcross = 0;
    m_nTilesDown = 0;
    for (int i = 0; i < m_pTileRecords->size(); ++i)
        m_pTileRecords->elementAt(i)->release();
    m_pTileRecords->removeAllElements();
}

void ImageWinDX::flushPendingReleases()
{
    lang::Synchronized guard(pendingLock());
    if (!g_pendingReleases)
        return;
    for (int i = 0; i < g_pendingReleases->size(); ++i)
        if (IDirect3DTexture9* texture = g_pendingReleases->elementAt(i))
            texture->Release();
    g_pendingReleases->release();
    g_pendingReleases = nullptr;
}

void ImageWinDX::releaseAllTextures(bool now)
{
    util::Vector* live = g_liveImages;
    if (!live)
        return;
    lang::Synchronized guard(live);
    for (int i = 0; i < live->size(); ++i)
        static_cast<ImageWinDX*>(live->get(i))->releaseTextures(now);
    g_releasingLiveList = true;
    live->removeAllElements();
    g_releasingLiveList = false;
}

void ImageWinDX::deleteLiveList()
{
    util::Vector* live = g_liveImages.exchange(nullptr);
    if (!live)
        return;
    {
        // Emptied under its monitor, where the images' release reads the flag.
        lang::Synchronized guard(live);
        g_releasingLiveList = true;
        live->removeAllElements();
        g_releasingLiveList = false;
    }
    live->release();
}

int ImageWinDX::liveImageCount()
{
    util::Vector* live = g_liveImages;
    return live ? live->size() : 0;
}

bool ImageWinDX::isLive(ImageWinDX* image)
{
    util::Vector* live = g_liveImages;
    return live && live->indexOf(image) >= 0;
}

int ImageWinDX::pendingReleaseCount()
{
    lang::Synchronized guard(pendingLock());
    return g_pendingReleases ? g_pendingReleases->size() : 0;
}

int ImageWinDX::textureGeneration()
{
    return g_textureGeneration;
}

// ---------------------------------------------------------------------------
// Drawing

void ImageWinDX::draw(GraphicsWWinDX* graphics, int x, int y, util::RectangleNM* source, const uint32_t colours[4],
                      bool useCornerColours, bool dynamic, double scaleX, double scaleY, double rotationDegrees,
                      int flip)
{
    IDirect3DDevice9* device = graphics->getDevice();
    IDirect3DVertexBuffer9* buffer = graphics->getVertexBuffer(GraphicsWWinDX::VB_TEXTURED, 4);
    if (!device || !buffer)
        return;
    graphics->getTopMatrix(&m_parentMatrix);
    const util::RectangleNM src = source ? *source : util::RectangleNM(0, 0, m_nWidth, m_nHeight);
    const int halfWidth = src.width / 2;
    const int halfHeight = src.height / 2;
    float pivotX = float(x);
    float pivotY = float(y);
    if (graphics->isRenderingToImage()) {
        pivotX = float(halfWidth);
        pivotY = float(halfHeight);
    }
    const float radians = rotationDegrees == 0.0 ? 0.0f : float(rotationDegrees * kRadiansPerDegree);
    if (flip & 1)
        scaleX = -scaleX;
    if (flip & 2)
        scaleY = -scaleY;

    RECT visible;
    const int clipFlags = graphics->applyClip(src, &visible);
    auto finish = [&]() {
        if (clipFlags & GraphicsWWinDX::CLIP_VIEWPORT_CHANGED)
            graphics->restoreViewport();
    };

    if (m_bModified) {
        m_bModified = false;
        releaseTextures(false);
    }
    if (!createTextures(device, graphics, dynamic)) {
        finish();
        return;
    }

    // The visible part of every tile, relative to the tile.
    int records = 0;
    for (int row = 0; row < m_nTilesDown; ++row) {
        for (int column = 0; column < m_nTilesAcross; ++column) {
            util::RectangleNM tile(column * m_nTileWidth, row * m_nTileHeight, m_nTileWidth, m_nTileHeight);
            const int left = std::max(tile.x, int(visible.left));
            const int top = std::max(tile.y, int(visible.top));
            const int right = std::min(tile.x + tile.width, int(visible.right));
            const int bottom = std::min(tile.y + tile.height, int(visible.bottom));
            if (left >= right || top >= bottom)
                continue;
            // An image showing more tiles than records were made for gets more.
            if (records >= m_pTileRecords->size())
                m_pTileRecords->addElement(new TileDX());
            TileDX* record = m_pTileRecords->elementAt(records++);
            record->left = left - tile.x;
            record->top = top - tile.y;
            record->right = right - tile.x;
            record->bottom = bottom - tile.y;
            record->column = column;
            record->row = row;
        }
    }

    // The whole quad around the pivot, shifted half a pixel so that texels
    // fall on pixel centres, placed by pivot, scale and rotation, then by the
    // graphics' transform.
    const float x0 = float(-halfWidth) - 0.5f;
    const float y0 = float(-halfHeight) - 0.5f;
    const float x1 = float(src.width - halfWidth) - 0.5f;
    const float y1 = float(src.height - halfHeight) - 0.5f;
    D3DMATRIX local;
    matrixTransform2D(&local, pivotX, pivotY, float(scaleX), float(scaleY), radians);
    matrixMultiply(&m_transform, &m_parentMatrix, &local);
    float cx[4], cy[4];
    matrixTransformPoint(&m_transform, x0, y0, 0.0f, &cx[0], &cy[0]);
    matrixTransformPoint(&m_transform, x1, y0, 0.0f, &cx[1], &cy[1]);
    matrixTransformPoint(&m_transform, x1, y1, 0.0f, &cx[2], &cy[2]);
    matrixTransformPoint(&m_transform, x0, y1, 0.0f, &cx[3], &cy[3]);

    const bool oneTile = m_nTilesAcross * m_nTilesDown == 1;
    // A point of the quad at fractions (fx, fy) of the source rectangle.
    auto at = [&](float fx, float fy, float* px, float* py) {
        *px = lerp(lerp(cx[0], cx[1], fx), lerp(cx[3], cx[2], fx), fy);
        *py = lerp(lerp(cy[0], cy[1], fx), lerp(cy[3], cy[2], fx), fy);
    };
    auto colourAt = [&](float fx, float fy) {
        return lerpColour(lerpColour(colours[0], colours[1], fx), lerpColour(colours[3], colours[2], fx), fy);
    };

    for (int i = 0; i < records; ++i) {
        TileDX* record = m_pTileRecords->elementAt(i);
        IDirect3DTexture9* texture = getTexture(record->row * m_nTilesAcross + record->column);
        if (!texture)
            continue;
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        if (desc.Width == 0 || desc.Height == 0)
            continue;
        TexturedVertex v[4];
        const float u0 = float(record->left) / float(desc.Width);
        const float u1 = float(record->right) / float(desc.Width);
        const float v0 = float(record->top) / float(desc.Height);
        const float v1 = float(record->bottom) / float(desc.Height);
        if (oneTile && record->left + record->column * m_nTileWidth == src.x &&
            record->right + record->column * m_nTileWidth == src.x + src.width &&
            record->top + record->row * m_nTileHeight == src.y &&
            record->bottom + record->row * m_nTileHeight == src.y + src.height) {
            for (int k = 0; k < 4; ++k) {
                v[k].x = cx[k];
                v[k].y = cy[k];
                v[k].colour = useCornerColours ? colours[k] : colours[0];
            }
        } else {
            const float fx0 = float(record->column * m_nTileWidth + record->left - src.x) / float(src.width);
            const float fx1 = float(record->column * m_nTileWidth + record->right - src.x) / float(src.width);
            const float fy0 = float(record->row * m_nTileHeight + record->top - src.y) / float(src.height);
            const float fy1 = float(record->row * m_nTileHeight + record->bottom - src.y) / float(src.height);
            at(fx0, fy0, &v[0].x, &v[0].y);
            at(fx1, fy0, &v[1].x, &v[1].y);
            at(fx1, fy1, &v[2].x, &v[2].y);
            at(fx0, fy1, &v[3].x, &v[3].y);
            if (useCornerColours) {
                v[0].colour = colourAt(fx0, fy0);
                v[1].colour = colourAt(fx1, fy0);
                v[2].colour = colourAt(fx1, fy1);
                v[3].colour = colourAt(fx0, fy1);
            } else {
                v[0].colour = v[1].colour = v[2].colour = v[3].colour = colours[0];
            }
        }
        const float us[4] = {u0, u1, u1, u0};
        const float vs[4] = {v0, v0, v1, v1};
        for (int k = 0; k < 4; ++k) {
            v[k].z = 0.0f;
            v[k].rhw = 1.0f;
            v[k].u = us[k];
            v[k].v = vs[k];
        }
        void* data = nullptr;
        if (FAILED(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD)) || !data)
            continue;
        std::memcpy(data, v, sizeof v);
        buffer->Unlock();
        device->SetTexture(0, texture);
        device->SetStreamSource(0, buffer, 0, sizeof(TexturedVertex));
        device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    }
    finish();
}

} // namespace window

// ImageWinDX.h: the image the system makes for every picture: a plain pixel
// buffer (no DIB section) that the Direct3D graphics draws through texture
// tiles made from the pixels: tiles no larger than the device allows, made on
// the first draw after a change, released at once or at the next frame, and
// given up by every image when the device is lost.
#pragma once

#include "core/util/RectangleNM.h"
#include "core/util/TVector.h"
#include "platform/d3d9/D3D9Types.h"
#include "windowing/gdi/ImageWin32.h"

struct IDirect3DDevice9;
struct IDirect3DTexture9;

namespace util {
class Vector;
}

namespace window {

class GraphicsWWinDX;
class TileDX;

class ImageWinDX : public ImageWin32 {
public:
    // Stores the name and loads it under the current deferral rules.
    explicit ImageWinDX(const lang::String& name);
    // Stores the name and loads it; with `immediate` the picture is decoded
    // at once whatever the deferral state (the splash pictures, shown before
    // loading ends), otherwise as the one-argument form.
    ImageWinDX(const lang::String& name, bool immediate);
    // Decodes encoded bytes; the name stays empty.
    ImageWinDX(const unsigned char* bytes, int length);
    // A blank image (see create).
    ImageWinDX(int width, int height, int fillMode, bool noBuffer);
    ~ImageWinDX() override;

    // Direct3D images keep a plain buffer: no DIB section is made.
    void createSurface() override;
    // Releases the textures made from the pixels, then the pixels.
    void freePixels() override;
    // A graphics drawing into the image's pixels.
    Graphics* getGraphics() override;
    bool hasSurface() override;
    ImageWinDX* clone() override;

    // The last outside reference to a drawn image destroys it: the live
    // image list's own reference goes first.
    void release() override;

    HV_CLASS_NAME("ImageWinDX", ImageWin32)

    // Makes the textures from the pixels unless they exist and the pixels are
    // unchanged; false when the image has no pixels or a texture fails.
    bool createTextures(IDirect3DDevice9* device, GraphicsWWinDX* graphics, bool dynamic);
    // Tile texture index (row by row), or null.
    IDirect3DTexture9* getTexture(int index);
    // Appends a texture made elsewhere (a rendered image's).
    void addTexture(IDirect3DTexture9* texture);
    // Gives the textures up: released at once, or at the next frame's start
    // when `now` is false (another thread may be freeing the pixels).
    virtual void releaseTextures(bool now);
    // Draws the source rectangle centred on (x, y) through the graphics'
    // transform, scaled, rotated (degrees) and flipped (bit 0 across, bit 1
    // down), with the four vertex colours (the first for all four unless
    // useCornerColours).
    void draw(GraphicsWWinDX* graphics, int x, int y, util::RectangleNM* source, const uint32_t colours[4],
              bool useCornerColours, bool dynamic, double scaleX, double scaleY, double rotationDegrees, int flip);

    int getTextureCount();
    int getTilesAcross() const { return m_nTilesAcross; }
    int getTilesDown() const { return m_nTilesDown; }
    int getTileWidth() const { return m_nTileWidth; }
    int getTileHeight() const { return m_nTileHeight; }
    int getGeneration() const { return m_nGeneration; }
    int getTileRecordCount();
    const D3DMATRIX& getTransform() const { return m_transform; }

    // Every listed image gives its textures up and the list is emptied
    // (images make theirs again at their next draw).
    static void releaseAllTextures(bool now);
    // Releases the live image list.
    static void deleteLiveList();
    // Releases the textures whose release was put off.
    static void flushPendingReleases();
    // For tests and diagnostics.
    static int liveImageCount();
    static bool isLive(ImageWinDX* image);
    static int pendingReleaseCount();
    static int textureGeneration();

private:
    // Made before any constructor body runs: loading may already free pixels.
    util::TVector<IDirect3DTexture9*>* m_pTextures = new util::TVector<IDirect3DTexture9*>(10);
    int m_nTilesAcross = 0;
    int m_nTilesDown = 0;
    int m_nTileWidth = 0;
    int m_nTileHeight = 0;
    int m_nGeneration = 0;
    D3DMATRIX m_transform = {};
    util::TVector<TileDX*>* m_pTileRecords = new util::TVector<TileDX*>(10);
    D3DMATRIX m_parentMatrix = {};
};

} // namespace window

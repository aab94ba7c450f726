// GraphicsWWinDX.h: the window graphics: the Direct3D 9 device of the window
// (loaded at run time, created with its fall-backs, reset or re-created after
// a loss), one additional swap chain per window drawn, the drawing bracket
// that opens a scene on the first draw and presents at the end, and the
// drawing operations: image quads through texture tiles, filled quads, lines,
// stencil masks, blend modes, rendering into an image and back-buffer reads,
// with a transform stack that images are placed through.
#pragma once

#include "core/util/TVector.h"
#include "platform/Win32Types.h"
#include "platform/d3d9/D3D9Types.h"
#include "windowing/graphics/Graphics.h"

struct IDirect3D9;
struct IDirect3DDevice9;
struct IDirect3DSurface9;
struct IDirect3DTexture9;
struct IDirect3DVertexBuffer9;
struct IDirect3DVertexDeclaration9;
struct IDirect3DSwapChain9;

namespace util {
class Vector;
}

namespace window {

class GraphicsParticle;
class ImageWinDX;
class LostDeviceFlag;
class SwapChain;

class GraphicsWWinDX : public Graphics {
public:
    // The CPU-side stack of transforms images are drawn through.
    class HVMatrixStack;

    // A fixed camera; the view matrix is derived from it at every device
    // creation and kept (vertices arrive pre-transformed).
    struct ViewCamera {
        ViewCamera();
        int valid;
        float axis1[3];
        float axis2[3];
        float axis3[3];
        float position[3];
    };

    // Kinds of the shared vertex buffers.
    static constexpr int VB_TEXTURED = 0;
    static constexpr int VB_COLORED = 1;
    static constexpr int VB_POINTS = 2;
    // Point vertices the points buffer holds.
    static constexpr int POINT_BUFFER_VERTICES = 1000;

    // Flags of applyClip.
    static constexpr int CLIP_NONEMPTY = 1;
    static constexpr int CLIP_VIEWPORT_CHANGED = 2;
    static constexpr int CLIP_APPLIED = 4;

    // Made for a window; the back-buffer size is its client size now. No
    // device is made yet.
    explicit GraphicsWWinDX(HWND hwnd);
    // Gives back the images' textures, the swap chains, the particle
    // batches, the device and the runtime.
    ~GraphicsWWinDX() override;

    bool setCompositeMode(int mode) override;
    bool drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX, double scaleY,
                           double rotation, int flip) override;
    bool drawImage(ImageBase* image, int x, int y) override;
    // Begins drawing, saves the state, pushes the transform stack and returns
    // this with a reference taken; null when drawing cannot begin.
    Graphics* create() override;
    // Restores the state saved by create, pops the transform stack, ends drawing.
    void dispose() override;
    // Redirects drawing into a new render texture of at least w x h (the
    // sizes are updated to the texture's); returns this with a reference taken.
    Graphics* beginRenderToImage(int* width, int* height) override;
    // Ends the redirection and copies what was drawn into the image.
    void endRenderToImage(ImageBase* image, int width, int height) override;
    void fillOval(int x, int y, int w, int h) override;
    void fillRect(int x, int y, int w, int h) override;
    void fillRectAlpha(int x, int y, int w, int h, uint32_t argb) override;
    void drawString(lang::String* text, int x, int y) override;
    void drawBytes(const unsigned char* bytes, int offset, int length, int x, int y) override;
    // A band of the given width on one side of the line; below width 2 a
    // line one pixel thick that leaves out the end point.
    void drawLine(int x1, int y1, int x2, int y2, int width) override;
    void drawPath(Polygon* polygon, int width) override;
    void drawPolygon(Polygon* polygon) override;
    void fillPolygon(Polygon* polygon) override;
    void drawTruncated(lang::String* text, util::RectangleNM* box) override;
    void drawBezier(const int* points, int count, int dx, int dy, int scale) override;
    void fillBezier(const int* points, int count, int scale) override;
    // Counts nested brackets; the outermost makes sure the device exists.
    bool beginDrawing() override;
    // The outermost end ends the scene and presents it (a bracket that drew
    // nothing only tests the cooperative level).
    void endDrawing() override;
    void clearScreen() override;
    // Resets a device that can be reset (HRESULT; negative on failure).
    int RestoreDevice(bool windowed) override;
    // Makes a new device in place of a lost one.
    int recreateDevice(bool windowed) override;
    int getCoopTries() override;
    void setCoopTries(int tries) override;
    void releaseDeviceResources(bool forReset) override;
    GraphicsParticle* createParticle() override;
    // Reads h rows of w pixels from the top-left corner of the back buffer
    // (as much of them as the buffer has) into pixels, rows w apart.
    void getBackBuffer(int x, int y, int w, int h, uint32_t* pixels) override;
    void beginMask() override;
    void endMask() override;
    void setMaskMode(bool write) override;
    void setMaskInverted(bool inverted) override;
    void setBlendMode(bool alphaBlend) override;
    void translate(int dx, int dy) override;
    using Graphics::scale;
    bool scale(double sx, double sy) override;
    bool rotate(double degrees) override;
    bool flip(int bits) override;

    // Device life.
    HRESULT InitD3D(bool windowed, D3DDEVTYPE type, IDirect3DDevice9** out, bool reset);
    // Makes the device unless one exists and this is no reset; 0 on success.
    HRESULT createDXDevice(bool windowed, bool reset);
    bool loadD3DLibrary();
    // The device's cooperative level; unless quiet, logged, and a device
    // ready for its reset is signalled as lost.
    HRESULT testCooperativeLevel(bool quiet);
    // Marks the device lost and posts the restore request to the window
    // (once, until it is restored; never while the system sleeps).
    void signalDeviceLost();
    void releaseDevice();
    void releaseD3D();

    // Swap chains.
    bool createSwapChain(HWND hwnd);
    // The chain made for hwnd (no reference added), or null.
    SwapChain* findSwapChain(HWND hwnd);
    // The window the next paint presents to (only between paints of a
    // windowed device that is not lost).
    void setTargetWindow(HWND hwnd);
    HWND getTargetWindow() const;
    void releaseCurrentSwapChain();
    void releaseSwapChains();

    // Opens the scene on the first draw of a bracket.
    void ensureScene();
    // 0 alpha blending, 1 additive; false (nothing set) for other values.
    bool applyCompositeMode(int mode);
    // The shared vertex buffer of a kind, made on first request; null when
    // it cannot be made.
    IDirect3DVertexBuffer9* getVertexBuffer(int kind, int count);

    // Drawing helpers.
    // A quad from (x1, y1) to (x2, y2), translated, in one colour.
    void drawFilledRect(int x1, int y1, int x2, int y2, uint32_t argb);
    // The quad through four points, translated, in one colour.
    void drawFilledRect(int x1, int y1, int x2, int y2, uint32_t argb, int x3, int y3, int x4, int y4);
    // Sets the scissor (or, without scissor tests, the viewport) from the
    // clip; outRect receives the rectangle's edges. Returns CLIP_ flags.
    int applyClip(const util::RectangleNM& rect, RECT* outRect);
    void setScissor(const util::RectangleNM& r);
    void restoreViewport();
    void copyTextureToImage(ImageBase* image, int width, int height);
    // Sizes a texture as the device needs: powers of two (not above the
    // maximum) and square when asked.
    void fitTextureSize(int* width, int* height, bool powerOfTwo, bool squareOnly);
    // The transform stack's top matrix (identity when the stack is empty).
    void getTopMatrix(D3DMATRIX* out);
    // The four vertex colours of an image draw; true when they are the
    // corner colours.
    bool getVertexColors(uint32_t out[4]);

    // Particle batches.
    bool removeParticle(GraphicsParticle* batch);
    void markParticlesForRecreate(bool flag);
    void detachParticles();
    int getParticleCount();

    // State.
    void setLostFlag(LostDeviceFlag* flag) { m_pLostFlag = flag; }
    LostDeviceFlag* getLostFlag() const { return m_pLostFlag; }
    IDirect3DDevice9* getDevice() const { return m_pDevice; }
    IDirect3DVertexDeclaration9* getTexturedDecl() const { return m_pTexturedDecl; }
    int getWidth() const { return m_nWidth; }
    int getHeight() const { return m_nHeight; }
    bool isWindowed() const { return m_bWindowed; }
    int getDrawDepth() const { return m_nDrawDepth; }
    bool isSceneOpen() const { return m_bSceneOpen; }
    int getMaskState() const { return m_nMaskState; }
    bool isMaskInverted() const { return m_bMaskInverted; }
    int getMaxTextureWidth() const { return m_nMaxTextureWidth; }
    int getMaxTextureHeight() const { return m_nMaxTextureHeight; }
    bool isPowerOfTwo() const { return m_bPowerOfTwo; }
    bool isSquareOnly() const { return m_bSquareOnly; }
    bool isScissorSupported() const { return m_bScissorSupported; }
    bool isAlphaTestSupported() const { return m_bAlphaTestSupported; }
    bool getDynamicTextures() const { return m_bDynamicTextures; }
    int getResetFailures() const { return m_nResetFailures; }
    DWORD getBehaviorFlags() const { return m_behaviorFlags; }
    const D3DPRESENT_PARAMETERS& getPresentParams() const { return m_presentParams; }
    const D3DMATRIX& getViewMatrix() const { return m_viewMatrix; }
    const D3DMATRIX& getProjectionMatrix() const { return m_projectionMatrix; }
    HVMatrixStack* getMatrixStack() const { return m_pMatrixStack; }

    HV_CLASS_NAME("GraphicsWWinDX", Graphics)

private:
    // Shows the fatal error box named by textKey and ends the program.
    [[noreturn]] static void fatalError(const char* textKey);
    // Draws four coloured vertices (x, y pairs, already translated).
    void drawColoredQuad(const float xy[8], uint32_t argb);
    // A one-pixel line from (x1, y1) toward (x2, y2), the end point left out.
    void drawThinLine(int x1, int y1, int x2, int y2, uint32_t argb);
    void deriveViewMatrix();

    HWND m_hWindow;
    int m_nWidth;
    int m_nHeight;
    ViewCamera m_camera;
    LostDeviceFlag* m_pLostFlag;
    HMODULE m_hD3D9Module;
    bool m_bLibraryLoaded;
    IDirect3DDevice9* m_pDevice;
    IDirect3D9* m_pD3D;
    D3DPRESENT_PARAMETERS m_presentParams;
    IDirect3DVertexDeclaration9* m_pTexturedDecl;
    IDirect3DVertexDeclaration9* m_pColoredDecl;
    IDirect3DVertexBuffer9* m_pVertexBuffers[3];
    D3DVIEWPORT9 m_viewport;
    D3DVIEWPORT9 m_savedViewport;
    IDirect3DTexture9* m_pRenderTexture;
    IDirect3DSurface9* m_pSavedRenderTarget;
    int m_nRenderTextureWidth;
    int m_nRenderTextureHeight;
    util::Vector* m_pSwapChains;
    SwapChain* m_pCurrentSwapChain;
    IDirect3DSwapChain9* m_pCurrentSwapChainInterface;
    D3DMATRIX m_viewMatrix;
    D3DMATRIX m_worldMatrix;
    D3DMATRIX m_projectionMatrix;
    HVMatrixStack* m_pMatrixStack;
    util::TVector<GraphicsParticle*>* m_pParticles;
    bool m_bDynamicTextures;
    int m_nMaskState;
    bool m_bMaskInverted;
    int m_nMaxTextureWidth;
    int m_nMaxTextureHeight;
    int m_nMaxTextureAspect;
    bool m_bScissorSupported;
    bool m_bAlphaTestSupported;
    D3DDISPLAYMODE m_displayMode;
    bool m_bSquareOnly;
    bool m_bPowerOfTwo;
    bool m_bSceneOpen;
    bool m_bWindowed;
    int m_nResetFailures;
    int m_nCoopTries;
    DWORD m_behaviorFlags;
    int m_nDrawDepth;
};

} // namespace window

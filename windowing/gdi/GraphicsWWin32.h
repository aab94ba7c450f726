// GraphicsWWin32.h: the drawing interface over a GDI device context: fills,
// ovals, lines, polygons, Bezier curves and text with GDI, images blitted
// from their DIB sections, and GDI clipping.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "windowing/gdi/CDCWin32.h"
#include "windowing/graphics/Graphics.h"

#include <vector>

namespace window {

class GraphicsWWin32 : public Graphics {
public:
    // Draws on dc (a reference is taken; its state is saved and restored by
    // dispose). Null gives a graphics that draws nothing until a subclass
    // attaches a context.
    explicit GraphicsWWin32(CDCWin32* dc);
    // Under the GDI graphics lock: dispose, then the scratch context and the
    // palette are given back.
    ~GraphicsWWin32() override;

    // Not drawn by GDI: false.
    bool drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX, double scaleY,
                           double rotation, int flip) override;
    // Blits the image's DIB section (from its own context, or selected into
    // a scratch context for the blit) with its top-left at (x, y).
    bool drawImage(ImageBase* image, int x, int y) override;
    void clipRect(int x, int y, int w, int h) override;
    void excludeClipRect(int x, int y, int w, int h) override;
    // Selects a copy of the region as the clip; an empty region clips
    // everything away, a null one removes the clip.
    void setClip(util::Region* region) override;
    util::RectangleNM* getClipBounds(util::RectangleNM* out) override;
    // A new graphics on the same context with its own saved state, at the
    // same translation.
    Graphics* create() override;
    // Restores the context's state saved at construction and lets the context go.
    void dispose() override;
    Graphics* beginRenderToImage(int* width, int* height) override;
    void endRenderToImage(ImageBase* image, int width, int height) override;
    void fillOval(int x, int y, int w, int h) override;
    void fillRect(int x, int y, int w, int h) override;
    // An opaque fill in argb's colour; its alpha is ignored.
    void fillRectAlpha(int x, int y, int w, int h, uint32_t argb) override;
    // Text with its baseline at y, in the drawing colour, on a transparent background.
    void drawString(lang::String* text, int x, int y) override;
    void drawBytes(const unsigned char* bytes, int offset, int length, int x, int y) override;
    // Width 2 or more: a GDI pen line with both ends; below: one pixel per
    // point through setPixel, the end point left out.
    void drawLine(int x1, int y1, int x2, int y2, int width) override;
    void drawPath(Polygon* polygon, int width) override;
    void drawPolygon(Polygon* polygon) override;
    void fillPolygon(Polygon* polygon) override;
    // The text in the box (not translated), cut with an ellipsis at a word end.
    void drawTruncated(lang::String* text, util::RectangleNM* box) override;
    void setFont(Font* font) override;
    // The curve through count control points (x, y pairs) with the current
    // pen, each point offset by (dx, dy) and scaled.
    void drawBezier(const int* points, int count, int dx, int dy, int scale) override;
    // The same curve, scaled, filled black and outlined with the current pen.
    void fillBezier(const int* points, int count, int scale) override;

    // Makes sure a context is there to draw on; nothing here.
    virtual void prepareDC();
    // A new region of the context's clip (the caller releases it).
    virtual util::Region* getClipRegion();

    CDCWin32* getContext() const { return m_pDC; }

    // Samples per Bezier curve.
    static const int kBezierSteps = 50;

    HV_CLASS_NAME("GraphicsWWin32", Graphics)

protected:
    // The bounds of the area drawing may touch, in device coordinates; false
    // without a context.
    virtual bool readClipBox(RECT& box);
    // Takes dc (a reference) and saves its state.
    void attachContext(CDCWin32* dc);
    HDC hdc() const { return m_pDC ? m_pDC->getDC() : nullptr; }
    COLORREF drawingColor() const { return m_color.toBGR(); }

    CDCWin32* m_pDC;
    int m_nSavedState;
    HPALETTE m_hPalette;
    HBITMAP m_hScratchOldBitmap;
    CDCWin32* m_pScratch;

private:
    // Fills the rectangle with an opaque colour through the text call.
    void opaqueFill(int x, int y, int w, int h, COLORREF color);
    // The points of a polygon, translated.
    void polygonPoints(Polygon* polygon, std::vector<POINT>& out) const;
};

} // namespace window

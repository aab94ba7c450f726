// Graphics.h: the abstract drawing context everything on screen is drawn
// through. It keeps the drawing state all implementations share (translation,
// scale, colours, alpha, clip, font, composite mode) with a stack of saved
// states, and declares the drawing operations with their base behaviour.
#pragma once

#include "core/lang/Object.h"
#include "core/util/Point.h"
#include "core/util/RectangleNM.h"
#include "windowing/graphics/ColorWin32.h"

#include <cstdint>

namespace util {
class Region;
}

namespace window {

class FancyHelper;
class Font;
class GraphicsParticle;
class ImageBase;
class Polygon;

class Graphics : public lang::Object {
public:
    // One saved drawing state; entries form a stack through `next`. The font
    // is not part of it.
    class GraphicsDataStorage {
    public:
        virtual ~GraphicsDataStorage() = default;

        GraphicsDataStorage* next = nullptr;
        int translateX = 0;
        int translateY = 0;
        double scaleX = 1.0;
        double scaleY = 1.0;
        uint32_t color = 0;
        uint32_t imageColor = 0;
        uint32_t cornerColors[4] = {0, 0, 0, 0};
        bool cornerColorsOn = false;
        int alpha = 128;
        util::RectangleNM clip;
        int reserved = 0;
        int compositeMode = 0;
    };

    Graphics();
    // Pops every stacked entry and releases the font.
    ~Graphics() override;

    // Copies a saved state back; the composite mode is applied through
    // setCompositeMode and recorded only when that accepts it. Returns this.
    virtual Graphics* restoreState(GraphicsDataStorage* entry);
    // A new entry holding the current state, linked to next.
    virtual GraphicsDataStorage* saveState(GraphicsDataStorage* next);
    // 0 normal alpha blending, 1 additive; the base accepts none.
    virtual bool setCompositeMode(int mode);
    virtual bool drawImageCentered(ImageBase* image, int cx, int cy, util::RectangleNM* src, double scaleX,
                                   double scaleY, double rotation, int flip) = 0;
    // The whole image with its top-left corner at (x, y).
    virtual bool drawImage(ImageBase* image, int x, int y) = 0;
    // drawImageCentered at the centre of the source rectangle placed at (x, y)
    // (the whole image when src is null).
    virtual bool drawImageAt(ImageBase* image, int x, int y, util::RectangleNM* src, double scaleX, double scaleY,
                             double rotation, int flip);
    virtual bool drawShadow(ImageBase* image, int x, int y);
    // Plots the drawing colour.
    virtual void setPixel(int x, int y);
    virtual void setPixel(int x, int y, uint32_t argb);
    virtual uint32_t getPixel(int x, int y);
    // Narrows the clip to the rectangle mapped to device space.
    virtual void clipRect(int x, int y, int w, int h);
    virtual void excludeClipRect(int x, int y, int w, int h);
    virtual void setClip(util::Region* region);
    // A new region of the clip rectangle (the caller releases it).
    virtual util::Region* getClip();
    virtual util::RectangleNM* getClipBounds(util::RectangleNM* out);
    virtual Graphics* create() = 0;
    virtual void dispose() = 0;
    virtual Graphics* beginRenderToImage(int* width, int* height) = 0;
    virtual void endRenderToImage(ImageBase* image, int width, int height) = 0;
    virtual void fillOval(int x, int y, int w, int h) = 0;
    virtual void fillRect(int x, int y, int w, int h) = 0;
    // Four width-2 lines, clockwise from the top-left corner.
    virtual void drawRect(int x, int y, int w, int h);
    virtual void fillRectAlpha(int x, int y, int w, int h, uint32_t argb) = 0;
    virtual void drawString(lang::String* text, int x, int y) = 0;
    virtual void drawBytes(const unsigned char* bytes, int offset, int length, int x, int y) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2, int width) = 0;
    virtual void drawPath(Polygon* polygon, int width) = 0;
    virtual void drawPolygon(Polygon* polygon) = 0;
    virtual void fillPolygon(Polygon* polygon) = 0;
    virtual void drawTruncated(lang::String* text, util::RectangleNM* box) = 0;
    // Takes a reference on the new font (not null), then releases the old one.
    virtual void setFont(Font* font);
    virtual void drawBezier(const int* points, int count, int dx, int dy, int scale) = 0;
    virtual void fillBezier(const int* points, int count, int scale) = 0;
    virtual bool beginDrawing();
    virtual void endDrawing();
    virtual void clearScreen();
    virtual int RestoreDevice(bool windowed);
    virtual int recreateDevice(bool windowed);
    virtual int getCoopTries();
    virtual void setCoopTries(int tries);
    virtual void releaseDeviceResources(bool forReset);
    virtual GraphicsParticle* createParticle();
    virtual void getBackBuffer(int x, int y, int w, int h, uint32_t* pixels);
    virtual void beginMask();
    virtual void endMask();
    virtual void setMaskMode(bool write);
    virtual void setMaskInverted(bool inverted);
    virtual FancyHelper* getFancyHelper();
    virtual void setBlendMode(bool alphaBlend);
    // Adds the offset, scaled and truncated toward zero, to the translation.
    virtual void translate(int dx, int dy);
    // Multiplies the scale factors; the base reports false.
    virtual bool scale(double sx, double sy);
    virtual bool scale(double s);
    virtual bool rotate(double degrees);
    virtual bool flip(int bits);

    // Copies four colours (top-left, top-right, bottom-right, bottom-left) and
    // turns corner colours on.
    void setCornerColors(const ColorBase& c0, const ColorBase& c1, const ColorBase& c2, const ColorBase& c3);
    void setCornerColorsOn(bool on) { m_bCornerColorsOn = on; }
    bool areCornerColorsOn() const { return m_bCornerColorsOn; }
    // Corner i while corner colours are on and 0 <= i < 4, else the image colour.
    ColorWin32 getCornerColor(int i) const;
    // Scales the colour's alpha byte by the global alpha (128 = unchanged),
    // capped at 255.
    void applyAlpha(ColorBase& color) const;
    ColorWin32 getImageColorWithAlpha() const;
    // Stores the value clamped to 0..255.
    void setAlpha(int alpha);
    // The name the scene code uses for setMaskInverted.
    void setMaskInvert(bool inverted) { setMaskInverted(inverted); }
    int getAlpha() const { return m_nAlpha; }
    // A point of the Bezier curve of degree n through points (n + 1 pairs of
    // x, y) at 0 <= t < 1, scaled; computed in single precision.
    static util::Point bezierPoint(const int* points, int n, double t, int scale);

    ColorWin32& getColor() { return m_color; }
    void setColor(const ColorBase& color) { m_color = color; }
    void setColor(uint32_t argb) { m_color = argb; }
    ColorWin32& getImageColor() { return m_imageColor; }
    void setImageColor(const ColorBase& color) { m_imageColor = color; }
    void setImageColor(uint32_t argb) { m_imageColor = argb; }
    int getTranslateX() const { return m_nTranslateX; }
    int getTranslateY() const { return m_nTranslateY; }
    void setTranslation(int x, int y)
    {
        m_nTranslateX = x;
        m_nTranslateY = y;
    }
    double getScaleX() const { return m_dScaleX; }
    double getScaleY() const { return m_dScaleY; }
    int getCompositeMode() const { return m_nCompositeMode; }
    Font* getFont() const { return m_pFont; }
    bool isRenderingToImage() const { return m_bRenderingToImage; }
    void setRenderingToImage(bool on) { m_bRenderingToImage = on; }
    const util::RectangleNM& getClipRect() const { return m_clip; }
    void setClipRect(const util::RectangleNM& clip) { m_clip = clip; }
    GraphicsDataStorage* getStateStack() const { return m_pStateStack; }

    HV_CLASS_NAME("Graphics", lang::Object)

protected:
    // Saves the current state as the new top of the stack.
    void pushState();
    // Restores the top entry, frees it and makes the one below the top;
    // nothing when the stack is empty.
    void popState();

    int m_nTranslateX;
    int m_nTranslateY;
    double m_dScaleX;
    double m_dScaleY;
    ColorWin32 m_color;
    ColorWin32 m_imageColor;
    ColorWin32 m_cornerColors[4];
    bool m_bCornerColorsOn;
    bool m_bRenderingToImage;
    int m_nAlpha;
    util::RectangleNM m_clip;
    int m_nReserved;
    int m_nCompositeMode;
    Font* m_pFont;
    GraphicsDataStorage* m_pStateStack;
};

} // namespace window

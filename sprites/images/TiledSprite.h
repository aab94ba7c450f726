// TiledSprite.h: a sized sprite that repeats one picture across its box, from
// an offset and with gaps between the tiles, cut at the box's edges; without
// a picture it fills the box with a plain colour (backgrounds, the edges and
// centres of bordered dialogs).
#pragma once

#include "sprites/base/BoundsSprite.h"

namespace window {
class ImageBase;
}

namespace sprite {

class TiledSprite : public BoundsSprite {
public:
    // A box of width x height at 0, 0 tiled with the picture (a reference is
    // kept; null: the fill colour) from (offsetX, offsetY), with gaps of
    // gapX and gapY pixels between tiles.
    TiledSprite(int width, int height, window::ImageBase* image, int offsetX, int offsetY, int gapX, int gapY);
    // Releases the picture.
    ~TiledSprite() override;

    HV_CLASS_NAME("TiledSprite", BoundsSprite)
    HV_DECLARE_METACLASS(TiledSprite);

    // The tiles within the box, or the box in the fill colour.
    void paint(window::Graphics* g) override;
    // With a picture (image 0): numbers 0-3 left, top, width, height (at
    // least 4 numbers, else false); 4, 5 the offset; 6, 7 the gaps. Without
    // one: 0-2 red, green, blue of an opaque fill colour, 3-6 left, top,
    // width, height (at least 7 numbers, else false); 7, 8 the offset;
    // 9, 10 the gaps.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;
    // Frees the picture's pixels unless keepImages is set; loads them back.
    void unloadImages() override;
    void loadImages() override;

    // Keeps a reference to a new picture; null removes it.
    void setImage(window::ImageBase* image);
    void setOffset(int x, int y);
    void setGap(int x, int y);
    void setFillColor(const ColorBase& colour) { m_fillColor = colour; }
    const ColorWin32& getFillColor() const { return m_fillColor; }
    window::ImageBase* getImage() const { return m_pImage; }
    int getOffsetX() const { return m_nOffsetX; }
    int getOffsetY() const { return m_nOffsetY; }
    int getGapX() const { return m_nGapX; }
    int getGapY() const { return m_nGapY; }
    bool getKeepImages() const { return m_bKeepImages; }
    void setKeepImages(bool on) { m_bKeepImages = on; }

private:
    ColorWin32 m_fillColor;
    window::ImageBase* m_pImage;
    int m_nOffsetX;
    int m_nOffsetY;
    int m_nGapX;
    int m_nGapY;
    bool m_bKeepImages;
};

} // namespace sprite

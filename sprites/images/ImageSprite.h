// ImageSprite.h: a sprite that draws a picture, or a source rectangle of it,
// with the sprite's transform and colour, and hit-tests by pixel alpha. The
// data manifest names it "Sprite".
#pragma once

#include "core/lang/Class.h"
#include "core/util/RectangleNM.h"
#include "sprites/base/SpriteBase.h"

namespace window {
class ImageBase;
}

namespace sprite {

class ImageSprite : public SpriteBase {
public:
    // No image yet; left() and top() report the top-left corner (anchor 0x11).
    ImageSprite();
    // Releases the image.
    ~ImageSprite() override;

    HV_CLASS_NAME("ImageSprite", SpriteBase)
    HV_DECLARE_METACLASS(ImageSprite);

    // Shows the picture (a reference is kept) whole, keeping left() and top()
    // in place; null removes it.
    virtual void setImage(window::ImageBase* image);
    // The first point hit from one side of the sprite along the line through
    // (x, y): 'T' and 'B' search a column at x from the top or bottom and set
    // y, 'L' and 'R' a row at y from the left or right and set x.
    virtual bool findOpaqueEdge(int& x, int& y, char side, int threshold);
    // Whether the picture's pixel under the point (parent coordinates) has an
    // alpha of at least threshold; the bounds decide without a picture or
    // with boundsHitTest on.
    virtual bool hittestImage(int x, int y, int threshold);

    // Image 0 (with image 1 as its alpha mask when given); numbers 0, 1: left, top.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;
    // The size of the source rectangle.
    int width() override;
    int height() override;
    // Visible, not empty, and a picture is set.
    bool isShowing() override;
    // Draws the source rectangle centred on the anchor point, in the colour
    // balance (or the corner colours).
    void paint(window::Graphics* g) override;
    // Frees the picture's pixels first when an unload is pending.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // hittestImage with threshold 1.
    bool hittestOpaque(int x, int y) override;
    // Frees the picture's pixels unless keepLoaded is set; loads them back.
    void unloadImages() override;
    void loadImages() override;

    // Shows that part of the picture, keeping left() and top() in place.
    void setSourceRect(const util::RectangleNM& rect);
    const util::RectangleNM& getSourceRect() const { return m_sourceRect; }
    window::ImageBase* getImage() const { return m_pImage; }
    bool getKeepLoaded() const { return m_bKeepLoaded; }
    void setKeepLoaded(bool on) { m_bKeepLoaded = on; }
    bool getBoundsHitTest() const { return m_bBoundsHitTest; }
    void setBoundsHitTest(bool on) { m_bBoundsHitTest = on; }
    bool isUnloadPending() const { return m_bUnloadPending; }
    void setUnloadPending(bool on) { m_bUnloadPending = on; }

    // Gives a clone this sprite's picture, source rectangle and flags (the
    // sprite state goes with copyStateTo).
    void copyTo(ImageSprite* other);

protected:
    window::ImageBase* m_pImage;
    util::RectangleNM m_sourceRect;
    bool m_bUnloadPending;
    bool m_bKeepLoaded;
    bool m_bBoundsHitTest;
};

} // namespace sprite

// BoundsSprite.h: a sprite with a stored width and height and nothing to
// draw: the base of containers, dialogs, texts, rectangles and click areas.
#pragma once

#include "core/lang/Class.h"
#include "sprites/base/SpriteBase.h"

namespace sprite {

class BoundsSprite : public SpriteBase {
public:
    // A box of w x h with its top-left corner at (x, y); left() and top()
    // report that corner (anchor 0x11).
    BoundsSprite(int x, int y, int w, int h);

    HV_CLASS_NAME("BoundsSprite", SpriteBase)
    HV_DECLARE_METACLASS(BoundsSprite);

    // Numbers 0, 1: left, top; 2, 3: width, height.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    // A new plain BoundsSprite with this sprite's state and size.
    SpriteBase* clone() override;
    int width() override;
    int height() override;

    // Changes the size keeping left() and top() in place.
    virtual void setSize(int w, int h);

protected:
    int m_nWidth;
    int m_nHeight;
};

} // namespace sprite

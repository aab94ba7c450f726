// RectSprite.h: a sized sprite that fills its box with one colour, tinted by
// the sprite's colour balance (dimming panels and plain backgrounds).
#pragma once

#include "sprites/base/BoundsSprite.h"

#include <cstdint>

namespace sprite {

class RectSprite : public BoundsSprite {
public:
    // A box of width x height at 0, 0 in the colour (0xAARRGGBB).
    RectSprite(int width, int height, uint32_t colour, bool filled);

    HV_CLASS_NAME("RectSprite", BoundsSprite)
    HV_DECLARE_METACLASS(RectSprite);

    // Fills the box with the colour modulated by the colour balance.
    void paint(window::Graphics* g) override;
    // Numbers 0-3: left, top, width, height; 4: the colour (0xAARRGGBB);
    // with more than 5, 5: visible when not 0; with 7 or more, 6: filled
    // when not 0.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;

    void setColor(uint32_t colour);
    void setFilled(bool filled);
    uint32_t getFillColor() const { return m_nColor; }
    // Kept and handed on, but the box is always drawn filled.
    bool isFilled() const { return m_bFilled; }

    // The colour as drawn: each channel times the balance's channel / 128,
    // at most 255.
    static uint32_t modulate(uint32_t colour, const ColorBase& balance);

private:
    uint32_t m_nColor;
    bool m_bFilled;
};

} // namespace sprite

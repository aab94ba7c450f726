// ScalerSprite.h: an animated picture that runs a timed change of its scale
// (and optionally its rotation and alpha) and sends its action at the end.
#pragma once

#include "sprites/images/AnimateSprite.h"

namespace sprite {

class ScalerSprite : public AnimateSprite {
public:
    // No image; left() and top() report the anchor point itself (0x22).
    ScalerSprite();

    HV_CLASS_NAME("ScalerSprite", AnimateSprite)
    HV_DECLARE_METACLASS(ScalerSprite);

    // The animated sprite's grid set-up (image, numbers 0 to 3), then number
    // 4: the scale in percent, 5: the alpha byte, 6: the rotation in degrees.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;
    // One step of the scaling run (when not paused), then the frames.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // The animated sprite's answer, or a scaling run is under way.
    bool isAnimating() override;

    // Scales from startPercent to endPercent of the picture's size over
    // `ticks` ticks (at once below 1), fading the alpha from startAlpha to
    // endAlpha when `fade`, and turning from startRotation to endRotation
    // when `rotate`; the action is sent at the end of the run.
    void startScaling(int startPercent, int endPercent, int ticks, bool fade, int startAlpha, int endAlpha,
                      bool rotate, double startRotation, double endRotation);

    int getTotalTicks() const { return m_nTotalTicks; }
    int getTicksDone() const { return m_nTicksDone; }

private:
    // Lets the alpha of the picture count when its pixels are in memory.
    void markImageAlpha();

    int m_nEndPercent;
    int m_nStartPercent;
    int m_nTotalTicks;
    int m_nTicksDone;
    double m_dEndRotation;
    double m_dStartRotation;
    bool m_bRotateToo;
};

} // namespace sprite

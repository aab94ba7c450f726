// SparkleSprite.h: a short animated glint scattered over something the
// player should notice: it waits its start delay, plays its frames once at
// a random strength and fades out.
#pragma once

#include "sprites/images/AnimateSprite.h"

class SparkleSprite : public sprite::AnimateSprite {
public:
    // No picture yet, one frame, not placed: 100 frames of life.
    SparkleSprite();

    HV_CLASS_NAME("SparkleSprite", sprite::AnimateSprite)
    HV_DECLARE_METACLASS(SparkleSprite);

    // A sparkle with the template's picture, grid and frame settings, at
    // frame 0 and not started.
    sprite::SpriteBase* clone() override;
    // The start delay, then the glint, then the fade; then the frames.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;

    // Centres the sparkle on (x, y), hidden, to start after `delay` frames
    // and play for at most `life` frames.
    void placeAt(int x, int y, int delay, int life);

    int getDelay() const { return m_nDelay; }
    int getLife() const { return m_nLife; }

private:
    int m_nLife;
    int m_x;
    int m_y;
    int m_nDelay;
};

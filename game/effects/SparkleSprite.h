// SparkleSprite.h: a short animated glint scattered over something the
// player should notice: it waits its delay, plays its frames once at a
// random faint alpha, and fades out at its last frame or when its life ends.
#pragma once

#include "sprites/images/AnimateSprite.h"

class SparkleSprite : public sprite::AnimateSprite {
public:
    // Frames a sparkle plays before it fades out, unless placed otherwise.
    static constexpr int DEFAULT_LIFE = 100;
    // The fade at the last frame, and the one when the life runs out.
    static constexpr int END_FADE_FRAMES = 6;
    static constexpr int LIFE_FADE_FRAMES = 23;
    // The alpha of a started sparkle: BASE_ALPHA plus up to ALPHA_SPREAD - 1,
    // so it never reaches the neutral 128.
    static constexpr int BASE_ALPHA = 48;
    static constexpr int ALPHA_SPREAD = 80;

    // No picture, a 1 x 1 grid at frame 0; not placed.
    SparkleSprite();

    HV_CLASS_NAME("SparkleSprite", sprite::AnimateSprite)
    HV_DECLARE_METACLASS(SparkleSprite);

    // A new sparkle with this one's picture, grid and frame settings, at
    // frame 0 and not placed.
    SpriteBase* clone() override;
    // The wait, the start, the fades; then the frames of the animated sprite.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;

    // Centres the hidden sparkle on (x, y); it starts after `delay` frames
    // and plays for `life` frames.
    void placeAt(int x, int y, int delay, int life);

    int getLife() const { return m_nLife; }
    int getDelay() const { return m_nDelay; }
    int getCentreX() const { return m_x; }
    int getCentreY() const { return m_y; }

private:
    // Shows the sparkle at a random alpha and plays its frames once.
    void start();

    int m_nLife;
    int m_x;
    int m_y;
    // Frames still to wait; -1 once started (or never placed).
    int m_nDelay;
};

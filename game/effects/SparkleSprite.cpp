// SparkleSprite.cpp: the glint's wait, start and fades.
#include "game/effects/SparkleSprite.h"

#include "core/lang/Math.h"

HV_DEFINE_METACLASS(SparkleSprite);

SparkleSprite::SparkleSprite()
    : sprite::AnimateSprite(nullptr, 1, 1), m_nLife(DEFAULT_LIFE), m_x(1), m_y(1), m_nDelay(-1)
{
    setFrame(0);
}

sprite::SpriteBase* SparkleSprite::clone()
{
    // Only the picture and the frames: a sparkle's place, alpha and fades
    // are its own.
    auto* copy = new SparkleSprite();
    copyTo(copy);
    copyFramesTo(copy);
    copy->m_x = m_x;
    copy->m_y = m_y;
    copy->setFrame(0);
    copy->m_nDelay = -1;
    return copy;
}

void SparkleSprite::placeAt(int x, int y, int delay, int life)
{
    m_nLife = life;
    m_nDelay = delay;
    m_x = x;
    m_y = y;
    // Script places may lie anywhere: the corner is taken in a wider type.
    setPosition(toInt(double(x) - width() / 2), toInt(double(y) - height() / 2));
    setVisible(false);
}

void SparkleSprite::start()
{
    const int k = int(lang::Math::random() * ALPHA_SPREAD);
    setColorBalance(BASE_ALPHA + k, 128, 128, 128);
    setFrame(0);
    setFrameRange(0, getFrameCount() - 1);
    setFrameStep(1, false);
    setVisible(true);
}

bool SparkleSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_nDelay >= 0) {
        if (m_nDelay-- == 0)
            start();
    } else if (getFrame() == getFrameCount() - 1) {
        setAlphaDestination(0, END_FADE_FRAMES, 0);
    } else if (m_nLife-- == 0) {
        setAlphaDestination(0, LIFE_FADE_FRAMES, 1);
    }
    return sprite::AnimateSprite::tick(frame, boundsOut, region);
}

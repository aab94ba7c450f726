// SparkleSprite.cpp: the glint's placing and its frame-by-frame life.
#include "game/effects/SparkleSprite.h"

#include "core/lang/Math.h"

HV_DEFINE_METACLASS(SparkleSprite);

namespace {

// The glint's strength: alpha 48 plus up to 79.
constexpr int kBaseAlpha = 48;
constexpr int kAlphaRange = 80;
// Frames of the fade after the last frame, and after the life ran out.
constexpr int kEndFadeFrames = 6;
constexpr int kLifeFadeFrames = 23;

} // namespace

SparkleSprite::SparkleSprite() : sprite::AnimateSprite(nullptr, 1, 1), m_nLife(100), m_x(1), m_y(1), m_nDelay(-1)
{
}

sprite::SpriteBase* SparkleSprite::clone()
{
    auto* copy = new SparkleSprite();
    copyStateTo(copy);
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
    setPosition(x - width() / 2, y - height() / 2);
    setVisible(false);
}

bool SparkleSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_nDelay >= 0) {
        if (m_nDelay-- == 0) {
            const int strength = int(lang::Math::random() * kAlphaRange);
            setColorBalance(kBaseAlpha + strength, 128, 128, 128);
            setFrame(0);
            setFrameRange(0, getFrameCount() - 1);
            setFrameStep(1, false);
            setVisible(true);
        }
    } else if (getFrame() == getFrameCount() - 1) {
        if (getAlphaSteps() == 0 && getAlpha() > 0)
            setAlphaDestination(0, kEndFadeFrames, 0);
    } else if (m_nLife-- == 0) {
        setAlphaDestination(0, kLifeFadeFrames, 1);
    }
    return sprite::AnimateSprite::tick(frame, boundsOut, region);
}

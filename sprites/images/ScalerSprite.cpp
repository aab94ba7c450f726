// ScalerSprite.cpp: the timed scaling run.
#include "sprites/images/ScalerSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "windowing/images/ImageBase.h"

namespace sprite {

HV_DEFINE_METACLASS(ScalerSprite);

ScalerSprite::ScalerSprite()
    : AnimateSprite(nullptr, 1, 1),
      m_nEndPercent(100),
      m_nStartPercent(100),
      m_nTotalTicks(0),
      m_nTicksDone(0),
      m_dEndRotation(0.0),
      m_dStartRotation(0.0),
      m_bRotateToo(false)
{
    m_nAnchor = ANCHOR_CENTER_X | ANCHOR_CENTER_Y;
}

void ScalerSprite::markImageAlpha()
{
    if (m_pImage && m_pImage->hasPixels())
        m_pImage->setHasAlpha(true);
}

void ScalerSprite::startScaling(int startPercent, int endPercent, int ticks, bool fade, int startAlpha,
                                int endAlpha, bool rotate, double startRotation, double endRotation)
{
    m_nStartPercent = startPercent;
    m_nEndPercent = endPercent;
    // A negative count would never be reached by the run: it counts as none.
    m_nTotalTicks = ticks < 0 ? 0 : ticks;
    m_bRotateToo = rotate;
    m_dStartRotation = startRotation;
    m_dEndRotation = endRotation;
    m_nTicksDone = 0;
    if (ticks < 1) {
        if (fade) {
            markImageAlpha();
            setAlphaBalance(endAlpha);
        }
        setScale(endPercent / 100.0);
        if (rotate)
            rotateBy(endRotation - m_dRotation);
    } else {
        if (fade) {
            markImageAlpha();
            setAlphaBalance(startAlpha);
            setAlphaDestination(endAlpha, ticks, 0);
        }
        setScale(startPercent / 100.0);
        if (rotate)
            rotateBy(startRotation - m_dRotation);
    }
}

bool ScalerSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (isActive(frame) && m_nTicksDone != m_nTotalTicks) {
        ++m_nTicksDone;
        double scale;
        double rotation;
        if (m_nTicksDone >= m_nTotalTicks) {
            scale = m_nEndPercent / 100.0;
            rotation = m_dEndRotation;
        } else {
            // The percentage step is a whole number, as the percentages are.
            long long step = ((long long)m_nEndPercent - m_nStartPercent) / m_nTotalTicks;
            scale = double(step * m_nTicksDone + m_nStartPercent) / 100.0;
            rotation = (m_dEndRotation - m_dStartRotation) / m_nTotalTicks * m_nTicksDone + m_dStartRotation;
        }
        setScale(scale);
        if (m_bRotateToo)
            rotateBy(rotation - m_dRotation);
        if (m_nTicksDone == m_nTotalTicks)
            m_bActionPending = true;
    }
    return AnimateSprite::tick(frame, boundsOut, region);
}

bool ScalerSprite::isAnimating()
{
    return AnimateSprite::isAnimating() || m_nTicksDone != m_nTotalTicks;
}

bool ScalerSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    configureGrid(resources, params);
    // Values the definition leaves out keep the sprite as it is.
    int count = DefinitionArgs::count(params);
    if (count > 5)
        setAlphaBalance(DefinitionArgs::number(params, 5));
    if (count > 4)
        setScale(DefinitionArgs::number(params, 4) / 100.0);
    if (count > 6)
        rotateBy(DefinitionArgs::number(params, 6) - m_dRotation);
    return true;
}

SpriteBase* ScalerSprite::clone()
{
    ScalerSprite* copy = new ScalerSprite();
    copyStateTo(copy);
    copyTo(copy);
    copyFramesTo(copy);
    copy->m_nEndPercent = m_nEndPercent;
    copy->m_nStartPercent = m_nStartPercent;
    copy->m_nTotalTicks = m_nTotalTicks;
    copy->m_nTicksDone = m_nTicksDone;
    copy->m_dEndRotation = m_dEndRotation;
    copy->m_dStartRotation = m_dStartRotation;
    copy->m_bRotateToo = m_bRotateToo;
    return copy;
}

} // namespace sprite

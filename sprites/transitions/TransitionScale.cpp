// TransitionScale.cpp: the even move, scale and fade of a sprite over a run.
#include "sprites/transitions/TransitionScale.h"

#include <cstdlib>

namespace sprite {

HV_DEFINE_METACLASS(TransitionScale);

TransitionScale::TransitionScale()
    : m_nMoveMode(0),
      m_nMoveKind(0),
      m_nScaleMode(0),
      m_nScaleKind(0),
      m_nReserved(0),
      m_nBounce(0),
      m_nStartX(0),
      m_nStartY(0),
      m_nEndX(0),
      m_nEndY(0),
      m_fStartScale(1.0f),
      m_fEndScale(1.0f),
      m_nRemainderX(0),
      m_nRemainderY(0),
      m_nAccumX(0),
      m_nAccumY(0),
      m_nStepFrames(0),
      m_fDeltaX(0.0f),
      m_fDeltaY(0.0f),
      m_fAccelX(0.0f),
      m_fAccelY(0.0f),
      m_fScaleDelta(0.0f),
      m_fScaleAccel(0.0f),
      m_fFadeFraction(0.0f),
      m_nFadeStart(-1),
      m_nFadeEnd(-1),
      m_nCurX(0),
      m_nCurY(0),
      m_fCurScaleX(1.0f),
      m_fCurScaleY(1.0f),
      m_nCurAlpha(128),
      m_bDone(false),
      m_bReady(false)
{
    m_nState = -1;
}

TransitionScale::TransitionScale(int frames, int startX, int startY, int endX, int endY, float startScale,
                                 float endScale, float fadeFraction, int moveMode, int moveKind, int scaleMode,
                                 int scaleKind, int reserved, int bounce)
    : TransitionBase(frames < 1 ? 1 : frames, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, false),
      m_nMoveMode(moveMode),
      m_nMoveKind(moveKind),
      m_nScaleMode(scaleMode),
      m_nScaleKind(scaleKind),
      m_nReserved(reserved),
      m_nBounce(bounce),
      m_nStartX(startX),
      m_nStartY(startY),
      m_nEndX(endX),
      m_nEndY(endY),
      m_fStartScale(startScale),
      m_fEndScale(endScale),
      m_nRemainderX(0),
      m_nRemainderY(0),
      m_nAccumX(0),
      m_nAccumY(0),
      m_nStepFrames(0),
      m_fDeltaX(0.0f),
      m_fDeltaY(0.0f),
      m_fAccelX(0.0f),
      m_fAccelY(0.0f),
      m_fScaleDelta(0.0f),
      m_fScaleAccel(0.0f),
      m_fFadeFraction(fadeFraction),
      m_nFadeStart(-1),
      m_nFadeEnd(-1),
      m_nCurX(0),
      m_nCurY(0),
      m_fCurScaleX(1.0f),
      m_fCurScaleY(1.0f),
      m_nCurAlpha(128),
      m_bDone(false),
      m_bReady(false)
{
    m_nState = -1;
}

void TransitionScale::prepare()
{
    m_nFadeStart = -1;
    m_nFadeEnd = -1;
    m_fDeltaX = m_fDeltaY = 0.0f;
    m_fScaleDelta = 0.0f;
    m_nAccumX = m_nAccumY = 0;
    m_nRemainderX = m_nRemainderY = 0;
    m_nStepFrames = 0;
    m_bDone = false;
    int frames = m_nFrames < 1 ? 1 : m_nFrames;

    if (m_nMoveMode == 1) {
        if (m_nMoveKind == 0)
            return;
        if (m_nMoveKind == 1) {
            double dx = double(m_nEndX) - m_nStartX;
            double dy = double(m_nEndY) - m_nStartY;
            m_fDeltaX = float(dx / frames);
            m_fDeltaY = float(dy / frames);
            m_nRemainderX = int(std::llabs((long long)(dx)) % frames);
            m_nRemainderY = int(std::llabs((long long)(dy)) % frames);
            m_nStepFrames = frames;
        }
    }
    if (m_nScaleMode == 1) {
        if (m_nScaleKind == 0)
            return;
        if (m_nScaleKind == 1) {
            float target = m_fEndScale;
            if (m_nBounce == 1)
                target = m_fStartScale <= m_fEndScale ? m_fEndScale * 1.1f : m_fEndScale * 0.9f;
            m_fScaleDelta = (target - m_fStartScale) / frames;
        }
    } else if (m_nScaleMode == 2) {
        return;
    }
    if (m_fFadeFraction == 0.0f)
        return;
    int n = int(frames * m_fFadeFraction);
    int span = n < 0 ? 0 : n > frames ? frames : n;
    if (isGrowing()) {
        m_nCurAlpha = 0;
        m_nFadeStart = 0;
        m_nFadeEnd = span;
    } else {
        m_nCurAlpha = 128;
        m_nFadeStart = frames - span;
        m_nFadeEnd = frames;
    }
}

int TransitionScale::carry(int& accumulator, int remainder, float delta)
{
    if (m_nStepFrames < 1)
        return 0;
    accumulator += remainder;
    if (accumulator < m_nStepFrames)
        return 0;
    accumulator -= m_nStepFrames;
    return delta < 0.0f ? -1 : 1;
}

int TransitionScale::stepFrame()
{
    if (m_bDone)
        return 0;
    int stepX = 0;
    int stepY = 0;
    if (m_nMoveMode == 1) {
        if (m_nMoveKind != 1) {
            m_fDeltaX += m_fAccelX;
            m_fDeltaY += m_fAccelY;
        }
        stepX = int(carry(m_nAccumX, m_nRemainderX, m_fDeltaX) + m_fDeltaX);
        stepY = int(carry(m_nAccumY, m_nRemainderY, m_fDeltaY) + m_fDeltaY);
    }
    if (m_nScaleMode == 1 && (m_nScaleKind == 2 || m_nScaleKind == 3))
        m_fScaleDelta += m_fScaleAccel;
    if (m_nFrame == m_nFrames && m_nBounce == 1 && m_nScaleMode == 1 && m_fScaleDelta != 0.0f) {
        // Hold the overshoot three more frames; the end values follow.
        m_fScaleDelta = 0.0f;
        m_nFrames += 3;
        m_bDone = true;
    }
    int alpha = m_nCurAlpha;
    if (m_fFadeFraction != 0.0f && m_nFadeEnd >= 0) {
        // A growing sprite fades in over the first frames of the run, a
        // shrinking one out over the last; an empty span jumps to the end.
        if (isGrowing()) {
            if (m_nFrame <= m_nFadeEnd && m_nFadeEnd > 0)
                alpha = int(m_nFrame * 128.0 / m_nFadeEnd);
            else
                alpha = 128;
        } else if (m_nFrame < m_nFadeStart) {
            alpha = 128;
        } else {
            int span = m_nFadeEnd - m_nFadeStart;
            alpha = span > 0 ? int((m_nFadeEnd - m_nFrame) * 128.0 / span) : 0;
        }
    }
    m_nCurX = stepX;
    m_nCurY = stepY;
    m_fCurScaleX = m_fScaleDelta;
    m_fCurScaleY = m_fScaleDelta;
    m_nCurAlpha = alpha;
    return 1;
}

void TransitionScale::reset()
{
    TransitionBase::reset();
    prepare();
    m_nCurX = m_nStartX;
    m_nCurY = m_nStartY;
    m_fCurScaleX = m_fStartScale;
    m_fCurScaleY = m_fStartScale;
    setReady(false);
}

void TransitionScale::begin() {}

void TransitionScale::finish()
{
    m_nCurX = m_nEndX;
    m_nCurY = m_nEndY;
    m_fCurScaleX = m_fEndScale;
    m_fCurScaleY = m_fEndScale;
}

void TransitionScale::paint(window::Graphics*) {}

bool TransitionScale::drawLayer(int, window::Graphics*)
{
    return false;
}

bool TransitionScale::isLayerActive(int)
{
    return false;
}

bool TransitionScale::isScreenTransition()
{
    return false;
}

bool TransitionScale::isReady()
{
    return m_bReady;
}

void TransitionScale::setReady(bool ready)
{
    m_bReady = ready;
}

void TransitionScale::getCurrent(int& x, int& y, float& scaleX, float& scaleY, int& alpha)
{
    x = m_nCurX;
    y = m_nCurY;
    scaleX = m_fCurScaleX;
    scaleY = m_fCurScaleY;
    alpha = m_nCurAlpha;
}

bool TransitionScale::hasStartValues()
{
    return true;
}

int TransitionScale::startAlpha() const
{
    if (m_fFadeFraction == 0.0f)
        return 128;
    return isGrowing() ? 0 : 128;
}

int TransitionScale::endAlpha() const
{
    if (m_fFadeFraction == 0.0f)
        return 128;
    return isGrowing() ? 128 : 0;
}

void TransitionScale::getStart(int& x, int& y, float& scaleX, float& scaleY, int& alpha)
{
    x = m_nStartX;
    y = m_nStartY;
    scaleX = m_fStartScale;
    scaleY = m_fStartScale;
    alpha = startAlpha();
}

bool TransitionScale::hasEndValues()
{
    return true;
}

void TransitionScale::getEnd(int& x, int& y, float& scaleX, float& scaleY, int& alpha)
{
    x = m_nEndX;
    y = m_nEndY;
    scaleX = m_fEndScale;
    scaleY = m_fEndScale;
    alpha = endAlpha();
}

} // namespace sprite

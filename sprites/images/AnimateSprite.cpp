// AnimateSprite.cpp: the frame grid and its playback.
#include "sprites/images/AnimateSprite.h"

#include "sprites/base/DefinitionArgs.h"
#include "sprites/base/SpriteBaseLua.h"
#include "windowing/images/ImageBase.h"

#include <climits>

namespace sprite {

HV_DEFINE_METACLASS_WITH(AnimateSprite, nullptr, 1, 1);

namespace {

int clampInt(long long value)
{
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : int(value);
}

// -value, held to the int range.
int negate(int value)
{
    return value == INT_MIN ? INT_MAX : -value;
}

} // namespace

AnimateSprite::AnimateSprite(window::ImageBase* image, int columns, int rows)
    : m_nColumns(1),
      m_nRows(1),
      m_nTickCount(0),
      m_nFrame(0),
      m_nFrameStep(0),
      m_nFrameRate(0),
      m_nLoopHold(0),
      m_nLoopsLeft(0),
      m_nPingPongsLeft(0),
      m_nStartDelay(0),
      m_nStartFrame(0),
      m_nEndFrame(0),
      m_bLooping(true),
      m_bPingPong(false)
{
    bindLuaClass();
    if (image)
        setGrid(image, columns, rows);
}

void AnimateSprite::bindLuaClass()
{
    SpriteBaseLua::bindClass(this, "hv.AnimateSprite", SpriteBaseLua::kMetatable, "AnimateSprite.lua",
                             "AnimateSprite", luaMethods());
}

int AnimateSprite::getFrameCount() const
{
    return clampInt((long long)m_nColumns * m_nRows);
}

void AnimateSprite::setImage(window::ImageBase* image)
{
    setGrid(image, 1, 1);
}

void AnimateSprite::setGrid(window::ImageBase* image, int columns, int rows)
{
    ImageSprite::setImage(image);
    m_nColumns = columns < 1 ? 1 : columns;
    m_nRows = rows < 1 ? 1 : rows;
    m_nEndFrame = getFrameCount() - 1;
    showCurrentFrame();
}

void AnimateSprite::setFrame(int n)
{
    int last = getFrameCount() - 1;
    if (n > last)
        n = last;
    if (n == m_nFrame)
        return;
    m_nFrame = n;
    showCurrentFrame();
    if (m_bVisible)
        m_bDirty = true;
}

void AnimateSprite::showCurrentFrame()
{
    if (!m_pImage || m_nFrame < 0)
        return;
    int cellWidth = m_pImage->getWidth() / m_nColumns;
    int cellHeight = m_pImage->getHeight() / m_nRows;
    setSourceRect(util::RectangleNM((m_nFrame % m_nColumns) * cellWidth, (m_nFrame / m_nColumns) * cellHeight,
                                    cellWidth, cellHeight));
}

void AnimateSprite::setFrameRange(int start, int end)
{
    m_nStartFrame = start < 0 ? 0 : start;
    int last = getFrameCount() - 1;
    if (end < 0)
        end = 0;
    m_nEndFrame = end < last ? end : last;
}

void AnimateSprite::setFrameStep(int step, bool loop)
{
    m_nTickCount = 0;
    m_nFrameStep = step;
    m_bLooping = loop;
}

void AnimateSprite::playAnimation(int start, int end, int loops, int rate, bool pingPong, int step)
{
    setFrame(start);
    int e = end == -1 ? getFrameCount() - 1 : end;
    setFrameRange(start, e);
    m_nStartDelay = 0;
    m_nFrameRate = rate;
    if (loops == 0)
        m_nLoopsLeft = 1;
    else if (loops > 0)
        m_nLoopsLeft = loops;
    setFrameStep(e < start && step > 0 ? -step : step, loops != 0);
    m_bPingPong = pingPong;
}

bool AnimateSprite::isPlaying()
{
    return m_nFrameStep != 0 && !(m_bLooping && m_nLoopsLeft < 1) && !(m_bPingPong && m_nPingPongsLeft < 1);
}

bool AnimateSprite::isAnimating()
{
    return ImageSprite::isAnimating() || isPlaying();
}

bool AnimateSprite::isShowing()
{
    return m_nFrame >= 0 && ImageSprite::isShowing();
}

bool AnimateSprite::hittestImage(int x, int y)
{
    if (m_nFrame < 0)
        return getBounds()->contains(x, y);
    return ImageSprite::hittestImage(x, y, 1);
}

bool AnimateSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (isActive(frame)) {
        ++m_nTickCount;
        if (m_nFrameStep != 0) {
            if (m_nStartDelay >= 1)
                --m_nStartDelay;
            else if (!(m_nFrameRate > 1 && m_nTickCount % m_nFrameRate != 0))
                advanceFrames();
        }
    }
    return ImageSprite::tick(frame, boundsOut, region);
}

bool AnimateSprite::holdingLoop() const
{
    return m_nLoopHold != 0 && m_nTickCount % m_nLoopHold != 0;
}

void AnimateSprite::countLoop()
{
    if (m_nLoopsLeft > 0)
        --m_nLoopsLeft;
    if (m_nLoopHold != 0 && m_nLoopsLeft == 0)
        m_bActionPending = true;
}

int AnimateSprite::wrapPastEnd(int n)
{
    long long divisor = (long long)m_nEndFrame - m_nStartFrame + m_nFrameStep;
    // A step that runs against a range it is above of leaves no period.
    if (divisor < 1)
        return m_nStartFrame;
    return clampInt(m_nStartFrame + ((long long)n - m_nStartFrame) % divisor);
}

int AnimateSprite::wrapPastStart(int n)
{
    return clampInt((long long)n + m_nEndFrame - m_nStartFrame - m_nFrameStep);
}

int AnimateSprite::wrapBackward(int n)
{
    // A backward range runs from startFrame down to endFrame; a frame past
    // endFrame ends the run, loops back to startFrame, or is held there.
    if (n < m_nEndFrame) {
        if (m_nLoopsLeft == 1)
            m_bLooping = false;
        if (m_bLooping) {
            if (holdingLoop())
                return clampInt((long long)n - m_nFrameStep);
            countLoop();
            long long period = (long long)m_nStartFrame - m_nEndFrame + 1;
            return clampInt(m_nStartFrame - ((long long)m_nStartFrame - n) % period);
        }
    } else if (n <= m_nStartFrame) {
        return n;
    }
    // The end of the run, or a step that leaves the range the wrong way.
    int last = clampInt((long long)n - m_nFrameStep);
    m_nFrameStep = 0;
    return last;
}

void AnimateSprite::advanceFrames()
{
    bool wasPlaying = isPlaying();
    int n = clampInt((long long)m_nFrame + m_nFrameStep);
    if (m_nStartFrame > m_nEndFrame && !m_bPingPong) {
        n = wrapBackward(n);
    } else {
        if (n > m_nEndFrame) {
            if (m_nLoopsLeft == 1)
                m_bLooping = false;
            if (m_bPingPong) {
                n = clampInt((long long)n - m_nFrameStep);
                m_nFrameStep = negate(m_nFrameStep);
            } else if (m_bLooping) {
                if (holdingLoop()) {
                    n = clampInt((long long)n - m_nFrameStep);
                } else {
                    countLoop();
                    n = wrapPastEnd(n);
                }
            } else {
                n = clampInt((long long)n - m_nFrameStep);
                m_nFrameStep = 0;
            }
        }
        if (n < m_nStartFrame) {
            if (m_nLoopsLeft == 1)
                m_bLooping = false;
            if (m_nPingPongsLeft == 1)
                m_bPingPong = false;
            if (m_bPingPong) {
                if (m_nPingPongsLeft > 0)
                    --m_nPingPongsLeft;
                n = clampInt((long long)n - m_nFrameStep);
                m_nFrameStep = negate(m_nFrameStep);
            } else if (m_bLooping) {
                if (holdingLoop()) {
                    n = clampInt((long long)n - m_nFrameStep);
                } else {
                    countLoop();
                    n = wrapPastStart(n);
                }
            } else {
                n = clampInt((long long)n - m_nFrameStep);
                m_nFrameStep = 0;
            }
        }
    }
    setFrame(n);
    if (wasPlaying && !isPlaying())
        m_bActionPending = true;
}

void AnimateSprite::configureGrid(lang::ObjectArray* resources, lang::IntArray* params)
{
    ImageSprite::configure(resources, params);
    int columns = DefinitionArgs::number(params, 2);
    int rows = DefinitionArgs::number(params, 3);
    m_nColumns = columns < 1 ? 1 : columns;
    m_nRows = rows < 1 ? 1 : rows;
    m_nEndFrame = getFrameCount() - 1;
    showCurrentFrame();
}

bool AnimateSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    configureGrid(resources, params);
    int count = DefinitionArgs::count(params);
    if (count >= 5) {
        int frame = DefinitionArgs::number(params, 4);
        setVisible(frame != -1);
        setFrame(frame);
    }
    if (count >= 8) {
        m_nStartDelay = 0;
        m_nFrameRate = DefinitionArgs::number(params, 5);
        m_bPingPong = DefinitionArgs::number(params, 6) != 0;
        setFrameStep(DefinitionArgs::number(params, 7), true);
    }
    return true;
}

void AnimateSprite::copyFramesTo(AnimateSprite* other)
{
    other->m_nColumns = m_nColumns;
    other->m_nRows = m_nRows;
    other->m_nTickCount = m_nTickCount;
    other->m_nFrame = m_nFrame;
    other->m_nFrameStep = m_nFrameStep;
    other->m_nFrameRate = m_nFrameRate;
    other->m_nLoopHold = m_nLoopHold;
    other->m_nLoopsLeft = m_nLoopsLeft;
    other->m_nPingPongsLeft = m_nPingPongsLeft;
    other->m_nStartDelay = m_nStartDelay;
    other->m_nStartFrame = m_nStartFrame;
    other->m_nEndFrame = m_nEndFrame;
    other->m_bLooping = m_bLooping;
    other->m_bPingPong = m_bPingPong;
}

SpriteBase* AnimateSprite::clone()
{
    AnimateSprite* copy = new AnimateSprite(nullptr, 1, 1);
    copyStateTo(copy);
    copyTo(copy);
    copyFramesTo(copy);
    return copy;
}

} // namespace sprite

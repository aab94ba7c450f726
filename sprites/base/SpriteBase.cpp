// SpriteBase.cpp: placement by anchor, bounds through the sprite's transform,
// the frame-counted animations and their action event, drawing through the
// clip and a show/hide transition, and handing a transition its picture.
#include "sprites/base/SpriteBase.h"

#include "core/util/Region.h"
#include "sprites/transitions/TransitionBase.h"
#include "sprites/transitions/TransitionFactory.h"
#include "windowing/window/Event.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/images/ImageBase.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace sprite {

namespace {

const double kPi = 3.14159265358979323846;

// Raises the animation depth for the lifetime of one animation step, so that
// the changes the step makes do not count as outside changes.
class AnimationStep {
public:
    explicit AnimationStep(int& depth) : m_depth(depth) { ++m_depth; }
    ~AnimationStep() { --m_depth; }
    AnimationStep(const AnimationStep&) = delete;
    AnimationStep& operator=(const AnimationStep&) = delete;

private:
    int& m_depth;
};

int clampByte(int value)
{
    return value < 0 ? 0 : value > 255 ? 255 : value;
}

} // namespace

SpriteBase::LuaHooks SpriteBase::luaHooks;

SpriteBase::SpriteBase(int x, int y)
    : m_nX(x),
      m_nY(y),
      m_nAnchor(ANCHOR_CENTER_X | ANCHOR_CENTER_Y),
      m_dRotation(0.0),
      m_dScaleX(1.0),
      m_dScaleY(1.0),
      m_nFlip(FLIP_NONE),
      m_colorBalance(128, 128, 128, 128),
      m_bUseCornerColors(false),
      m_nMoveSteps(0),
      // The place the sprite stands (left and top under the centre anchor):
      // completing animations of a sprite never moved leaves it there.
      m_nMoveTargetX(x),
      m_nMoveTargetY(y),
      m_nScaleSteps(0),
      m_dScaleTargetX(1.0),
      m_dScaleTargetY(1.0),
      m_nSpinRate(0),
      m_dSpinReference(0.0),
      m_nAnimationDepth(0),
      m_nAlphaSteps(0),
      m_nColorSteps(0),
      m_targetColor(128, 128, 128, 128),
      m_nHideAtEnd(0),
      m_pActionReceiver(nullptr),
      m_pActionCommand(nullptr),
      m_bActionPending(false),
      m_bPaused(false),
      m_nLastFrame(0),
      m_nPauseEndFrame(0),
      m_pClip(nullptr),
      m_bVisible(true),
      m_nTransitionMode(TRANSITION_NONE),
      m_bDirty(false),
      m_pTransition(nullptr),
      m_nMouseOverCursor(CURSOR_NONE),
      m_nLuaRef(NO_LUA_REF),
      m_bHasLuaAnimations(false),
      m_pParent(nullptr)
{
    if (luaHooks.createLuaTable)
        luaHooks.createLuaTable(this);
}

SpriteBase::~SpriteBase()
{
    if (m_nLuaRef != NO_LUA_REF && luaHooks.releaseLuaTable)
        luaHooks.releaseLuaTable(this);
    if (m_pActionCommand)
        m_pActionCommand->release();
    if (m_pClip)
        m_pClip->release();
    if (m_pTransition)
        m_pTransition->release();
}

int SpriteBase::toInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= double(INT_MIN))
        return INT_MIN;
    if (value >= double(INT_MAX))
        return INT_MAX;
    return int(value);
}

void SpriteBase::moved(int, int) {}

void SpriteBase::paint(window::Graphics*) {}

void SpriteBase::draw(window::Graphics* g)
{
    if (!isShowing())
        return;
    window::Graphics* g2 = g->create();
    if (!g2)
        return;
    if (m_pClip)
        g2->clipRect(m_pClip->x, m_pClip->y, m_pClip->width, m_pClip->height);
    // A subclass may count a screen transition as its own: only an attached
    // transition paints in place of the sprite.
    if (m_pTransition && isTransitioning()) {
        m_pTransition->setReady(true);
        if (m_pTransition->isScreenTransition())
            m_pTransition->paint(g2);
        else
            paint(g2);
    } else {
        paint(g2);
    }
    g2->dispose();
    g2->release();
}

void SpriteBase::handleAction(lang::Object*, lang::String*) {}

bool SpriteBase::isInteractive()
{
    return false;
}

bool SpriteBase::mouseMoved(int, int)
{
    return false;
}

void SpriteBase::setMouseOver(bool) {}

bool SpriteBase::handleEvent(window::Event*)
{
    return false;
}

bool SpriteBase::tick(int frame, util::RectangleNM* boundsOut, util::Region*)
{
    if (isActive(frame)) {
        if (m_nMoveSteps > 0) {
            {
                AnimationStep step(m_nAnimationDepth);
                int nx = m_nMoveSteps == 1 ? m_nMoveTargetX : m_moveStepperX.next(left());
                int ny = m_nMoveSteps == 1 ? m_nMoveTargetY : m_moveStepperY.next(top());
                setPosition(nx, ny);
            }
            if (--m_nMoveSteps == 0)
                m_bActionPending = true;
        }
        if (m_nAlphaSteps > 0) {
            {
                AnimationStep step(m_nAnimationDepth);
                int target = m_targetColor.getAlpha();
                setAlphaBalance(m_nAlphaSteps == 1 ? target : m_alphaStepper.next(m_colorBalance.getAlpha()));
            }
            if (--m_nAlphaSteps == 0) {
                if (m_targetColor.getAlpha() == 0 && m_nHideAtEnd == 1)
                    setVisible(false);
                m_bActionPending = true;
            }
        }
        if (m_nColorSteps > 0) {
            {
                AnimationStep step(m_nAnimationDepth);
                bool last = m_nColorSteps == 1;
                int red = last ? m_targetColor.getRed() : m_redStepper.next(m_colorBalance.getRed());
                int green = last ? m_targetColor.getGreen() : m_greenStepper.next(m_colorBalance.getGreen());
                int blue = last ? m_targetColor.getBlue() : m_blueStepper.next(m_colorBalance.getBlue());
                setColorBalance(m_colorBalance.getAlpha(), red, green, blue);
            }
            if (--m_nColorSteps == 0)
                m_bActionPending = true;
        }
        if (m_nScaleSteps > 0) {
            {
                AnimationStep step(m_nAnimationDepth);
                double sx = m_dScaleTargetX;
                double sy = m_dScaleTargetY;
                if (m_nScaleSteps != 1) {
                    sx = m_dScaleX + (m_dScaleTargetX - m_dScaleX) / m_nScaleSteps;
                    sy = m_dScaleY + (m_dScaleTargetY - m_dScaleY) / m_nScaleSteps;
                }
                setScale(sx, sy);
            }
            if (--m_nScaleSteps == 0)
                m_bActionPending = true;
        }
        tickSpin();
    }
    // The receiver of the action may drop the last outside reference to the
    // sprite; it stays alive until this tick is over.
    bool firing = m_bActionPending;
    if (firing) {
        addRef();
        fireAction();
    }
    if (boundsOut)
        *boundsOut = *getBounds();
    bool dirty = m_bDirty;
    m_bDirty = false;
    m_nLastFrame = frame;
    if (firing)
        release();
    return dirty;
}

void SpriteBase::tickSpin()
{
    int rate = m_nSpinRate;
    if (rate == 0)
        return;
    bool locked = (rate >= 2 || rate <= -2) && m_dRotation == m_dSpinReference;
    {
        AnimationStep step(m_nAnimationDepth);
        if (rate > 0) {
            // The next turn of the reference angle ahead of the rotation.
            double ahead = m_dSpinReference;
            while (ahead <= m_dRotation)
                ahead += 360.0;
            rotateBy((ahead - m_dRotation) / rate);
        } else {
            // The rotation's next turn ahead of the reference angle.
            double ahead = m_dRotation;
            while (ahead <= m_dSpinReference)
                ahead += 360.0;
            // In floating point: -rate has no int value for the lowest rate.
            rotateBy((m_dSpinReference - ahead) / -double(rate));
        }
    }
    if (!locked)
        m_nSpinRate = rate > 0 ? rate - 1 : rate + 1;
    else
        m_dSpinReference = m_dRotation;
    if (m_nSpinRate == 0)
        m_bActionPending = true;
}

int SpriteBase::left()
{
    int w = width();
    switch (m_nAnchor & 0xF0) {
    case ANCHOR_LEFT:
        return m_nX - (w >> 1);
    case ANCHOR_RIGHT:
        return m_nX - (w >> 1) + w;
    default:
        return m_nX;
    }
}

int SpriteBase::top()
{
    int h = height();
    switch (m_nAnchor & 0x0F) {
    case ANCHOR_TOP:
        return m_nY - (h >> 1);
    case ANCHOR_BOTTOM:
        return m_nY - (h >> 1) + h;
    default:
        return m_nY;
    }
}

void SpriteBase::setPosition(int l, int t)
{
    movePosition(toInt(double(l) - left()), toInt(double(t) - top()));
}

void SpriteBase::show(bool visible, TransitionBase* transition)
{
    if (!transition) {
        // Nothing to play: the change happens at once and the action follows
        // on the next tick, as at the end of a transition.
        setVisible(visible);
        m_bActionPending = true;
        return;
    }
    setVisible(true);
    m_nTransitionMode = visible ? TRANSITION_SHOWING : TRANSITION_HIDING;
    attachTransition(transition);
    transition->begin();
    if (transition->getState() == -1)
        transition->reset();
}

void SpriteBase::showWithTransition(bool visible, int type, int arg)
{
    TransitionBase* transition =
        TransitionFactory::create(type, *getBounds(), arg != 0, TransitionBase::DEFAULT_FRAMES);
    show(visible, transition);
    if (transition)
        transition->release();
}

void SpriteBase::showWithTransition(bool visible, int type)
{
    showWithTransition(visible, type, 0);
}

void SpriteBase::setVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    m_bVisible = visible;
    m_bDirty = true;
}

bool SpriteBase::isShowing()
{
    return m_bVisible && width() >= 1 && height() >= 1;
}

void SpriteBase::setColorBalance(int alpha, int red, int green, int blue)
{
    ColorWin32 colour(red, green, blue, alpha);
    applyColor(&colour);
}

bool SpriteBase::isAnimating()
{
    return m_nMoveSteps >= 1 || m_nAlphaSteps >= 1 || m_nColorSteps >= 1;
}

bool SpriteBase::completeAnimations()
{
    if (!isAnimating())
        return false;
    bool completed = false;
    // Every target the sprite is away from, whether its animation runs or
    // ended early: outside changes keep the targets on the sprite's values.
    if (m_nMoveTargetX != left() || m_nMoveTargetY != top()) {
        setPosition(m_nMoveTargetX, m_nMoveTargetY);
        completed = true;
    }
    if (m_colorBalance.getAlpha() != m_targetColor.getAlpha()) {
        setAlphaBalance(m_targetColor.getAlpha());
        completed = true;
    }
    if (m_nColorSteps > 0) {
        ColorWin32 target(m_targetColor);
        applyColor(&target);
        completed = true;
    }
    if (m_dScaleX != m_dScaleTargetX || m_dScaleY != m_dScaleTargetY) {
        setScale(m_dScaleTargetX, m_dScaleTargetY);
        completed = true;
    }
    if (m_dRotation != m_dSpinReference) {
        rotateBy(m_dSpinReference - m_dRotation);
        completed = true;
    }
    return completed;
}

void SpriteBase::syncMoveTarget()
{
    m_nMoveTargetX = left();
    m_nMoveTargetY = top();
}

void SpriteBase::setAlphaDestination(int alpha, int steps, int hideAtEnd)
{
    alpha = clampByte(alpha);
    m_targetColor.setAlpha(alpha);
    if (steps != -1)
        m_nAlphaSteps = steps;
    if (m_nAlphaSteps == 0)
        m_nAlphaSteps = 1;
    m_alphaStepper.init(m_colorBalance.getAlpha(), alpha, m_nAlphaSteps);
    m_nHideAtEnd = hideAtEnd;
}

void SpriteBase::setColorBalanceDestination(ColorBase* colour, int steps, int hideAtEnd)
{
    if (!colour)
        return;
    m_targetColor = *colour;
    if (steps != -1)
        m_nColorSteps = steps;
    if (m_nColorSteps == 0)
        m_nColorSteps = 1;
    m_nAlphaSteps = m_nColorSteps;
    m_alphaStepper.init(m_colorBalance.getAlpha(), m_targetColor.getAlpha(), m_nColorSteps);
    m_redStepper.init(m_colorBalance.getRed(), m_targetColor.getRed(), m_nColorSteps);
    m_greenStepper.init(m_colorBalance.getGreen(), m_targetColor.getGreen(), m_nColorSteps);
    m_blueStepper.init(m_colorBalance.getBlue(), m_targetColor.getBlue(), m_nColorSteps);
    m_nHideAtEnd = hideAtEnd;
}

bool SpriteBase::hittest(int x, int y)
{
    return getBounds()->contains(x, y);
}

bool SpriteBase::hittestOpaque(int x, int y)
{
    return hittest(x, y);
}

util::RectangleNM* SpriteBase::getBounds()
{
    if (!m_pClip)
        return &m_bounds;
    m_clippedBounds = m_bounds;
    m_clippedBounds.intersect(*m_pClip);
    return &m_clippedBounds;
}

void SpriteBase::unloadImages() {}

void SpriteBase::loadImages() {}

bool SpriteBase::isTransitioning()
{
    return m_pTransition && m_pTransition->isRunning();
}

bool SpriteBase::drawsThroughTransition()
{
    return m_pTransition && m_pTransition->isCapturing();
}

void SpriteBase::prepareTransition(window::Graphics* g)
{
    if (drawsThroughTransition())
        drawThroughTransition(g);
}

void SpriteBase::movePosition(int dx, int dy)
{
    // Places are held within FARTHEST of the origin, whatever a script asks.
    auto held = [](int from, int offset) {
        if (offset == 0)
            return 0;
        const double to = std::max(double(-FARTHEST), std::min(double(FARTHEST), double(from) + offset));
        return toInt(to - from);
    };
    dx = held(m_nX, dx);
    dy = held(m_nY, dy);
    if (dx == 0 && dy == 0)
        return;
    m_nX += dx;
    m_nY += dy;
    m_bounds.x += dx;
    m_bounds.y += dy;
    if (m_bVisible)
        m_bDirty = true;
    if (m_nAnimationDepth == 0) {
        m_nMoveTargetX = left();
        m_nMoveTargetY = top();
        if (m_nMoveSteps > 1)
            m_nMoveSteps = 1;
        m_moveStepperX.stop();
        m_moveStepperY.stop();
    }
    moved(dx, dy);
}

void SpriteBase::setCenter(int x, int y)
{
    movePosition(toInt(double(x) - m_nX), toInt(double(y) - m_nY));
}

void SpriteBase::setDestination(int l, int t, int steps)
{
    m_nMoveTargetX = l;
    m_nMoveTargetY = t;
    m_nMoveSteps = steps;
    m_moveStepperX.init(left(), l, steps);
    m_moveStepperY.init(top(), t, steps);
}

void SpriteBase::setScale(double sx, double sy)
{
    if (sx == m_dScaleX && sy == m_dScaleY)
        return;
    // Negative factors (and NaN) become 0.
    m_dScaleX = sx > 0.0 ? sx : 0.0;
    m_dScaleY = sy > 0.0 ? sy : 0.0;
    updateBounds();
    if (m_bVisible)
        m_bDirty = true;
    if (m_nAnimationDepth == 0) {
        m_dScaleTargetX = m_dScaleX;
        m_dScaleTargetY = m_dScaleY;
        if (m_nScaleSteps > 1)
            m_nScaleSteps = 1;
    }
}

void SpriteBase::setScale(double s)
{
    setScale(s, s);
}

void SpriteBase::setScaleX(double sx)
{
    m_dScaleX = sx > 0.0 ? sx : 0.0;
    updateBounds();
    if (m_bVisible)
        m_bDirty = true;
}

void SpriteBase::setScaleDestination(double sx, double sy, int steps)
{
    m_dScaleTargetX = sx;
    m_dScaleTargetY = sy;
    m_nScaleSteps = steps;
}

double SpriteBase::wrapRotation(double rotation)
{
    // Whole turns are taken off at once (as repeated additions or
    // subtractions of 360 would, one by one): above 360 the result lies in
    // (0, 360], below 0 in [0, 360).
    if (rotation > 360.0) {
        rotation = std::fmod(rotation, 360.0);
        if (rotation == 0.0)
            rotation = 360.0;
    } else if (rotation < 0.0) {
        rotation = std::fmod(rotation, 360.0);
        if (rotation < 0.0)
            rotation += 360.0;
        else
            rotation = 0.0;
    }
    return rotation;
}

void SpriteBase::rotateBy(double degrees)
{
    // Not a number or an endless turn would leave no angle to draw at.
    if (degrees == 0.0 || !std::isfinite(degrees))
        return;
    m_dRotation = wrapRotation(m_dRotation + degrees);
    updateBounds();
    if (m_bVisible)
        m_bDirty = true;
    if (m_nAnimationDepth == 0) {
        m_dSpinReference = m_dRotation;
        if (m_nSpinRate != 0)
            m_nSpinRate = m_nSpinRate > 0 ? 1 : -1;
    }
}

void SpriteBase::setSpin(int rate)
{
    m_nSpinRate = rate;
    m_dSpinReference = m_dRotation;
}

void SpriteBase::setFlipType(int flip)
{
    if (flip == m_nFlip)
        return;
    m_nFlip = flip;
    if (m_bVisible)
        m_bDirty = true;
}

void SpriteBase::setAlphaBalance(int alpha)
{
    alpha = clampByte(alpha);
    if (m_colorBalance.getAlpha() == alpha)
        return;
    m_colorBalance.setAlpha(alpha);
    if (m_bVisible)
        m_bDirty = true;
    if (m_nAnimationDepth == 0) {
        m_targetColor.setAlpha(alpha);
        if (m_nAlphaSteps > 1)
            m_nAlphaSteps = 1;
        m_alphaStepper.stop();
    }
}

void SpriteBase::applyColor(ColorBase* colour)
{
    if (!colour || colour->getValue() == m_colorBalance.getValue())
        return;
    bool alphaChanged = colour->getAlpha() != m_colorBalance.getAlpha();
    m_colorBalance = *colour;
    m_bUseCornerColors = false;
    if (m_bVisible)
        m_bDirty = true;
    if (m_nAnimationDepth == 0) {
        if (alphaChanged) {
            if (m_nAlphaSteps > 1)
                m_nAlphaSteps = 1;
            m_alphaStepper.stop();
        }
        m_targetColor = *colour;
        if (m_nColorSteps > 1)
            m_nColorSteps = 1;
        m_redStepper.stop();
        m_greenStepper.stop();
        m_blueStepper.stop();
    }
}

ColorWin32 SpriteBase::getColorBalance(int corner)
{
    if (m_bUseCornerColors && corner >= 0 && corner < 4)
        return m_cornerColors[corner];
    return m_colorBalance;
}

void SpriteBase::setAction(window::Receiver* receiver, lang::String* command)
{
    if (command)
        command->addRef();
    if (m_pActionCommand)
        m_pActionCommand->release();
    m_pActionReceiver = receiver;
    m_pActionCommand = command;
}

void SpriteBase::fireAction()
{
    m_bActionPending = false;
    if (!m_pActionReceiver)
        return;
    // The event carries the command; a receiver set without a command gets
    // an empty one.
    lang::String* command = m_pActionCommand;
    if (command)
        command->addRef();
    else
        command = new lang::String("");
    window::Event* event = new window::Event(this, window::Event::ACTION, command);
    command->release();
    m_pActionReceiver->handleEvent(event);
    event->release();
}

void SpriteBase::setPaused(bool paused)
{
    m_bPaused = paused;
    if (paused)
        m_nPauseEndFrame = -1;
}

bool SpriteBase::isActive(int)
{
    return !m_bPaused;
}

void SpriteBase::setClipRect(util::RectangleNM* clip)
{
    if (!clip) {
        if (!m_pClip)
            return;
        m_pClip->release();
        m_pClip = nullptr;
    } else {
        if (m_pClip && m_pClip->equals(clip))
            return;
        util::RectangleNM* copy = new util::RectangleNM(*clip);
        if (m_pClip)
            m_pClip->release();
        m_pClip = copy;
    }
    if (m_bVisible)
        m_bDirty = true;
}

void SpriteBase::copyStateTo(SpriteBase* other)
{
    other->m_nX = m_nX;
    other->m_nY = m_nY;
    other->m_nAnchor = m_nAnchor;
    other->m_dRotation = m_dRotation;
    other->m_dScaleX = m_dScaleX;
    other->m_dScaleY = m_dScaleY;
    other->m_colorBalance = m_colorBalance;
    other->m_nMoveSteps = m_nMoveSteps;
    other->m_nMoveTargetX = m_nMoveTargetX;
    other->m_nMoveTargetY = m_nMoveTargetY;
    other->m_moveStepperX = m_moveStepperX;
    other->m_moveStepperY = m_moveStepperY;
    other->m_nAlphaSteps = m_nAlphaSteps;
    other->m_nColorSteps = m_nColorSteps;
    other->m_targetColor = m_targetColor;
    other->m_alphaStepper = m_alphaStepper;
    other->m_redStepper = m_redStepper;
    other->m_greenStepper = m_greenStepper;
    other->m_blueStepper = m_blueStepper;
    other->m_nHideAtEnd = m_nHideAtEnd;
    other->setAction(m_pActionReceiver, m_pActionCommand);
    other->m_bPaused = m_bPaused;
    other->m_nLastFrame = m_nLastFrame;
    other->m_nPauseEndFrame = m_nPauseEndFrame;
    other->m_bounds = m_bounds;
    other->setClipRect(m_pClip);
    other->m_bVisible = m_bVisible;
    other->m_bDirty = m_bDirty;
    other->m_nMouseOverCursor = m_nMouseOverCursor;
    other->m_bActionPending = false;
}

void SpriteBase::updateBounds()
{
    int w = width();
    int h = height();
    int l0 = -(w >> 1);
    int t0 = -(h >> 1);
    if ((w == 0 && h == 0) || (m_dScaleX == 1.0 && m_dScaleY == 1.0 && m_dRotation == 0.0)) {
        m_bounds = util::RectangleNM(m_nX + l0, m_nY + t0, w, h);
        return;
    }
    int xs[4] = {l0, l0 + w, l0 + w, l0};
    int ys[4] = {t0, t0, t0 + h, t0 + h};
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    for (int i = 0; i < 4; ++i) {
        toScreen(xs[i], ys[i]);
        minX = xs[i] < minX ? xs[i] : minX;
        minY = ys[i] < minY ? ys[i] : minY;
        maxX = xs[i] > maxX ? xs[i] : maxX;
        maxY = ys[i] > maxY ? ys[i] : maxY;
    }
    m_bounds = util::RectangleNM(m_nX + minX, m_nY + minY, maxX - minX, maxY - minY);
}

void SpriteBase::toScreen(int& dx, int& dy)
{
    if (m_nFlip & FLIP_HORIZONTAL)
        dx = -dx;
    if (m_nFlip & FLIP_VERTICAL)
        dy = -dy;
    double fx = dx * m_dScaleX;
    double fy = dy * m_dScaleY;
    double angle = std::atan2(-fy, fx);
    if (m_dRotation != 0.0)
        angle -= m_dRotation * kPi / 180.0;
    double r = std::sqrt(fx * fx + fy * fy);
    dx = toInt(std::cos(angle) * r);
    dy = toInt(-(std::sin(angle) * r));
}

void SpriteBase::toLocal(int& dx, int& dy)
{
    if (!(m_dScaleX == 1.0 && m_dScaleY == 1.0 && m_dRotation == 0.0)) {
        double r = std::sqrt(double(dx) * dx + double(dy) * dy);
        double angle = std::atan2(-double(dy), double(dx));
        if (m_dRotation != 0.0)
            angle += m_dRotation * kPi / 180.0;
        dx = m_dScaleX > 0.0 ? toInt(std::cos(angle) * r / m_dScaleX) : 0;
        dy = m_dScaleY > 0.0 ? -toInt(std::sin(angle) * r / m_dScaleY) : 0;
    }
    if (m_nFlip & FLIP_HORIZONTAL)
        dx = -dx;
    if (m_nFlip & FLIP_VERTICAL)
        dy = -dy;
}

bool SpriteBase::tickTransition(int frame, util::RectangleNM*, util::Region*)
{
    if (isActive(frame) && m_pTransition && !drawsThroughTransition()) {
        if (isTransitioning()) {
            int result = m_pTransition->step();
            if (result != TransitionBase::STEP_NOT_RUNNING && result != TransitionBase::STEP_DELAYING)
                m_bDirty = true;
            if (result == 1) {
                int dx = 0, dy = 0, alpha = 128;
                float dsx = 0.0f, dsy = 0.0f;
                m_pTransition->getCurrent(dx, dy, dsx, dsy, alpha);
                movePosition(dx, dy);
                setScale(m_dScaleX + dsx, m_dScaleY + dsy);
                setAlphaBalance(alpha);
            }
            if (result == TransitionBase::STEP_PING_PONG)
                m_bActionPending = true;
        }
        if (!isTransitioning()) {
            if (m_pTransition->hasEndValues()) {
                int x = m_nX, y = m_nY, alpha = getAlpha();
                float sx = float(m_dScaleX), sy = float(m_dScaleY);
                m_pTransition->getEnd(x, y, sx, sy, alpha);
                setCenter(x, y);
                setScale(sx, sy);
                setAlphaBalance(alpha);
            }
            TransitionBase* finished = m_pTransition;
            m_pTransition = nullptr;
            finished->release();
            if (m_nTransitionMode == TRANSITION_HIDING)
                setVisible(false);
            m_nTransitionMode = TRANSITION_NONE;
            m_bActionPending = true;
        }
    }
    bool firing = m_bActionPending;
    if (firing) {
        addRef();
        fireAction();
    }
    bool dirty = m_bDirty;
    m_bDirty = false;
    m_nLastFrame = frame;
    if (firing)
        release();
    return dirty;
}

void SpriteBase::luaNextFrame(int frame)
{
    if (isActive(frame) && m_bHasLuaAnimations && luaHooks.callLuaNextFrame)
        luaHooks.callLuaNextFrame(this, frame);
}

void SpriteBase::attachTransition(TransitionBase* transition)
{
    if (transition)
        transition->addRef();
    if (m_pTransition)
        m_pTransition->release();
    m_pTransition = transition;
    if (transition && transition->hasStartValues()) {
        int x = m_nX, y = m_nY, alpha = getAlpha();
        float sx = float(m_dScaleX), sy = float(m_dScaleY);
        transition->getStart(x, y, sx, sy, alpha);
        setCenter(x, y);
        setScale(sx, sy);
        setAlphaBalance(alpha);
    }
}

void SpriteBase::drawThroughTransition(window::Graphics* g)
{
    TransitionBase* transition = m_pTransition;
    transition->addRef();
    int layer = transition->getState();
    int w = width();
    int h = height();
    window::Graphics* offscreen = g->beginRenderToImage(&w, &h);
    if (offscreen) {
        // The picture is drawn with the layer's top-left corner at the
        // picture's origin, where the transition will draw it back.
        util::Point* origin = transition->getLayerPosition(layer);
        if (origin)
            offscreen->translate(-origin->x, -origin->y);
        draw(offscreen);
        transition->createLayerImage(layer, w, h);
        offscreen->endRenderToImage(transition->getLayerImage(layer), w, h);
        offscreen->release();
    }
    // Without a picture the transition still starts, so the sprite is not
    // left waiting for one.
    transition->setOverlay(true);
    transition->advanceCapture();
    transition->reset();
    transition->release();
}

} // namespace sprite

// FancyContainer.cpp: the container sprite and its child list.
#include "sprites/containers/FancyContainer.h"

#include "core/lang/Hold.h"
#include "core/lang/Owned.h"
#include "core/lang/Synchronized.h"
#include "core/util/Region.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/base/SpriteBaseLua.h"
#include "windowing/graphics/Graphics.h"

namespace sprite {

HV_DEFINE_METACLASS_WITH(FancyContainer, 1, 1, 0);

util::Vector* FancyContainer::luaAnimatedSprites = nullptr;

namespace {

SpriteBase* spriteIn(util::Vector& list, int i)
{
    return static_cast<SpriteBase*>(list.get(i));
}

// The Lua method and, with jump, the native completion of one sprite.
void completeSprite(SpriteBase* sprite, bool jump)
{
    if (sprite->hasLuaAnimations())
        SpriteBaseLua::callMethod(sprite, "completeAnimations");
    if (jump)
        sprite->completeAnimations();
}

} // namespace

FancyContainer::FancyContainer(int width, int height, int)
    : BoundsSprite(0, 0, width, height),
      m_nBackgroundColor(0),
      m_nFadeStep(20),
      m_bFillBackground(false),
      m_children(10),
      m_pendingRemoval(10),
      m_bFading(false)
{
}

FancyContainer::~FancyContainer()
{
    // Children that live on (other references) no longer name this as theirs.
    for (int i = 0; i < m_children.size(); ++i) {
        SpriteBase* child = spriteIn(m_children, i);
        if (child->m_pParent == this)
            child->m_pParent = nullptr;
    }
}

void FancyContainer::setDefinition(SpriteDefinition*) {}

void FancyContainer::onShown()
{
    lang::Synchronized guard(&m_children, true);
    for (int i = 0; i < m_children.size(); ++i) {
        SpriteBase* child = spriteIn(m_children, i);
        if (child->isVisible())
            child->loadImages();
    }
}

void FancyContainer::onHidden()
{
    lang::Synchronized guard(&m_children, true);
    for (int i = 0; i < m_children.size(); ++i)
        spriteIn(m_children, i)->unloadImages();
}

bool FancyContainer::isSelfOrAncestor(SpriteBase* sprite)
{
    for (SpriteBase* up = this; up; up = up->m_pParent)
        if (up == sprite)
            return true;
    return false;
}

bool FancyContainer::placeChild(SpriteBase* child, Placement placement, SpriteBase* other)
{
    // A container inside its own tree would draw and tick itself for ever.
    if (!child || isSelfOrAncestor(child))
        return false;
    lang::Hold hold(child);
    // A sprite is in one list at a time: ticked and drawn once a frame.
    FancyContainer* previous = child->m_pParent;
    if (previous && previous != this)
        previous->detachChild(child);
    lang::Synchronized guard(&m_children, true);
    m_children.removeElement(child);
    int index = 0;
    if (placement == ON_TOP) {
        index = m_children.size();
    } else if (other) {
        int found = m_children.indexOf(other);
        if (found >= 0)
            index = placement == ABOVE ? found + 1 : found;
    }
    m_children.insertElementAt(child, index);
    child->m_pParent = this;
    while (m_pendingRemoval.removeElement(child)) {
    }
    if (child->isVisible() && m_bVisible)
        m_bDirty = true;
    return true;
}

void FancyContainer::detachChild(SpriteBase* child)
{
    lang::Hold hold(child);
    lang::Synchronized guard(&m_children, true);
    while (m_pendingRemoval.removeElement(child)) {
    }
    if (m_children.removeElement(child) && child->isVisible() && m_bVisible)
        m_bDirty = true;
    if (child->m_pParent == this)
        child->m_pParent = nullptr;
}

bool FancyContainer::insertBefore(SpriteBase* child, SpriteBase* before)
{
    return placeChild(child, BELOW, before);
}

bool FancyContainer::insertAfter(SpriteBase* child, SpriteBase* after)
{
    return placeChild(child, ABOVE, after);
}

bool FancyContainer::bringToFront(SpriteBase* child)
{
    return placeChild(child, ON_TOP, nullptr);
}

bool FancyContainer::removeChild(SpriteBase* child)
{
    if (!child)
        return true;
    lang::Synchronized guard(&m_children, true);
    if (m_children.indexOf(child) >= 0) {
        if (child->isVisible()) {
            child->setVisible(false);
            if (m_bVisible)
                m_bDirty = true;
        }
        // Queued once, so that putting the child back takes it off for good.
        if (m_pendingRemoval.indexOf(child) < 0)
            m_pendingRemoval.addElement(child);
    }
    return true;
}

bool FancyContainer::isRemovalPending(SpriteBase* child)
{
    lang::Synchronized guard(&m_children, true);
    return child && m_pendingRemoval.indexOf(child) >= 0;
}

void FancyContainer::setChildrenPaused(bool paused)
{
    lang::Synchronized guard(&m_children, true);
    for (int i = 0; i < m_children.size(); ++i)
        spriteIn(m_children, i)->setPaused(paused);
}

SpriteBase* FancyContainer::childAt(int index)
{
    lang::Synchronized guard(&m_children, true);
    if (index < 0 || index >= m_children.size())
        return nullptr;
    SpriteBase* child = spriteIn(m_children, index);
    child->addRef();
    return child;
}

int FancyContainer::getChildCount()
{
    return m_children.size();
}

void FancyContainer::completeAnimations(bool jump)
{
    if (!ScriptHost::instance || !ScriptHost::instance->getState())
        return;
    completeSprite(this, jump);
    // Step by step through childAt: a Lua method may change the list.
    for (int i = 0;; ++i) {
        SpriteBase* child = childAt(i);
        if (!child)
            break;
        completeSprite(child, jump);
        child->release();
    }
}

void FancyContainer::fade(int step)
{
    if (m_bFading && m_nFadeStep == step)
        return;
    m_nFadeStep = step;
    m_bFading = false;
    if (step == 0)
        return;
    if (step < 0 && getAlpha() == 0)
        setAlphaBalance(128);
    else if (step > 0 && getAlpha() == 128)
        setAlphaBalance(0);
    m_bFading = true;
    setVisible(true);
}

void FancyContainer::fadeOut()
{
    fade(m_nFadeStep < 0 ? m_nFadeStep : -m_nFadeStep);
}

void FancyContainer::setColorBalance(int alpha, int red, int green, int blue)
{
    ColorWin32 wanted(red, green, blue, alpha);
    if (wanted.getValue() == m_colorBalance.getValue())
        return;
    ColorWin32 colour(red, green, blue, getAlpha());
    {
        lang::Synchronized guard(&m_children, true);
        for (int i = 0; i < m_children.size(); ++i)
            spriteIn(m_children, i)->applyColor(&colour);
    }
    if (m_bVisible)
        m_bDirty = true;
    applyColor(&colour);
    setAlphaBalance(alpha);
}

void FancyContainer::prepareTransition(window::Graphics* g)
{
    for (int i = 0;; ++i) {
        SpriteBase* child = childAt(i);
        if (!child)
            break;
        if (child->isVisible())
            child->prepareTransition(g);
        child->release();
    }
    SpriteBase::prepareTransition(g);
}

bool FancyContainer::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (m_bFading) {
        // In 64 bits: a step from game code may be as large as it likes.
        long long a = (long long)getAlpha() + m_nFadeStep;
        if (m_nFadeStep < 1) {
            if (a <= 0) {
                a = 128;
                setVisible(false);
                m_bFading = false;
            }
            setAlphaBalance(int(a));
        } else {
            if (a > 128)
                a = 128;
            setAlphaBalance(int(a));
            if (getAlpha() == 128)
                m_bFading = false;
        }
    }

    bool dirty = SpriteBase::tick(frame, boundsOut, region);

    util::RectangleNM childBounds;
    util::Region childRegion;
    // Step by step through childAt: the count is read at every step, as an
    // action sent by a child's tick may add children or move them; and the
    // list is not held while a child ticks, so that an action that removes
    // a child of a dialog takes the dialog's lock before the list's, as
    // every other removal does.
    for (int i = 0;; ++i) {
        SpriteBase* child = childAt(i);
        if (!child)
            break;
        lang::Owned owned(child);
        if (child->getTransitionMode() == TRANSITION_NONE) {
            bool childDirty = child->tick(frame, &childBounds, &childRegion);
            if (childDirty && m_bVisible)
                dirty = true;
        } else if (child->tickTransition(frame, &childBounds, &childRegion)) {
            dirty = true;
        }
        if (child->hasLuaAnimations() && luaAnimatedSprites)
            luaAnimatedSprites->addElement(child);
    }
    lang::Synchronized guard(&m_children, true);
    for (int i = m_pendingRemoval.size() - 1; i >= 0; --i) {
        if (i >= m_pendingRemoval.size())
            continue;
        SpriteBase* gone = spriteIn(m_pendingRemoval, i);
        if (gone->m_pParent == this)
            gone->m_pParent = nullptr;
        m_children.removeElement(gone);
        m_pendingRemoval.removeElementAt(i);
    }
    return dirty;
}

void FancyContainer::paint(window::Graphics* g)
{
    util::RectangleNM* bounds = getBounds();
    g->clipRect(bounds->x, bounds->y, bounds->width, bounds->height);
    int w = width();
    int h = height();
    g->translate(m_nX, m_nY);
    g->rotate(m_dRotation);
    g->scale(m_dScaleX, m_dScaleY);
    g->flip(m_nFlip);
    g->translate(-(w >> 1), -(h >> 1));
    if (m_bFillBackground) {
        g->setColor(uint32_t(m_nBackgroundColor));
        g->fillRect(0, 0, w, h);
    }
    util::Region* clipRegion = g->getClip();
    if (clipRegion)
        clipRegion->offset(-g->getTranslateX(), -g->getTranslateY());
    g->setAlpha(getAlpha());
    {
        lang::Synchronized guard(&m_children, true);
        paintChildren(g, clipRegion);
    }
    if (clipRegion)
        clipRegion->release();
}

void FancyContainer::paintChildren(window::Graphics* g, util::Region*)
{
    for (int i = 0; i < m_children.size(); ++i) {
        SpriteBase* child = spriteIn(m_children, i);
        child->getBounds();
        if (child->isVisible())
            child->draw(g);
    }
}

} // namespace sprite

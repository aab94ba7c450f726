// DialogSprite.cpp: the dialog sprite: named parts, input routing and the
// shown state.
#include "sprites/dialogs/DialogSprite.h"

#include "core/lang/Hold.h"
#include "core/lang/Owned.h"
#include "core/lang/Synchronized.h"
#include "core/util/Hashtable.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/containers/SpriteDefinition.h"
#include "sprites/base/DefinitionArgs.h"
#include "sprites/base/SpriteBaseLua.h"
#include "windowing/window/Event.h"

namespace sprite {

HV_DEFINE_METACLASS_WITH(DialogSprite, false);

namespace {

// The nested dialog a child is, or null.
DialogSprite* asDialog(SpriteBase* sprite)
{
    return sprite->isInstanceOf("DialogSprite") ? static_cast<DialogSprite*>(sprite) : nullptr;
}

// Moves an event to a point for the duration of a call to a nested dialog.
class EventAt {
public:
    EventAt(window::Event* e, int x, int y) : m_pEvent(e), m_nX(e->x), m_nY(e->y)
    {
        e->x = x;
        e->y = y;
    }
    ~EventAt()
    {
        m_pEvent->x = m_nX;
        m_pEvent->y = m_nY;
    }
    EventAt(const EventAt&) = delete;
    EventAt& operator=(const EventAt&) = delete;

private:
    window::Event* m_pEvent;
    int m_nX;
    int m_nY;
};

} // namespace

DialogSprite::DialogSprite(bool modal)
    : FancyContainer(1, 1, 0),
      m_pSpriteTable(nullptr),
      m_bShown(true),
      m_bModal(modal),
      m_bOwnRectHitTest(true),
      m_bDraggable(false),
      m_bDragging(false),
      m_nLastMouseX(0),
      m_nLastMouseY(0)
{
    SpriteBaseLua::bindClass(this, "hv.DialogSprite", SpriteBaseLua::kMetatable, "DialogSprite.lua", "DialogSprite",
                             luaMethods());
}

DialogSprite::~DialogSprite()
{
    if (m_pSpriteTable)
        m_pSpriteTable->release();
}

bool DialogSprite::configure(lang::ObjectArray* resources, lang::IntArray* params)
{
    BoundsSprite::configure(resources, params);
    int count = DefinitionArgs::count(params);
    if (count > 4)
        m_bModal = DefinitionArgs::number(params, 4) == 1;
    if (count > 5)
        setVisible(DefinitionArgs::number(params, 5) == 1);
    if (count >= 7)
        m_bDraggable = DefinitionArgs::number(params, 6) != 0;
    return true;
}

void DialogSprite::setSpriteTable(util::Hashtable* names)
{
    if (names)
        names->addRef();
    if (m_pSpriteTable)
        m_pSpriteTable->release();
    m_pSpriteTable = names;
    // A dialog defined hidden frees its children's pictures at once.
    if (!m_bVisible && m_bShown)
        onHidden();
}

void DialogSprite::setDefinition(SpriteDefinition* definition)
{
    setSpriteTable(definition ? definition->getNames() : nullptr);
}

SpriteBase* DialogSprite::getSprite(const char* name)
{
    if (!m_pSpriteTable || !name || !*name)
        return nullptr;
    lang::String key(name, true);
    return static_cast<SpriteBase*>(m_pSpriteTable->get(&key));
}

void DialogSprite::addNamedSprite(const char* name, SpriteBase* sprite)
{
    if (!sprite)
        return;
    if (!name || !*name) {
        sprite->setName(lang::String(""));
        return;
    }
    if (!m_pSpriteTable) {
        m_pSpriteTable = new util::Hashtable();
        m_pSpriteTable->setStringKeys(true);
    }
    lang::String key(name);
    sprite->setName(key);
    m_pSpriteTable->put(key, sprite);
}

bool DialogSprite::addChild(const char* name, SpriteBase* child)
{
    return addNamedChild(name, child, ON_TOP, nullptr);
}

bool DialogSprite::addChildAfter(const char* name, SpriteBase* child, SpriteBase* after)
{
    return addNamedChild(name, child, ABOVE, after);
}

bool DialogSprite::addChildBefore(const char* name, SpriteBase* child, SpriteBase* before)
{
    return addNamedChild(name, child, BELOW, before);
}

bool DialogSprite::addNamedChild(const char* name, SpriteBase* child, Placement placement, SpriteBase* other)
{
    // Refused before the name is taken: the dialog (or a container holding
    // it) cannot be its own part.
    if (!child || isSelfOrAncestor(child))
        return false;
    lang::Synchronized guard(this, true);
    lang::Hold hold(child);
    removeChild(child);
    addNamedSprite(name, child);
    switch (placement) {
    case ON_TOP:
        return bringToFront(child);
    case ABOVE:
        return insertAfter(child, other);
    default:
        return insertBefore(child, other);
    }
}

bool DialogSprite::insertBefore(SpriteBase* child, SpriteBase* before)
{
    return FancyContainer::insertBefore(child, before);
}

bool DialogSprite::removeChild(SpriteBase* child)
{
    if (!child)
        return FancyContainer::removeChild(child);
    lang::Synchronized guard(this, true);
    lang::Hold hold(child);
    forgetName(child);
    return FancyContainer::removeChild(child);
}

void DialogSprite::detachChild(SpriteBase* child)
{
    lang::Synchronized guard(this, true);
    lang::Hold hold(child);
    forgetName(child);
    FancyContainer::detachChild(child);
}

void DialogSprite::forgetName(SpriteBase* child)
{
    if (!m_pSpriteTable || child->getName().isEmpty())
        return;
    lang::String key(child->getName());
    if (m_pSpriteTable->get(&key) == child)
        m_pSpriteTable->removeKey(&key);
}

void DialogSprite::setFireOnRelease(bool onRelease)
{
    for (int i = getChildCount() - 1; i >= 0; --i) {
        SpriteBase* child = childAt(i);
        if (!child)
            continue;
        if (ButtonMixin* button = ButtonMixin::fromSprite(child))
            button->setFireOnRelease(onRelease);
        else if (DialogSprite* nested = asDialog(child))
            nested->setFireOnRelease(onRelease);
        child->release();
    }
}

bool DialogSprite::isVisible()
{
    return m_bVisible;
}

bool DialogSprite::isInteractive()
{
    return true;
}

bool DialogSprite::hittest(int x, int y)
{
    if (m_bOwnRectHitTest)
        return SpriteBase::hittest(x, y);
    // The children's boxes are in the dialog's own frame.
    toLocal(x, y);
    lang::Synchronized guard(&m_children, true);
    for (int i = m_children.size() - 1; i >= 0; --i) {
        SpriteBase* child = static_cast<SpriteBase*>(m_children.get(i));
        if (child->isVisible() && child->hittest(x, y))
            return true;
    }
    return false;
}

void DialogSprite::toLocal(int& x, int& y)
{
    x -= m_nX;
    y -= m_nY;
    SpriteBase::toLocal(x, y);
    x += width() >> 1;
    y += height() >> 1;
}

bool DialogSprite::isModalBusy()
{
    return m_bFading && m_nFadeStep < 0;
}

int DialogSprite::dialogAction(lang::String command)
{
    for (int i = getChildCount() - 1; i >= 0; --i) {
        SpriteBase* child = childAt(i);
        if (!child)
            continue;
        int r = 0;
        if (DialogSprite* nested = asDialog(child))
            r = nested->dialogAction(command);
        child->release();
        if (r >= 1 && r <= 3)
            return r;
    }
    return 0;
}

int DialogSprite::translateCommand(lang::String* command, lang::String* out, int)
{
    return filterCommand(command, out);
}

int DialogSprite::filterCommand(lang::String* command, lang::String* out)
{
    lang::Synchronized guard(&m_children, true);
    for (int i = m_children.size() - 1; i >= 0; --i) {
        if (i >= m_children.size())
            continue;
        SpriteBase* child = static_cast<SpriteBase*>(m_children.get(i));
        DialogSprite* nested = child->SpriteBase::isVisible() ? asDialog(child) : nullptr;
        if (!nested)
            continue;
        lang::Hold hold(child);
        int r = nested->filterCommand(command, out);
        if (r != 0)
            return r;
    }
    return 0;
}

int DialogSprite::takeNestedCommand(DialogSprite* nested, int otherResult)
{
    m_lastCommand = nested->getLastCommand();
    lang::String out;
    int t = nested->filterCommand(&m_lastCommand, &out);
    switch (t) {
    case KEEP_COMMAND:
        return COMMAND_READY;
    case REPLACE_COMMAND:
        m_lastCommand = out;
        return COMMAND_READY;
    case CANCEL_COMMAND:
    case CANCEL_COMMAND_TOO:
        m_lastCommand = lang::String("");
        return HANDLED;
    default:
        return otherResult;
    }
}

int DialogSprite::keyDown(int key)
{
    lang::Synchronized guard(&m_children, true);
    for (int i = m_children.size() - 1; i >= 0; --i) {
        if (i >= m_children.size())
            continue;
        SpriteBase* child = static_cast<SpriteBase*>(m_children.get(i));
        DialogSprite* nested = child->SpriteBase::isVisible() ? asDialog(child) : nullptr;
        if (!nested || !nested->isVisible())
            continue;
        lang::Hold hold(child);
        int r = nested->keyDown(key);
        if (r != 0)
            return takeNestedCommand(nested, r);
    }
    return NOT_HANDLED;
}

int DialogSprite::mouseDown(window::Event* e)
{
    m_nLastMouseX = e->x;
    m_nLastMouseY = e->y;
    m_lastCommand = lang::String("");
    m_pressedName = lang::String("");
    if (!m_bVisible)
        return NOT_HANDLED;
    if (!hittest(e->x, e->y))
        return m_bModal ? HANDLED : NOT_HANDLED;
    if (isModalBusy())
        return HANDLED;
    int lx = e->x;
    int ly = e->y;
    toLocal(lx, ly);

    SpriteBase* target = nullptr;
    bool handed = false;
    for (int i = getChildCount() - 1; i >= 0; --i) {
        SpriteBase* child = childAt(i);
        if (!child)
            continue;
        lang::Owned owned(child);
        ButtonMixin* button = ButtonMixin::fromSprite(child);
        if (button && !handed && button->hitAndEnabled(lx, ly)) {
            target = child;
            target->addRef();
            break;
        }
        DialogSprite* nested = asDialog(child);
        if (!nested || handed || !nested->isVisible() || !(nested->hittest(lx, ly) || nested->isModal()))
            continue;
        handed = true;
        int r;
        {
            EventAt at(e, lx, ly);
            r = nested->mouseDown(e);
        }
        if (r != NOT_HANDLED && r != HANDLED) {
            int result = takeNestedCommand(nested, COMMAND_READY);
            m_pressedName = nested->getName();
            return result;
        }
        if (r == HANDLED) {
            m_pressedName = nested->getName();
            return HANDLED;
        }
        if (nested->isModal()) {
            m_pressedName = nested->getName();
            if (m_bDraggable)
                m_bDragging = true;
            return HANDLED;
        }
    }

    if (!target) {
        if (m_bDraggable)
            m_bDragging = true;
        return HANDLED;
    }
    lang::Owned owned(target);
    if (!ButtonMixin::fromSprite(target)->armIfClickOnRelease()) {
        m_pressedName = target->getName();
        return HANDLED;
    }
    m_lastCommand = target->getName();
    return COMMAND_READY;
}

int DialogSprite::mouseUp(window::Event* e)
{
    if (m_bDragging) {
        m_bDragging = false;
        return HANDLED;
    }
    if (m_pressedName.isEmpty())
        return NOT_HANDLED;
    int lx = e->x;
    int ly = e->y;
    toLocal(lx, ly);
    SpriteBase* child = getSprite(m_pressedName.c_str());
    m_pressedName = lang::String("");
    if (!child)
        return NOT_HANDLED;
    lang::Hold hold(child);
    if (DialogSprite* nested = asDialog(child)) {
        int r;
        {
            EventAt at(e, lx, ly);
            r = nested->mouseUp(e);
        }
        if (r == NOT_HANDLED || r == HANDLED)
            return r;
        return takeNestedCommand(nested, r);
    }
    if (ButtonMixin* button = ButtonMixin::fromSprite(child)) {
        if (button->releaseAt(lx, ly)) {
            m_lastCommand = child->getName();
            return COMMAND_READY;
        }
    }
    return NOT_HANDLED;
}

bool DialogSprite::mouseMove(window::Event* e)
{
    if (m_bDraggable && m_bDragging) {
        // In 64 bits: the pointer may be anywhere.
        long long newLeft = (long long)left() + ((long long)e->x - m_nLastMouseX);
        long long newTop = (long long)top() + ((long long)e->y - m_nLastMouseY);
        if (newLeft < 0)
            newLeft = 0;
        if (newTop < 0)
            newTop = 0;
        if (newLeft + width() > SCREEN_WIDTH)
            newLeft = SCREEN_WIDTH - width();
        if (newTop + height() > SCREEN_HEIGHT)
            newTop = SCREEN_HEIGHT - height();
        setPosition(int(newLeft), int(newTop));
        m_nLastMouseX = e->x;
        m_nLastMouseY = e->y;
        return false;
    }

    bool result = false;
    int lx = e->x;
    int ly = e->y;
    toLocal(lx, ly);
    lang::Synchronized guard(&m_children, true);
    bool handed = false;
    for (int i = m_children.size() - 1; i >= 0; --i) {
        if (i >= m_children.size())
            continue;
        SpriteBase* child = static_cast<SpriteBase*>(m_children.get(i));
        if (!child->SpriteBase::isVisible())
            continue;
        lang::Hold hold(child);
        DialogSprite* nested = asDialog(child);
        if (nested && !handed && (nested->hittest(lx, ly) || nested->isModal())) {
            handed = true;
            bool over;
            {
                EventAt at(e, lx, ly);
                over = nested->mouseMove(e);
            }
            if (over)
                result = true;
            if (nested->isModal())
                return result;
        } else if (child->isInteractive()) {
            bool over = child->mouseMoved(lx, ly);
            // Under a nested dialog that took the move, a rollover below
            // does not count.
            if (over && !(handed && !result))
                result = true;
        } else if (child->getMouseOverCursor() != CURSOR_NONE && !handed && child->hittest(lx, ly)) {
            result = true;
        }
    }
    return result;
}

void DialogSprite::reloadChildImages()
{
    FancyContainer::onShown();
}

void DialogSprite::closeNow()
{
    setVisible(false);
    callOffActions(this);
}

void DialogSprite::callOffActions(SpriteBase* sprite)
{
    if (sprite->getActionReceiver() == this)
        sprite->setAction(nullptr, nullptr);
    if (!sprite->isInstanceOf("FancyContainer"))
        return;
    auto* container = static_cast<FancyContainer*>(sprite);
    for (int i = 0;; ++i) {
        SpriteBase* child = container->childAt(i);
        if (!child)
            break;
        callOffActions(child);
        child->release();
    }
}

bool DialogSprite::tick(int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    if (!m_bVisible && m_bShown)
        onHidden();
    bool dirty = FancyContainer::tick(frame, boundsOut, region);
    if (m_bVisible && !m_bShown)
        onShown();
    return dirty;
}

void DialogSprite::onShown()
{
    m_bShown = true;
    FancyContainer::onShown();
}

void DialogSprite::onHidden()
{
    m_bShown = false;
    FancyContainer::onHidden();
}

} // namespace sprite

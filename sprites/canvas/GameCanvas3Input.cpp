// GameCanvas3Input.cpp: the canvas's input: the window layer's hooks queue
// events, and each tick takes them to the handlers that find the dialog,
// button or sprite they reach and the command that follows.
#include "sprites/canvas/GameCanvas3.h"

#include "core/lang/Hold.h"
#include "core/lang/Owned.h"
#include "core/lang/Synchronized.h"
#include "core/lang/System.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/dialogs/DialogSprite.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/Event.h"

namespace sprite {

namespace {

// The key that leaves full screen; the frame handles it.
constexpr int KEY_ESCAPE = 27;

DialogSprite* asDialog(SpriteBase* sprite)
{
    return sprite->isInstanceOf("DialogSprite") ? static_cast<DialogSprite*>(sprite) : nullptr;
}

// Makes `o` the handler's receiver, holding a reference on it.
void setReceiver(lang::Object** receiver, lang::Object* o)
{
    if (o)
        o->addRef();
    if (*receiver)
        (*receiver)->release();
    *receiver = o;
}

} // namespace

bool GameCanvas3::mouseDown(window::Event* e, int, int)
{
    return postEvent(e);
}

bool GameCanvas3::mouseUp(window::Event* e, int, int)
{
    return postEvent(e);
}

bool GameCanvas3::mouseMove(window::Event* e, int, int)
{
    return postEvent(e);
}

bool GameCanvas3::mouseDrag(window::Event* e, int, int)
{
    return postEvent(e);
}

bool GameCanvas3::keyDown(window::Event* e, int key)
{
    if (!m_bStarted || (key == KEY_ESCAPE && !takesEscape()))
        return false;
    return postEvent(e);
}

bool GameCanvas3::keyUp(window::Event* e, int)
{
    return postEvent(e);
}

bool GameCanvas3::handleEvent(window::Event* e)
{
    if (e && e->arg && e->arg->isInstanceOf("String"))
        handleAction(e->target, static_cast<lang::String*>(e->arg));
    return true;
}

bool GameCanvas3::processEvent()
{
    window::Event* e = m_pCurrentEvent;
    if (!e)
        return true;
    lang::Object* receiver = nullptr;
    lang::String command("");
    bool act = false;
    switch (e->id) {
    case window::Event::MOUSE_DOWN:
        act = onMouseDown(e, &receiver, &command);
        break;
    case window::Event::MOUSE_MOVE:
    case window::Event::MOUSE_DRAG:
        act = onMouseMove(e, &receiver, &command);
        break;
    case window::Event::MOUSE_UP:
        act = onMouseUp(e, &receiver, &command);
        break;
    case window::Event::KEY_DOWN:
        if (lang::System::isDebugMode()) {
            if (e->key == window::Event::F1)
                s_bFreeze = !s_bFreeze;
            else if (s_bFreeze && (e->key == window::Event::RIGHT || e->key == window::Event::DOWN))
                doFrame();
        }
        act = onKey(e, &receiver, &command);
        break;
    case window::Event::KEY_UP:
        act = onKeyUp(e, &receiver, &command);
        break;
    case window::Event::ACTION:
        if (e->arg && e->arg->isInstanceOf("String")) {
            setReceiver(&receiver, e->target);
            command = *static_cast<lang::String*>(e->arg);
            act = true;
        }
        break;
    default:
        break;
    }
    if (act)
        handleAction(receiver, &command);
    if (receiver)
        receiver->release();
    return act;
}

int GameCanvas3::settleDialogCommand(DialogSprite* dialog, int answer, const lang::String& lastCommand,
                                     lang::Object** receiver, lang::String* command)
{
    switch (answer) {
    case DialogSprite::KEEP_COMMAND:
        *command = lastCommand;
        break;
    case DialogSprite::REPLACE_COMMAND:
        break;
    case DialogSprite::CANCEL_COMMAND:
        *command = "CLOSED";
        break;
    case DialogSprite::CANCEL_COMMAND_TOO:
        *command = "";
        return 0;
    default:
        return -1;
    }
    setReceiver(receiver, dialog);
    return 1;
}

bool GameCanvas3::onMouseDown(window::Event* e, lang::Object** receiver, lang::String* command)
{
    if (isOverlayShowing())
        return false;
    for (int i = getChildCount() - 1; i >= 0; --i) {
        SpriteBase* s = childAt(i);
        if (!s)
            continue;
        lang::Owned owned(s);
        if (s->isTransitioning())
            continue;
        // A hidden dialog takes no press; a hidden button is asked all the
        // same: a rect button's click area answers whether shown or not, and
        // invisible hot spots rely on that.
        if (DialogSprite* dialog = asDialog(s)) {
            if (!dialog->isVisible())
                continue;
            int r = dialog->mouseDown(e);
            if (r == DialogSprite::CLOSED || r == DialogSprite::HANDLED) {
                *command = r == DialogSprite::CLOSED ? "CLOSED" : "";
                setReceiver(receiver, dialog);
                return true;
            }
            if (r != DialogSprite::COMMAND_READY)
                continue;
            lang::String last(dialog->getLastCommand());
            int settled = settleDialogCommand(dialog, dialog->translateCommand(&last, command, e->clickCount), last,
                                              receiver, command);
            if (settled >= 0)
                return settled == 1;
            continue;
        }
        ButtonMixin* button = ButtonMixin::fromSprite(s);
        if (button && button->hitAndEnabled(e->x, e->y)) {
            if (button->armIfClickOnRelease()) {
                *command = s->getName();
                setReceiver(receiver, s);
                return true;
            }
            m_pressedButtonName = s->getName();
            return false;
        }
    }
    return false;
}

bool GameCanvas3::onMouseUp(window::Event* e, lang::Object** receiver, lang::String* command)
{
    if (isOverlayShowing())
        return false;
    // A release pairs with the press that armed the button, once.
    lang::String pressed(m_pressedButtonName);
    m_pressedButtonName = "";
    if (!pressed.isEmpty()) {
        SpriteBase* s = getSprite(pressed.c_str());
        ButtonMixin* button = s && !s->isTransitioning() ? ButtonMixin::fromSprite(s) : nullptr;
        if (button && button->releaseAt(e->x, e->y)) {
            *command = s->getName();
            setReceiver(receiver, s);
            return true;
        }
    }
    for (int i = getChildCount() - 1; i >= 0; --i) {
        SpriteBase* s = childAt(i);
        if (!s)
            continue;
        lang::Owned owned(s);
        DialogSprite* dialog = asDialog(s);
        if (!dialog || !dialog->isVisible() || dialog->isTransitioning())
            continue;
        int r = dialog->mouseUp(e);
        if (r == DialogSprite::COMMAND_READY) {
            lang::String last(dialog->getLastCommand());
            int settled =
                settleDialogCommand(dialog, dialog->filterCommand(&last, command), last, receiver, command);
            return settled != 0;
        }
        if (r == DialogSprite::CLOSED) {
            *command = "CLOSED";
            setReceiver(receiver, dialog);
            return true;
        }
        if (dialog->isModal()) {
            setReceiver(receiver, dialog);
            return false;
        }
    }
    return false;
}

bool GameCanvas3::onMouseMove(window::Event* e, lang::Object** receiver, lang::String* command)
{
    setReceiver(receiver, nullptr);
    lang::Synchronized canvasGuard(this, true);
    if (!m_pRootList || isOverlayShowing())
        return false;
    lang::Synchronized rootGuard(m_pRootList);
    bool over = false;
    bool blocked = false;
    for (int i = m_pRootList->size() - 1; i >= 0; --i) {
        if (i >= m_pRootList->size())
            continue;
        SpriteBase* s = static_cast<SpriteBase*>(m_pRootList->get(i));
        if (!s->isVisible())
            continue;
        lang::Hold hold(s);
        if (s->isInteractive() && !s->isTransitioning()) {
            DialogSprite* dialog = asDialog(s);
            if (!dialog) {
                if (s->mouseMoved(e->x, e->y) && !blocked) {
                    if (!*receiver)
                        setReceiver(receiver, s);
                    over = true;
                }
                continue;
            }
            if (dialog->mouseMove(e) && !blocked) {
                if (!*receiver)
                    setReceiver(receiver, dialog);
                over = true;
                break;
            }
            if (dialog->isModal())
                break;
            if (dialog->hittest(e->x, e->y))
                blocked = true;
            continue;
        }
        int cursor = s->getMouseOverCursor();
        if (cursor != SpriteBase::CURSOR_NONE && s->hittest(e->x, e->y) && cursor == SpriteBase::CURSOR_HAND)
            over = true;
    }
    const bool handShown = getCursor() == window::Cursor::handCursor;
    if (over && !handShown) {
        *command = "handCursor";
        return true;
    }
    if (!over && handShown) {
        *command = "normalCursor";
        return true;
    }
    return false;
}

bool GameCanvas3::onKeyUp(window::Event*, lang::Object**, lang::String*)
{
    return false;
}

bool GameCanvas3::onKey(window::Event* e, lang::Object** receiver, lang::String* command)
{
    for (int i = getChildCount() - 1; i >= 0; --i) {
        SpriteBase* s = childAt(i);
        if (!s)
            continue;
        lang::Owned owned(s);
        DialogSprite* dialog = s->SpriteBase::isVisible() ? asDialog(s) : nullptr;
        if (!dialog)
            continue;
        if (!dialog->isVisible()) {
            if (dialog->isModal())
                return false;
            continue;
        }
        setReceiver(receiver, dialog);
        if (dialog->keyDown(e->key) == DialogSprite::NOT_HANDLED)
            return false;
        lang::String last(dialog->getLastCommand());
        int settled = settleDialogCommand(dialog, dialog->translateCommand(&last, command, 1), last, receiver,
                                          command);
        return settled != 0;
    }
    return false;
}

} // namespace sprite

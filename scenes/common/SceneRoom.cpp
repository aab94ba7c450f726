// SceneRoom.cpp: the canvas, sprite look-ups, the close button and the
// pausing tick shared by the scene classes.
#include "scenes/common/SceneRoom.h"

#include "core/lang/String.h"
#include "core/lang/Synchronized.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "windowing/window/DebugLine.h"

const char SceneRoom::kCloseButton[] = "CloseButton";

namespace {

// The child when it is a `className`; else null after a debug line.
sprite::SpriteBase* findOfClass(sprite::DialogSprite* room, const char* name, const char* className)
{
    sprite::SpriteBase* child = SceneRoom::find(room, name);
    if (child && !child->isInstanceOf(className)) {
        window::debugLine(room->getName().c_str(), ": the sprite ", name, " is no ", className, "\n");
        return nullptr;
    }
    return child;
}

} // namespace

LanternfieldCanvas* SceneRoom::canvas()
{
    return LanternfieldCanvas::instance;
}

void SceneRoom::playSound(int n)
{
    if (LanternfieldCanvas* c = canvas())
        c->playSound(n);
}

sprite::SpriteBase* SceneRoom::find(sprite::DialogSprite* room, const char* name)
{
    sprite::SpriteBase* child = room ? room->getSprite(name) : nullptr;
    if (!child && room)
        window::debugLine(room->getName().c_str(), ": no sprite ", name, "\n");
    return child;
}

sprite::AnimateSprite* SceneRoom::findAnimation(sprite::DialogSprite* room, const char* name)
{
    return static_cast<sprite::AnimateSprite*>(findOfClass(room, name, "AnimateSprite"));
}

sprite::ButtonMixin* SceneRoom::findButton(sprite::DialogSprite* room, const char* name)
{
    sprite::SpriteBase* child = find(room, name);
    sprite::ButtonMixin* button = sprite::ButtonMixin::fromSprite(child);
    if (child && !button)
        window::debugLine(room->getName().c_str(), ": the sprite ", name, " is no button\n");
    return button;
}

void SceneRoom::setText(sprite::DialogSprite* room, const char* name, const char* text)
{
    if (auto* sprite = static_cast<sprite::NewFontSprite*>(findOfClass(room, name, "NewFontSprite")))
        sprite->setText(text);
}

sprite::SpriteBase* SceneRoom::say(sprite::DialogSprite* room, const char* name, const char* textId)
{
    sprite::SpriteBase* line = find(room, name);
    if (!line)
        return nullptr;
    setText(room, name, lang::String::loadText(textId).c_str());
    line->setVisible(true);
    room->bringToFront(line);
    return line;
}

void SceneRoom::setAlpha(sprite::DialogSprite* room, const char* name, int alpha)
{
    if (sprite::SpriteBase* s = find(room, name))
        s->setAlphaBalance(alpha);
}

void SceneRoom::setFrame(sprite::DialogSprite* room, const char* name, int frame)
{
    if (sprite::AnimateSprite* s = findAnimation(room, name))
        s->setFrame(frame);
}

void SceneRoom::enableCloseButton(Room* room, bool enable)
{
    if (sprite::ButtonMixin* button = findButton(room, kCloseButton))
        button->setEnabled(enable);
}

bool SceneRoom::isCloseButtonHit(Room* room, int x, int y)
{
    sprite::ButtonMixin* button = findButton(room, kCloseButton);
    if (!button)
        return false;
    room->toLocal(x, y);
    return button->hitAndEnabled(x, y);
}

bool SceneRoom::leaveIfCloseButtonHit(Room* room, int x, int y, const char* table, int target)
{
    if (!isCloseButtonHit(room, x, y))
        return false;
    room->callScript(table, "onExit");
    if (LanternfieldCanvas* c = canvas())
        c->disableGameInsQuestionMark();
    room->goToRoom(target);
    return true;
}

bool SceneRoom::pausingTick(Room* room, int frame, util::RectangleNM* boundsOut, util::Region* region)
{
    lang::Synchronized guard(room, true);
    LanternfieldCanvas* c = canvas();
    if (!c || c->isGameInstructionsShowing() || c->getGameState() != LanternfieldCanvas::STATE_PLAYING)
        return false;
    return room->Room::tick(frame, boundsOut, region);
}

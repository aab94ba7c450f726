// KeypadLook.cpp: the keypad buttons' frames, release firing and pixel hits.
#include "scenes/rooms/KeypadLook.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "scenes/common/SceneRoom.h"
#include "sprites/buttons/ButtonSprite.h"

#include <string>

void KeypadLook::apply(Room* room, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        sprite::SpriteBase* found = SceneRoom::find(room, name);
        if (!found)
            continue;
        if (!found->isInstanceOf("ButtonSprite")) {
            SceneRoom::findButton(room, name);
            continue;
        }
        auto* button = static_cast<sprite::ButtonSprite*>(found);
        // No selected looks: -1 and the pressed frame of the selected state
        // follows the selected-rollover one (-2).
        button->setStateFrames(FRAME_ROLLOVER, FRAME_NORMAL, FRAME_DISABLED, sprite::ButtonSprite::NO_FRAME,
                               sprite::ButtonSprite::NO_FRAME, FRAME_PRESSED, -2);
        button->setFireOnRelease(true);
        button->setBoundsHitTest(false);
    }
}

void KeypadLook::leave(Room* room)
{
    room->Room::onExit();
    if (LanternfieldCanvas* c = LanternfieldCanvas::instance)
        c->setPuzzleActive(false);
}

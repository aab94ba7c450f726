// CutSceneWorld.h: a canvas without data or scripts holding the cut-scene
// rooms under test, their slides, pictures and buttons, the canvas's dimmer
// "DimFull" and the rooms a cut scene leads to.
#pragma once

#include "sprites/buttons/RectButtonSprite.h"
#include "sprites/shapes/RectSprite.h"
#include "tests/game/support/BareCanvas.h"

#include <string>

namespace gametest {

// Next and Continue lie on the same spot, as in the game's cut scenes.
constexpr int kButtonX = 660;
constexpr int kButtonY = 476;

class CutSceneWorld : public BareWorld {
public:
    CutSceneWorld()
    {
        auto* dim = new sprite::RectSprite(800, 600, 0xFF000000u, true);
        dim->setVisible(false);
        canvas->addSprite("DimFull", dim, -1);
        made.push_back(dim);
    }

    // A plain sprite named `name` in the room.
    sprite::SpriteBase* addSprite(Room* room, const std::string& name)
    {
        auto* sprite = new sprite::BoundsSprite(0, 0, 800, 400);
        room->addChild(name.c_str(), sprite);
        sprite->release();
        return sprite;
    }
    void addButtons(Room* room)
    {
        for (const char* name : {"NextButton", "ContinueButton"}) {
            auto* button = new sprite::RectButtonSprite();
            lang::IntArray* numbers = spritetest::numberList({kButtonX, kButtonY, 120, 36, 1});
            button->configure(nullptr, numbers);
            numbers->release();
            room->addChild(name, button);
            button->release();
        }
    }
    // A click on the cut scene's button spot.
    int pressButton(Room* room) { return pressAt(room, kButtonX + 10, kButtonY + 10); }
    bool shown(Room* room, const std::string& name)
    {
        sprite::SpriteBase* sprite = room->getSprite(name.c_str());
        return sprite && sprite->isVisible();
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            canvas->doFrame();
    }
    sprite::SpriteBase* dimFull() { return canvas->getSprite("DimFull"); }
    int current() { return canvas->getProgress()->currentRoom; }
};

} // namespace gametest

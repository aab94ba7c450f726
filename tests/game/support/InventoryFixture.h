// InventoryFixture.h: the fixture game with a full inventory bar: the 22 item
// sprites in a row (each a two-frame picture, the bouquet half transparent),
// the cave map and its overlays, a sparkle template, the hint paper, its
// arrow, a bitmap-font hint text and banner, tip texts, hint texts, a sound
// table, and scripts that name the items and their tips.
#pragma once

#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "tests/game/support/GameFixture.h"

#include <string>

namespace gametest {

class InventoryFixture : public GameFixture {
protected:
    // The bar's place on screen.
    static constexpr int kBarTop = 500;
    // Item i's left edge and top in the bar; every item is 30 x 30.
    static int itemLeft(int i) { return 10 + 35 * i; }
    static constexpr int kItemTop = 10;
    // The definition numbers: text room 20, paper rest -40, text rest -30,
    // margin 2, raise 6 frames, lower 4 frames, hold 5 frames.
    static constexpr int kPaperRestY = kBarTop - 40;
    static constexpr int kTextRestY = kBarTop - 30;
    static constexpr int kRaiseFrames = 6;
    static constexpr int kLowerFrames = 4;
    static constexpr int kHoldFrames = 5;

    // The options of the fixture game; extraScript goes into "Lanternfield.lua".
    GameOptions inventoryOptions(const std::string& extraScript = "");
    // Loads the game and enters the dock with the bar shown and items enabled.
    void startWithBar(const std::string& extraScript = "");

    Inventory* inventory() { return canvas->getInventory(); }
    ProgressRecord* progress() { return canvas->getProgress(); }
    sprite::SpriteBase* item(const char* name) { return inventory()->getSprite(name); }
    sprite::SpriteBase* canvasSprite(const char* name) { return canvas->getSprite(name); }
    // The screen point in the middle of item i's place.
    static int itemX(int i) { return itemLeft(i) + 15; }
    static int itemY() { return kBarTop + kItemTop + 15; }
    // The sounds played so far, as their indexes.
    std::vector<int> soundsPlayed();
    // Runs Lua text in the game's state; the error message, or "" when it ran.
    std::string lua(const std::string& code);
};

} // namespace gametest

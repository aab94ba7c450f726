// Bookshelf.h: the bookshelf wall (room 27). Sixteen things hang scattered
// over the wall; the player picks one up, carries it with the mouse and puts
// it down on its home spot on the shelf, until all are sorted. A key hangs on
// the wall clock and twinkles now and then; carried to the drawer it opens it
// and shows a map. The clock itself opens as a close-up over the room. Which
// things are sorted lives in the scripts (LF_isBookshelfItemFixed).
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/ClickOrDrag.h"
#include "scenes/common/RandomDraw.h"

#include <vector>

namespace sprite {
class AnimateSprite;
}

namespace window {
class Event;
}

class ClockCU;

class Bookshelf : public Room {
public:
    // The things on the wall, numbered 1 to 16.
    static constexpr int ITEM_COUNT = 16;
    // The two things that show a picture of their own once sorted, and where.
    static constexpr int OWN_PICTURE_ITEM_A = 12;
    static constexpr int OWN_PICTURE_A_X = 582;
    static constexpr int OWN_PICTURE_A_Y = 225;
    static constexpr int OWN_PICTURE_ITEM_B = 13;
    static constexpr int OWN_PICTURE_B_X = 332;
    static constexpr int OWN_PICTURE_B_Y = 337;
    // The key's twinkle comes back after 40 to 200 frames.
    static constexpr int TWINKLE_MIN = 40;
    static constexpr int TWINKLE_MAX = 200;
    // The drawer opens this many frames after the key is used on it.
    static constexpr int DRAWER_DELAY = 24;
    // The key's cursor.
    static constexpr int CURSOR_KEY = 10;

    // Sound table entries.
    static constexpr int SOUND_BACK_TO_WALL = 22;
    static constexpr int SOUND_PICK_UP = 23;
    static constexpr int SOUND_FIXED = 24;
    static constexpr int SOUND_KEY_TAKEN = 90;
    static constexpr int SOUND_DRAWER_OPENS = 142;
    static constexpr int SOUND_KEY_IN_DRAWER = 144;

    // The mini-game index of its instructions, and the room it leads back
    // to (the welcome center).
    static constexpr int INSTRUCTIONS_GAME = 8;
    static constexpr int WELCOME_CENTER_ROOM = 26;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    // One thing of the wall. The wall sprite is what the player sees on
    // the wall and, once sorted, on its home spot; the cursor sprite follows
    // the mouse while it is carried (the wall sprite itself but for things
    // 12 and 13, whose own pictures show them sorted).
    struct ItemInfo {
        sprite::AnimateSprite* wall = nullptr;
        sprite::SpriteBase* home = nullptr;
        sprite::SpriteBase* cursor = nullptr;
        int wallX = 0;
        int wallY = 0;
        int homeX = 0;
        int homeY = 0;
    };

    // No twinkle, the key on the clock, nothing carried, no things yet.
    Bookshelf();
    // Takes the things down.
    ~Bookshelf() override;

    HV_CLASS_NAME("Bookshelf", Room)
    HV_DECLARE_METACLASS(Bookshelf);

    // "UseKeyOnDrawer" opens the drawer; anything else as the base does.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The twinkle's countdown, then the base's tick; nothing at all while
    // the instructions show or the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, the close button, then the room's own handling and
    // the key and the sorting game; 0 while the room takes no input.
    int mouseDown(window::Event* e) override;
    // A thing carried by a drag is put down where the button is let go: on
    // its home spot it is sorted, elsewhere (a drop, not a click) it goes
    // back to the wall; after a click it stays on the pointer.
    int mouseUp(window::Event* e) override;
    // The carried thing follows the mouse.
    bool mouseMove(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The ends of the key's twinkle and of the task's last wait.
    bool handleEvent(window::Event* e) override;

    // The key: hung on the clock, taken from it, used on the drawer, and
    // one twinkle of it at once.
    void putKeyOnClock();
    void pickupKey();
    void useKeyOnDrawer();
    void startKeyTwinkle();
    // The clock close-up opened over the room and closed.
    void enterClockCU();
    void exitClockCU();

    // The room is shown and the instructions are not.
    bool acceptsInput();
    // How many things the scripts count as sorted.
    int fixedCount();
    static bool isItemFixed(int n);

    // The draws of the twinkle (null: the room's own generator again).
    void setRandomDraw(RandomDraw* draw) { m_pDraw = draw ? draw : &m_ownDraw; }

    bool isKeyOnCursor() const { return m_bKeyOnCursor; }
    bool isTwinkleArmed() const { return m_bTwinkleArmed; }
    int getTwinkleCountdown() const { return m_nTwinkleCountdown; }
    // Thing n (1 to 16) as the last entry built it; null before.
    const ItemInfo* item(int n) const;
    // The number (1 to 16) of the thing carried, or 0.
    int heldItem() const { return m_nHeld; }

    // The native methods of hv.Bookshelf, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The things taken down and built again from the scripts' flags.
    void buildItems();
    void takeDownItems();
    // Picks up, sorts or puts back a thing at the point (room coordinates).
    void pickUp(int n);
    void fix(int n);
    void putBack(int n);
    // The carried thing let go.
    void letGo();
    // A new countdown to the next twinkle.
    void armTwinkle();
    // The clock close-up of the canvas, or null.
    static ClockCU* clock();

    bool m_bTwinkleArmed;
    int m_nTwinkleCountdown;
    bool m_bKeyOnCursor;
    int m_nHeld;
    // The press that picked up the carried thing.
    ClickOrDrag m_press;
    std::vector<ItemInfo> m_items;
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
};

// SampleSession.h: a player's hands on the sample game as the program runs
// it: exits walked through, a new player's name typed, cut scenes paged,
// things in rooms and in the bar clicked or dragged, mini-game instructions
// closed; and one run of the program on the settings an earlier run left,
// for quitting and starting again.
#pragma once

#include "game/progress/ProgressRecord.h"
#include "tests/game/support/GameFixture.h"

#include <functional>
#include <string>

class Room;
namespace sprite {
class DialogSprite;
class SpriteBase;
}

namespace gametest {

// Clicks the middle of the room's exit i and lets the wipe run.
void leaveBy(testsupport::GameWorld& world, Room* room, int i);
// Types the name into the player selection's prompt and presses Enter.
void newPlayer(testsupport::GameWorld& world, const std::string& name);
// Clicks the middle of the current cut scene's button (Next and Continue lie
// on the same spot).
void pressCutSceneButton(testsupport::GameWorld& world, LanternfieldCanvas* canvas, const char* name);

// Clicks the middle of a dialog's part (shown).
void clickPart(testsupport::GameWorld& world, sprite::DialogSprite* d, const char* part);
// The same for the canvas's dialog of that name.
void clickPart(testsupport::GameWorld& world, LanternfieldCanvas* canvas, const char* dialog, const char* part);

// The player's hands on a running sample game (the canvas is looked up
// through the reference, so a fixture may make it after this).
class SamplePlayer {
public:
    SamplePlayer(testsupport::GameWorld& world, Canvas*& canvas) : m_world(world), m_canvas(canvas) {}

    int current() const;
    // Clicks the middle of a sprite whose place is on the screen.
    void clickOn(sprite::SpriteBase* s);
    // Clicks the middle of the named sprite of the room.
    void clickSprite(Room* room, const char* name);
    // Drags with the pointer from the middle of a sprite by (dx, dy), in a
    // few moves, and lets go; the sprite's place is offset by its dialog's
    // (ox, oy) on the screen.
    void dragSprite(sprite::SpriteBase* s, int dx, int dy, int ox = 0, int oy = 0);
    // Painted frames (which transitions need) until `done`, at most
    // maxFrames; whether it came.
    bool painted(const std::function<bool()>& done, int maxFrames = 400);
    // Walks through the current room's exit that leads to `target` and waits
    // for the room to be entered; a failure when no exit leads there.
    void walkTo(int target);
    // Painted frames until the player is in the room and it takes clicks
    // (no wipe or zoom under way), at most maxFrames; whether it came.
    bool arrivedIn(int room, int maxFrames = 120);
    // Waits until the player figure and the guide have finished talking, as
    // a player waits for a balloon to go before clicking under it.
    void settle();
    // Takes the item out of the inventory bar onto the pointer.
    void takeFromBar(const char* item);
    // Waits for a mini-game's instructions for a while and, when they open,
    // plays past them with the panel's play button; whether they opened.
    bool closeInstructions(int waitFrames = 60);

private:
    testsupport::GameWorld& m_world;
    Canvas*& m_canvas;
};

// One run of the sample game in a world of its own, on the settings file
// text of an earlier run ("" for none).
class SampleRun {
public:
    explicit SampleRun(const std::string& settings);
    // The settings file as the run left it.
    std::string settings() const;
    int current() { return canvas->getProgress()->currentRoom; }
    void leaveBy(int room, int i) { gametest::leaveBy(world, canvas->getRoom(room), i); }

    testsupport::GameWorld world;
    testsupport::TestLoaderFrame* frame = new testsupport::TestLoaderFrame();
    Canvas* canvas = nullptr;
    bool started = false;
    SamplePlayer player{world, canvas};
};

} // namespace gametest

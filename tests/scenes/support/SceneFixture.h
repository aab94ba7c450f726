// SceneFixture.h: the headless scene harness. The fixture game of the game's
// tests (every room, every name the canvas binds, the real loader thread)
// with scene rooms of the test's classes, manifests and scripts, a sound
// table whose every index can be played and is recorded, and a bitmap font
// for text sprites; then presses and frames on the fake clock, the Lua calls
// the scenes make, the sounds they play and their debug lines.
#pragma once

#include "tests/game/support/BareCanvas.h"
#include "tests/game/support/GameFixture.h"

#include <functional>
#include <string>
#include <vector>

class Room;

namespace scenetest {

// The fixture's sound table holds this many entries, so that every index the
// scenes play lies inside it.
constexpr int kSoundCount = 264;
// The bitmap font of the fixture's text sprites: its picture and glyph table.
constexpr const char* kFont = "font";
constexpr const char* kFontGlyphs = "fontglyphs";

// One scene room of the fixture game.
struct SceneSetup {
    // Its index in the rooms table (its name is the table's).
    int index = 0;
    // The class the top manifest names for it.
    std::string className;
    // Its nested manifest (<data> numbers, <sprites>).
    std::string manifest;
    // The functions of rooms[<name>] that record their calls, besides the
    // base callbacks every room has.
    std::vector<std::string> callbacks;
};

// The room's script: it makes hv.<className> (the class script and the room
// script are one file when the room is named after its class) and
// rooms[<room>] whose every callback records "<function>:<room>" with its
// arguments.
std::string recordingScript(const std::string& room, const std::string& className,
                            const std::vector<std::string>& callbacks);

// Whether a hidden room of class T counts as shown once its definition (of
// these numbers, no sprites) is set, as rooms that free their pictures on
// their first hidden tick do.
template <class T>
bool shownOnceDefined(std::initializer_list<int> numbers)
{
    T* room = new T();
    room->setVisible(false);
    gametest::NumbersDefinition definition(numbers);
    room->setDefinition(&definition);
    const bool shown = room->isShown();
    room->release();
    return shown;
}

// A picture item of `frames` frames in a row, each w x h of its own opaque
// colour, for animation sprites (columns = frames, one row).
void framesPicture(testsupport::GameData& data, const std::string& name, int frames, int w, int h);

// The sprites of a two-sided game's turn labels, scores, score sparkles and
// close button (manifest lines), and their pictures and the two turn names
// (added to the data).
std::string turnLabelSprites();
void turnLabelData(testsupport::GameData& data);

// Runs each call (Lua code) on the room and expects its error text.
struct LuaErrorCase {
    const char* call;
    const char* error;
};

class SceneFixture : public gametest::GameFixture {
protected:
    // Starts the fixture game with the scene room (and what `options` adds);
    // false when the load failed. Pictures the manifest names are added to
    // world.data() before.
    bool startScene(const SceneSetup& scene, gametest::GameOptions options = gametest::GameOptions());
    // Starts the sample game as a player who has seen every mini-game's
    // instructions, so that none opens over the play; false when the load
    // failed.
    bool startSampleGameSeenInstructions();

    // Runs Lua code with the global `self` set to the room's table: the text
    // of its first result ("" for none or nil), or "error: <message>" when
    // it raised an error.
    std::string runLua(Room* room, const std::string& code);

    // Each call raises an error whose message holds the case's text.
    void expectLuaErrors(Room* room, const std::vector<LuaErrorCase>& cases);

    // The sound table indexes played since the records were last cleared.
    std::vector<int> soundsPlayed();
    void clearRecords() { canvas->clearRecords(); }

    // A press at (x, y) and its release, then one logic frame.
    void clickAt(int x, int y);
    // Logic frames of the canvas stepped by hand: no painting, so no room
    // change completes (world.stepFrames runs whole timer ticks for that).
    void frames(int count);
    // Such frames one at a time until `done` answers true, at most
    // `maxFrames`; whether it did. The frames run are counted in framesRun.
    bool stepUntil(const std::function<bool()>& done, int maxFrames = 500);

    int framesRun = 0;
};

} // namespace scenetest

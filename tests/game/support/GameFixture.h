// GameFixture.h: a whole game's data written at test time (the manifest with
// the 66 rooms and every name the canvas binds, one nested manifest per room,
// room scripts and "Lanternfield.lua" that record their calls), and a test
// fixture that runs it through the real loader thread into a game canvas.
#pragma once

#include "game/canvas/LanternfieldCanvas.h"
#include "tests/support/GameWorld.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/TestLoaderFrame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace gametest {

using Canvas = testsupport::RecordingCanvas<LanternfieldCanvas>;

struct GameOptions {
    // A room's nested manifest text by room name; rooms not listed get one
    // exit, "Door0" at (700, 300, 100, 100), to the next room index (the
    // last to the first), leading east.
    std::map<std::string, std::string> roomManifests;
    // Canvas names left out of the top manifest.
    std::set<std::string> omitted;
    // The class of each room by name; "Room" unless listed (the cut-scene
    // room 9 is a "Vignette").
    std::map<std::string, std::string> roomClasses;
    // Lines added to "Lanternfield.lua".
    std::string gameScript;
    // A dialog's nested manifest text by dialog name ("MainMenu",
    // "BookDialog" ...); dialogs not listed have no children.
    std::map<std::string, std::string> dialogManifests;
    // A room's script ("<room>.lua") by room name, in place of the one that
    // records the base callbacks.
    std::map<std::string, std::string> roomScripts;
    // The names of the manifest's sound table, in order (none when empty);
    // "+tone.wav" is a short tone the data holds.
    std::vector<std::string> sounds;
    // The inventory's nested manifest; the bar's background alone when empty.
    std::string inventoryManifest;
    // Canvas sprites' entries (kind and numbers) by name, in place of the
    // plain ones the fixture gives them.
    std::map<std::string, std::string> canvasSprites;
    // Sprite entries added at the end of the top manifest (on top).
    std::string extraSprites;
};

// The nested manifest of a room with these exits ("Door<i> DoorSprite ..."
// numbers after the name and kind), its exit count first.
std::string roomWithDoors(const std::vector<std::string>& doors);

// Writes the data of `options` into `data` (the archive is written later).
void writeGame(testsupport::GameData& data, const GameOptions& options);

// The room script of that room: every callback records its name, the room
// and its arguments.
std::string roomScript(const std::string& room);

// Whether the tools built the sample game's data beside the program.
bool hasSampleGame();
// Starts the sample game on that data in the world: the canvas is made
// once the data is in place (and `prepare`, when given, has changed it), by
// `make` when given, and the world adopts it and the frame; false when the
// load failed.
bool startSampleGame(testsupport::GameWorld& world, testsupport::TestLoaderFrame* frame, Canvas*& canvas,
                     const std::function<void(const std::filesystem::path&)>& prepare = nullptr,
                     const std::function<Canvas*()>& make = nullptr);

// Types a name into the visible name prompt and presses Enter, as a new
// player does.
void typeName(testsupport::GameWorld& world, const std::string& name);

class GameFixture : public ::testing::Test {
protected:
    ~GameFixture() override;

    // Writes the data, makes the canvas and runs the loader thread until
    // the hand-over; false when the load failed.
    bool startGame(const GameOptions& options = GameOptions());
    // Whether the tools built the sample game's data beside the program.
    static bool hasSampleGame() { return gametest::hasSampleGame(); }
    // Starts the sample game instead (its data first changed by `prepare`,
    // when given); false when the load failed.
    bool startSampleGame(const std::function<void(const std::filesystem::path&)>& prepare = nullptr);
    // The Lua calls recorded so far whose text begins with `prefix`
    // ("record(" calls shown without the "record" word).
    std::vector<std::string> calls(const std::string& prefix = "");
    void clearCalls() { world.lua().clear(); }
    // Enters room `index` from the menu, as the game does on starting.
    void enter(int index);
    Room* room(int index) { return canvas->getRoom(index); }

    testsupport::GameWorld world;
    testsupport::TestLoaderFrame* frame = new testsupport::TestLoaderFrame();
    Canvas* canvas = nullptr;
};

} // namespace gametest

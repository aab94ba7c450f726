// CaveMazeTest.cpp: the cave maze in the fixture game: a 3 x 3 maze walked
// by clicks on its ways with the moves' timing, fades and sounds; the start
// screen's way out, the golden door and ways off the grid; what each screen
// shows (tunnels, torches, gems, puzzle doors, things by name); the cursors;
// a room change a move holds back; and screens the scripts or a later room
// change get wrong.
#include "scenes/caves/CaveMaze.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SceneFixture.h"
#include "tests/scenes/support/ScriptedDraw.h"

#include <algorithm>

namespace scenetest {
namespace {

constexpr int kCaveMazeRoom = 31;

// A 3 x 3 maze; start 7 (bottom middle), golden door on 1, puzzles 1 and 2
// on 3 and 5. Screen 2 has no way at all; 0's west way leads off the grid.
//   0: S W E   1: N S W E   2: -
//   3: N S E   4: N S W E   5: N S W
//   6: N E     7: N S W E   8: N W
const char kMaze[] = "0 3 3 7 1 3 5 -1 -1  7 15 0  13 15 14  9 15 10";

// Points on the four ways.
struct Way {
    int direction, x, y;
};
constexpr Way kNorth = {CaveMaze::NORTH, 400, 75};
constexpr Way kSouth = {CaveMaze::SOUTH, 400, 420}; // above the inventory bar
constexpr Way kWest = {CaveMaze::WEST, 75, 300};
constexpr Way kEast = {CaveMaze::EAST, 725, 300};

std::string manifest(const std::string& numbers, const std::vector<std::string>& things)
{
    std::string m = "<data>\n" + numbers + "\n<sprites>\n"
                    "DoorNorth RectButtonSprite 300 0 200 150 0\n"
                    "DoorSouth RectButtonSprite 300 380 200 80 0\n"
                    "DoorWest RectButtonSprite 0 150 150 300 0\n"
                    "DoorEast RectButtonSprite 650 150 150 300 0\n"
                    "PuzzleDoor AnimateSprite door 350 250 2 1 0\n";
    for (const char* name : {"Tunnel_N_1", "Tunnel_N_2", "Tunnel_W", "Tunnel_E", "goldDoor", "goldDoor_Left",
                             "goldDoor_Right", "goldDoor_Trim", "WaterDrip", "WaterDripSplash", "WaterDrip_2",
                             "WaterDripSplash_3", "WaterDrip_3"})
        m += std::string(name) + " Sprite thing 200 200\n";
    for (int i = 1; i <= 4; ++i) {
        for (const char* name : {"Torch_", "BlueFlame_", "Gem_", "InlayGem_"})
            m += name + std::to_string(i) + " Sprite thing 100 100\n";
    }
    for (const std::string& name : things)
        m += name + " Sprite thing 500 500\n";
    return m + "<end>\n";
}

// The scripts' side: the screen to show, the gems and the puzzles.
const char kScripts[] = "LF.cave = {screen = 7, opened = false, gems = {0, 0, 0, 0},\n"
                        "           solved = {false, false, false, false}, taken = {false, false, false, false}}\n"
                        "function LF_getCaveMazeCurrentScreen() return LF.cave.screen end\n"
                        "function LF_openedGemDoor() return LF.cave.opened end\n"
                        "function LF_isGemPlacedInDoor(g) return LF.cave.gems[g] end\n"
                        "for p = 1, 4 do\n"
                        "  _G['LF_solvedCaveMazePuzzle_' .. p] = function() return LF.cave.solved[p] end\n"
                        "  _G['LF_gemTakenFromInlay_' .. p] = function() return LF.cave.taken[p] end\n"
                        "end\n";

class CaveMazeTest : public SceneFixture {
protected:
    void start(const std::string& numbers = kMaze, const std::vector<std::string>& things = {})
    {
        framesPicture(world.data(), "door", 2, 100, 150);
        world.data().picture("thing", 20, 20, 0xFF406080u);
        SceneSetup scene;
        scene.index = kCaveMazeRoom;
        scene.className = "CaveMaze";
        scene.manifest = manifest(numbers, things);
        scene.callbacks = {"onScreenSetup"};
        gametest::GameOptions options;
        options.gameScript = kScripts;
        ASSERT_TRUE(startScene(scene, options));
        maze = static_cast<CaveMaze*>(room(kCaveMazeRoom));
        ASSERT_TRUE(maze->isInstanceOf("CaveMaze"));
        enter(kCaveMazeRoom);
        clearRecords();
        clearCalls();
    }
    bool shown(const std::string& name) { return maze->getSprite(name.c_str())->isVisible(); }
    bool open(const char* door) { return sprite::ButtonMixin::fromSprite(maze->getSprite(door))->isEnabled(); }

    CaveMaze* maze = nullptr;
};

TEST_F(CaveMazeTest, AThreeByThreeMazeWalkedWithTheMovesTiming)
{
    start();
    EXPECT_EQ(7, maze->getCurrentScreen());
    sprite::SpriteBase* dim = canvas->getSprite("DimFull");
    const struct {
        Way way;
        int screen; // after the click; the screen before when it moves nowhere
        bool moves;
    } walk[] = {
        {kSouth, 7, false}, // the start screen's way out of the maze
        {kNorth, 4, true},  {kNorth, 1, true},
        {kNorth, 1, false}, // the golden door
        {kWest, 0, true},
        {kWest, 0, false}, // off the grid
        {kSouth, 3, true},  {kEast, 4, true},   {kEast, 5, true}, {kSouth, 8, true}, {kWest, 7, true},
    };
    for (const auto& step : walk) {
        SCOPED_TRACE(step.screen);
        clearRecords();
        clearCalls();
        const int pressed = canvas->getFrameCounter();
        world.mouseDown(step.way.x, step.way.y);
        if (!step.moves) {
            EXPECT_EQ(Room::STATE_PLAYING, maze->getState());
            EXPECT_EQ(-1, maze->getMoveDirection());
            EXPECT_FALSE(maze->blocksRoomChange());
            EXPECT_TRUE(soundsPlayed().empty());
            world.mouseUp(step.way.x, step.way.y);
            EXPECT_EQ(step.screen, maze->getCurrentScreen());
            continue;
        }
        EXPECT_EQ(Room::STATE_LEAVING, maze->getState()) << "input is blocked at once";
        EXPECT_EQ(std::vector<int>{CaveMaze::SOUND_MOVE}, soundsPlayed());
        EXPECT_TRUE(dim->isVisible());
        EXPECT_EQ(step.way.direction, maze->getMoveDirection());
        // A room change asked for during the move waits, and starts nothing more.
        EXPECT_TRUE(maze->blocksRoomChange());
        EXPECT_EQ(1u, soundsPlayed().size());
        world.mouseUp(step.way.x, step.way.y);
        ASSERT_TRUE(stepUntil([&] { return maze->getCurrentScreen() == step.screen; }));
        EXPECT_EQ(51, canvas->getFrameCounter() - pressed) << "24 frames of fading out, then 27 of dark";
        EXPECT_EQ(std::vector<std::string>{"onScreenSetup:CaveMaze(" + std::to_string(step.screen) + ")"},
                  calls("onScreenSetup"));
        EXPECT_EQ(Room::STATE_LEAVING, maze->getState());
        ASSERT_TRUE(stepUntil([&] { return maze->getState() == Room::STATE_PLAYING; }));
        EXPECT_EQ(81, canvas->getFrameCounter() - pressed) << "then 30 of fading in";
        EXPECT_FALSE(dim->isVisible());
        EXPECT_EQ(-1, maze->getMoveDirection()) << "the move is over";
        EXPECT_FALSE(maze->blocksRoomChange());
        const std::vector<std::string> sounds = canvas->sounds();
        EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(),
                                [](const std::string& s) { return s.rfind("loop 156 ", 0) == 0; }))
            << "the new screen's loop";
    }
}

TEST_F(CaveMazeTest, ARoomChangeHeldBackByAMoveIsDroppedAndTheExitSaveNamesTheMaze)
{
    start();
    world.mouseDown(kNorth.x, kNorth.y);
    ASSERT_EQ(Room::STATE_LEAVING, maze->getState()) << "a move runs";
    // A change asked for meanwhile reaches its transition's change point.
    canvas->setPendingRoom(30);
    canvas->processPendingRoom(0);
    EXPECT_EQ(kCaveMazeRoom, canvas->getCurrentRoomIndex()) << "the move holds the change back";
    EXPECT_EQ(-1, canvas->getPendingRoom());
    canvas->saveOnExit();
    EXPECT_EQ(kCaveMazeRoom, canvas->getProgress()->currentRoom) << "the player is still in the maze";
}

TEST_F(CaveMazeTest, WhatEachScreenShows)
{
    start();
    // North tunnels drawn again from a script: 1 takes the first picture.
    ScriptedDraw draw({1, 0, 1, 0, 1, 0, 1, 0});
    maze->setRandomDraw(&draw);
    EXPECT_EQ(std::vector<std::string>(7, "0..1"), draw.asked()) << "one draw per cell with a north way";
    const struct {
        int screen;
        const char* tunnels; // N W E shown, as "1" or "0"
        const char* doors;   // N S W E open
        bool goldDoor;
    } screens[] = {
        {2, "000", "0000", false}, {4, "111", "1111", false}, {6, "101", "1001", false},
        {8, "110", "1010", false}, {1, "011", "1111", true},  {7, "111", "1111", false},
    };
    for (const auto& c : screens) {
        SCOPED_TRACE(c.screen);
        maze->setupScreen(c.screen);
        const CaveMaze::Cell& cell = maze->cell(c.screen);
        const bool north = c.tunnels[0] == '1';
        EXPECT_EQ(north, cell.north && cell.north->isVisible());
        EXPECT_EQ(c.tunnels[1] == '1', shown("Tunnel_W"));
        EXPECT_EQ(c.tunnels[2] == '1', shown("Tunnel_E"));
        EXPECT_EQ(north || c.goldDoor, shown("Torch_3"));
        EXPECT_EQ(c.tunnels[1] == '1', shown("BlueFlame_1"));
        EXPECT_EQ(c.tunnels[2] == '1', shown("Torch_2"));
        const char* doors[] = {"DoorNorth", "DoorSouth", "DoorWest", "DoorEast"};
        for (int d = 0; d < 4; ++d)
            EXPECT_EQ(c.doors[d] == '1', open(doors[d])) << doors[d];
        EXPECT_EQ(c.goldDoor, shown("goldDoor"));
        EXPECT_EQ(c.goldDoor, shown("goldDoor_Trim"));
    }

    // The gems in the golden door, until it is opened.
    const struct {
        const char* script;
        int screen;
        const char* gems;
    } gems[] = {
        {"LF.cave.gems = {1, 0, 1, 0}", 1, "1010"},
        {"LF.cave.gems = {1, 0, 1, 0}", 4, "0000"},
        {"LF.cave.opened = true", 1, "0000"},
    };
    for (const auto& c : gems) {
        runLua(maze, c.script);
        maze->setupScreen(c.screen);
        for (int g = 1; g <= 4; ++g)
            EXPECT_EQ(c.gems[g - 1] == '1', shown("Gem_" + std::to_string(g))) << c.script << " " << g;
    }

    // The puzzle doors and the gems won in them.
    auto* door = static_cast<sprite::AnimateSprite*>(maze->getSprite("PuzzleDoor"));
    const struct {
        const char* script;
        int screen;
        bool door;
        int frame;
        bool inlayGem;
        int puzzleIndex;
    } puzzles[] = {
        {"", 4, false, 0, false, 1},
        {"", 3, true, 0, false, 0},
        {"LF.cave.solved[1] = true", 3, true, 1, true, 0},
        {"LF.cave.taken[1] = true", 3, true, 1, false, 0},
        {"LF.cave.solved[2] = true", 5, true, 1, false, 1},
    };
    for (const auto& c : puzzles) {
        SCOPED_TRACE(c.script);
        runLua(maze, c.script);
        maze->setupScreen(c.screen);
        EXPECT_EQ(c.door, door->isVisible());
        if (c.door) {
            EXPECT_EQ(c.frame, door->getFrame());
        }
        EXPECT_EQ(c.inlayGem, shown("InlayGem_1"));
        if (c.inlayGem) {
            EXPECT_DOUBLE_EQ(0.75, maze->getSprite("InlayGem_1")->getScaleX());
        }
        EXPECT_EQ(std::to_string(c.puzzleIndex), runLua(maze, "return tostring(self:getPuzzleIndex())"));
    }
    EXPECT_TRUE(shown("InlayGem_2")) << "puzzle 2's gem is still in its inlay";
    expectLuaErrors(maze, {
                              {"self.getPuzzleIndex(self, 1)", "bad argument #2 to 'getPuzzleIndex' (too many arguments)"},
                              {"self.getPuzzleIndex(canvas)", "bad argument #1 to 'getPuzzleIndex' (not a CaveMaze)"},
                          });
}

TEST_F(CaveMazeTest, Cursors)
{
    start();
    runLua(maze, "LF.cave.solved[1] = true");
    const struct {
        int screen, x, y, cursor;
        bool locked;
    } cases[] = {
        {4, kWest.x, kWest.y, 3, true},   {4, kNorth.x, kNorth.y, 0, true}, {4, kSouth.x, kSouth.y, 1, true},
        {4, kEast.x, kEast.y, 2, true},   {4, 400, 300, 8, false},          {7, kSouth.x, kSouth.y, 8, true},
        {6, kWest.x, kWest.y, 8, false},  {3, 400, 300, 9, true}, // the puzzle door, its gem not taken
    };
    for (const auto& c : cases) {
        maze->setupScreen(c.screen);
        canvas->setCursor(5, false);
        world.mouseMove(c.x, c.y);
        EXPECT_EQ(c.cursor, canvas->getCurrentCursor()) << c.screen << " " << c.x << "," << c.y;
        EXPECT_EQ(c.locked, canvas->isCursorLocked()) << c.screen << " " << c.x << "," << c.y;
    }
    runLua(maze, "LF.cave.taken[1] = true");
    world.mouseMove(400, 300);
    EXPECT_EQ(8, canvas->getCurrentCursor());
    // An item on the cursor keeps it over the ways.
    canvas->setSpecialCursor(12, true, 0);
    world.mouseMove(kNorth.x, kNorth.y);
    EXPECT_EQ(12, canvas->getCurrentCursor());
    canvas->dropSpecialCursor();
    // During a move the pointer is the normal arrow, locked.
    maze->setupScreen(4);
    world.click(kNorth.x, kNorth.y);
    world.mouseMove(kWest.x, kWest.y);
    EXPECT_EQ(8, canvas->getCurrentCursor());
    EXPECT_TRUE(canvas->isCursorLocked());
}

TEST_F(CaveMazeTest, ThingsByNameAndScreensOutsideTheGrid)
{
    // Two rows of seven: screens 0 to 13, so that 1 and 12 both exist.
    start("0 2 7 0 13 -1 -1 -1 -1  1 3 3 3 3 3 2  8 8 8 8 8 8 8",
          {"Item_1_lamp", "Item_12_rope", "Item_3", "Prototype_Gem", "PathRoom_1", "PathRoom_12", "Other_1"});
    const struct {
        int screen;
        const char* visible; // the things above, in order
    } cases[] = {{1, "100010"}, {12, "010001"}, {3, "000000"}};
    const char* things[] = {"Item_1_lamp", "Item_12_rope", "Item_3", "Prototype_Gem", "PathRoom_1", "PathRoom_12"};
    maze->getSprite("Other_1")->setVisible(true);
    for (const auto& c : cases) {
        maze->setupScreen(c.screen);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(c.visible[i] == '1', shown(things[i])) << c.screen << " " << things[i];
        EXPECT_TRUE(shown("Other_1")) << "other names are left alone";
    }

    // Screens the scripts or a caller name outside the grid are refused.
    maze->setupScreen(99);
    EXPECT_EQ(3, maze->getCurrentScreen());
    runLua(maze, "LF.cave.screen = 14");
    canvas->leaveCurrentRoom();
    enter(kCaveMazeRoom);
    EXPECT_EQ(0, maze->getCurrentScreen()) << "the start screen";
    runLua(maze, "LF.cave.screen = 8");
    canvas->leaveCurrentRoom();
    enter(kCaveMazeRoom);
    EXPECT_EQ(8, maze->getCurrentScreen());
}

} // namespace
} // namespace scenetest

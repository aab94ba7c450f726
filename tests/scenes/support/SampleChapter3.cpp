// SampleChapter3.cpp: the sample story's third chapter played as a player
// plays it: two of the island's gems picked up, the bookshelf sorted, its
// clock set to the time of the note behind the books and the caves' map
// taken from the drawer, the cave walked with the map through two puzzle
// doors, whose inlays give the other two gems, to the golden door, which the
// gems open onto the bridge, the bridge's stones remembered, and the inner sanctum's
// board lit in its four patterns, which lights the chapter's last lantern.
#include "game/inventory/Inventory.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "scenes/bookshelf/Bookshelf.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/caves/CaveMaze.h"
#include "scenes/clock/ClockCU.h"
#include "scenes/common/ScriptValues.h"
#include "scenes/inlay/Inlay.h"
#include "scenes/sanctum/InnerSanctum.h"
#include "sprites/images/AnimateSprite.h"
#include "tests/scenes/support/SampleChapters.h"
#include "tests/scenes/support/SamplePuzzles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>
#include <vector>

namespace scenetest {
namespace {

// The chapter's rooms, by their index in the rooms table.
enum Chapter3Room {
    kCh3Landing = 25,
    kCh3WelcomeCenter = 26,
    kCh3Bookshelf = 27,
    kCh3Trailhead = 28,
    kCh3Jungle = 29,
    kCh3CaveEntrance = 30,
    kCh3CaveMaze = 31,
    kCh3Bridge = 32,
    kCh3InnerSanctum = 33,
    kCh3Inlay = 34,
};

// The inlays won on the way through the cave, in the order they are met:
// puzzle p gives the gem Gem_<p>.
constexpr int kCh3InlayPuzzles[] = {3, 2};

// A hand of the clock is led this far from the pivot, so that the angle of
// the pointer's whole-pixel place is well inside the solution's window.
constexpr double kCh3HandReach = 100.0;
constexpr double kCh3Pi = 3.14159265358979323846;

sprite::SpriteBase* ch3Sprite(Room* room, const char* name)
{
    sprite::SpriteBase* s = room->getSprite(name);
    EXPECT_NE(nullptr, s) << name;
    return s;
}

// The first point (in the sprite's parent's coordinates) where the picture
// is opaque and `free` holds, or false.
template <class Free>
bool ch3OpaquePoint(sprite::AnimateSprite* s, Free free, int& x, int& y)
{
    for (y = s->top(); y < s->top() + s->height(); ++y) {
        for (x = s->left(); x < s->left() + s->width(); ++x) {
            if (s->hittestImage(x, y) && free(x, y))
                return true;
        }
    }
    return false;
}

// Each of the sixteen things carried from the wall to its place on the
// shelf: dragged there, or (every other one) clicked and then clicked home.
void ch3SortShelf(SampleWalk& w, Bookshelf* shelf)
{
    testsupport::GameWorld& world = w.run.world;
    for (int n = 1; n <= Bookshelf::ITEM_COUNT; ++n) {
        const Bookshelf::ItemInfo* thing = shelf->item(n);
        ASSERT_NE(nullptr, thing);
        int x = 0, y = 0;
        ASSERT_TRUE(ch3OpaquePoint(thing->wall, [](int, int) { return true; }, x, y)) << "thing " << n;
        const int homeX = thing->home->left() + thing->home->width() / 2;
        const int homeY = thing->home->top() + thing->home->height() / 2;
        if (n % 2 == 1) {
            world.mouseDown(x, y);
            ASSERT_EQ(n, shelf->heldItem()) << "thing " << n;
            world.mouseMove((x + homeX) / 2, (y + homeY) / 2);
            world.mouseMove(homeX, homeY);
            world.mouseUp(homeX, homeY);
        } else {
            world.click(x, y);
            ASSERT_EQ(n, shelf->heldItem()) << "thing " << n;
            world.mouseMove(homeX, homeY);
            world.click(homeX, homeY);
        }
        ASSERT_EQ(0, shelf->heldItem()) << "thing " << n << " is home";
        ASSERT_TRUE(Bookshelf::isItemFixed(n)) << "thing " << n;
    }
}

// A click on the clock's face, beside its key.
void ch3ClickClock(SampleWalk& w, Bookshelf* shelf)
{
    sprite::SpriteBase* face = ch3Sprite(shelf, "Clock");
    w.run.world.click(face->left() + 10, face->top() + face->height() / 2);
}

// One hand of the open clock held at an opaque point that the other hand
// does not cover, and led round to `degrees` (clockwise from twelve).
void ch3TurnHand(SampleWalk& w, ClockCU* clock, sprite::SpriteBase* hand, sprite::SpriteBase* other, double degrees)
{
    auto* picture = static_cast<sprite::AnimateSprite*>(hand);
    auto* covering = static_cast<sprite::AnimateSprite*>(other);
    int x = 0, y = 0;
    ASSERT_TRUE(ch3OpaquePoint(picture, [covering](int px, int py) { return !covering->hittestImage(px, py); }, x, y));
    testsupport::GameWorld& world = w.run.world;
    world.mouseMove(clock->left() + x, clock->top() + y);
    world.mouseDown(clock->left() + x, clock->top() + y);
    ASSERT_EQ(hand, clock->getHeldHand());
    const double radians = degrees * kCh3Pi / 180.0;
    const int toX = ClockCU::PIVOT_X + int(std::lround(kCh3HandReach * std::sin(radians)));
    const int toY = ClockCU::PIVOT_Y - int(std::lround(kCh3HandReach * std::cos(radians)));
    world.mouseMove((clock->left() + x + toX) / 2, (clock->top() + y + toY) / 2);
    world.mouseMove(toX, toY);
    world.mouseUp(toX, toY);
    world.stepFrames(1);
}

// The clock's close-up opened (the note gave its time) and both hands set:
// the hour hand on the two, the minute hand on the nine.
void ch3SetClock(SampleWalk& w, Bookshelf* shelf)
{
    auto* clock = static_cast<ClockCU*>(w.run.canvas->getSprite("ClockCU"));
    ASSERT_NE(nullptr, clock);
    ch3ClickClock(w, shelf);
    ASSERT_TRUE(w.player.painted([clock] { return clock->isVisible() && clock->isIdle(); }, 60));
    const double hour = (ClockCU::HOUR_LOW + ClockCU::HOUR_HIGH) / 2.0;
    const double minute = (ClockCU::MINUTE_LOW + ClockCU::MINUTE_HIGH) / 2.0;
    ch3TurnHand(w, clock, clock->getHourHand(), clock->getMinuteHand(), hour);
    ASSERT_FALSE(w.story("LF.clockSolved")) << "the minute hand is not set yet";
    ch3TurnHand(w, clock, clock->getMinuteHand(), clock->getHourHand(), minute);
    ASSERT_TRUE(w.story("LF.clockSolved"));
    ASSERT_TRUE(w.player.painted([clock] { return !clock->isVisible(); }, 60));
}

// The bookshelf's errand: the things sorted, the clock set, the key carried
// to the drawer and the map in it taken; then back to the welcome centre.
void ch3BookshelfErrand(SampleWalk& w)
{
    auto* shelf = static_cast<Bookshelf*>(w.room());
    ASSERT_TRUE(shelf->isInstanceOf("Bookshelf"));
    w.player.closeInstructions();
    EXPECT_FALSE(shelf->getSprite("KeyOnClock")->isVisible()) << "the key stays in the shut clock";
    // The clock opens only once the note with its time is found.
    ch3ClickClock(w, shelf);
    w.run.world.stepFrames(2);
    EXPECT_FALSE(w.run.canvas->getSprite("ClockCU")->isVisible()) << "the shelves come first";

    ch3SortShelf(w, shelf);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(w.story("LF.bookshelfSorted"));
    ch3SetClock(w, shelf);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(shelf->getSprite("KeyOnClock")->isVisible()) << "the set clock shows its key";

    w.click("KeyOnClock");
    ASSERT_TRUE(shelf->isKeyOnCursor());
    sprite::SpriteBase* drawer = ch3Sprite(shelf, "DrawerOpen");
    w.run.world.click(drawer->left() + drawer->width() / 2, drawer->top() + drawer->height() / 2);
    sprite::SpriteBase* map = ch3Sprite(shelf, "DrawerMap");
    ASSERT_TRUE(w.player.painted([map] { return map->isShowing(); }, Bookshelf::DRAWER_DELAY + 10));
    EXPECT_TRUE(drawer->isShowing()) << "the drawer stands open";
    w.click("DrawerMap");
    ASSERT_TRUE(w.has("CaveMapScroll"));
    EXPECT_FALSE(map->isVisible());

    w.click("CloseButton");
    ASSERT_TRUE(w.player.arrivedIn(kCh3WelcomeCenter, 200)) << "the bookshelf zooms back";
    w.entered.push_back(kCh3WelcomeCenter);
    w.player.settle();
}

// The cave walked chamber by chamber to `target`: the way found over the
// chambers' open ways as the running maze holds them, each move by a click
// on the way's opening.
void ch3WalkCave(SampleWalk& w, CaveMaze* maze, int target)
{
    static const char* const kWays[] = {"DoorNorth", "DoorSouth", "DoorWest", "DoorEast"};
    static const int kWayBits[] = {CaveMaze::WAY_NORTH, CaveMaze::WAY_SOUTH, CaveMaze::WAY_WEST, CaveMaze::WAY_EAST};
    static const int kRowSteps[] = {-1, 1, 0, 0};
    static const int kColumnSteps[] = {0, 0, -1, 1};
    const int columns = maze->getColumnCount();
    const int start = maze->getCurrentScreen();
    // Breadth first from the chamber the player stands in; each chamber
    // keeps the chamber and the way it was reached by.
    std::vector<std::pair<int, int>> from(size_t(maze->getCellCount()), {-1, -1});
    std::deque<int> open = {start};
    from[size_t(start)] = {start, -1};
    while (!open.empty()) {
        const int s = open.front();
        open.pop_front();
        for (int way = 0; way < 4; ++way) {
            if (!(maze->cell(s).value & kWayBits[way]))
                continue;
            const int row = s / columns + kRowSteps[way];
            const int column = s % columns + kColumnSteps[way];
            const int next = row * columns + column;
            if (row < 0 || row >= maze->getRowCount() || column < 0 || column >= columns || maze->cell(next).value == 0)
                continue;
            if (from[size_t(next)].first < 0) {
                from[size_t(next)] = {s, way};
                open.push_back(next);
            }
        }
    }
    ASSERT_GE(from[size_t(target)].first, 0) << "no way to chamber " << target;
    std::vector<std::pair<int, int>> moves;
    for (int s = target; s != start; s = from[size_t(s)].first)
        moves.insert(moves.begin(), {s, from[size_t(s)].second});
    for (const auto& move : moves) {
        w.click(kWays[move.second]);
        ASSERT_TRUE(w.player.painted(
            [maze, move] { return maze->getCurrentScreen() == move.first && maze->getState() == Room::STATE_PLAYING; },
            200))
            << "into chamber " << move.first;
        const std::string mark = "CaveMap_Current_" + std::to_string(move.first);
        EXPECT_TRUE(w.run.canvas->getInventory()->getSprite(mark.c_str())->isVisible()) << "the map marks the chamber";
    }
}

// The inlay behind a puzzle door: its instructions closed (they show on
// the first inlay only), each piece carried from the tray to its place on
// the grid, and the gem it shows then taken.
void ch3SolveInlay(SampleWalk& w, Inlay* inlay, int puzzle, bool first)
{
    ASSERT_EQ(puzzle, inlay->getPuzzle()) << "the chamber's puzzle";
    if (first) {
        ASSERT_TRUE(w.player.closeInstructions(120));
    }
    testsupport::GameWorld& world = w.run.world;
    ASSERT_EQ(size_t(Inlay::PIECES_PER_PUZZLE), inlay->getPieces().size());
    for (size_t i = 0; i < inlay->getPieces().size(); ++i) {
        const Inlay::PieceInfo& piece = inlay->getPieces()[i];
        // The tray pieces are rounded: ten pixels in is on the piece.
        world.click(piece.tray->left() + 10, piece.tray->top() + 10);
        ASSERT_EQ(int(i), inlay->getHeld()) << "piece " << i;
        // The held piece hangs centred on the pointer; its corner goes four
        // pixels inside its target cell's.
        const int x = inlay->getGridLeft() + Inlay::CELL * (piece.target % Inlay::GRID_CELLS) + 4 + piece.grid->width() / 2;
        const int y = inlay->getGridTop() + Inlay::CELL * (piece.target / Inlay::GRID_CELLS) + 4 + piece.grid->height() / 2;
        world.mouseMove(x, y);
        world.click(x, y);
        ASSERT_EQ(piece.target, piece.placed) << "piece " << i;
    }
    ASSERT_TRUE(inlay->isSolved());
    const std::string number = std::to_string(puzzle);
    const std::string gem = "Gem_" + number;
    ASSERT_TRUE(ScriptValues::getBool(("LF_solvedCaveMazePuzzle_" + number).c_str()));
    EXPECT_FALSE(w.has(gem.c_str())) << "the gem waits in the inlay";
    w.click(gem.c_str());
    ASSERT_TRUE(w.has(gem.c_str())) << gem;
    EXPECT_FALSE(inlay->getSprite(gem.c_str())->isVisible());
    EXPECT_TRUE(ScriptValues::getBool(("LF_gemTakenFromInlay_" + number).c_str()));
}

// The cave walked to each inlay's puzzle door in turn, the inlay behind it
// won and the way back into its chamber taken.
void ch3WinCaveInlays(SampleWalk& w, CaveMaze* maze)
{
    bool first = true;
    for (const int puzzle : kCh3InlayPuzzles) {
        const int screen = maze->getPuzzleScreen(puzzle - 1);
        ch3WalkCave(w, maze, screen);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        auto* door = static_cast<sprite::AnimateSprite*>(ch3Sprite(maze, "PuzzleDoor"));
        EXPECT_TRUE(door->isVisible());
        EXPECT_EQ(0, door->getFrame()) << "puzzle " << puzzle << " is not solved yet";
        w.walk({kCh3Inlay});
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        auto* inlay = static_cast<Inlay*>(w.room());
        ASSERT_TRUE(inlay->isInstanceOf("Inlay"));
        ch3SolveInlay(w, inlay, puzzle, first);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        first = false;
        w.walk({kCh3CaveMaze});
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        ASSERT_EQ(screen, maze->getCurrentScreen()) << "back in the puzzle's chamber";
        EXPECT_EQ(1, door->getFrame()) << "the door shows puzzle " << puzzle << " solved";
        const std::string shown = "InlayGem_" + std::to_string(puzzle);
        EXPECT_FALSE(ch3Sprite(maze, shown.c_str())->isVisible()) << "its gem is taken";
    }
}

// The inner sanctum's board: for each of its four patterns in turn, every
// stone whose state differs from the pattern clicked once.
void ch3LightSanctumBoard(SampleWalk& w, InnerSanctum* sanctum)
{
    sprite::SpriteBase* lantern = ch3Sprite(sanctum, "SanctumLantern");
    for (int p = 0; p < InnerSanctum::PATTERNS; ++p) {
        EXPECT_FALSE(lantern->isVisible()) << "pattern " << p + 1 << " is still dark";
        for (int i = 0; i < InnerSanctum::PIECES; ++i) {
            auto* stone = static_cast<sprite::AnimateSprite*>(sanctum->piece(i).sprite);
            ASSERT_NE(nullptr, stone);
            if (stone->getFrame() == sanctum->piece(i).target[p])
                continue;
            w.run.world.click(stone->left() + stone->width() / 2, stone->top() + stone->height() / 2);
            ASSERT_EQ(sanctum->piece(i).target[p], stone->getFrame()) << "stone " << i;
        }
        ASSERT_EQ(p, sanctum->findSolvedPattern());
        ASSERT_EQ(1, ScriptValues::getInt("LF_isInnerSanctumPatternSolved", p + 1)) << "pattern " << p + 1;
        const std::string plan = "PlanLit_" + std::to_string(p + 1);
        EXPECT_TRUE(ch3Sprite(sanctum, plan.c_str())->isVisible()) << "the plan is framed";
    }
    w.run.world.stepFrames(2);
    EXPECT_TRUE(lantern->isVisible()) << "the four patterns light the lantern";
}

} // namespace

void playChapter3ToTheMap(SampleWalk& w)
{
    ASSERT_EQ(kCh3Landing, w.current());
    EXPECT_EQ(3, w.chapter());
    w.player.settle();
    w.expectTasks({31});
    w.click("Item_Gem_1");
    ASSERT_TRUE(w.has("Gem_1"));

    // The welcome centre: the ranger tells where the caves' map is kept.
    w.walk({kCh3WelcomeCenter});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("ParkRanger");
    w.click("ParkRanger");
    w.walk({kCh3Bookshelf});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ch3BookshelfErrand(w);
}

void playChapter3FromTheMap(SampleWalk& w)
{
    ASSERT_EQ(kCh3WelcomeCenter, w.current());
    ASSERT_TRUE(w.has("CaveMapScroll"));
    w.expectTasks({34});
    w.walk({kCh3Landing, kCh3Trailhead});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_EQ(nullptr, w.room()->getSprite("Item_Gem_3")) << "the third gem lies in the cave";
    w.walk({kCh3Jungle});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_Gem_4");
    ASSERT_TRUE(w.has("Gem_4"));
    EXPECT_FALSE(w.has("Gem_2") || w.has("Gem_3")) << "two gems wait in the cave";
    w.click("Idol");
    EXPECT_TRUE(w.story("LF.jungleIdolFound"));
    // The vines keep the way east shut: the bridge is reached through the cave.
    ASSERT_TRUE(w.room()->getSprite("Vines")->isVisible());
    w.click("Vines");
    EXPECT_EQ(kCh3Jungle, w.current());

    w.walk({kCh3CaveEntrance, kCh3CaveMaze});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    auto* maze = static_cast<CaveMaze*>(w.room());
    ASSERT_TRUE(maze->isInstanceOf("CaveMaze"));
    EXPECT_TRUE(w.run.canvas->getInventory()->getSprite("CaveMap")->isVisible()) << "the map shows over the cave";
    // The second and third gems: the inlays behind the puzzle doors of two
    // chambers on a way to the golden door.
    ch3WinCaveInlays(w, maze);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ch3WalkCave(w, maze, maze->getGemDoorScreen());
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(w.story("LF.caveGoldenDoorFound"));
    // The four gems go into the golden door, which opens onto the bridge.
    w.click("goldDoor");
    ASSERT_TRUE(w.story("LF.caveGemDoorOpened"));
    w.expectTasks({35});
    for (const char* gem : {"Gem_1", "Gem_2", "Gem_3", "Gem_4"})
        EXPECT_FALSE(w.has(gem)) << gem << " is in the door";
    w.walk({kCh3Bridge});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    auto* bridge = static_cast<Bridge*>(w.room());
    ASSERT_TRUE(bridge->isInstanceOf("Bridge"));
    raiseBridge(w.player, w.run.world, bridge);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(bridge->getSprite("Planks")->isVisible());
    w.expectTasks({36});

    // Over the bridge, the inner sanctum: its way north waits, and its board
    // lit in the plans' four patterns lights the lantern that ends the
    // chapter.
    w.walk({kCh3InnerSanctum});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    auto* sanctum = static_cast<InnerSanctum*>(w.room());
    ASSERT_TRUE(sanctum->isInstanceOf("InnerSanctum"));
    DoorSprite* north = exitTo(sanctum, SampleWalk::roomOf("OuterSanctum"));
    ASSERT_NE(nullptr, north);
    EXPECT_FALSE(north->isEnabled()) << "the way north waits";
    ch3LightSanctumBoard(w, sanctum);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(ScriptValues::getBool("LF_solvedAllInnerSanctumPatterns"));
    w.expectTasks({36}); // the board's task, which names the lantern
    w.endChapterOn("SanctumLantern", kCh3InnerSanctum);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.expectClean();
}

} // namespace scenetest

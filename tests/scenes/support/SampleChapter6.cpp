// SampleChapter6.cpp: the sample story's last chapter played as a player
// plays it: the fisherman's boat from the dock to the island, the lure
// keeper's lures laid on their shadows, the temple door's two sliding
// boards, the amulet set into the inner door, the golden chest's three
// boards (the rooms' notes and lines saying what each asks and how it
// went), and the last lantern, whose light ends the story in its slides and
// the main menu.
#include "tests/scenes/support/SampleChapters.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "scenes/templedoor/TempleDoorPuzzle.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "sound/clip/AudioClip.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SamplePuzzles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace scenetest {
namespace {

// The keeper's lures, by the names of their sprites ("Lure<name>", and
// "Shadow<name>" for the shadow each belongs on).
const char* const kIslandLures[] = {"Spoon", "Fly", "Plug", "Spinner"};

// The text the current room's sprite shows.
std::string islandText(SampleWalk& w, const char* sprite)
{
    auto* text = static_cast<sprite::NewFontSprite*>(w.room()->getSprite(sprite));
    return text ? text->getText().c_str() : "(no " + std::string(sprite) + ")";
}

// Whether the current room's note shows: "shown", "hidden" or "missing".
std::string islandNote(SampleWalk& w)
{
    sprite::SpriteBase* note = w.room()->getSprite("Note");
    return !note ? "missing" : note->isVisible() ? "shown" : "hidden";
}

// The text item, "%1" the number.
std::string islandLine(const char* id, int n = 0)
{
    std::string line = lang::String::loadText(id).c_str();
    const size_t at = line.find("%1");
    return at == std::string::npos ? line : line.replace(at, 2, std::to_string(n));
}

// Whether the exit of the current room to `target` takes clicks.
bool islandExitOpen(SampleWalk& w, const char* target)
{
    const int index = SampleWalk::roomOf(target);
    Room* room = w.room();
    for (int i = 0; i < room->getDoorCount(); ++i) {
        if (room->getDoor(i)->getTargetRoom() == index)
            return room->getDoor(i)->isEnabled();
    }
    return false;
}

// The lure keeper's game: first a lure laid on a wrong shadow, which puts
// it back in the tray, then each lure on its own shadow; the line under the
// tray says how each try went; one lure is dragged onto its shadow; the
// last one takes the player back to the landing.
void sortIslandLures(SampleWalk& w)
{
    EXPECT_EQ(islandLine("STR_LURES_RULES"), islandText(w, "Status"));
    w.click("LureSpoon");
    EXPECT_TRUE(w.room()->getSprite("LureRing")->isVisible()) << "the lure in the hand is marked";
    EXPECT_EQ(islandLine("STR_LURES_HELD"), islandText(w, "Status"));
    w.click("ShadowFly");
    EXPECT_FALSE(w.story("LF.lurePlaced.Spoon")) << "a wrong shadow takes no lure";
    EXPECT_FALSE(w.room()->getSprite("LureRing")->isVisible());
    EXPECT_EQ(islandLine("STR_LURES_WRONG", 0), islandText(w, "Status")) << "a wrong shadow is said";
    int laid = 0;
    for (const char* name : kIslandLures) {
        const std::string lure = std::string("Lure") + name;
        const std::string shadow = std::string("Shadow") + name;
        if (name == kIslandLures[3]) {
            w.click(lure.c_str());
            break;
        }
        // The second lure is dragged onto its shadow, as a player may.
        sprite::SpriteBase* from = w.room()->getSprite(lure.c_str());
        sprite::SpriteBase* to = w.room()->getSprite(shadow.c_str());
        if (name == kIslandLures[1]) {
            w.player.dragSprite(from, to->left() - from->left(), to->top() - from->top());
        } else {
            w.click(lure.c_str());
            w.click(shadow.c_str());
        }
        EXPECT_TRUE(w.story(("LF.lurePlaced." + std::string(name)).c_str())) << name;
        EXPECT_EQ(w.room()->getSprite(shadow.c_str())->left(), w.room()->getSprite(lure.c_str())->left());
        EXPECT_EQ(islandLine("STR_LURES_RIGHT", ++laid), islandText(w, "Status"));
    }
    // The last lure ends the game, won at once: the finished board stands a
    // while, its line saying so, and a click on a lure there changes nothing.
    w.click("ShadowSpinner");
    EXPECT_TRUE(w.story("LF.luresWon"));
    EXPECT_EQ(SampleWalk::roomOf("Lures"), w.current()) << "the finished board is left at once";
    EXPECT_EQ(islandLine("STR_LURES_WON"), islandText(w, "Status"));
    w.click("LureSpoon");
    EXPECT_FALSE(w.room()->getSprite("LureRing")->isVisible());
    EXPECT_EQ(islandLine("STR_LURES_WON"), islandText(w, "Status"));
}

// A temple door board as cells: each block's top-left (row, column).
using DoorPlaces = std::vector<std::pair<int, int>>;
// A move: the block and the cells it goes down and right (one is 0).
struct DoorMove {
    int block;
    int rows;
    int columns;
};

// The moves that take the temple door's key out at the top, found
// breadth-first over the board: a block slides along a row or column over
// free cells, never onto a walled cell or off the board, and only the key
// goes into the top row, where the way out is; empty when there is none.
std::vector<DoorMove> templeDoorSolution(const TempleDoorPuzzle& door)
{
    const BlockGrid& grid = door.getGrid();
    const std::vector<TempleDoorPuzzle::BlockInfo>& blocks = door.getBlocks();
    const std::vector<int>& walled = door.getWalledCells();
    const int targetRow = grid.rowOfCell(door.getTargetCell());
    const int targetColumn = grid.columnOfCell(door.getTargetCell());
    DoorPlaces start;
    int key = -1;
    for (size_t i = 0; i < blocks.size(); ++i) {
        start.emplace_back(grid.rowOfCell(blocks[i].cell), grid.columnOfCell(blocks[i].cell));
        if (blocks[i].key)
            key = int(i);
    }
    if (key < 0)
        return {};
    auto fits = [&](const DoorPlaces& places, size_t i, int row, int column) {
        const int w = TempleDoorPuzzle::widthOf(blocks[i].kind);
        const int h = TempleDoorPuzzle::heightOf(blocks[i].kind);
        if (row == 0 && int(i) != key)
            return false;
        for (int r = row; r < row + h; ++r) {
            for (int c = column; c < column + w; ++c) {
                if (!grid.containsCell(r, c) ||
                    std::find(walled.begin(), walled.end(), grid.cellIndex(r, c)) != walled.end())
                    return false;
                for (size_t j = 0; j < places.size(); ++j) {
                    if (j == i)
                        continue;
                    const int jr = places[j].first, jc = places[j].second;
                    if (r >= jr && r < jr + TempleDoorPuzzle::heightOf(blocks[j].kind) && c >= jc &&
                        c < jc + TempleDoorPuzzle::widthOf(blocks[j].kind))
                        return false;
                }
            }
        }
        return true;
    };
    std::map<DoorPlaces, std::pair<DoorPlaces, DoorMove>> from;
    from[start] = {start, {-1, 0, 0}};
    std::deque<DoorPlaces> todo{start};
    while (!todo.empty()) {
        const DoorPlaces places = todo.front();
        todo.pop_front();
        if (places[size_t(key)] == std::make_pair(targetRow, targetColumn)) {
            std::vector<DoorMove> moves;
            for (DoorPlaces at = places; from[at].second.block >= 0; at = from[at].first)
                moves.insert(moves.begin(), from[at].second);
            return moves;
        }
        for (size_t i = 0; i < blocks.size(); ++i) {
            for (const auto& step : {std::make_pair(-1, 0), std::make_pair(1, 0), std::make_pair(0, -1),
                                     std::make_pair(0, 1)}) {
                for (int cells = 1;; ++cells) {
                    const int row = places[i].first + step.first * cells;
                    const int column = places[i].second + step.second * cells;
                    if (!fits(places, i, row, column))
                        break;
                    DoorPlaces next = places;
                    next[i] = {row, column};
                    if (from.count(next))
                        continue;
                    from[next] = {places, {int(i), step.first * cells, step.second * cells}};
                    todo.push_back(next);
                }
            }
        }
    }
    return {};
}

// The board under way solved by drags, each checked to land where it
// should.
void openTempleDoorBoard(gametest::SamplePlayer& player, TempleDoorPuzzle* door)
{
    const std::vector<DoorMove> moves = templeDoorSolution(*door);
    ASSERT_FALSE(moves.empty()) << "temple door board " << door->getCurrentPuzzle() << " has no way out";
    const int board = door->getCurrentPuzzle();
    const int columns = door->getGrid().columns;
    const int s = TempleDoorPuzzle::CELL_SIZE;
    for (const DoorMove& move : moves) {
        const TempleDoorPuzzle::BlockInfo& block = door->getBlocks()[size_t(move.block)];
        const int expected = block.cell + move.rows * columns + move.columns;
        const bool last = &move == &moves.back();
        player.dragSprite(block.sprite, move.columns * s, move.rows * s);
        if (last)
            break;
        ASSERT_EQ(board, door->getCurrentPuzzle());
        ASSERT_EQ(expected, door->getBlocks()[size_t(move.block)].cell)
            << "board " << board << ": block " << move.block << " by " << move.rows << ", " << move.columns;
    }
}

// The temple door's lock: its instructions closed, the first board solved
// (which brings the second) and the second, which opens the door and takes
// the player back to the hall.
void openTempleDoor(SampleWalk& w)
{
    auto* door = static_cast<TempleDoorPuzzle*>(w.room());
    ASSERT_TRUE(door->isInstanceOf("TempleDoorPuzzle"));
    w.player.closeInstructions();
    ASSERT_EQ(0, door->getCurrentPuzzle());
    EXPECT_EQ(islandLine("STR_TEMPLE_DOOR_LOCK_1"), islandText(w, "Status"));
    openTempleDoorBoard(w.player, door);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_EQ(1, door->getCurrentPuzzle()) << "the second board follows the first";
    EXPECT_EQ(islandLine("STR_TEMPLE_DOOR_NEXT"), islandText(w, "Status")) << "the first lock's opening is said";
    EXPECT_FALSE(w.story("LF.templeDoorOpened"));
    openTempleDoorBoard(w.player, door);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    // The door opens at once, and the solved board stands a while with its
    // line saying so; a stone pulled there does not move.
    w.run.world.stepFrames(2);
    EXPECT_TRUE(w.story("LF.templeDoorOpened"));
    ASSERT_EQ(SampleWalk::roomOf("TempleDoorPuzzle"), w.current()) << "the solved board is left at once";
    EXPECT_EQ(islandLine("STR_TEMPLE_DOOR_OPEN"), islandText(w, "Status"));
    const int stone = door->getBlocks()[1].cell;
    w.player.dragSprite(door->getBlocks()[1].sprite, 0, TempleDoorPuzzle::CELL_SIZE);
    EXPECT_EQ(stone, door->getBlocks()[1].cell);
    ASSERT_TRUE(w.player.arrivedIn(SampleWalk::roomOf("Temple2"))) << "back in the hall";
    w.entered.push_back(w.current());
    EXPECT_TRUE(w.story("LF.templeDoorOpened"));
    EXPECT_TRUE(w.told("STR_TEMPLE_DOOR_OPEN"));
}

// A click on the door's seal with the amulet and the gems in the bar: they
// go into it, the amulet is whole, the note over the seal goes and the door
// opens.
void setAmuletIntoSeal(SampleWalk& w)
{
    EXPECT_FALSE(islandExitOpen(w, "GoldenRoom")) << "the door is sealed";
    EXPECT_EQ("shown", islandNote(w));
    sprite::SpriteBase* seal = w.room()->getSprite("AmuletSeal");
    w.click("AmuletSeal");
    EXPECT_EQ("hidden", islandNote(w));
    EXPECT_TRUE(w.told("STR_AMULET_COMPLETE"));
    for (const char* part : {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4", "AmuletComplete"})
        EXPECT_FALSE(w.has(part)) << part << ": the whole amulet stays in the seal";
    EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(seal)->getFrame()) << "the amulet stands in the seal";
    EXPECT_TRUE(islandExitOpen(w, "GoldenRoom"));
}

// The golden chest: its close-up opened from the room, the three boards
// behind its gold doors solved one after the other, the line under the
// board saying which lock is played and which opened, and back in the room
// with the chest open, which is told.
void openGoldenChest(SampleWalk& w)
{
    const int golden = SampleWalk::roomOf("GoldenRoom");
    auto* chest = static_cast<TreasureChestCU*>(w.run.canvas->getRoom(SampleWalk::roomOf("TreasureChestCU")));
    EXPECT_FALSE(w.room()->getSprite("LastLantern")->isVisible()) << "the chest is still locked";
    EXPECT_EQ("shown", islandNote(w)) << "the word on the locks";
    w.click("GoldChest");
    ASSERT_TRUE(w.player.arrivedIn(SampleWalk::roomOf("TreasureChestCU")));
    w.entered.push_back(w.current());
    w.player.closeInstructions();
    EXPECT_TRUE(islandExitOpen(w, "GoldenRoom")) << "the golden chest's way back";
    EXPECT_FALSE(islandExitOpen(w, "Riverside"));
    SlideBlockPuzzle* board = chest->getBoard();
    ASSERT_NE(nullptr, board);
    EXPECT_EQ(islandLine("STR_CHEST_LOCK", 1), islandText(w, "Status"));
    for (int lock = 1; lock <= 3; ++lock) {
        ASSERT_TRUE(w.player.painted([board] { return !board->isBusy() && board->isInputEnabled(); }, 400))
            << "lock " << lock;
        EXPECT_EQ(SlideBlockPuzzle::FIRST_GOLD_PUZZLE + lock - 1, board->getCurrentPuzzle());
        solveSlideBlockBoard(w.player, board);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        if (lock < 3) {
            ASSERT_TRUE(w.player.painted([board] { return board->isBusy(); }, 100)) << "the next board comes";
            const std::string next = "Lock " + std::to_string(lock + 1) + " of 3: ";
            EXPECT_NE(std::string::npos, islandText(w, "Status").find(next)) << "the line names the next lock's board";
            const std::string name = "Lock" + std::to_string(lock);
            EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(w.room()->getSprite(name.c_str()))->getFrame()) << name;
        }
    }
    // The won chest stands a while with its three locks open and its line
    // saying so; then neither the exit's box nor any piece of the board is
    // drawn over the zoom, nor stays over the room.
    ASSERT_EQ(SampleWalk::roomOf("TreasureChestCU"), w.current()) << "the won chest stands";
    EXPECT_FALSE(w.run.canvas->isInTransition());
    EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(chest->getSprite("Lock3"))->getFrame());
    EXPECT_EQ(islandLine("STR_GOLD_CHEST_WON"),
              static_cast<sprite::NewFontSprite*>(chest->getSprite("Status"))->getText().c_str());
    int stood = 0;
    w.player.painted([&] { return w.run.canvas->isInTransition() || ++stood > 200; }, 400);
    EXPECT_LE(40, stood) << "frames the won chest stands on";
    EXPECT_TRUE(chest->getSprite("GoldenRoomExit")->isVisible())
        << "the zoom keeps the golden room's exit box over the chest picture's riverside box";
    int boardOverZoom = 0;
    w.player.painted(
        [&] {
            if (w.run.canvas->isInTransition() && board->isVisible())
                ++boardOverZoom;
            return w.current() == golden && !w.run.canvas->isInTransition();
        },
        400);
    EXPECT_EQ(0, boardOverZoom);
    ASSERT_TRUE(w.player.arrivedIn(golden, 400)) << "the open chest zooms back";
    w.entered.push_back(golden);
    EXPECT_FALSE(board->isVisible());
    EXPECT_TRUE(w.told("STR_GOLD_CHEST_OPENED"));
    EXPECT_EQ(3, static_cast<sprite::AnimateSprite*>(w.room()->getSprite("GoldChest"))->getFrame());
    EXPECT_EQ("hidden", islandNote(w)) << "the locks are open";
    w.expectTasks({65});
}

} // namespace

// The sound table's entry of the story's ending tune.
constexpr int kCh6EndingSound = 8;

void playChapter6ToTheTempleDoor(SampleWalk& w)
{
    const int dock = SampleWalk::roomOf("Dock");
    const int landing = SampleWalk::roomOf("IslandLanding");
    ASSERT_EQ(dock, w.current());
    ASSERT_EQ(6, w.chapter());
    for (const char* item : {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"})
        EXPECT_TRUE(w.has(item)) << item << " comes along into the last chapter";
    EXPECT_FALSE(w.room()->getSprite("Ferry")->isVisible());
    w.expectTasks({61});
    for (int target : {SampleWalk::roomOf("MarketPlace"), SampleWalk::roomOf("Riverside")})
        EXPECT_FALSE(exitTo(w.room(), target)->isEnabled()) << "the last chapter keeps to the island, " << target;

    // The fisherman's boat rows over to the island, where the temple gate
    // is shut.
    w.player.settle();
    w.click("IslandBoat");
    ASSERT_TRUE(w.player.arrivedIn(landing));
    w.entered.push_back(landing);
    EXPECT_TRUE(w.room()->getSprite("TempleGate")->isVisible());
    EXPECT_EQ("shown", islandNote(w)) << "the word on the gate";
    EXPECT_FALSE(islandExitOpen(w, "Temple1"));
    w.expectTasks({62});

    // The lure keeper's game opens the gate.
    w.walkTo({"Lures"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.player.closeInstructions();
    sortIslandLures(w);
    ASSERT_TRUE(w.player.arrivedIn(landing)) << "the keeper sends the player back";
    w.entered.push_back(landing);
    EXPECT_TRUE(w.told("STR_LURES_WON"));
    EXPECT_FALSE(w.room()->getSprite("TempleGate")->isVisible());
    EXPECT_EQ("hidden", islandNote(w)) << "the gate's word goes with the gate";
    w.expectTasks({63});

    // Through the first hall to the second, whose door north is locked.
    w.walkTo({"Temple1", "Temple2"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(islandExitOpen(w, "Temple3"));
    const sprite::SpriteBase* door = w.room()->getSprite("TempleDoor");
    EXPECT_TRUE(door && door->isVisible()) << "the door shows locked";
    w.walkTo({"TempleDoorPuzzle"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    openTempleDoor(w);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(islandExitOpen(w, "TempleDoorPuzzle")) << "the door stands open";
    w.expectTasks({7});
}

void playChapter6FromTheTempleDoor(SampleWalk& w)
{
    ASSERT_EQ(SampleWalk::roomOf("Temple2"), w.current());
    ASSERT_EQ(6, w.chapter());
    EXPECT_TRUE(islandExitOpen(w, "Temple3")) << "the temple door stands open";
    const sprite::SpriteBase* door = w.room()->getSprite("TempleDoor");
    EXPECT_TRUE(door && !door->isVisible());

    // The third hall, the amulet door, and the golden room behind it.
    w.walkTo({"Temple3", "AmuletDoor"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    setAmuletIntoSeal(w);
    w.expectTasks({64});
    w.walkTo({"GoldenRoom"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    // The chapter's start (which gave them) is not run again by a room.
    for (const char* part : {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"})
        EXPECT_FALSE(w.has(part)) << part << " stays in the seal";
    openGoldenChest(w);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    // The last lantern lit: the story's last slides, then the main menu,
    // with the story done and every chapter's slides to be seen again.
    const ProgressRecord* progress = w.run.canvas->getProgress();
    const std::vector<int> hints(progress->hint, progress->hint + progress->hintCount());
    EXPECT_EQ(std::vector<int>{65}, hints) << "the hints followed the island's errands";
    w.player.settle();
    w.click("LastLantern");
    ASSERT_EQ(LanternfieldCanvas::ROOM_VIGNETTE, w.current()) << "the story's last slides";
    EXPECT_TRUE(w.room()->getSprite("Slide60")->isVisible());
    EXPECT_FALSE(w.run.canvas->getInventory()->isVisible()) << "the slides show without the bar";
    EXPECT_EQ(6, w.chapter()) << "the chapter ends after its slides";
    window::AudioClip* ending = w.run.canvas->getSound(kCh6EndingSound);
    EXPECT_TRUE(ending->hasData() && ending->isPlaying()) << "the ending's tune (a module) plays";
    // The last slide says what Start in the menu does now.
    EXPECT_NE(std::string::npos, pictureWords("vignette/Slide61").find("from its first chapter"));
    w.pageThrough({"NextButton", "ContinueButton"});
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, w.run.canvas->getGameState());
    window::AudioClip* music = w.run.canvas->getMusicClip();
    EXPECT_STREQ("+musicMainScreen", music->getName().c_str());
    EXPECT_TRUE(music->isPlaying());
    EXPECT_EQ(1, w.chapter());
    EXPECT_EQ(6, w.run.canvas->getProgress()->maxChapter);
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(0, w.run.canvas->getVignetteSeen(n)) << n;
    w.expectClean();
}

} // namespace scenetest

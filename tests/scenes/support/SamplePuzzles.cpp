// SamplePuzzles.cpp: the sample game's puzzles solved by clicks and drags.
#include "tests/scenes/support/SamplePuzzles.h"

#include "game/balloons/TalkBalloon.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/rooms/Room.h"
#include "scenes/aircompressor/AirCompressor.h"
#include "scenes/bridge/Bridge.h"
#include "scenes/callbox/CallBox.h"
#include "scenes/common/ScriptValues.h"
#include "scenes/maze/Maze.h"
#include "scenes/fountain/FountainCU.h"
#include "scenes/pipes/PipesCU.h"
#include "scenes/slideblock/SlideBlockPuzzle.h"
#include "scenes/treasurechest/TreasureChestCU.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/images/ScalerSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <fstream>
#include <map>
#include <string>

namespace scenetest {
namespace {

// A block's place as row x kRowStride + column: the key's column may pass
// the board's right edge on its way out.
constexpr int kRowStride = 64;

} // namespace

std::vector<std::pair<int, int>> slideBlockSolution(const SlideBlockPuzzle& board)
{
    const BlockGrid& grid = board.getGrid();
    const std::vector<SlideBlockPuzzle::BlockInfo>& blocks = board.getBlocks();
    const int target = grid.rowOfCell(board.getTargetCell()) * kRowStride + grid.columnOfCell(board.getTargetCell());
    std::vector<int> start;
    int key = -1;
    for (size_t i = 0; i < blocks.size(); ++i) {
        start.push_back(grid.rowOfCell(blocks[i].cell) * kRowStride + grid.columnOfCell(blocks[i].cell));
        if (blocks[i].key)
            key = int(i);
    }
    if (key < 0)
        return {};
    // Whether block i may stand at `place` among the others of `places`.
    auto fits = [&](const std::vector<int>& places, size_t i, int place) {
        const int row = place / kRowStride;
        const int column = place % kRowStride;
        const bool horizontal = blocks[i].orientation == SlideBlockPuzzle::HORIZONTAL;
        for (int k = 0; k < blocks[i].length; ++k) {
            const int r = horizontal ? row : row + k;
            const int c = horizontal ? column + k : column;
            if (int(i) == key && c >= grid.columns && r == target / kRowStride && column <= target % kRowStride)
                continue; // past the exit
            if (!grid.containsCell(r, c))
                return false;
            for (size_t j = 0; j < blocks.size(); ++j) {
                if (j == i)
                    continue;
                const int jr = places[j] / kRowStride;
                const int jc = places[j] % kRowStride;
                const bool jh = blocks[j].orientation == SlideBlockPuzzle::HORIZONTAL;
                for (int m = 0; m < blocks[j].length; ++m) {
                    if ((jh ? jr : jr + m) == r && (jh ? jc + m : jc) == c)
                        return false;
                }
            }
        }
        return true;
    };
    // Each state seen, with the state and the move it was reached by.
    std::map<std::vector<int>, std::pair<std::vector<int>, std::pair<int, int>>> from;
    from[start] = {start, {-1, 0}};
    std::deque<std::vector<int>> todo{start};
    while (!todo.empty()) {
        const std::vector<int> places = todo.front();
        todo.pop_front();
        if (places[size_t(key)] == target) {
            std::vector<std::pair<int, int>> moves;
            for (std::vector<int> at = places; from[at].second.first >= 0; at = from[at].first)
                moves.insert(moves.begin(), from[at].second);
            return moves;
        }
        for (size_t i = 0; i < blocks.size(); ++i) {
            const int step = blocks[i].orientation == SlideBlockPuzzle::HORIZONTAL ? 1 : kRowStride;
            for (int direction : {-1, 1}) {
                for (int cells = 1;; ++cells) {
                    const int place = places[i] + direction * cells * step;
                    if (place < 0 || !fits(places, i, place))
                        break;
                    std::vector<int> next = places;
                    next[i] = place;
                    if (from.count(next))
                        continue;
                    from[next] = {places, {int(i), direction * cells}};
                    todo.push_back(next);
                }
            }
        }
    }
    return {};
}

void solveSlideBlockBoard(gametest::SamplePlayer& player, SlideBlockPuzzle* board)
{
    const std::vector<std::pair<int, int>> moves = slideBlockSolution(*board);
    ASSERT_FALSE(moves.empty()) << "board " << board->getCurrentPuzzle() << " has no way out";
    const int cellWidth = board->getGrid().cellWidth;
    const int cellHeight = board->getGrid().cellHeight;
    for (const auto& move : moves) {
        const SlideBlockPuzzle::BlockInfo& block = board->getBlocks()[size_t(move.first)];
        const bool horizontal = block.orientation == SlideBlockPuzzle::HORIZONTAL;
        const int expected = block.cell + (horizontal ? move.second : move.second * board->getGrid().columns);
        const bool last = &move == &moves.back();
        player.dragSprite(block.sprite, horizontal ? move.second * cellWidth : 0,
                          horizontal ? 0 : move.second * cellHeight);
        if (!last) {
            ASSERT_EQ(expected, board->getBlocks()[size_t(move.first)].cell)
                << "board " << board->getCurrentPuzzle() << ": block " << move.first << " by " << move.second;
        }
    }
}

void mendFountain(gametest::SamplePlayer& player, testsupport::GameWorld& world, LanternfieldCanvas* canvas,
                  FountainCU* fountain)
{
    ScriptHost* host = ScriptHost::instance;
    auto pipes = [canvas] { return static_cast<PipesCU*>(canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_PIPES)); };
    ASSERT_TRUE(pipes()->isInstanceOf("PipesCU"));
    player.clickSprite(fountain, "ValveClickRect");
    ASSERT_TRUE(player.painted([fountain] { return fountain->getSprite("ValveDoorOpen")->isVisible(); }));
    player.clickSprite(fountain, "ValveClickRect");
    ASSERT_TRUE(player.painted([fountain] { return fountain->isTwinkleOn(); }));
    player.clickSprite(fountain, "KeyInFountain");
    ASSERT_TRUE(fountain->isKeyHeld());
    player.clickSprite(fountain, "PipesClickRect");
    ASSERT_TRUE(host->getLuaBoolean("LF.fountainPipeDoorOpen"));
    player.clickSprite(fountain, "PipesClickRect");
    ASSERT_TRUE(player.painted([&pipes] { return pipes()->isVisible() && !pipes()->isTransitioning(); }));
    player.closeInstructions();
    // Each piece of the way turned to its solution by clicks.
    PipesCU* board = pipes();
    for (int cell = 0; cell < board->board().cellCount(); ++cell) {
        const PipesBoard::Cell& c = board->board().cells[size_t(cell)];
        if (board->board().isEnd(cell) || c.solutionAngle < 0)
            continue;
        // The last turn mends the pipes, which puts new pieces in: the
        // piece is looked up afresh each time.
        auto piece = [board, cell] { return board->pieceSprite(cell); };
        for (int turns = 0; turns < 4 && int(piece()->getRotation()) % 360 != c.solutionAngle; ++turns) {
            world.click(piece()->left() + board->left(), piece()->top() + PipesCU::HIT_TOP);
            ASSERT_TRUE(player.painted([piece] { return !piece()->isAnimating(); }));
        }
    }
    ASSERT_TRUE(board->getSolved());
    ASSERT_TRUE(player.painted([host] { return host->getLuaBoolean("LF.fountainPipesFixed"); }));
    ASSERT_TRUE(player.painted([fountain] { return fountain->getSprite("PipeDoorOpenFixed")->isVisible(); }));
    // Back in the fountain, the board gone, the player says the pipes are joined.
    ASSERT_TRUE(player.painted([&pipes] { return !pipes()->isVisible(); }));
    Character* self = canvas->getPlayerCharacter();
    EXPECT_TRUE(self->isVisible() && self->isTalking() && self->getTalkBalloon()->isVisible());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_PIPES_JOINED").c_str(),
                 self->isTalking() ? self->getTalkText()->getText().c_str() : "");
    player.clickSprite(fountain, "ValveClickRect");
    ASSERT_TRUE(host->getLuaBoolean("LF.fountainFixedWaterOn"));
}

void openChest(gametest::SamplePlayer& player, TreasureChestCU* chest)
{
    ScriptHost* host = ScriptHost::instance;
    SlideBlockPuzzle* board = chest->getBoard();
    ASSERT_NE(nullptr, board);
    player.closeInstructions();
    // Three boards a chapter; each solved one brings the next behind the doors.
    for (int n = 0; n < 3 && !host->getLuaBoolean("LF.chestOpened"); ++n) {
        ASSERT_TRUE(player.painted([board] { return !board->isBusy() && board->isInputEnabled(); }));
        solveSlideBlockBoard(player, board);
        if (::testing::Test::HasFatalFailure())
            return;
        player.painted([board, host] { return board->isBusy() || host->getLuaBoolean("LF.chestOpened"); }, 60);
    }
    ASSERT_TRUE(host->getLuaBoolean("LF.chestOpened"));
}

void walkHedgeMaze(gametest::SamplePlayer&, testsupport::GameWorld& world, Maze* maze)
{
    world.stepFrames(2);
    MazeGrid& g = maze->grid();
    // The way through, found over the open walls.
    std::vector<int> from(size_t(g.cellCount()), -1);
    std::deque<int> open = {g.startCell};
    from[size_t(g.startCell)] = g.startCell;
    while (!open.empty()) {
        const int c = open.front();
        open.pop_front();
        for (int d = 0; d < MazeGrid::DIRECTIONS; ++d) {
            const int r = g.cellRow(c) + MazeGrid::kRowStep[d], col = g.cellColumn(c) + MazeGrid::kColumnStep[d];
            if (r < 0 || r >= g.rows || col < 0 || col >= g.columns || g.hasWall(g.cellRow(c), g.cellColumn(c), MazeGrid::kWall[d]))
                continue;
            const int n = g.cellIndex(r, col);
            if (from[size_t(n)] < 0) {
                from[size_t(n)] = c;
                open.push_back(n);
            }
        }
    }
    std::vector<int> way = {g.endCell};
    while (way.back() != g.startCell)
        way.push_back(from[size_t(way.back())]);
    // The token dragged along the way, one pointer move per straight run
    // of cells however long; from the end cell it climbs out by itself.
    const int dx = maze->getTravelerX() - g.cellX(g.cellColumn(g.startCell));
    const int dy = maze->getTravelerY() - g.cellY(g.cellRow(g.startCell));
    world.mouseDown(maze->getTravelerX() + 4, maze->getTravelerY() + 4);
    ASSERT_TRUE(maze->isDragging());
    for (auto it = way.rbegin() + 1; it != way.rend(); ++it) {
        const auto next = it + 1;
        const bool turns = next == way.rend() ||
                           (g.cellRow(*next) - g.cellRow(*it) != g.cellRow(*it) - g.cellRow(*(it - 1))) ||
                           (g.cellColumn(*next) - g.cellColumn(*it) != g.cellColumn(*it) - g.cellColumn(*(it - 1)));
        if (!turns)
            continue;
        world.mouseMove(g.cellX(g.cellColumn(*it)) + dx + 4, g.cellY(g.cellRow(*it)) + dy + 4);
        world.stepFrames(1);
    }
    ASSERT_TRUE(maze->isClimbing() || maze->isSolved()) << "the drag led it into the end cell";
    world.mouseUp(maze->getTravelerX(), maze->getTravelerY());
    for (int climb = 0; climb < 60 && !maze->isSolved(); ++climb)
        world.stepFrames(1);
    ASSERT_TRUE(maze->isSolved());
}

void dialCallBox(gametest::SamplePlayer& player, testsupport::GameWorld& world, CallBox* box)
{
    for (int i = 0; i < 3 && !box->getSprite("ReceiverOffHook")->isVisible(); ++i)
        player.clickOn(box->getSprite("ReceiverOnHook"));
    ASSERT_TRUE(box->getSprite("ReceiverOffHook")->isVisible());
    for (int digit : {4, 7, 2, 1})
        player.clickOn(box->getSprite(("CallBox" + std::to_string(digit)).c_str()));
    ASSERT_EQ(4, box->getEnteredCount());
    player.clickOn(box->getSprite("CallBoxEnter"));
    world.stepFrames(1);
}

void mendAirCompressor(gametest::SamplePlayer& player, testsupport::GameWorld& world, AirCompressor* air)
{
    auto centreX = [](sprite::SpriteBase* s) { return s->left() + s->width() / 2; };
    auto centreY = [](sprite::SpriteBase* s) { return s->top() + s->height() / 2; };
    auto note = [air] {
        return std::string(static_cast<sprite::NewFontSprite*>(air->getSprite("StatusText"))->getText().c_str());
    };
    auto holderX = [](int holder) { return 180 + 70 * holder; };
    // The yellow fuse dragged into holder 1, the green and (wrongly) the
    // blue clicked into holders 2 and 3; TEST tells how many are right.
    sprite::SpriteBase* yellow = air->getSprite("Fuse_YellowOnGround");
    world.mouseDown(centreX(yellow), centreY(yellow));
    world.mouseMove(holderX(0), 220);
    world.mouseUp(holderX(0), 220);
    EXPECT_FALSE(yellow->isVisible());
    ASSERT_EQ(3, air->getPlacedFuse(0)) << "dragged into its holder";
    const char* clicked[] = {"Fuse_GreenOnGround", "Fuse_BlueOnGround"};
    for (int holder = 1; holder < 3; ++holder) {
        player.clickOn(air->getSprite(clicked[holder - 1]));
        world.click(holderX(holder), 220);
    }
    player.clickOn(air->getSprite("Button_Test"));
    EXPECT_NE(std::string::npos, note().find("2 of 3")) << note();
    // The purple swapped in for the blue, which goes back to the floor.
    player.clickOn(air->getSprite("Fuse_PurpleOnGround"));
    world.click(holderX(2), 220);
    world.click(60, 300);
    ASSERT_EQ(3, air->getNumCorrectFuses());
    player.clickOn(air->getSprite("Button_Test"));
    EXPECT_NE(std::string::npos, note().find("power")) << note();
    // START lights up: its overlay shows, with a picture to show.
    auto* start = static_cast<sprite::AnimateSprite*>(air->getSprite("Button_Start"));
    EXPECT_TRUE(start->isVisible());
    EXPECT_EQ(0, start->getFrame());
    // The right diodes: 3, 1, 4, 2 in sockets 1 to 4.
    const int diodes[] = {3, 1, 4, 2};
    for (int socket = 0; socket < 4; ++socket) {
        sprite::SpriteBase* diode = air->getSprite(("Diode" + std::to_string(diodes[socket])).c_str());
        sprite::SpriteBase* target = air->getSprite(("DiodeRect" + std::to_string(socket + 1)).c_str());
        world.mouseDown(centreX(diode), centreY(diode));
        world.mouseMove(centreX(target), centreY(target));
        world.mouseUp(centreX(target), centreY(target));
    }
    ASSERT_EQ(4, air->getWiringStatus());
    player.clickOn(air->getSprite("Button_Start"));
    EXPECT_NE(std::string::npos, note().find("runs")) << note();
}

std::string pictureWords(const std::string& picture)
{
#ifdef HV_SOURCE_DIR
    std::ifstream in(std::string(HV_SOURCE_DIR) + "/data/pictures/" + picture + ".txt");
    std::string words;
    for (std::string line; std::getline(in, line);) {
        const size_t quote = line.find('"');
        if (line.rfind("text ", 0) == 0 && quote != std::string::npos)
            words += line.substr(quote) + " ";
    }
    for (char& c : words)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return words;
#else
    (void)picture;
    return "";
#endif
}

void raiseBridge(gametest::SamplePlayer& player, testsupport::GameWorld&, Bridge* bridge)
{
    // Four rounds raise it. A round's preview may have begun before the
    // player looked: its stones are guessed at, and after the wrong answer
    // a click on the stones brings a new round, shown whole; so a few more
    // rounds are allowed.
    ScriptHost* host = ScriptHost::instance;
    auto stone = [bridge](int k) {
        return static_cast<sprite::AnimateSprite*>(bridge->getSprite(("bChoice" + std::to_string(k)).c_str()));
    };
    for (int round = 0; round < 12 && !host->getLuaBoolean("LF.bridgeSolved"); ++round) {
        // The stones light up when their panel is clicked: the first time,
        // and after a wrong stone.
        const int state = bridge->getGameState();
        if ((round == 0 && state != Bridge::STATE_PLAYER_TURN) || state == Bridge::STATE_WRONG)
            player.clickOn(bridge->getSprite("StonesPanel"));
        std::vector<sprite::SpriteBase*> sequence;
        sprite::SpriteBase* lit = nullptr;
        ASSERT_TRUE(player.painted([&] {
            sprite::SpriteBase* now = nullptr;
            for (int k = 1; k <= 4; ++k) {
                if (stone(k)->getFrame() == 0)
                    now = stone(k);
            }
            if (now && now != lit)
                sequence.push_back(now);
            lit = now;
            return bridge->getGameState() == Bridge::STATE_PLAYER_TURN;
        }, 1000));
        // A lamp is lit for each round remembered so far.
        int lamps = 0;
        for (int k = 1; k <= 4; ++k) {
            auto* lamp = static_cast<sprite::AnimateSprite*>(bridge->getSprite(("RoundLamp_" + std::to_string(k)).c_str()));
            lamps += lamp && lamp->getFrame() == 1 ? 1 : 0;
        }
        EXPECT_EQ(ScriptValues::getInt("LF_getBridgeCurrentMatch"), lamps);
        // The stones clicked in the order they lit (then any stone, on a
        // preview seen only in part) until the round is over: a right stone
        // answers at once, a wrong one leaves the turn open until the round
        // starts again.
        for (size_t i = 0; bridge->getGameState() == Bridge::STATE_PLAYER_TURN; ++i) {
            player.clickOn(i < sequence.size() ? sequence[i] : stone(1));
            if (bridge->getGameState() == Bridge::STATE_PLAYER_TURN) {
                ASSERT_TRUE(player.painted([&] { return bridge->getGameState() != Bridge::STATE_PLAYER_TURN; }));
                break;
            }
            ASSERT_TRUE(player.painted([&] { return bridge->getGameState() != Bridge::STATE_CORRECT; }));
        }
    }
    ASSERT_TRUE(host->getLuaBoolean("LF.bridgeSolved"));
}

} // namespace scenetest

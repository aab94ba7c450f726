// SampleChapter5.cpp: the sample story's fifth chapter played as a player
// plays it: three games of noughts and crosses won for the mansion door's
// code, the code typed on the keypad, the view finder turned to the bearing
// on the card from the hallway, the study's safe opened by sliding its
// pieces, the dive shop's wires joined, and the wind race sailed to its
// flag; the race's boat at the jetty ends the chapter. Each puzzle is read
// from the running game and solved by clicks and drags.
#include "tests/scenes/support/SampleChapter5.h"

#include "core/util/TVector.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "scenes/circuit/CircuitBoard.h"
#include "scenes/safecrack/SafeCrack.h"
#include "scenes/tictac/TicTac.h"
#include "scenes/windrace/WindRace.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/buttons/ButtonSprite.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleChapters.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <algorithm>
#include <array>
#include <map>
#include <queue>
#include <string>
#include <vector>

namespace scenetest {
namespace {

// The room of that name (the walk's rooms are named as in the rooms table).
int ch5Room(const char* name)
{
    return SampleWalk::roomOf(name);
}

// The room's exit to the named room is there and open.
bool ch5ExitOpen(Room* room, const char* target)
{
    const int index = ch5Room(target);
    for (int i = 0; i < room->getDoorCount(); ++i) {
        DoorSprite* door = room->getDoor(i);
        if (door && door->getTargetRoom() == index)
            return door->isEnabled();
    }
    return false;
}

// The digits of an item's tool tip, as the player reads them when the
// pointer rests on the item in the bar.
std::string ch5TipDigits(const char* item)
{
    lua_State* L = ScriptHost::instance->getState();
    const int top = lua_gettop(L);
    const std::string code = std::string("for i, n in pairs(LF_ITEMS) do if n == '") + item +
                             "' then return hv.getResourceString(LF_getInventoryItemToolTipID(i)) end end";
    std::string tip;
    if (luaL_dostring(L, code.c_str()) == 0 && lua_isstring(L, -1))
        tip = lua_tostring(L, -1);
    lua_settop(L, top);
    std::string digits;
    for (char c : tip) {
        if (c >= '0' && c <= '9')
            digits += c;
    }
    return digits;
}

// --- Noughts and crosses -------------------------------------------------

// The points the mark scores by playing the cell of the board.
int ch5TicTacGain(TicTacBoard board, int cell, int mark)
{
    util::TVector<int> scored(10);
    board.set(cell, mark);
    return board.scoreLines(mark, cell, scored);
}

// The empty cell of the highest value(after, cell, gain), where `after` is
// the board once the player has played the cell for `gain` points; -1 on a
// full board.
template <class Value>
int ch5BestTicTacCell(const TicTacBoard& board, Value value)
{
    int best = -1;
    int bestValue = 0;
    for (int cell = 0; cell < TicTacBoard::CELLS; ++cell) {
        if (board.at(cell) != TicTacBoard::EMPTY)
            continue;
        TicTacBoard after = board;
        const int gain = ch5TicTacGain(after, cell, TicTacBoard::PLAYER);
        after.set(cell, TicTacBoard::PLAYER);
        const int v = value(after, cell, gain);
        if (best < 0 || v > bestValue) {
            best = cell;
            bestValue = v;
        }
    }
    return best;
}

// A quick cell for the player: the most points now less the most the
// computer can score in reply, ties broken toward the cell worth most to
// either side by the board's own reckoning of runs in the making.
int ch5TicTacQuickMove(const TicTacBoard& board)
{
    return ch5BestTicTacCell(board, [&board](const TicTacBoard& after, int cell, int gain) {
        int reply = 0;
        for (int other = 0; other < TicTacBoard::CELLS; ++other) {
            if (after.at(other) == TicTacBoard::EMPTY)
                reply = std::max(reply, ch5TicTacGain(after, other, TicTacBoard::COMPUTER));
        }
        const int x = cell % TicTacBoard::SIZE, y = cell / TicTacBoard::SIZE;
        // Points weigh far more than the runs in the making.
        return 100 * (gain - reply) + board.evaluateCell(x, y, TicTacBoard::PLAYER) +
               board.evaluateCell(x, y, TicTacBoard::COMPUTER);
    });
}

// The player's points less the computer's over the rest of the game from
// the board, the player playing quick cells and the computer foreseen by
// its own rule of choice at its slack (its ties drawn down the middle).
int ch5TicTacPlayOut(TicTacBoard board, int slack, bool playerMoves)
{
    int lead = 0;
    while (!board.isFull()) {
        int cell = -1;
        if (playerMoves) {
            cell = ch5TicTacQuickMove(board);
        } else {
            int row = -1, column = -1;
            board.chooseMove(slack, [] { return 0.5; }, row, column);
            cell = row * TicTacBoard::SIZE + column;
        }
        if (cell < 0)
            break;
        const int mark = playerMoves ? TicTacBoard::PLAYER : TicTacBoard::COMPUTER;
        lead += (playerMoves ? 1 : -1) * ch5TicTacGain(board, cell, mark);
        board.set(cell, mark);
        playerMoves = !playerMoves;
    }
    return lead;
}

// The player's cell: the one whose game, played out, ends with the best
// lead. (Quick cells alone lose most games to the computer at its
// strongest; played out against its foreseen moves, they hardly ever do.)
int ch5TicTacMove(const TicTacBoard& board, int slack)
{
    return ch5BestTicTacCell(board, [slack](const TicTacBoard& after, int, int gain) {
        return gain + ch5TicTacPlayOut(after, slack, false);
    });
}

// Plays games until the third is won (the computer grows stronger with
// every won game; a lost or tied one is dealt again); an ended game's board
// stays until a click on it brings the next.
void ch5WinTicTac(SampleWalk& w, TicTac* game)
{
    // Three games of a dozen moves each, their animations and the deals
    // between them take about 3000 frames; a lost game or two more at most.
    constexpr int kMaxFrames = 12000;
    for (int frame = 0; frame < kMaxFrames && !w.story("LF.ticTacSolved"); ++frame) {
        if (game->getState() == TicTac::STATE_PLAYER_TURN) {
            const int cell = ch5TicTacMove(game->board(), game->slack());
            ASSERT_GE(cell, 0);
            // The cells are 80 pixels square from (200, 110).
            w.run.world.click(240 + 80 * (cell % TicTacBoard::SIZE), 150 + 80 * (cell / TicTacBoard::SIZE));
            ASSERT_EQ(TicTacBoard::PLAYER, game->board().at(cell));
        } else if (game->getState() >= TicTac::STATE_PLAYER_WON && !w.story("LF.ticTacSolved")) {
            w.run.world.click(400, 300);
        }
        w.run.world.stepFrames(1);
    }
    ASSERT_TRUE(w.story("LF.ticTacSolved")) << "games won: " << game->getRound();
    EXPECT_EQ(TicTac::GAMES_TO_SOLVE, game->getRound());
}

// --- The hallway, keypad and view finder --------------------------------

// The hallway's ghost speaks on entering: its balloon stands beside the
// figure it comes from.
void ch5ExpectVoiceHasFigure(SampleWalk& w)
{
    Character* ghost = w.run.canvas->findCharacter("Ghost");
    ASSERT_NE(nullptr, ghost);
    ASSERT_TRUE(w.player.painted([ghost] { return ghost->isTalking(); }, 100)) << "the voice greets the player";
    sprite::SpriteBase* figure = w.room()->getSprite("GhostFigure");
    ASSERT_NE(nullptr, figure);
    EXPECT_TRUE(figure->isVisible());
    const util::RectangleNM balloon = *w.run.canvas->getSprite("TalkBalloon")->getBounds();
    const util::RectangleNM body = *figure->getBounds();
    EXPECT_LE(body.x - (balloon.x + balloon.width), 16) << "the balloon ends beside the figure";
    EXPECT_GE(body.x + body.width, balloon.x + balloon.width);
    EXPECT_TRUE(balloon.y < body.y + body.height && body.y < balloon.y + balloon.height)
        << "at the figure's height";
}

// Types the digits on the mansion's keypad and presses its enter key.
void ch5TypeOnKeypad(SampleWalk& w, const std::string& digits)
{
    w.click("ClearButton");
    for (char c : digits)
        w.click(("Button_" + std::string(1, c)).c_str());
    auto* display = static_cast<sprite::NewFontSprite*>(w.room()->getSprite("Display"));
    EXPECT_EQ(digits, display->getText().c_str()) << "the display shows what was typed";
    w.click("EnterButton");
}

// Turns the view finder's four dials to the bearing, reading each dial's
// digit as it turns, and looks.
void ch5SetBearing(SampleWalk& w, const std::string& bearing)
{
    ASSERT_EQ(4u, bearing.size());
    for (int i = 0; i < 4; ++i) {
        const std::string dial = std::to_string(i);
        auto* digit = static_cast<sprite::NewFontSprite*>(w.room()->getSprite(("Number" + dial).c_str()));
        ASSERT_NE(nullptr, digit);
        const int want = bearing[size_t(i)] - '0';
        const int now = digit->getText().c_str()[0] - '0';
        // The shorter way round the dial.
        const int up = (want - now + 10) % 10;
        const std::string arrow = "number" + dial + (up <= 5 ? "_ArrowUp" : "_ArrowDown");
        for (int k = 0; k < (up <= 5 ? up : 10 - up); ++k)
            w.click(arrow.c_str());
        ASSERT_EQ(std::string(1, bearing[size_t(i)]), digit->getText().c_str()) << "dial " << i;
    }
    w.click("LookBtn");
}

// --- The safe ------------------------------------------------------------

// The safe's pieces by cell: 0 a free cell of the track, 1 or 2 a piece's
// kind; cells off the track are never used.
using Ch5SafeBoard = std::array<char, SafeCrack::COLUMNS * SafeCrack::ROWS>;

struct Ch5SafeStep {
    int from;
    int to;
};

// The cell one step from `cell` in the exit's direction, or -1.
int ch5SafeNeighbour(int cell, int exit)
{
    const int row = cell / SafeCrack::COLUMNS, column = cell % SafeCrack::COLUMNS;
    switch (exit) {
    case SafeCrack::EXIT_UP:
        return row > 0 ? cell - SafeCrack::COLUMNS : -1;
    case SafeCrack::EXIT_DOWN:
        return row < SafeCrack::ROWS - 1 ? cell + SafeCrack::COLUMNS : -1;
    case SafeCrack::EXIT_LEFT:
        return column > 0 ? cell - 1 : -1;
    default:
        return column < SafeCrack::COLUMNS - 1 ? cell + 1 : -1;
    }
}

bool ch5SafeOpen(const Ch5SafeBoard& board)
{
    for (int cell = 0; cell < int(board.size()); ++cell) {
        const int column = cell % SafeCrack::COLUMNS;
        if (board[size_t(cell)] == 1 && column != SafeCrack::COLUMNS - 1)
            return false;
        if (board[size_t(cell)] == 2 && column != 0)
            return false;
    }
    return true;
}

// The one-cell slides that swap the two kinds of pieces, found
// breadth-first over the track's states (so as short as any); empty when
// none do.
std::vector<Ch5SafeStep> ch5SafeSolution(const Ch5SafeBoard& start)
{
    std::map<Ch5SafeBoard, std::pair<Ch5SafeBoard, Ch5SafeStep>> cameFrom;
    std::queue<Ch5SafeBoard> open;
    cameFrom[start] = {start, {-1, -1}};
    open.push(start);
    while (!open.empty()) {
        const Ch5SafeBoard board = open.front();
        open.pop();
        if (ch5SafeOpen(board)) {
            std::vector<Ch5SafeStep> steps;
            for (Ch5SafeBoard at = board; at != start; at = cameFrom[at].first)
                steps.push_back(cameFrom[at].second);
            std::reverse(steps.begin(), steps.end());
            return steps;
        }
        for (int cell = 0; cell < int(board.size()); ++cell) {
            if (board[size_t(cell)] == 0)
                continue;
            for (int exit : {SafeCrack::EXIT_UP, SafeCrack::EXIT_DOWN, SafeCrack::EXIT_LEFT, SafeCrack::EXIT_RIGHT}) {
                const int to = (SafeCrack::exits(cell) & exit) ? ch5SafeNeighbour(cell, exit) : -1;
                if (to < 0 || SafeCrack::exits(to) == 0 || board[size_t(to)] != 0)
                    continue;
                Ch5SafeBoard next = board;
                std::swap(next[size_t(cell)], next[size_t(to)]);
                if (cameFrom.emplace(next, std::make_pair(board, Ch5SafeStep{cell, to})).second)
                    open.push(next);
            }
        }
    }
    return {};
}

// Reads the pieces from the open lock and slides them, one cell a drag,
// until the lock opens.
void ch5OpenSafe(SampleWalk& w, SafeCrack* safe)
{
    // The pieces the lock's definition gives (its rows left out stay empty).
    Ch5SafeBoard board{};
    for (const SafeCrack::Piece& piece : safe->getPieces()) {
        if (piece.sprite)
            board[size_t(piece.cell)] = char(piece.type);
    }
    const std::vector<Ch5SafeStep> steps = ch5SafeSolution(board);
    ASSERT_FALSE(steps.empty()) << "the pieces cannot change sides";
    for (const Ch5SafeStep& step : steps) {
        const SafeCrack::Piece* moved = nullptr;
        for (const SafeCrack::Piece& piece : safe->getPieces()) {
            if (piece.sprite && piece.cell == step.from)
                moved = &piece;
        }
        ASSERT_NE(nullptr, moved) << "no piece on cell " << step.from;
        const int dx = (step.to % SafeCrack::COLUMNS - step.from % SafeCrack::COLUMNS) * SafeCrack::PITCH;
        const int dy = (step.to / SafeCrack::COLUMNS - step.from / SafeCrack::COLUMNS) * SafeCrack::PITCH;
        w.player.dragSprite(moved->sprite, dx, dy, safe->left(), safe->top());
        ASSERT_EQ(step.to, moved->cell) << "the piece from cell " << step.from;
    }
    EXPECT_TRUE(safe->isWon());
    EXPECT_LE(steps.size(), 30u) << "a lock a player opens in a few dozen slides at most";
}

// --- The circuit board -----------------------------------------------------

// The cells of a way from the wire's first pole to its second along the
// open channels, missing the cells in `used`, found breadth-first; empty
// when there is none.
std::vector<int> ch5WireWay(const CircuitRouter& router, int wire, const std::vector<bool>& used)
{
    const int from = router.wire(wire).poleA, to = router.wire(wire).poleB;
    std::vector<int> came(CircuitRouter::CELLS, -2);
    std::queue<int> open;
    came[size_t(from)] = -1;
    open.push(from);
    while (!open.empty() && came[size_t(to)] == -2) {
        const int cell = open.front();
        open.pop();
        for (int d : {CircuitRouter::UP, CircuitRouter::DOWN, CircuitRouter::RIGHT, CircuitRouter::LEFT}) {
            const int next = CircuitRouter::neighbour(cell, d);
            if (next < 0 || came[size_t(next)] != -2 || used[size_t(next)])
                continue;
            if (next != to && router.gridAt(next) != CircuitRouter::OPEN)
                continue;
            came[size_t(next)] = cell;
            open.push(next);
        }
    }
    std::vector<int> way;
    if (came[size_t(to)] == -2)
        return way;
    for (int cell = to; cell != -1; cell = came[size_t(cell)])
        way.push_back(cell);
    std::reverse(way.begin(), way.end());
    return way;
}

// The ways of the wires still to lay, each missing the others' cells and
// poles: the wires tried in each order until every one finds a way.
std::vector<std::vector<int>> ch5WireWays(const CircuitRouter& router)
{
    std::vector<int> wires;
    for (int i = 0; i < CircuitRouter::WIRES; ++i) {
        if (i != CircuitRouter::FIXED_WIRE)
            wires.push_back(i);
    }
    do {
        std::vector<bool> used(CircuitRouter::CELLS, false);
        for (const CircuitRouter::Tile& tile : router.wire(CircuitRouter::FIXED_WIRE).tiles)
            used[size_t(tile.cell)] = true;
        for (int i = 0; i < CircuitRouter::WIRES; ++i)
            used[size_t(router.wire(i).poleA)] = used[size_t(router.wire(i).poleB)] = true;
        std::vector<std::vector<int>> ways(CircuitRouter::WIRES);
        bool all = true;
        for (int wire : wires) {
            used[size_t(router.wire(wire).poleA)] = used[size_t(router.wire(wire).poleB)] = false;
            ways[size_t(wire)] = ch5WireWay(router, wire, used);
            if (ways[size_t(wire)].empty()) {
                all = false;
                break;
            }
            for (int cell : ways[size_t(wire)])
                used[size_t(cell)] = true;
        }
        if (all)
            return ways;
    } while (std::next_permutation(wires.begin(), wires.end()));
    return {};
}

// Opens the board from its panel and draws every wire along its way.
void ch5JoinWires(SampleWalk& w, CircuitBoard* board)
{
    w.click("CircuitPanel");
    w.player.closeInstructions();
    ASSERT_TRUE(w.player.painted([board] { return board->isReady() && !board->isTransitioning(); }));
    const std::vector<std::vector<int>> ways = ch5WireWays(board->router());
    ASSERT_FALSE(ways.empty()) << "the wires find no ways";
    auto x = [board](int cell) { return board->left() + CircuitRouter::cellToPixelX(cell); };
    auto y = [board](int cell) { return board->top() + CircuitRouter::cellToPixelY(cell); };
    for (const std::vector<int>& way : ways) {
        if (way.empty())
            continue;
        w.run.world.mouseDown(x(way.front()), y(way.front()));
        for (size_t i = 1; i < way.size(); ++i)
            w.run.world.mouseMove(x(way[i]), y(way[i]));
        w.run.world.mouseUp(x(way.back()), y(way.back()));
    }
    EXPECT_TRUE(board->router().allWiresComplete());
}

// --- The wind race ---------------------------------------------------------

// Where the boat ends from the start with the buoys turned as `directions`:
// true at the finish, false off the grid or round in a circle.
bool ch5RaceWon(const WindRace* race, const std::vector<int>& directions)
{
    std::vector<bool> seen(WindRace::BUOYS, false);
    for (int at = race->getStartBuoy(); at >= 0 && !seen[size_t(at)];) {
        if (at == race->getFinishBuoy())
            return true;
        seen[size_t(at)] = true;
        int frames = 0;
        at = WindRace::neighbour(at, directions[size_t(at)], frames);
    }
    return false;
}

// The clicks on each turnable buoy that bring the boat to the flag: every
// way the green windsocks can point is tried.
std::map<int, int> ch5RaceClicks(const WindRace* race)
{
    std::vector<int> turnable;
    std::vector<int> directions(WindRace::BUOYS);
    for (int i = 0; i < WindRace::BUOYS; ++i) {
        directions[size_t(i)] = race->buoy(i).direction;
        if (race->buoy(i).kind != 0)
            turnable.push_back(i);
    }
    // Each turnable buoy's clicks counted 0 to 3 like the digits of a number.
    int combinations = 1;
    for (size_t k = 0; k < turnable.size(); ++k)
        combinations *= 4;
    for (int n = 0; n < combinations; ++n) {
        std::vector<int> turned = directions;
        std::map<int, int> clicks;
        int rest = n;
        for (int buoy : turnable) {
            clicks[buoy] = rest % 4;
            rest /= 4;
            for (int c = 0; c < clicks[buoy]; ++c)
                turned[size_t(buoy)] = WindRace::nextDirection(buoy, turned[size_t(buoy)]);
        }
        if (ch5RaceWon(race, turned))
            return clicks;
    }
    return {};
}

// Turns the green windsocks once they take clicks and waits for the boat to
// reach the flag, after which the script takes the winner to the jetty.
void ch5SailRace(SampleWalk& w, WindRace* race)
{
    ASSERT_TRUE(race->hasGrid());
    const std::map<int, int> clicks = ch5RaceClicks(race);
    ASSERT_FALSE(clicks.empty()) << "no way to the flag";
    const int first = clicks.begin()->first;
    ASSERT_TRUE(w.player.painted(
        [race, first] { return sprite::ButtonMixin::fromSprite(race->buoy(first).turnSprite)->isEnabled(); }));
    for (const auto& buoy : clicks) {
        for (int c = 0; c < buoy.second; ++c)
            w.run.world.click(WindRace::centreX(buoy.first), WindRace::centreY(buoy.first));
    }
    // The launch, a dozen legs and the win take about 900 frames; the race
    // says it is won while its boat sails off the top, then leaves.
    ASSERT_TRUE(w.player.painted([&w] { return w.story("LF.windRaceWon"); }, 2000)) << "the race is not won";
    auto* news = static_cast<sprite::NewFontSprite*>(race->getSprite("RaceNews"));
    EXPECT_TRUE(w.current() == ch5Room("WindRace") && news && news->isVisible() &&
                news->getText().equals(lang::String::loadText("STR_RACE_WON_HERE")))
        << "the race screen says nothing of the win";
    ASSERT_TRUE(w.player.arrivedIn(ch5Room("BehindDiveDock"), 200));
    // The jetty's word of the win stands whole in the window from the first.
    sprite::SpriteBase* tip = w.run.canvas->getSprite("RoomItemsBalloon");
    int frames = 0, rightmost = 0;
    w.player.painted([&frames, &rightmost, tip] {
        rightmost = std::max(rightmost, tip->getBounds()->x + tip->getBounds()->width);
        return ++frames == 12;
    });
    EXPECT_TRUE(tip->isVisible() && tip->getBounds()->x >= 0 && rightmost <= 800) << "cut at " << rightmost;
    w.player.settle();
}

} // namespace

void playChapter5UpToTheMansionDoor(SampleWalk& w)
{
    ASSERT_EQ(ch5Room("TavernGallery_Night"), w.current());
    EXPECT_EQ(5, w.chapter());
    w.expectTasks({51});

    // The tavern: its treasure, and the card shark's board game.
    w.walkTo({"TavernInterior_Night"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_RiddleCoaster");
    EXPECT_TRUE(w.has("RiddleCoaster"));
    w.walkTo({"TicTac"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.player.closeInstructions();
    ch5WinTicTac(w, static_cast<TicTac*>(w.room()));
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(w.has("MansionGateCode")) << "the card shark pays with the door's code";
    auto* note = static_cast<sprite::AnimateSprite*>(w.run.canvas->getInventory()->getSprite("MansionGateCode"));
    EXPECT_EQ(1, note->getFrame()) << "the note, not the gallery owner's card";
    w.expectTasks({52});
    // The board says it is won, and its Leave button leads back to the tavern.
    auto* message = static_cast<sprite::NewFontSprite*>(w.room()->getSprite("Message"));
    ASSERT_NE(nullptr, message);
    EXPECT_STREQ(lang::String::loadText("STR_TICTAC_SOLVED").c_str(), message->getText().c_str());
    w.click("CloseButton");
    ASSERT_TRUE(w.player.arrivedIn(ch5Room("TavernInterior_Night"))) << "the Leave button works";
    w.entered.push_back(w.current());
    w.player.settle();

    // The mansion's door is shut until its code is typed on the keypad.
    w.walkTo({"TavernGallery_Night", "MansionGate_Night", "MansionFront_Night"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(ch5ExitOpen(w.room(), "MansionHallway"));
    EXPECT_FALSE(w.room()->getSprite("KeypadLightOpen")->isVisible()) << "the keypad's light shows red";
    w.walkTo({"MansionKeypad"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    const std::string code = ch5TipDigits("MansionGateCode");
    ASSERT_EQ(4u, code.size()) << "the note's tip shows the code";
    std::string wrong = code;
    wrong[0] = wrong[0] == '9' ? '1' : char(wrong[0] + 1);
    ch5TypeOnKeypad(w, wrong);
    EXPECT_FALSE(w.story("LF.mansionDoorOpen")) << "a wrong code opens nothing";
    EXPECT_STREQ("WRONG", static_cast<sprite::NewFontSprite*>(w.room()->getSprite("Display"))->getText().c_str());
    ch5TypeOnKeypad(w, code);
    EXPECT_TRUE(w.story("LF.mansionDoorOpen"));
    w.expectTasks({53});
    w.walkTo({"MansionFront_Night"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(ch5ExitOpen(w.room(), "MansionHallway"));
    EXPECT_TRUE(w.room()->getSprite("KeypadLightOpen")->isVisible()) << "the keypad's light shows green";
}

void playChapter5FromTheMansionDoor(SampleWalk& w)
{
    ASSERT_EQ(ch5Room("MansionFront_Night"), w.current());

    // The hallway: the card with the view finder's bearing (a clue, not a
    // treasure found); the study stays locked until its key is taken from
    // the clock where the view finder shows it.
    w.walkTo({"MansionHallway"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ch5ExpectVoiceHasFigure(w);
    w.click("Item_ViewFinderSolution");
    ASSERT_TRUE(w.has("ViewFinderSolution"));
    EXPECT_FALSE(w.story("LF_itemFound('ViewFinderSolution')")) << "the bearing's card is no treasure";
    EXPECT_FALSE(w.run.canvas->isSpriteVisible("RoomItemsBalloon")) << "no treasures counted";
    EXPECT_FALSE(ch5ExitOpen(w.room(), "MansionStudy"));
    w.walkTo({"ViewFinder"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ch5SetBearing(w, ch5TipDigits("ViewFinderSolution"));
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(w.story("LF.viewFinderSolved"));
    w.expectTasks({54});
    EXPECT_TRUE(w.room()->getSprite("View")->isVisible());
    // A dial turned after the look clears what the look showed.
    w.click("number0_ArrowUp");
    EXPECT_FALSE(w.room()->getSprite("View")->isVisible()) << "the view of the old bearing stays";
    w.click("number0_ArrowDown");
    w.player.settle();

    // The key from the hallway's clock opens the study, whose safe holds the
    // note on the dive shop's key.
    w.walkTo({"MansionHallway"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(ch5ExitOpen(w.room(), "MansionStudy")) << "its key still hangs in the clock";
    w.click("HallwayClock");
    EXPECT_TRUE(ch5ExitOpen(w.room(), "MansionStudy"));
    w.expectTasks({58});
    w.player.settle();
    w.walkTo({"MansionStudy"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    auto* safe = static_cast<SafeCrack*>(w.run.canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_SAFE_CRACK));
    ASSERT_NE(nullptr, safe);
    w.click("Safe");
    w.player.closeInstructions();
    ASSERT_TRUE(w.player.painted([safe] { return safe->isVisible() && safe->isInputEnabled(); }));
    ch5OpenSafe(w, safe);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(w.player.painted([safe] { return !safe->isVisible(); }, 600)) << "the open safe closes";
    EXPECT_TRUE(w.story("LF.safeOpened"));
    w.expectTasks({55});
    EXPECT_EQ(1, static_cast<sprite::AnimateSprite*>(w.room()->getSprite("Safe"))->getFrame());
    w.player.settle();

    // Down to the dock: the dive shop opens with the key, and its circuit
    // board lights the jetty behind.
    w.walkTo({"MansionHallway", "MansionFront_Night", "MansionGate_Night", "TavernGallery_Night", "DiveDock_Night"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(ch5ExitOpen(w.room(), "BehindDiveDock")) << "the jetty is dark";
    w.walkTo({"DiveDockInterior"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    auto* board = static_cast<CircuitBoard*>(w.run.canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_CIRCUIT_BOARD));
    ch5JoinWires(w, board);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ASSERT_TRUE(w.player.painted([board] { return !board->isVisible(); }));
    EXPECT_TRUE(w.story("LF.circuitBoardSolved"));
    EXPECT_TRUE(w.run.canvas->getPlayerCharacter()->isTalking()) << "the player says the jetty is lit";
    w.expectTasks({56});
    w.player.settle();

    // The jetty's treasure, and the wind race from it.
    w.walkTo({"DiveDock_Night", "BehindDiveDock"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_AirTank");
    EXPECT_TRUE(w.has("AirTank"));
    EXPECT_FALSE(w.room()->getSprite("RaceBoat")->isVisible()) << "the race is not sailed yet";
    w.walkTo({"WindRace"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(ch5ExitOpen(w.room(), "IslandLanding")) << "the island waits for the next chapter";
    w.player.closeInstructions();
    ch5SailRace(w, static_cast<WindRace*>(w.room()));
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(w.story("LF.windRaceWon"));
    EXPECT_TRUE(w.told("STR_RACE_WON")) << "the jetty tells the race won";
    w.expectTasks({57});

    w.endChapterOn("RaceBoat", ch5Room("Dock"));
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.expectClean();
}

} // namespace scenetest

// SampleChapter4.cpp: the sample story's fourth chapter played as a player
// plays it: the outer sanctum's codes broken from the marks each row earns,
// the machete and the pegs found, the vines cut, the village's three peg
// boards given their pegs and won by jumps worked out from the pegs on the
// board, and the canoe that ends the chapter.
#include "tests/scenes/support/SampleChapter4.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "scenes/pegs/PegsCU.h"
#include "scenes/sanctum/OuterSanctum.h"
#include "sprites/buttons/ButtonMixin.h"
#include "sprites/images/AnimateSprite.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleChapters.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace scenetest {
namespace {

// A row of the outer sanctum: the kind (0 to 7) in each of its four places.
using Ch4Code = std::array<int, 4>;

// The marks of a row, place 0 lowest, in base 3: all four right.
constexpr int kCh4AllRight = 1 + 3 + 9 + 27;
// The codes of four different kinds out of eight.
constexpr size_t kCh4CodeCount = 8 * 7 * 6 * 5;

// The Lua expression over the story's state is true.
bool ch4Story(const std::string& expression)
{
    lua_State* L = ScriptHost::instance->getState();
    const int top = lua_gettop(L);
    const bool value = luaL_loadstring(L, ("return " + expression).c_str()) == 0 && lua_pcall(L, 0, 1, 0) == 0 &&
                       lua_toboolean(L, -1) != 0;
    lua_settop(L, top);
    return value;
}

// The room's exit to the room of that name, or null.
DoorSprite* ch4DoorTo(Room* room, const char* target)
{
    for (int i = 0; i < room->getDoorCount(); ++i) {
        DoorSprite* door = room->getDoor(i);
        if (door && door->getTargetRoom() == SampleWalk::roomOf(target))
            return door;
    }
    return nullptr;
}

bool ch4WayOpen(Room* room, const char* target)
{
    DoorSprite* door = ch4DoorTo(room, target);
    return door && door->isEnabled();
}

// Every code the sanctum may hide: four different kinds of the eight.
std::vector<Ch4Code> ch4AllCodes()
{
    std::vector<Ch4Code> codes;
    for (int a = 0; a < 8; ++a)
        for (int b = 0; b < 8; ++b)
            for (int c = 0; c < 8; ++c)
                for (int d = 0; d < 8; ++d)
                    if (a != b && a != c && a != d && b != c && b != d && c != d)
                        codes.push_back({a, b, c, d});
    return codes;
}

// The marks a row earns against a code: per place 1 for the right kind, 2
// for a kind that stands elsewhere in the code, 0 for one not in it.
int ch4Marks(const Ch4Code& code, const Ch4Code& row)
{
    int marks = 0;
    for (int place = 3; place >= 0; --place) {
        int mark = 0;
        if (row[size_t(place)] == code[size_t(place)])
            mark = 1;
        else if (std::find(code.begin(), code.end(), row[size_t(place)]) != code.end())
            mark = 2;
        marks = marks * 3 + mark;
    }
    return marks;
}

// The next row to paint: of the codes still possible, the one whose worst
// marks leave the fewest possible (the first row is any, all being alike).
Ch4Code ch4NextRow(const std::vector<Ch4Code>& possible)
{
    if (possible.size() == kCh4CodeCount)
        return possible.front();
    Ch4Code best = possible.front();
    size_t bestWorst = possible.size() + 1;
    for (const Ch4Code& row : possible) {
        std::vector<size_t> left(81, 0);
        for (const Ch4Code& code : possible)
            ++left[size_t(ch4Marks(code, row))];
        const size_t worst = *std::max_element(left.begin(), left.end());
        if (worst < bestWorst) {
            bestWorst = worst;
            best = row;
        }
    }
    return best;
}

// The player's balloon shows the text item.
bool ch4Says(SampleWalk& w, const char* id)
{
    Character* self = w.run.canvas->getPlayerCharacter();
    return self && self->isTalking() && self->getTalkText()->getText().equals(lang::String::loadText(id).c_str());
}

// The text the room's sprite shows.
std::string ch4Text(Room* room, const char* sprite)
{
    auto* text = static_cast<sprite::NewFontSprite*>(room->getSprite(sprite));
    return text ? text->getText().c_str() : "(no " + std::string(sprite) + ")";
}

// The outer sanctum's codes broken as a player breaks them: a row painted,
// the lever pulled, the marks read and the codes they rule out struck off,
// until the slab before the way north lifts. A code that runs out of tries
// shows in the row, and the first code broken stays with its row listed;
// either is replaced by a new one at a click, which starts afresh. Each judged row stays in the list on the left with its marks, and
// the line over the row counts the codes and rows.
void ch4BreakSanctumCodes(SampleWalk& w, OuterSanctum* sanctum)
{
    std::vector<Ch4Code> possible = ch4AllCodes();
    int code = 1;
    for (int rows = 0; rows < 24 && !w.story("LF.outerSanctumSolved"); ++rows) {
        const int row = sanctum->getAttempts() + 1;
        EXPECT_EQ("Code " + std::to_string(code) + " of 2: row " + std::to_string(row) + " of " +
                      std::to_string(8 - code),
                  ch4Text(sanctum, "Status"));
        const Ch4Code painted = ch4NextRow(possible);
        for (int place = 0; place < OuterSanctum::PLACES; ++place) {
            sprite::SpriteBase* slot = sanctum->getSprite(("RowSlot_" + std::to_string(place)).c_str());
            EXPECT_TRUE(slot && slot->isVisible()) << "the place to paint shows";
            w.click(("PieceChoice_" + std::to_string(painted[size_t(place)])).c_str());
            w.click(("RowClickRect_" + std::to_string(place)).c_str());
            ASSERT_EQ(painted[size_t(place)], sanctum->placeKind(place)) << "place " << place;
        }
        auto* lever = static_cast<sprite::AnimateSprite*>(sanctum->getSprite("Lever"));
        ASSERT_EQ(1, lever->getFrame()) << "ready";
        w.click("LeverClickRect");
        EXPECT_EQ(0, lever->getFrame()) << "the judged row is emptied";
        EXPECT_FALSE(sprite::ButtonMixin::fromSprite(sanctum->getSprite("LeverClickRect"))->isEnabled());
        // The row is read from the list, where it stays with its marks, the
        // code's last row too.
        int marks = 0;
        for (int place = OuterSanctum::PLACES - 1; place >= 0; --place) {
            const std::string listed = std::to_string(row) + "_" + std::to_string(place);
            auto* kind = static_cast<sprite::AnimateSprite*>(sanctum->getSprite(("RowPiece_" + listed).c_str()));
            auto* mark = static_cast<sprite::AnimateSprite*>(sanctum->getSprite(("Results_" + listed).c_str()));
            ASSERT_TRUE(kind && mark) << "row " << row;
            EXPECT_TRUE(kind->isVisible() && mark->isVisible()) << "row " << row << " stays listed";
            EXPECT_EQ(painted[size_t(place)], kind->getFrame()) << "row " << row;
            marks = marks * 3 + mark->getFrame();
        }
        if (marks == kCh4AllRight) {
            // Broken: the player says so; the first code's row stays listed,
            // the line says so, until a click brings the next code.
            EXPECT_TRUE(ch4Says(w, code == 1 ? "STR_THINK_SANCTUM_FIRST" : "STR_THINK_SANCTUM_OPEN"));
            if (code == 1) {
                EXPECT_EQ("Code 1 is broken! Click for code 2.", ch4Text(sanctum, "Status"));
                w.click("Status");
            }
            ++code;
            possible = ch4AllCodes();
            continue;
        }
        if (row == 8 - code) {
            // Out of tries: the row shows the code, every mark green, until
            // the player's next click brings a new code.
            EXPECT_TRUE(ch4Says(w, "STR_THINK_SANCTUM_NEW_CODE"));
            for (int place = 0; place < OuterSanctum::PLACES; ++place) {
                const std::string shown = "0_" + std::to_string(place);
                auto* kind = static_cast<sprite::AnimateSprite*>(sanctum->getSprite(("RowPiece_" + shown).c_str()));
                auto* mark = static_cast<sprite::AnimateSprite*>(sanctum->getSprite(("Results_" + shown).c_str()));
                EXPECT_TRUE(kind->isVisible() && mark->isVisible()) << "the code shows";
                EXPECT_EQ(sanctum->getAnswer()[place], kind->getFrame()) << "place " << place;
                EXPECT_EQ(OuterSanctum::RIGHT_PLACE, mark->getFrame()) << "place " << place;
            }
            w.click("Status");
            possible = ch4AllCodes();
            continue;
        }
        possible.erase(std::remove_if(possible.begin(), possible.end(),
                                      [&](const Ch4Code& c) { return ch4Marks(c, painted) != marks; }),
                       possible.end());
        ASSERT_FALSE(possible.empty()) << "no code earns these marks";
    }
    ASSERT_TRUE(w.story("LF.outerSanctumSolved"));
    EXPECT_EQ(lang::String::loadText("STR_SANCTUM_OPEN").c_str(), ch4Text(sanctum, "Status"));
}

// The jumps that leave one peg on a board of `columns` x `rows` holes
// (`holes` true where a peg stands), each (from, to) by cells, found
// depth-first; false when the board cannot be won.
bool ch4PegJumps(std::vector<bool>& holes, int columns, int rows, std::vector<std::pair<int, int>>& jumps)
{
    if (std::count(holes.begin(), holes.end(), true) == 1)
        return true;
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int from = 0; from < columns * rows; ++from) {
        if (!holes[size_t(from)])
            continue;
        for (const auto& step : steps) {
            const int column = from % columns + 2 * step[0];
            const int row = from / columns + 2 * step[1];
            if (column < 0 || column >= columns || row < 0 || row >= rows)
                continue;
            const int over = from + step[0] + step[1] * columns;
            const int to = row * columns + column;
            if (!holes[size_t(over)] || holes[size_t(to)])
                continue;
            holes[size_t(from)] = holes[size_t(over)] = false;
            holes[size_t(to)] = true;
            jumps.emplace_back(from, to);
            if (ch4PegJumps(holes, columns, rows, jumps))
                return true;
            jumps.pop_back();
            holes[size_t(from)] = holes[size_t(over)] = true;
            holes[size_t(to)] = false;
        }
    }
    return false;
}

// The village's own peg, from the bar, dropped on its board.
void ch4SetPeg(SampleWalk& w, const char* peg)
{
    w.player.takeFromBar(peg);
    if (::testing::Test::HasFatalFailure())
        return;
    w.click("BoardPeg");
    EXPECT_TRUE(w.room()->getSprite("BoardPeg")->isVisible()) << peg;
    EXPECT_FALSE(w.has(peg)) << peg;
}

// The board opened with a click, its instructions played past when they
// come, and won by clicking each jump's peg and then its hole; the
// close-up closes by itself and the player says the board is won.
void ch4WinPegBoard(SampleWalk& w, int board)
{
    auto* canvas = static_cast<LanternfieldCanvas*>(w.run.canvas);
    auto* pegs = static_cast<PegsCU*>(canvas->getCloseUp(LanternfieldCanvas::CLOSE_UP_PEGS));
    ASSERT_TRUE(pegs->isInstanceOf("PegsCU"));
    const bool instructions = canvas->getShowGameInstructions(PegsCU::INSTRUCTIONS_GAME);
    w.click("BoardPeg");
    ASSERT_TRUE(pegs->isVisible()) << "board " << board;
    ASSERT_EQ(board, pegs->getPuzzle());
    if (instructions) {
        ASSERT_TRUE(w.player.closeInstructions());
    }
    ASSERT_TRUE(w.player.painted([pegs] { return pegs->acceptsInput(); }, 100));
    const PegBoard& holesOf = pegs->board();
    std::vector<bool> holes(size_t(holesOf.columns() * holesOf.rows()), false);
    for (const PegsCU::PegInfo& peg : pegs->getPegs())
        holes[size_t(peg.cell)] = !peg.removed;
    std::vector<std::pair<int, int>> jumps;
    ASSERT_TRUE(ch4PegJumps(holes, holesOf.columns(), holesOf.rows(), jumps)) << "board " << board;
    auto clickHole = [&w, pegs, &holesOf](int cell) {
        w.run.world.click(pegs->left() + PegsCU::HOLE_PITCH * (cell % holesOf.columns()) + 72,
                          pegs->top() + PegsCU::HOLE_PITCH * (cell / holesOf.columns()) + 77);
    };
    for (const auto& jump : jumps) {
        clickHole(jump.first);
        ASSERT_GE(pegs->getSelected(), 0) << "the peg of cell " << jump.first;
        clickHole(jump.second);
        ASSERT_TRUE(pegs->board().has(jump.second)) << jump.first << " to " << jump.second;
    }
    ASSERT_EQ(1, pegs->getPegsLeft());
    ASSERT_TRUE(w.player.painted([pegs] { return !pegs->isVisible(); }, 120)) << "the won board closes";
    EXPECT_TRUE(ch4Story("LF.pegsSolved[" + std::to_string(board) + "] == true")) << board;
    // The boards are won in turn: the player counts them.
    EXPECT_TRUE(ch4Says(w, ("STR_THINK_PEGS_WON_" + std::to_string(board)).c_str())) << board;
}

} // namespace

void playChapter4ToTheVillage(SampleWalk& w)
{
    ASSERT_EQ(SampleWalk::roomOf("InnerSanctum"), w.current());
    EXPECT_EQ(4, w.chapter());
    w.player.settle();
    w.expectTasks({41});
    EXPECT_TRUE(w.room()->getSprite("Vines")->isVisible());
    EXPECT_FALSE(ch4WayOpen(w.room(), "VillageEnterance")) << "the vines choke the way east";
    EXPECT_TRUE(ch4WayOpen(w.room(), "Bridge")) << "the bridge of the third chapter stands";

    w.walkTo({"OuterSanctum"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    auto* sanctum = static_cast<OuterSanctum*>(w.room());
    ASSERT_TRUE(sanctum->isInstanceOf("OuterSanctum"));
    EXPECT_TRUE(sanctum->getSprite("Seal")->isVisible());
    EXPECT_FALSE(ch4WayOpen(sanctum, "Volcano"));
    ASSERT_TRUE(w.player.closeInstructions()) << "the code's rules open on the first visit";
    ch4BreakSanctumCodes(w, sanctum);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_FALSE(sanctum->getSprite("Seal")->isVisible());
    EXPECT_FALSE(sanctum->getSprite("RowSlot_0")->isVisible()) << "no place is left to paint";
    EXPECT_TRUE(ch4WayOpen(sanctum, "Volcano"));
    w.expectTasks({42});

    // Past the volcano: the machete, and two pegs by the waterfall.
    w.walkTo({"Volcano"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_Machete");
    w.expectTasks({43});
    w.walkTo({"Waterfall"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_Peg_2");
    w.walkTo({"InnerWaterfall"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_Peg_3");
    ASSERT_TRUE(w.has("Machete") && w.has("Peg_2") && w.has("Peg_3"));

    // Back to the inner sanctum, where the machete cuts the vines.
    w.walkTo({"Waterfall", "Volcano", "OuterSanctum", "InnerSanctum"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.player.takeFromBar("Machete");
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Vines");
    EXPECT_TRUE(w.story("LF.vinesCut"));
    EXPECT_FALSE(w.has("Machete"));
    EXPECT_FALSE(w.room()->getSprite("Vines")->isVisible());
    w.expectTasks({44});
    w.walkTo({"VillageEnterance"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.click("Item_Peg_1");
    EXPECT_TRUE(w.has("Peg_1") && w.has("Peg_2") && w.has("Peg_3"));
}

void playChapter4Villages(SampleWalk& w)
{
    ASSERT_EQ(SampleWalk::roomOf("VillageEnterance"), w.current());
    w.walkTo({"OuterVillage_1"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    // A board without its peg does not open.
    w.click("BoardPeg");
    EXPECT_FALSE(static_cast<LanternfieldCanvas*>(w.run.canvas)->getCloseUp(LanternfieldCanvas::CLOSE_UP_PEGS)->isVisible());
    w.player.settle();
    ch4SetPeg(w, "Peg_1");
    ch4WinPegBoard(w, 1);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    w.walkTo({"VillageEnterance", "OuterVillage_2"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    ch4SetPeg(w, "Peg_2");
    ch4WinPegBoard(w, 2);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());

    w.walkTo({"VillageEnterance", "OuterVillage_3"});
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_TRUE(w.room()->getSprite("Fence")->isVisible());
    EXPECT_FALSE(ch4WayOpen(w.room(), "TavernGallery_Night")) << "the palisade shuts the way east";
    w.click("Fence");
    EXPECT_EQ(SampleWalk::roomOf("OuterVillage_3"), w.current());
    EXPECT_TRUE(ch4Says(w, "STR_THINK_PALISADE")) << "a click on the palisade says why the way is shut";
    w.player.settle();
    EXPECT_FALSE(w.room()->getSprite("Canoe")->isVisible()) << "the third board waits";
    ch4SetPeg(w, "Peg_3");
    ch4WinPegBoard(w, 3);
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
    w.expectTasks({45});
    w.endChapterOn("Canoe", SampleWalk::roomOf("TavernGallery_Night"));
}

} // namespace scenetest

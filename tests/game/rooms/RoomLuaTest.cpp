// RoomLuaTest.cpp: the methods of hv.Room called by a room script on the
// fixture game's Dock: their argument checks, exits opened and shut by
// target room, characters placed and taken away, ambient sounds, the
// drawing order, chapters and room changes (a later one called off by
// leaving); the room's calls into its script: an endless one stopped, and
// notices the script leaves undefined skipped.
#include "game/ambient/AmbientSoundManager.h"
#include "game/characters/Character.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "sprites/base/SpriteBaseLua.h"
#include "sprites/script/ScriptHost.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/LuaRun.h"

#include "platform/user/headless/HeadlessBackend.h"

#include <lua.hpp>

#include <chrono>
#include <memory>
#include <thread>

namespace gametest {
namespace {

// Dock (room 0): three exits to MarketPlace (room 2), one to Riverside
// (room 5), all shut; and two plain sprites.
const char kDock[] = R"(<data>
4
<sprites>
Door0 DoorSprite 0 0 50 50 0 0 0 2
Door1 DoorSprite 60 0 50 50 0 0 0 5
Door2 DoorSprite 120 0 50 50 0 0 0 2
Door3 DoorSprite 180 0 50 50 0 0 0 2
Rock BoundsSprite 300 300 20 20
Tree BoundsSprite 400 300 20 20
<end>
)";

class RoomLuaTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameOptions options;
        options.roomManifests["Dock"] = kDock;
        ASSERT_TRUE(startGame(options));
        enter(0);
        dock = room(0);
        lua_State* L = ScriptHost::instance->getState();
        sprite::SpriteBaseLua::pushTable(L, dock);
        lua_setglobal(L, "room");
    }

    std::string run(const std::string& code) { return testsupport::runLua(ScriptHost::instance->getState(), code); }
    bool enabled(int door) { return dock->getDoor(door)->isEnabled(); }
    // The room's child list from the bottom, by name.
    std::vector<std::string> order()
    {
        std::vector<std::string> names;
        for (int i = 0; i < dock->getChildCount(); ++i) {
            sprite::SpriteBase* child = dock->childAt(i);
            names.push_back(child->getName().c_str());
            child->release();
        }
        return names;
    }

    Room* dock = nullptr;
};

TEST_F(RoomLuaTest, EveryMethodChecksItsSelfAndItsArguments)
{
    // Called as room.method(room, ...): the positions count self as 1.
    const std::pair<const char*, const char*> cases[] = {
        {"room.addAfter(room, 'Rock')", "#4 to 'addAfter' (too many arguments)"},
        {"room.addAmbientAudioLoop(room, 1, 2)", "#3 to 'addAmbientAudioLoop' (too many arguments)"},
        {"room.addAmbientButterflies(room, 1, 2)", "#5 to 'addAmbientButterflies' (too many arguments)"},
        {"room.addAmbientFireflies(room, 1, 2, 3, 4)", "#5 to 'addAmbientFireflies' (too many arguments)"},
        {"room.addAmbientSound(room)", "#3 to 'addAmbientSound' (wrong number of arguments)"},
        {"room.addAmbientSound(room, {id = 1}, 2)", "#3 to 'addAmbientSound' (wrong number of arguments)"},
        {"room.addAnimate(room)", "#3 to 'addAnimate' (too many arguments)"},
        {"room.addAnimateAfter(room, 'a', 'b', 'c')", "#4 to 'addAnimateAfter' (too many arguments)"},
        {"room.addButtonToTop(room, 'a', 'b')", "#3 to 'addButtonToTop' (too many arguments)"},
        {"room.addCharacter(room, 'Professor')", "#9 to 'addCharacter' (too many arguments)"},
        {"room.addSparkleInRect(room, 1, 2, 3, 4, 'G', 1)", "#10 to 'addSparkleInRect' (too many arguments)"},
        {"room.addSparkleInRect(room, 1, 2, 3, 4, 'G', 1, 2, 3, 4)", "#10 to 'addSparkleInRect' (too many arguments)"},
        {"room.addSparkleInSprite(room, 'Rock', 'G', 1)", "#7 to 'addSparkleInSprite' (too many arguments)"},
        {"room.createParticleEffect(room, 'Rock', 'Lock')", "#5 to 'createParticleEffect' (too many arguments)"},
        {"room.enableDoor(room, 'Dock')", "#5 to 'enableDoor' (too many arguments)"},
        {"room.enableDoor(room, 'Dock', true, 1, 2)", "#5 to 'enableDoor' (too many arguments)"},
        {"room.enableDoors(room)", "#3 to 'enableDoors' (too many arguments)"},
        {"room.getChapterNumber(room, 1)", "#2 to 'getChapterNumber' (too many arguments)"},
        {"room.hasCharacter(room)", "#3 to 'hasCharacter' (too many arguments)"},
        {"room.moveToRoom(room, 'Dock', 1)", "#3 to 'moveToRoom' (too many arguments)"},
        {"room.removeAmbientAudioLoop(room)", "#3 to 'removeAmbientAudioLoop' (too many arguments)"},
        {"room.removeCharacter(room, 'a', 'b')", "#3 to 'removeCharacter' (too many arguments)"},
        {"room.addAmbientBubbles(room, 1)", "#2 to 'addAmbientBubbles' (too many arguments)"},
        {"room.addSpriteToTop(room)", "#3 to 'addSpriteToTop' (too many arguments)"},
        // Types: numbers, strings and the options table.
        {"room.addAmbientButterflies(room, 'x', 1, 2)", "#2 to 'addAmbientButterflies' (number expected, got string)"},
        {"room.enableDoor(room, {}, true)", "#2 to 'enableDoor' (string expected, got table)"},
        {"room.addAmbientSound(room, 5)", "#2 to 'addAmbientSound' (table expected, got number)"},
        {"room.addAmbientSound(room, {min = 3})", "#2 to 'addAmbientSound' (the field \"id\" must be a number)"},
        {"room.addAmbientSound(room, {id = '3'})", "#2 to 'addAmbientSound' (the field \"id\" must be a number)"},
        // Self.
        {"room.enableDoors({}, true)", "#1 to 'enableDoors' (not a Sprite object)"},
        {"room.enableDoors(canvas, true)", "#1 to 'enableDoors' (not a Room)"},
        {"room.endChapter(5)", "#1 to 'endChapter' (table expected, got number)"},
    };
    for (const auto& c : cases) {
        const std::string error = run(c.first);
        EXPECT_NE(std::string::npos, error.find(std::string("bad argument ") + c.second)) << c.first << ": " << error;
    }
    EXPECT_EQ(0, canvas->getAmbientSoundManager()->getSoundCount()) << "nothing added by a failed call";
}

TEST_F(RoomLuaTest, ExitsOpenAndShutByTheRoomTheyLeadTo)
{
    ASSERT_EQ("", run("room:enableDoor('MarketPlace', true, 1)"));
    EXPECT_EQ((std::vector<bool>{false, false, true, true}),
              (std::vector<bool>{enabled(0), enabled(1), enabled(2), enabled(3)}))
        << "all exits to MarketPlace but the first";
    ASSERT_EQ("", run("room:enableDoors(true) room:enableDoor('MarketPlace', false)"));
    EXPECT_EQ((std::vector<bool>{false, true, false, false}),
              (std::vector<bool>{enabled(0), enabled(1), enabled(2), enabled(3)}));
    ASSERT_EQ("", run("room:enableDoor('Nowhere', false) room:enableDoor('Riverside', nil, 0)"));
    EXPECT_FALSE(enabled(1));
    EXPECT_FALSE(enabled(0) || enabled(2) || enabled(3));
}

TEST_F(RoomLuaTest, AnAmbientSoundTakesItsDefaultsAndOnlyNumbers)
{
    ASSERT_EQ("", run("room:addAmbientSound({id = 3}) room:addAmbientSound({id = 4, startMin = 10, startMax = 'x', "
                      "min = 1, max = 2.5})"));
    AmbientSoundManager* sounds = canvas->getAmbientSoundManager();
    ASSERT_EQ(2, sounds->getSoundCount());
    const AmbientSoundManager::AmbientSound* first = sounds->soundAt(0);
    EXPECT_EQ(3, first->id);
    EXPECT_EQ(200, first->startMin);
    EXPECT_EQ(400, first->startMax);
    EXPECT_EQ(50, first->min);
    EXPECT_EQ(100, first->max);
    const AmbientSoundManager::AmbientSound* second = sounds->soundAt(1);
    EXPECT_EQ(10, second->startMin);
    EXPECT_EQ(400, second->startMax) << "a text is no number";
    EXPECT_EQ(1, second->min);
    EXPECT_EQ(2, second->max);
    ASSERT_EQ("", run("room:addAmbientAudioLoop(7) room:addAmbientAudioLoop(7) room:addAmbientAudioLoop(8) "
                      "room:removeAmbientAudioLoop(7)"));
    ASSERT_EQ(1, sounds->getLoopCount());
    EXPECT_EQ(8, sounds->loopAt(0));
}

TEST_F(RoomLuaTest, ACharacterPlacedByTheScriptKeepsItsVisibilityUntilTakenAway)
{
    ASSERT_EQ("", run("room:addCharacter('Professor', '', 120, 300, true, true, false) "
                      "here = room:hasCharacter('Professor') other = room:hasCharacter('Fisherman')"));
    Character* professor = canvas->findCharacter(lang::String("Professor"));
    ASSERT_NE(nullptr, professor);
    world.stepFrames(2);
    EXPECT_TRUE(professor->isVisible()) << "not hidden by leaving the canvas's top level";
    EXPECT_EQ(dock, professor->getParent());
    EXPECT_EQ(Character::STATE_HELD, professor->getState());
    EXPECT_EQ("", run("assert(here == true and other == false)"));
    ASSERT_EQ("", run("room:removeCharacter('Professor') gone = room:hasCharacter('Professor')"));
    EXPECT_EQ("", run("assert(gone == false)"));
    EXPECT_FALSE(professor->isVisible());
    EXPECT_EQ(professor, canvas->getSprite("Professor")) << "back on the canvas";
}

TEST_F(RoomLuaTest, SpritesMoveInTheDrawingOrderAndUnknownNamesChangeNothing)
{
    ASSERT_EQ("", run("room:addSpriteToTop('Rock')"));
    EXPECT_EQ("Rock", order().back());
    ASSERT_EQ("", run("room:addAfter('Tree', 'Door0') room:addAnimate('Nobody') room:addAfter('Rock', 'Nobody')"));
    const std::vector<std::string> names = order();
    EXPECT_EQ((std::vector<std::string>{"Door0", "Tree", "Door1", "Door2", "Door3", "Rock"}), names);
    EXPECT_TRUE(dock->getSprite("Tree")->isVisible()) << "moving keeps the sprite shown";
}

TEST_F(RoomLuaTest, MethodsAnswerTheirLastArgumentOrTheirOwnResult)
{
    ASSERT_EQ("", run("a = room:enableDoors(false) b = room:addSpriteToTop('Rock') c = room:getChapterNumber() "
                      "d = room:addAmbientBubbles()"));
    EXPECT_EQ("", run("assert(a == false and b == 'Rock' and c == 1 and d == room)"));
}

TEST_F(RoomLuaTest, AnEndlessScriptCallIsStoppedWithAScriptErrorAndTheGameGoesOn)
{
    Room::setScriptTimeLimit(30);
    // The second loop catches the first stop and loops on: it is stopped again.
    ASSERT_EQ("", run("rooms.Dock.onClick = function(self, x, y) while true do end end\n"
                      "rooms.Dock.onUse = function(self, x, y)\n"
                      "  while true do pcall(function() while true do end end) end\n"
                      "end\n"
                      "rooms.Dock.onEnter = function(self, n) record('onEnter') end"));
    for (const char* function : {"onClick", "onUse"}) {
        SCOPED_TRACE(function);
        const size_t before = world.boxes("Script Error").size();
        dock->callScriptXY("Dock", function, 1, 2);
        ASSERT_EQ(before + 1, world.boxes("Script Error").size());
        EXPECT_NE(std::string::npos,
                  world.boxes("Script Error").back().text.find(std::string("rooms[\"Dock\"].") + function));
    }
    Room::setScriptTimeLimit(0);
    clearCalls();
    dock->callScript("Dock", "onEnter");
    EXPECT_EQ((std::vector<std::string>{"onEnter()"}), calls()) << "the next call runs as ever";
}

// A notice the room's script leaves undefined is skipped without a box, one
// it defines is called with its number, and the Lua stack is left as it was.
TEST_F(RoomLuaTest, ANoticeTheScriptLeavesUndefinedIsSkippedWithoutABox)
{
    ASSERT_EQ("", run("rooms.Dock.told = function(self, n) record('told', n) end"));
    lua_State* L = ScriptHost::instance->getState();
    const int top = lua_gettop(L);
    clearCalls();
    dock->callNotice("Dock", "untold");
    dock->callNoticeInt("Dock", "untold", 3);
    dock->callNoticeInt("Dock", "told", 3);
    EXPECT_EQ(top, lua_gettop(L));
    EXPECT_TRUE(world.boxes("Script Error").empty());
    EXPECT_EQ((std::vector<std::string>{"told(3)"}), calls("told"));
}

namespace {

// A display on which the player takes a while to read each message box.
class RoomLuaReadingBackend : public platform::HeadlessBackend {
public:
    bool showMessageBox(const std::string&, const std::string&, UINT) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return true;
    }
};

} // namespace

TEST_F(RoomLuaTest, TimeThePlayerSpendsInAScriptsMessageBoxDoesNotCountAgainstItsLimit)
{
    Room::setScriptTimeLimit(100);
    platform::setWindowBackend(std::make_unique<RoomLuaReadingBackend>());
    ASSERT_EQ("", run("rooms.Dock.onClick = function(self, x, y)\n"
                      "  _ALERT('read me') _ALERT('and me')\n"
                      "  for i = 1, 200000 do end\n"
                      "  record('read', x)\n"
                      "end"));
    clearCalls();
    dock->callScriptXY("Dock", "onClick", 1, 2);
    platform::useHeadlessBackend();
    Room::setScriptTimeLimit(0);
    EXPECT_EQ((std::vector<std::string>{"read(1)"}), calls("read")) << "the call ran to its end";
    EXPECT_TRUE(world.boxes("Script Error").empty());
    EXPECT_EQ(2u, world.boxes("Lua Alert").size());
}

TEST_F(RoomLuaTest, MoveToRoomChangesAtOnceAndEndChapterEndsTheChapter)
{
    // A move some frames later is called off by leaving the room first.
    ASSERT_EQ("", run("room:moveToRoomAfter('MarketPlace', 10)"));
    world.stepFrames(2);
    canvas->changeRoom(5);
    enter(0);
    world.stepFrames(20);
    EXPECT_EQ(0, canvas->getProgress()->currentRoom);
    ASSERT_EQ("", run("room:moveToRoom('Nowhere')"));
    EXPECT_EQ(0, canvas->getProgress()->currentRoom) << "no such room: the player stays";
    ASSERT_EQ("", run("room:moveToRoom('MarketPlace')"));
    EXPECT_EQ(2, canvas->getProgress()->currentRoom);
    EXPECT_EQ(nullptr, canvas->getTransition()) << "without an exit transition";
    ASSERT_EQ("", run("room:endChapter()"));
    EXPECT_EQ(2, canvas->getProgress()->chapter);
    EXPECT_TRUE(dock->isChapterEnded());
}

} // namespace
} // namespace gametest

// SceneLuaTest.cpp: the scene methods' checks of self and of the argument
// count, with their error texts, and the lower-cased word, on the scene
// harness (which is itself checked here: callbacks, sounds, debug lines).
#include "scenes/common/SceneLua.h"
#include "scenes/common/SceneRoom.h"

#include "game/rooms/Room.h"
#include "sprites/script/ScriptHost.h"
#include "tests/scenes/support/SceneFixture.h"

#include <lua.hpp>

namespace scenetest {
namespace {

// probe(self, word): the word lower-cased, after the checks of a method of
// two arguments on a Room.
int probe(lua_State* L)
{
    SceneLua::self<Room>(L, "Room", 2);
    const lang::String word = SceneLua::lowerWord(L, 2);
    lua_pushstring(L, word.c_str());
    return 1;
}

// last(self, ...): any count; the last argument back.
int last(lua_State* L)
{
    SceneLua::checkSelf(L, "Room", lua_gettop(L));
    return SceneLua::returnLast(L);
}

class SceneLuaTest : public SceneFixture {
protected:
    void SetUp() override
    {
        SceneSetup scene;
        scene.index = 17;
        scene.className = "Room";
        scene.manifest = "<data>\n0\n<sprites>\nScore NewFontSprite font fontglyphs 10 10 0\n<end>\n";
        scene.callbacks = {"tieGameScene"};
        ASSERT_TRUE(startScene(scene));
        lua_State* L = ScriptHost::instance->getState();
        lua_register(L, "probe", probe);
        lua_register(L, "last", last);
    }
};

TEST_F(SceneLuaTest, SelfAndCountErrorsNameTheirArgument)
{
    Room* concentration = room(17);
    EXPECT_EQ("startround", runLua(concentration, "return probe(self, 'StartRound')"));
    EXPECT_EQ("12", runLua(concentration, "return probe(self, 12)")) << "a number reads as its text";
    expectLuaErrors(concentration, {
                                       {"probe(self)", "bad argument #3 to 'probe' (too many arguments)"},
                                       {"probe(self, 'a', 'b')", "bad argument #3 to 'probe' (too many arguments)"},
                                       {"probe({}, 'a')", "bad argument #1 to 'probe' (not a Sprite object)"},
                                       {"probe(canvas, 'a')", "bad argument #1 to 'probe' (not a Room)"},
                                       {"probe(nil, 'a')", "bad argument #1 to 'probe' (table expected, got nil)"},
                                       {"probe(self, {})", "bad argument #2 to 'probe' (string expected, got table)"},
                                   });
    EXPECT_EQ("start", runLua(concentration, "return last(self, 1, 'start')"));
}

TEST_F(SceneLuaTest, TheHarnessRecordsCallbacksSoundsAndDebugLines)
{
    Room* concentration = room(17);
    enter(17);
    clearCalls();
    clearRecords();
    concentration->callScript("Concentration", "tieGameScene");
    concentration->callScriptInt("Concentration", "tieGameScene", 0);
    EXPECT_EQ((std::vector<std::string>{"tieGameScene:Concentration(1)", "tieGameScene:Concentration(0)"}),
              calls("tieGameScene"));
    SceneRoom::playSound(113);
    SceneRoom::playSound(kSoundCount - 1);
    SceneRoom::playSound(kSoundCount);
    EXPECT_EQ((std::vector<int>{113, kSoundCount - 1}), soundsPlayed()) << "the last index is outside the table";
    EXPECT_TRUE(world.boxes().empty()) << "a sound whose data is missing shows no box";
    EXPECT_NE(nullptr, concentration->getSprite("Score"));
}

} // namespace
} // namespace scenetest

// SceneFixture.cpp: the scene harness's data and its Lua and sound records.
#include "tests/scenes/support/SceneFixture.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "game/rooms/Room.h"
#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

#include <cstdio>
#include <sstream>

namespace scenetest {

std::string recordingScript(const std::string& room, const std::string& className,
                            const std::vector<std::string>& callbacks)
{
    std::ostringstream out;
    out << "hv = hv or {}\n"
        << "hv." << className << " = hv." << className << " or {}\n"
        << gametest::roomScript(room);
    for (const std::string& f : callbacks) {
        out << "rooms[\"" << room << "\"]." << f << " = function(self, ...) record(\"" << f << ":" << room
            << "\", ...) end\n";
    }
    return out.str();
}

void framesPicture(testsupport::GameData& data, const std::string& name, int frames, int w, int h)
{
    data.picture(name, frames * w, h, [w](int x, int) {
        // A colour per frame: its index in the red and green bytes.
        const uint32_t frame = uint32_t(x / w);
        return 0xFF000000u | (frame * 37 % 256) << 16 | (frame * 91 % 256) << 8 | 0x40u;
    });
}

std::string turnLabelSprites()
{
    std::string lines = "AITurnBG AnimateSprite turn 650 20 2 1 0\n"
                        "PlayerTurnBG AnimateSprite turn 20 560 2 1 0\n"
                        "ScoreBlingPlayer AnimateSprite bling 20 500 4 1 -1\n"
                        "ScoreBlingAI AnimateSprite bling 740 90 4 1 -1\n"
                        "CloseButton ButtonSprite close 740 540 1 1 0 0 0\n";
    for (const char* text : {"PlayerScore", "AIScore", "AITurnActive", "AITurnInactive", "PlayerTurnActive",
                             "PlayerTurnInactive"})
        lines += std::string(text) + " NewFontSprite " + kFont + " " + kFontGlyphs + " 300 10 0\n";
    return lines;
}

void turnLabelData(testsupport::GameData& data)
{
    framesPicture(data, "turn", 2, 100, 30);
    framesPicture(data, "bling", 4, 40, 40);
    framesPicture(data, "close", 1, 40, 40);
    data.text("STR_CONCENTRATION_AI_TURN_NAME", "Opponent");
    data.text("STR_CONCENTRATION_PLAYER_TURN_NAME", "You");
}

void SceneFixture::expectLuaErrors(Room* room, const std::vector<LuaErrorCase>& cases)
{
    for (const LuaErrorCase& c : cases) {
        const std::string result = runLua(room, c.call);
        EXPECT_NE(std::string::npos, result.find(c.error)) << c.call << ": " << result;
    }
}

bool SceneFixture::startScene(const SceneSetup& scene, gametest::GameOptions options)
{
    const std::string name = LanternfieldCanvas::kRoomNames[scene.index];
    options.roomClasses[name] = scene.className;
    options.roomManifests[name] = scene.manifest;
    options.roomScripts[name] = recordingScript(name, scene.className, scene.callbacks);
    for (int i = 0; i < kSoundCount; ++i)
        options.sounds.push_back("sound" + std::to_string(i));
    world.data().gridFont(kFont, kFontGlyphs);
    return startGame(options);
}

bool SceneFixture::startSampleGameSeenInstructions()
{
    if (!startSampleGame())
        return false;
    const std::string seen =
        "for n = 1, " + std::to_string(LanternfieldCanvas::GAME_COUNT) + " do LF.showIns[n] = false end";
    return luaL_dostring(ScriptHost::instance->getState(), seen.c_str()) == 0;
}

std::string SceneFixture::runLua(Room* room, const std::string& code)
{
    ScriptHost* host = ScriptHost::instance;
    lua_State* L = host->getState();
    const int top = lua_gettop(L);
    host->pushObject(room->getLuaRef());
    lua_setglobal(L, "self");
    std::string result;
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) {
        const char* message = lua_tostring(L, -1);
        result = std::string("error: ") + (message ? message : "?");
    } else if (lua_isstring(L, -1)) {
        result = lua_tostring(L, -1);
    } else if (lua_isboolean(L, -1)) {
        result = lua_toboolean(L, -1) ? "true" : "false";
    }
    lua_settop(L, top);
    return result;
}

std::vector<int> SceneFixture::soundsPlayed()
{
    std::vector<int> out;
    for (const std::string& entry : canvas->sounds()) {
        int index = -1;
        // A play of an index outside the table reaches the canvas as a
        // play of no clip (-1): nothing sounds.
        if (std::sscanf(entry.c_str(), "play %d", &index) == 1 && index >= 0)
            out.push_back(index);
    }
    return out;
}

void SceneFixture::clickAt(int x, int y)
{
    world.click(x, y);
    world.stepFrames(1);
}

void SceneFixture::frames(int count)
{
    for (int i = 0; i < count; ++i)
        canvas->doFrame();
}

bool SceneFixture::stepUntil(const std::function<bool()>& done, int maxFrames)
{
    framesRun = 0;
    while (!done()) {
        if (framesRun == maxFrames)
            return false;
        canvas->doFrame();
        ++framesRun;
    }
    return true;
}

} // namespace scenetest

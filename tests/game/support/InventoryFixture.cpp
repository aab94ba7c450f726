// InventoryFixture.cpp: the fixture game's inventory data and scripts.
#include "tests/game/support/InventoryFixture.h"

#include "sprites/script/ScriptHost.h"

#include <lua.hpp>

#include <sstream>

namespace gametest {

namespace {

// The Lua ids 1..22 name the items in the bar's order; ids 1 to 3 have tips,
// id 4 has none; "LF.ispy" switches the global I-Spy game on.
const char kItemScript[] = R"(
LF.ispy = false
LF.itemNames = {}
function LF_getInventoryItemSpriteName(id) return LF.itemNames[id] or "" end
function LF_getInventoryItemToolTipID(id)
  if id <= 3 then return "STR_TIP_" .. id end
  return ""
end
function LF_playingGlobalISpy() return LF.ispy end
)";

} // namespace

GameOptions InventoryFixture::inventoryOptions(const std::string& extraScript)
{
    testsupport::GameData& data = world.data();
    // Two frames of 30 x 30; the bouquet's picture is opaque on its left half only.
    data.picture("item", 60, 30, 0xFF4080C0u);
    data.picture("half", 30, 10, [](int x, int) { return x < 15 ? 0xFFFFFFFFu : 0x00000000u; });
    data.picture("paper", 100, 60, 0xFFF0E0B0u);
    data.picture("arrow", 80, 10, 0xFF202020u);
    data.picture("banner", 40, 20, 0xFFFF0000u);
    data.picture("spark", 4, 4, 0xFFFFFFFFu);
    data.gridFont("font", "glyphs");
    data.text("STR_HINT_1", "Find the vase");
    data.text("STR_HINT_2", "Fill it");
    data.text("STR_HINT_3", "Bring the box");
    for (int id = 1; id <= 3; ++id)
        data.text("STR_TIP_" + std::to_string(id), "Tip " + std::to_string(id));
    data.text("STR_ROOMTIP", "%1 of %1 found");

    std::ostringstream bar;
    bar << "<data>\n20 0 -40 -30 2 " << kRaiseFrames << " " << kLowerFrames << " " << kHoldFrames << "\n<sprites>\n"
        << "InventoryBG RectSprite 0 0 800 100 -0x1000000 1\n";
    std::ostringstream names;
    for (int i = 0; i < Inventory::ITEM_COUNT; ++i) {
        const std::string name = Inventory::kItems[i].name;
        const bool bouquet = name == "HiddenFlowerBouquet";
        bar << name << " AnimateSprite " << (bouquet ? "half " : "item ") << itemLeft(i) << " " << kItemTop << " "
            << (bouquet ? "1" : "2") << " 1 0\n";
        names << "LF.itemNames[" << i + 1 << "] = \"" << name << "\"\n";
    }
    bar << "CaveMap AnimateSprite item 300 40 2 1 0\n";
    for (int n : Inventory::kCavePositions) {
        bar << "CaveMap_Visited_" << n << " AnimateSprite spark 300 40 1 1 0\n";
        bar << "CaveMap_Current_" << n << " AnimateSprite spark 300 40 1 1 0\n";
    }
    bar << "InventorySparkle SparkleSprite spark 0 0 1 1 -1\n<end>\n";

    GameOptions options;
    options.inventoryManifest = bar.str();
    // A sound table of short tones: only the calls are of interest.
    for (int i = 0; i < 30; ++i) {
        data.sound("s" + std::to_string(i), 10);
        options.sounds.push_back("+s" + std::to_string(i));
    }
    options.canvasSprites["InventoryHintPaper"] = "Sprite paper 650 470";
    options.canvasSprites["InventoryHintArrowButton"] = "AnimateSprite arrow 690 472 4 1 0";
    options.canvasSprites["HintText"] = "NewFontSprite font glyphs 660 480 0 -0x7F7F7F80";
    options.canvasSprites["NewTask"] = "Sprite banner 600 400";
    options.canvasSprites["InventoryTipText"] = "NewFontSprite font glyphs 0 0 0 -0x7F7F7F80";
    options.canvasSprites["RoomItemTipText"] = "NewFontSprite font glyphs 0 0 0 -0x7F7F7F80";
    options.gameScript = kItemScript + names.str() + extraScript;
    return options;
}

void InventoryFixture::startWithBar(const std::string& extraScript)
{
    ASSERT_TRUE(startGame(inventoryOptions(extraScript)));
    enter(0);
    progress()->chapter = 1;
    inventory()->enableItems(true);
    inventory()->setVisible(true);
    canvas->clearRecords();
}

std::vector<int> InventoryFixture::soundsPlayed()
{
    std::vector<int> out;
    for (const std::string& s : canvas->sounds()) {
        if (s.rfind("play ", 0) == 0)
            out.push_back(std::stoi(s.substr(5)));
    }
    return out;
}

std::string InventoryFixture::lua(const std::string& code)
{
    lua_State* L = ScriptHost::instance->getState();
    if (luaL_loadstring(L, code.c_str()) == 0 && lua_pcall(L, 0, 0, 0) == 0)
        return "";
    std::string message = lua_tostring(L, -1) ? lua_tostring(L, -1) : "?";
    lua_pop(L, 1);
    return message;
}

} // namespace gametest

// GameFixture.cpp: the fixture game's data and its start on the loader thread.
#include "tests/game/support/GameFixture.h"

#include "core/lang/ResourceFile.h"
#include "game/rooms/Room.h"
#include "platform/user/Backend.h"
#include "platform/user/Input.h"

#include <filesystem>
#include <sstream>

namespace gametest {

namespace {

// The <data> numbers of the canvas: the player at (100, 450), alternative
// x 300, then margins, shifts and positions numbered so each is distinct.
const char kCanvasData[] = "100 450 300 3 4 5 6 7 8 90 460 11 12 13 14 15 16 17 18";

// Canvas sprites without a class of their own: (name, kind and numbers).
const std::vector<std::pair<std::string, std::string>>& plainSprites()
{
    static const std::vector<std::pair<std::string, std::string>> sprites = [] {
        std::vector<std::pair<std::string, std::string>> s = {
            {"PipesCU", "DialogSprite 0 0 100 100 0 0"},
            {"PegsCU", "DialogSprite 0 0 100 100 0 0"},
            {"ClockCU", "DialogSprite 0 0 100 100 0 0"},
            {"CircuitBoard", "DialogSprite 0 0 100 100 0 0"},
            {"SafeCrack", "DialogSprite 0 0 100 100 0 0"},
            {"TalkText", "BoundsSprite 0 0 10 10"},
            {"TalkSkip", "RectButtonSprite 700 0 100 30 1"},
            {"ThoughtText", "BoundsSprite 0 0 10 10"},
            {"TutorialText", "BoundsSprite 0 0 10 10"},
            {"InventoryTipText", "BoundsSprite 0 0 10 10"},
            {"RoomItemTipText", "BoundsSprite 0 0 10 10"},
            {"TalkBalloonTail_0", "BoundsSprite 0 0 10 10"},
            {"ThoughtBalloonTail", "BoundsSprite 0 0 10 10"},
            {"InventoryHintPaper", "BoundsSprite 0 0 10 10"},
            {"InventoryHintArrowButton", "RectButtonSprite 0 0 10 10 1"},
            {"HintText", "BoundsSprite 0 0 10 10"},
            {"NewTask", "BoundsSprite 0 0 10 10"},
            {"TutorialHelpButton", "RectButtonSprite 0 0 10 10 1"},
            {"GameInsQuestionMark", "RectButtonSprite 0 0 10 10 1"},
            {"GameInsDimmer", "BoundsSprite 0 0 10 10"},
            {"GameCursor", "BoundsSprite 0 0 10 10"},
            {"BlackBarTop", "BoundsSprite 0 0 800 50"},
            {"BlackBarBottom", "BoundsSprite 0 550 800 50"},
            {"CheatText", "BoundsSprite 0 0 10 10"},
            {"TaskCompleted", "BoundsSprite 0 0 10 10"},
            {"GlobalISpyList", "BoundsSprite 0 0 10 10"},
            {"ISpyList_Flowers", "BoundsSprite 0 0 10 10"},
            {"Dim", "BoundsSprite 0 0 800 600"},
            {"DimFull", "RectSprite 0 0 800 600 -0x1000000 0"},
            {"Quit", "RectButtonSprite 760 0 40 40 1"},
        };
        for (int i = 1; i <= 12; ++i)
            s.push_back({"GlobalISpyListText_" + std::to_string(i), "BoundsSprite 0 0 10 10"});
        for (int i = 1; i <= 5; ++i)
            s.push_back({"HiddenFlowerListText_" + std::to_string(i), "BoundsSprite 0 0 10 10"});
        return s;
    }();
    return sprites;
}

std::string characterClass(const std::string& name)
{
    return name == "CallBoxIntercom" || name == "Ghost" ? "Character" : name;
}

} // namespace

std::string roomWithDoors(const std::vector<std::string>& doors)
{
    std::ostringstream out;
    out << "<data>\n" << doors.size() << "\n<sprites>\n";
    for (size_t i = 0; i < doors.size(); ++i)
        out << "Door" << i << " DoorSprite " << doors[i] << "\n";
    out << "<end>\n";
    return out.str();
}

std::string roomScript(const std::string& room)
{
    std::ostringstream out;
    out << "rooms = rooms or {}\n"
        << "rooms[\"" << room << "\"] = {\n"
        << "  onEnter = function(self, n) record(\"onEnter:" << room << "\", n) end,\n"
        << "  onExit = function(self, n) record(\"onExit:" << room << "\", n) end,\n"
        << "  onClick = function(self, x, y) record(\"onClick:" << room << "\", x, y) end,\n"
        << "  onUse = function(self, x, y) record(\"onUse:" << room << "\", x, y) end,\n"
        << "  resetGlobalItems = function(self, n) record(\"resetGlobalItems:" << room << "\", n) end,\n"
        << "}\n";
    return out.str();
}

void writeGame(testsupport::GameData& data, const GameOptions& options)
{
    std::ostringstream top;
    top << "<data>\n" << kCanvasData << "\n";
    if (!options.sounds.empty()) {
        data.sound("tone.wav");
        top << "<sounds>\n";
        for (const std::string& sound : options.sounds)
            top << sound << "\n";
    }
    top << "<sprites>\n";
    auto add = [&](const std::string& name, const std::string& entry) {
        if (!options.omitted.count(name))
            top << name << " " << entry << "\n";
    };
    for (int i = 0; i < LanternfieldCanvas::ROOM_COUNT; ++i) {
        const std::string name = LanternfieldCanvas::kRoomNames[i];
        std::string cls = i == LanternfieldCanvas::ROOM_VIGNETTE ? "Vignette" : "Room";
        if (options.roomClasses.count(name))
            cls = options.roomClasses.at(name);
        add(name, cls + ":+room_" + name + " 0 0 800 600 0 0");
        const auto custom = options.roomManifests.find(name);
        if (custom != options.roomManifests.end()) {
            data.manifest("room_" + name, custom->second);
        } else {
            const int next = (i + 1) % LanternfieldCanvas::ROOM_COUNT;
            data.manifest("room_" + name,
                          roomWithDoors({"700 300 100 100 1 " + std::to_string(i) + " 2 " + std::to_string(next)}));
        }
        const auto script = options.roomScripts.find(name);
        data.script(name + ".lua", script != options.roomScripts.end() ? script->second : roomScript(name));
    }
    // A dialog with its nested manifest when the options give one.
    auto addDialog = [&](const std::string& name, const std::string& cls, const std::string& numbers) {
        const auto nested = options.dialogManifests.find(name);
        if (nested == options.dialogManifests.end()) {
            add(name, cls + " " + numbers);
            return;
        }
        data.manifest("dialog_" + name, nested->second);
        add(name, cls + ":+dialog_" + name + " " + numbers);
    };
    addDialog("MainMenu", "MenuSprite", "0 0 800 600 0 0");
    addDialog("Options", "OptionsSprite", "0 0 400 300 0 0");
    addDialog("Instructions", "InstructDialog", "0 0 400 300 0 0");
    addDialog("GameInstructions", "GameInstructDialog", "0 0 400 300 0 0");
    addDialog("BookDialog", "BookDlgSprite", "0 0 800 600 0 0");
    addDialog("ChoosePlayer", "ChoosePlayer", "0 0 400 300 0 0");
    addDialog("PuzzleCheats", "PuzzleCheats", "0 0 800 600 0 0");
    add("Inventory", "Inventory:+inventory 0 500 800 100 0 0");
    data.manifest("inventory", options.inventoryManifest.empty()
                                   ? "<sprites>\nInventoryBG RectSprite 0 0 800 100 -0x1000000 1\n<end>\n"
                                   : options.inventoryManifest);
    for (const char* name : LanternfieldCanvas::kCharacterNames)
        add(name, characterClass(name) + " 0 0 50 100 0 0");
    for (const char* balloon : {"TalkBalloon", "ThoughtBalloon", "TutorialBalloon", "InventoryTipBalloon",
                                "RoomItemsBalloon"})
        add(balloon, "TalkBalloon 20 30 100 50 0 0");
    for (const auto& sprite : plainSprites()) {
        const auto own = options.canvasSprites.find(sprite.first);
        add(sprite.first, own != options.canvasSprites.end() ? own->second : sprite.second);
    }
    top << options.extraSprites << "<end>\n";
    data.manifest("datfile", top.str());
    data.text("REGISTRYNAME", testsupport::GameWorld::kRegistryName);
    data.text("IDS_GAMETITLE", "Fixture Game");

    data.classScripts();
    data.script("Room.lua", "hv = hv or {}\nhv.Room = {}\nrooms = rooms or {}\n");
    data.script("Character.lua", "hv = hv or {}\nhv.Character = {}\n");
    data.script("LanternfieldCanvas.lua", "hv = hv or {}\nhv.LanternfieldCanvas = {}\n");
    // The jump screen's table answers every function it is asked for by
    // recording the call.
    data.script("PuzzleCheats.lua", R"(rooms = rooms or {}
rooms["PuzzleCheats"] = setmetatable({}, {__index = function(t, name)
    return function(self, ...) record(name .. ":PuzzleCheats", ...) end
end})
)");
    data.script("Inventory.lua", "hv = hv or {}\nhv.Inventory = {}\n");
    data.script("Lanternfield.lua", R"(record("Lanternfield.lua")
LF = LF or {}
LF.vignetteSeen = LF.vignetteSeen or {0, 0, 0, 0, 0, 0}
function LF_getVignetteSeen(n) return LF.vignetteSeen[n] or 0 end
function LF_setVignetteSeen(n) LF.vignetteSeen[n] = 1 end
function LF_setVignetteNotSeen(n) LF.vignetteSeen[n] = 0 end
function LF_save() record("LF_save") return "" end
function LF_replaceMusic(name) record("LF_replaceMusic", name) end
function LF_cleanupGlobalISpy() end
function LF_setGlobalISpyActive(n) end
LF.showInstructions = LF.showInstructions or {}
function LF_getShowGameInstructions(n) return LF.showInstructions[n] == true end
function LF_setShowGameInstructions(n) LF.showInstructions[n] = true end
function LF_clearShowGameInstructions(n) LF.showInstructions[n] = false end
function LF_blackBarsShow(n) end
function LF_clearPreviousAmbientSound() end
function LF_playingGlobalISpy() return false end
LF.showIns = LF.showIns or {}
-- No mini-game opens its instructions by itself until a test flags it.
function LF_getShowGameInstructions(n) return LF.showIns[n] == true end
function LF_setShowGameInstructions(n) record("LF_setShowGameInstructions", n) LF.showIns[n] = true end
function LF_clearShowGameInstructions(n) record("LF_clearShowGameInstructions", n) LF.showIns[n] = false end
function LF_showTaskCompleted() record("LF_showTaskCompleted") end
)" + options.gameScript);
}

GameFixture::~GameFixture()
{
    // The world releases the canvas and the frame it was given.
    if (!canvas) {
        frame->release();
        return;
    }
}

bool GameFixture::startGame(const GameOptions& options)
{
    writeGame(world.data(), options);
    world.openArchive();
    world.setSetting("FULLSCREEN", 0);
    canvas = new Canvas();
    return world.start(frame, canvas);
}

namespace {

std::filesystem::path sampleFolder()
{
#ifdef HV_SAMPLE_DIR
    return HV_SAMPLE_DIR;
#else
    return {};
#endif
}

} // namespace

bool hasSampleGame()
{
    const std::filesystem::path sample = sampleFolder();
    return !sample.empty() && std::filesystem::exists(sample / testsupport::GameData::kArchiveName);
}

bool startSampleGame(testsupport::GameWorld& world, testsupport::TestLoaderFrame* frame, Canvas*& canvas,
                     const std::function<void(const std::filesystem::path&)>& prepare,
                     const std::function<Canvas*()>& make)
{
    for (const auto& entry : std::filesystem::directory_iterator(sampleFolder())) {
        if (entry.path().extension() == ".bin" || entry.path().extension() == ".lua")
            std::filesystem::copy_file(entry.path(), world.folder() / entry.path().filename());
    }
    if (prepare)
        prepare(world.folder());
    const std::filesystem::path archive = world.folder() / testsupport::GameData::kArchiveName;
    lang::ResourceFile::open(lang::String(archive.string().c_str()));
    world.setSetting("FULLSCREEN", 0);
    canvas = make ? make() : new Canvas();
    return world.start(frame, canvas);
}

void typeName(testsupport::GameWorld& world, const std::string& name)
{
    platform::events::text(name);
    world.pump();
    world.tick(16);
    world.key(VK_RETURN);
    world.stepFrames(1);
}

bool GameFixture::startSampleGame(const std::function<void(const std::filesystem::path&)>& prepare)
{
    return gametest::startSampleGame(world, frame, canvas, prepare);
}

std::vector<std::string> GameFixture::calls(const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& call : world.lua().calls()) {
        // record("x", ...) shows as x(...).
        std::string shown = call;
        if (shown.rfind("record(\"", 0) == 0) {
            const size_t end = shown.find('"', 8);
            if (end != std::string::npos) {
                std::string rest = shown.substr(end + 1);
                rest = "(" + (rest.rfind(", ", 0) == 0 ? rest.substr(2) : rest);
                shown = shown.substr(8, end - 8) + rest;
            }
        }
        if (shown.rfind(prefix, 0) == 0)
            out.push_back(shown);
    }
    return out;
}

void GameFixture::enter(int index)
{
    // A player chose a profile before any game is entered: the player
    // selection that a start without a profile opens is closed.
    canvas->showSprite("ChoosePlayer", false);
    canvas->showSprite("Dim", false);
    canvas->enterGame(index);
    world.stepFrames(1);
}

} // namespace gametest

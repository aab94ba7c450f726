// ProfileTest.cpp: profiles in the fixture game's settings: the record's
// image and the scripts' text stored in pieces, read back whatever their
// length, the save at exit, the choice of a profile, and damaged settings.
#include "core/lang/ByteArray.h"
#include "core/lang/StringArray.h"
#include "game/app/GameEntry.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/inventory/Inventory.h"
#include "game/progress/PlayerProfile.h"
#include "game/progress/ProgressRecord.h"
#include "platform/registry/Registry.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/ChildProgram.h"

#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <thread>

namespace gametest {
namespace {

class ProfileTest : public GameFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startGame());
        world.setSetting("Ann\\displayName", "Ann");
        canvas->setProfileName(lang::String("Ann"));
    }
    lua_State* L() { return ScriptHost::instance->getState(); }
    sprite::User* store() { return world.settings(); }

    // A stored byte value, or nothing when it is missing.
    std::string value(const std::string& name)
    {
        lang::ByteArray bytes;
        if (!store()->getBytes(lang::String(name.c_str()), bytes))
            return "<missing>";
        return std::string(reinterpret_cast<const char*>(bytes.data()), size_t(bytes.length()));
    }
    void putValue(const std::string& name, const std::string& bytes)
    {
        lang::ByteArray array;
        array.setLength(int(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), array.data());
        store()->setBytes(lang::String(name.c_str()), array);
    }
    // LF_save answers this text from now on.
    void saveText(const std::string& text)
    {
        lua_pushlstring(L(), text.data(), text.size());
        lua_setglobal(L(), "savedText");
        ASSERT_EQ(0, luaL_dostring(L(), "function LF_save() return savedText end"));
    }
    std::string registryFile()
    {
        std::ifstream in(world.folder() / "registry.txt", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    ProgressRecord* progress() { return canvas->getProgress(); }
    // A player of that name is made and chosen in the player selection.
    void chooseNewPlayer(const std::string& name)
    {
        world.setSetting((name + "\\displayName").c_str(), name.c_str());
        auto* chooser = static_cast<ChoosePlayer*>(canvas->getSprite("ChoosePlayer"));
        chooser->setSelectedProfile(lang::String(name.c_str()));
        lang::String command(("profile:" + name).c_str());
        canvas->handleAction(chooser, &command);
        ASSERT_STREQ(name.c_str(), canvas->getProfileName().c_str());
    }
};

TEST_F(ProfileTest, AFreshProfilesSaveStoresTheNewGamesImageAndTheScriptsText)
{
    saveText("LF.x = 1\n");
    canvas->resetProgress();
    canvas->saveProfile();
    std::string expected("\x41\0\0\0\xFF\xFF\xFF\xFF\x01\0\0\0\0\0\0\0", 16);
    expected += std::string(110, '\0') + std::string(28, '\xFF');
    EXPECT_EQ(expected, value("Ann\\userdata\\0"));
    EXPECT_EQ("<missing>", value("Ann\\userdata\\1"));
    EXPECT_EQ("LF.x = 1\n", value("Ann\\LF\\0"));
}

TEST_F(ProfileTest, TheScriptsTextIsStoredIn4096BytePiecesAndAShorterOneDropsTheRest)
{
    struct Case {
        size_t length;
        std::vector<size_t> pieces;
    };
    const Case cases[] = {
        {4097, {4096, 1}}, {8193, {4096, 4096, 1}}, {4096, {4096}}, {10, {10}}, {0, {}}, {4097, {4096, 1}},
    };
    for (const Case& c : cases) {
        std::string text(c.length, 'x');
        for (size_t i = 0; i < c.length; i += 7)
            text[i] = char('a' + i % 26);
        saveText(c.length ? "--" + text.substr(2) : "");
        canvas->saveProfile();
        for (size_t k = 0; k <= c.pieces.size(); ++k) {
            const std::string piece = value("Ann\\LF\\" + std::to_string(k));
            if (k < c.pieces.size())
                EXPECT_EQ(c.pieces[k], piece.size()) << c.length << " piece " << k;
            else
                EXPECT_EQ("<missing>", piece) << c.length << " piece " << k;
        }
        // What is stored reads back as exactly the text.
        lang::ByteArray joined;
        const bool stored = store()->getBytesChunked(lang::String("Ann\\LF"), joined);
        EXPECT_EQ(c.length > 0, stored) << c.length;
        if (stored) {
            EXPECT_EQ(c.length, size_t(joined.length())) << c.length;
        }
    }
}

TEST_F(ProfileTest, LoadingTakesTheRecordAndRunsTheScriptsText)
{
    progress()->currentRoom = 14;
    progress()->chapter = 3;
    progress()->hint[2] = 9;
    saveText("LF = LF or {}\nLF[\"restored\"] = true\nLF.seen = {[1] = 1, [\"two\"] = false}\n");
    canvas->saveProfile();
    canvas->resetProgress();
    ASSERT_TRUE(canvas->loadProfile());
    EXPECT_EQ(14, progress()->currentRoom);
    EXPECT_EQ(3, progress()->chapter);
    EXPECT_EQ(9, progress()->hint[2]);
    EXPECT_TRUE(ScriptHost::instance->getLuaBoolean("LF.restored"));
    EXPECT_EQ(0, luaL_dostring(L(), "assert(LF.seen[1] == 1 and LF.seen.two == false)"));
    // The inventory is rebuilt from the record it now holds.
    ASSERT_EQ(1, canvas->getInventory()->getHintCount());
    EXPECT_STREQ("STR_HINT_9", canvas->getInventory()->getHintAt(0).c_str());

    // A profile without a script text has an empty one.
    store()->deleteValue(lang::String("Ann\\LF"));
    canvas->resetProgress();
    EXPECT_TRUE(canvas->loadProfile());
    EXPECT_EQ(14, progress()->currentRoom);
    EXPECT_TRUE(world.boxes().empty());
}

TEST_F(ProfileTest, OlderAndDamagedProfilesAreReadAsFarAsTheyGo)
{
    // The older single value, read when the pieces are missing.
    ProgressRecord older;
    older.currentRoom = 5;
    lang::ByteArray image;
    older.writeImage(image);
    putValue("Ann\\userdata", std::string(reinterpret_cast<char*>(image.data()), size_t(image.length())));
    ASSERT_TRUE(canvas->loadProfile());
    EXPECT_EQ(5, progress()->currentRoom);

    // One byte is no record.
    putValue("Ann\\userdata\\0", "\x07");
    canvas->resetProgress();
    EXPECT_FALSE(canvas->loadProfile());
    EXPECT_EQ(65, progress()->currentRoom);

    // A record naming no room starts the chapter again at its start room.
    ProgressRecord damaged;
    damaged.currentRoom = 1000;
    damaged.chapter = 2;
    damaged.writeImage(image);
    putValue("Ann\\userdata\\0", std::string(reinterpret_cast<char*>(image.data()), size_t(image.length())));
    ASSERT_TRUE(canvas->loadProfile());
    EXPECT_EQ(10, progress()->currentRoom);
    EXPECT_NE(std::string::npos, world.debugText().find("loadProfile: no room 1000"));

    // A script text that fails is reported; the record keeps what was read
    // but its room: without its story the chapter starts again.
    putValue("Ann\\LF\\0", "LF.spoilt = LF.spoilt.x");
    damaged.currentRoom = 7;
    damaged.writeImage(image);
    putValue("Ann\\userdata\\0", std::string(reinterpret_cast<char*>(image.data()), size_t(image.length())));
    EXPECT_FALSE(canvas->loadProfile());
    EXPECT_EQ(2, progress()->chapter);
    EXPECT_EQ(10, progress()->currentRoom);
    const auto boxes = world.boxes("readProfileData");
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("spoilt"));
}

TEST_F(ProfileTest, ASavedStoryThatIsNoPlainDataRunsNothingAndTheChapterStartsAgain)
{
    const std::string marker = (world.folder() / "ran").string();
    lua_pushstring(L(), marker.c_str());
    lua_setglobal(L(), "marker");
    // A precompiled chunk whose code would run well as text.
    ASSERT_EQ(0, luaL_dostring(L(), "return string.dump(function() LF.x = 1 end)"));
    const std::string compiled(lua_tostring(L(), -1), lua_objlen(L(), -1));
    lua_pop(L(), 1);
    const std::string quoted = "'" + marker + "'";
    std::string manyTables = "LF.x = {";
    for (int i = 0; i < 200000; ++i)
        manyTables += "{},";
    struct Case {
        const char* what;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"a command", "os.execute('touch " + marker + "')"},
        {"a file", "io.open(" + quoted + ", 'w'):close()"},
        {"a module", "require('os').execute('touch " + marker + "')"},
        {"a loader", "load(\"io.open(" + quoted + ", 'w')\")()"},
        {"a metatable", "setmetatable(_G, {})"},
        {"a precompiled chunk", compiled},
        {"a function in the story", "LF.f = function() end"},
        {"a name beside the story", "other = {}"},
        {"no story", "LF = nil"},
        {"a story of an unknown name", "LF = SomeUndefinedName"},
        {"a story that holds itself", "LF.loop = LF"},
        {"endless steps", "while true do end"},
        {"string methods", "LF.x = ('x'):rep(1e9)"},
        {"doubling a text", "local s = 'xx' for i = 1, 40 do s = s .. s end LF.x = s"},
        {"too many tables to save in time", manyTables + "}"},
    };
    ProgressRecord record;
    record.currentRoom = 14;
    record.chapter = 2;
    lang::ByteArray image;
    record.writeImage(image);
    putValue("Ann\\userdata\\0", std::string(reinterpret_cast<char*>(image.data()), size_t(image.length())));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        putValue("Ann\\LF\\0", c.text);
        ASSERT_EQ(0, luaL_dostring(L(), "LF = {kept = true}"));
        EXPECT_FALSE(canvas->loadProfile());
        EXPECT_EQ(10, progress()->currentRoom) << "the chapter's start";
        EXPECT_FALSE(std::filesystem::exists(marker));
        EXPECT_EQ(0, luaL_dostring(L(), "assert(LF.kept and LF.f == nil and LF.x == nil and other == nil and "
                                        "getmetatable(_G) == nil and ('a'):upper() == 'A')"))
            << lua_tostring(L(), -1);
        EXPECT_NE(std::string::npos, world.debugText().find("the saved story of Ann is not taken"));
        EXPECT_EQ(0, lua_gettop(L()));
    }
}

// A story not taken is never written over unseen: a refused one is kept
// beside the settings file (under the next name free), and said on stderr,
// before a save replaces it; one whose copy cannot be written, or whose
// check the game's close cuts short, stays stored as it is, and the next
// player chosen is saved as ever.
TEST_F(ProfileTest, AStoryNotTakenIsKeptBesideTheSettingsOrStaysStoredWhenTheCloseCutsItsCheck)
{
    saveText("LF.saved = true\n");
    ASSERT_TRUE(canvas->saveProfile());
    putValue("Ann\\LF\\0", "LF.f = function() end");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(canvas->loadProfile());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, said.find("(a story table that is not plain data); it is kept as ")) << said;
    auto kept = [this](const char* name) {
        std::stringstream text;
        text << std::ifstream(world.folder() / name).rdbuf();
        return text.str();
    };
    EXPECT_EQ("LF.f = function() end", kept("registry.txt.Ann.story"));

    // The next one refused takes the next name: a story whose save takes
    // more of its own running than the closing game gives its scripts.
    putValue("Ann\\LF\\0", "LF.slow = true");
    ASSERT_EQ(0, luaL_dostring(L(), "function LF_save() if not slowed then slowed = true "
                                    "local start = os.clock() while os.clock() - start < 3 do end end "
                                    "return 'LF.saved = true' end"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(canvas->loadProfile());
    const std::string slow = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, slow.find(" ms, more than the 2000 ms a save may take when the game closes); it is "
                                           "kept as " + (world.folder() / "registry.txt.Ann.story.1").string()))
        << slow;
    EXPECT_EQ("LF.slow = true", kept("registry.txt.Ann.story.1"));

    // A refused story whose copy cannot be written (files may grow to 1 kB)
    // stays stored, and no save writes over it.
    const std::string unkept = "LF.f = function() end --" + std::string(4000, '-');
    putValue("Ann\\LF\\0", unkept);
    {
        struct FileSizeLimit {
            rlimit before{};
            void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
            FileSizeLimit()
            {
                getrlimit(RLIMIT_FSIZE, &before);
                const rlimit limit{1024, before.rlim_max};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            ~FileSizeLimit()
            {
                setrlimit(RLIMIT_FSIZE, &before);
                std::signal(SIGXFSZ, handler);
            }
        } limit;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(canvas->loadProfile());
        const std::string unwritten = testing::internal::GetCapturedStderr();
        EXPECT_NE(std::string::npos, unwritten.find("cannot be kept aside (File too large); it stays stored as it is"))
            << unwritten;
    }
    EXPECT_TRUE(canvas->saveProfile());
    EXPECT_EQ(unkept, value("Ann\\LF\\0"));
    EXPECT_FALSE(std::filesystem::exists(world.folder() / "registry.txt.Ann.story.2"));

    // The check's save runs until the close stops it; the one at exit would
    // write a fresh story.
    putValue("Ann\\LF\\0", "LF.chapterTwo = true");
    ASSERT_EQ(0, luaL_dostring(L(), "function LF_save() if not cut then cut = true while true do end end "
                                    "return 'LF.fresh = true' end"));
    std::thread closing([] {
        while (ScriptHost::runningThread() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ScriptHost::requestClose();
    });
    EXPECT_FALSE(canvas->loadProfile());
    closing.join();
    canvas->saveOnExit();
    ScriptHost::clearClose();
    EXPECT_EQ("LF.chapterTwo = true", value("Ann\\LF\\0"));
    EXPECT_FALSE(std::filesystem::exists(world.folder() / "registry.txt.Ann.story.2"));

    // With no close under way, a refused story whose save at once fails is
    // a failed save, for the closing game to tell of.
    putValue("Ann\\LF\\0", "LF.g = function() end");
    ASSERT_EQ(0, luaL_dostring(L(), "function LF_save() error('no save') end"));
    EXPECT_FALSE(canvas->loadProfile());
    EXPECT_NE(std::string::npos, canvas->lastSaveFailure().find("the story of Ann cannot be had"))
        << canvas->lastSaveFailure();
    saveText("LF.saved = true\n");

    // The next player chosen is saved as ever.
    chooseNewPlayer("Bert");
    EXPECT_TRUE(canvas->saveProfile());
    EXPECT_NE("<missing>", value("Bert\\userdata\\0"));
}

TEST_F(ProfileTest, ASaveWithoutItsWholeStoryKeepsTheLastSaveAndNothingIsSavedWithoutAProfile)
{
    // The record and the story of one save go together: when the story
    // cannot be had or stored whole, neither is saved.
    // The reason stays for the closing game to tell, until a save is made.
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* failure;
    };
    const std::vector<Case> cases = {
        {"a failing save function",
         [&] { ASSERT_EQ(0, luaL_dostring(L(), "function LF_save() error('no state') end")); },
         "the story of Ann cannot be had"},
        {"a story of more pieces than a key holds", [&] { saveText(std::string(1024 * 4096 + 1, '-')); },
         "the progress of Ann cannot be stored whole (a story of 4194305 bytes; the settings hold at most 1024 "
         "pieces of 4096 bytes)"},
        {"a story whose third new piece is refused", [&] {
             // The story's key fills up to 1,024 values on the way.
             platform::RegistryBatch filling;
             for (int v = 0; v < 1021; ++v)
                 putValue("Ann\\LF\\x" + std::to_string(v), "x");
             saveText(std::string(4 * 4096, '-'));
         }, "(a story of 16384 bytes; not every piece could be written)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        saveText("kept = true\n");
        progress()->currentRoom = 2;
        canvas->saveProfile();
        EXPECT_EQ("", canvas->lastSaveFailure());
        c.spoil();
        progress()->currentRoom = 3;
        EXPECT_FALSE(canvas->saveProfile());
        EXPECT_NE(std::string::npos, canvas->lastSaveFailure().find(c.failure)) << canvas->lastSaveFailure();
        EXPECT_EQ("kept = true\n", value("Ann\\LF\\0"));
        EXPECT_EQ("<missing>", value("Ann\\LF\\1"));
        EXPECT_EQ('\x02', value("Ann\\userdata\\0")[0]) << "nor is the record";
    }
    EXPECT_EQ(1u, world.boxes("Script Error").size());

    canvas->setProfileName(lang::String(""));
    enter(3);
    const std::string before = registryFile();
    canvas->exitToMenu();
    canvas->saveOnExit();
    canvas->saveProfile();
    EXPECT_EQ(before, registryFile());
}

TEST_F(ProfileTest, ASaveTheSettingsFileCannotHoldSaysItFailedAndTheLastSaveStays)
{
    saveText("kept = true\n");
    ASSERT_TRUE(canvas->saveProfile());
    {
        // 62 MB in the file, to which the story's 4 MB would be too much.
        platform::RegistryBatch filling;
        for (int v = 0; v < 31; ++v)
            putValue("Ann\\filler\\" + std::to_string(v), std::string(1 << 20, 'x'));
    }
    saveText(std::string(2 << 20, '-'));
    // The closing game says it in one line, as every failed save.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(canvas->saveProfile());
    EXPECT_EQ(1, GameEntry::closedCode(false, canvas->lastSaveFailure()));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << said;
    EXPECT_EQ("kept = true\n", value("Ann\\LF\\0"));
    EXPECT_NE(std::string::npos, world.debugText().find("the progress of Ann cannot be stored whole"));
    EXPECT_NE(std::string::npos,
              canvas->lastSaveFailure().find("the settings would be larger than a settings file may be"));
}

TEST_F(ProfileTest, TheSaveAtExitKeepsTheFountainsMarketAndAPendingRoom)
{
    struct Case {
        int room;
        bool waterOn;
        int pending;
        int saved;
    };
    for (const Case c : {Case{7, true, -1, 2}, Case{7, false, -1, 7}, Case{3, false, 12, 12}, Case{7, true, 12, 12}}) {
        enter(c.room);
        ASSERT_EQ(0, luaL_dostring(L(), c.waterOn ? "LF.fountainFixedWaterOn = true" : "LF.fountainFixedWaterOn = false"));
        canvas->setPendingRoom(c.pending);
        clearCalls();
        canvas->saveOnExit();
        EXPECT_EQ(c.saved, int(uint8_t(value("Ann\\userdata\\0")[0]))) << c.room << " " << c.pending;
        EXPECT_EQ(1u, calls("onExit:").size()) << "the room is left first";
        canvas->setPendingRoom(-1);
    }
    // In the menu the room was left already: only the save.
    canvas->exitToMenu();
    clearCalls();
    canvas->saveOnExit();
    EXPECT_TRUE(calls("onExit:").empty());
    EXPECT_EQ(1u, calls("LF_save").size());
}

TEST_F(ProfileTest, ChoosingAProfileTakesTheDialogsSelectionAndRefusesPaths)
{
    // No profile is listed: the dialog's selection alone is chosen.
    store()->deleteValue(lang::String("Ann"));
    auto* chooser = static_cast<ChoosePlayer*>(canvas->getSprite("ChoosePlayer"));
    chooser->setSelectedProfile(lang::String("Bob"));
    lang::String command("profile:Mallory");
    canvas->handleAction(chooser, &command);
    EXPECT_STREQ("Bob", canvas->getProfileName().c_str());
    EXPECT_EQ("Bob", world.settingText("LASTPROFILE", ""));
    EXPECT_FALSE(canvas->isSpriteVisible("ChoosePlayer"));

    for (const char* bad : {"A\\B", "", "NineChars", "  ", "semi;"}) {
        chooser->setSelectedProfile(lang::String(bad));
        canvas->handleAction(chooser, &command);
        EXPECT_STREQ("Bob", canvas->getProfileName().c_str()) << bad;
    }
    EXPECT_EQ("Bob", world.settingText("LASTPROFILE", ""));
    chooser->setSelectedProfile(lang::String("EightChr"));
    canvas->handleAction(chooser, &command);
    EXPECT_STREQ("EightChr", canvas->getProfileName().c_str()) << "eight characters are the most a name has";
}

TEST_F(ProfileTest, ANewPlayerGetsAFreshGamesStoryWhateverThePlayerBeforeReached)
{
    // The story table as text, its keys sorted, tables within it too.
    ASSERT_EQ(0, luaL_dostring(L(), R"(function storyText(t)
        local keys = {}
        for k in pairs(t) do keys[#keys + 1] = k end
        table.sort(keys, function(a, b) return tostring(a) < tostring(b) end)
        local out = {}
        for _, k in ipairs(keys) do
            local v = t[k]
            out[#out + 1] = tostring(k) .. "=" .. (type(v) == "table" and "{" .. storyText(v) .. "}" or tostring(v))
        end
        return table.concat(out, ",")
    end)"));
    auto story = [this] {
        lua_getglobal(L(), "storyText");
        lua_getglobal(L(), "LF");
        EXPECT_EQ(0, lua_pcall(L(), 1, 1, 0));
        const std::string text = lua_tostring(L(), -1);
        lua_pop(L(), 1);
        return text;
    };
    const std::string fresh = story();
    // Ann has come far: a later chapter, cut scenes seen, her own names.
    ASSERT_EQ(0, luaL_dostring(L(), "LF.chapter = 4 LF.vignetteSeen[2] = 1 LF.music = 'x' LF.showIns[3] = true"));
    ASSERT_NE(fresh, story());
    chooseNewPlayer("Bert");
    EXPECT_EQ(fresh, story());
}

TEST_F(ProfileTest, APlayerDeletedOrMadeAgainInAnotherCopyIsNotSavedOver)
{
    const std::string change = testsupport::ChildProgram::role();
    if (!change.empty()) {
        // The other copy, a program of its own on the test's settings.
        platform::setRegistryFile((testsupport::ChildProgram::folder() / "registry.txt").c_str());
        store()->open(lang::String(testsupport::GameWorld::kRegistryName));
        platform::RegistryBatch together;
        if (change == "deletes Ann")
            store()->deleteValue(lang::String("Ann"));
        else
            PlayerProfile::makeNew(*store(), lang::String("ANN\\"), lang::String("Ann"));
        return;
    }
    // This copy plays Ann as it read her.
    saveText("LF.mine = true\n");
    canvas->saveProfile();
    ASSERT_TRUE(canvas->loadProfile());

    // Another copy deletes Ann: this copy's save leaves her deleted.
    testsupport::ChildProgram deletion("deletes Ann", world.folder());
    ASSERT_TRUE(deletion.succeeded()) << deletion.output();
    canvas->saveProfile();
    EXPECT_EQ(std::string::npos, registryFile().find("\\ANN")) << registryFile();
    EXPECT_NE(std::string::npos, world.debugText().find("the player Ann was deleted or made anew"));

    // Another copy makes a new player Ann: this copy's save leaves her own
    // (empty) game alone.
    testsupport::ChildProgram creation("makes Ann anew", world.folder());
    ASSERT_TRUE(creation.succeeded()) << creation.output();
    canvas->saveProfile();
    EXPECT_EQ("Ann", world.settingText("Ann\\displayName", ""));
    EXPECT_EQ("<missing>", value("Ann\\LF\\0"));
    EXPECT_EQ("<missing>", value("Ann\\userdata\\0"));
}

class LastProfileTest : public GameFixture {};

TEST_F(LastProfileTest, ALastProfileThatIsNoProfileNameMeansNoProfile)
{
    world.setSetting("LASTPROFILE", "..\\Other");
    ASSERT_TRUE(startGame());
    EXPECT_TRUE(canvas->getProfileName().isEmpty());
    EXPECT_TRUE(canvas->isResetGame());
    EXPECT_TRUE(canvas->isSpriteVisible("ChoosePlayer")) << "the player chooses again";
    EXPECT_NE(std::string::npos, world.debugText().find("is not a profile name"));
}

TEST_F(LastProfileTest, ALastProfileWithoutANameIsNoProfileAndItsKeyIsNotMade)
{
    world.setSetting("LASTPROFILE", "Gone");
    ASSERT_TRUE(startGame());
    EXPECT_TRUE(canvas->getProfileName().isEmpty());
    EXPECT_TRUE(canvas->isSpriteVisible("ChoosePlayer"));
    EXPECT_NE(std::string::npos, world.debugText().find("names no profile"));
    lang::StringArray keys;
    world.settings()->listSubkeys(keys);
    EXPECT_EQ(0, keys.length());
}

TEST_F(LastProfileTest, ADeeplyNestedSettingsFileIsSetAsideAndTheGameStarts)
{
    const std::filesystem::path file = world.folder() / "registry.txt";
    std::string path = "a";
    for (int i = 0; i < 30000; ++i)
        path += "\\a";
    { std::ofstream(file, std::ios::binary) << "HVREGISTRY 1\nK \"\"\nK \"" << path << "\"\nE 2\n"; }
    platform::setRegistryFile(file.string().c_str());
    ASSERT_TRUE(startGame());
    EXPECT_TRUE(std::filesystem::exists(file.string() + ".damaged"));
    EXPECT_LT(std::filesystem::file_size(file), 1000u);
    EXPECT_TRUE(canvas->isSpriteVisible("ChoosePlayer")) << "no profile: the player makes one";
}

TEST_F(LastProfileTest, AHostileSavedStoryRunsNothingAndTheGameStarts)
{
    const std::string marker = (world.folder() / "ran").string();
    world.setSetting("LASTPROFILE", "Ann");
    world.setSetting("Ann\\displayName", "Ann");
    ProgressRecord record;
    lang::ByteArray image;
    record.writeImage(image);
    world.settings()->setBytesChunked(lang::String("Ann\\userdata"), image);
    const std::string text = "os.execute('touch " + marker + "')";
    lang::ByteArray script;
    script.setLength(int(text.size()));
    std::copy(text.begin(), text.end(), script.data());
    world.settings()->setBytesChunked(lang::String("Ann\\LF"), script);
    ASSERT_TRUE(startGame());
    EXPECT_STREQ("Ann", canvas->getProfileName().c_str());
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_NE(std::string::npos, world.debugText().find("the saved story of Ann is not taken"));
}

} // namespace
} // namespace gametest

// ProfileCrashTest.cpp: a child process that saves a profile over and over
// is killed at random moments; the settings file it leaves is always whole,
// and the profile in it is always one complete save: the record and the
// scripts' text of the same moment. Two copies of the game saving their own
// profiles at once keep each other's saves.
#include "core/lang/ByteArray.h"
#include "game/canvas/LanternfieldCanvas.h"
#include "game/progress/ProgressRecord.h"
#include "platform/registry/Registry.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/ChildProgram.h"

#include <lua.hpp>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

namespace gametest {
namespace {

// Kills in all, and the most saves a child is let make before its kill.
// Each kill lands in a save, placed by the child's reports; each child is a
// program started afresh, a second or more under the sanitizers on a slow
// machine.
constexpr int kRounds = 100;
constexpr int kMostSavesBeforeKill = 3;
// A child left alone stops by itself after this many saves.
constexpr int kChildSaves = 20000;
// Saves of each of two copies of the game running at once.
constexpr int kCopySaves = 200;

// The scripts' text of save n: its number, then enough to span one to
// three pieces, so that pieces come and go between saves.
std::string textOf(int n)
{
    std::string text = "saveNumber = " + std::to_string(n) + "\n";
    const size_t length = n % 3 == 0 ? 9000 : n % 3 == 1 ? 5000 : 100;
    while (text.size() < length)
        text += "-- filler of save " + std::to_string(n) + "\n";
    return text;
}

class ProfileCrashTest : public GameFixture {
protected:
    // Save n: the record and the scripts' text both carry the number.
    void useSavedText()
    {
        ASSERT_EQ(0, luaL_dostring(ScriptHost::instance->getState(), "function LF_save() return savedText end"));
    }
    void save(int n)
    {
        lua_State* L = ScriptHost::instance->getState();
        const std::string text = textOf(n);
        lua_pushlstring(L, text.data(), text.size());
        lua_setglobal(L, "savedText");
        canvas->getProgress()->lastRoom = n;
        canvas->getProgress()->currentRoom = n % LanternfieldCanvas::ROOM_COUNT;
        canvas->saveProfile();
    }

    // The folder of the settings file the test's saves go to: the test's
    // world's, also in a child of the test, which has a world of its own.
    std::filesystem::path settingsFolder()
    {
        return testsupport::ChildProgram::role().empty() ? world.folder() : testsupport::ChildProgram::folder();
    }
    // The game's store reads that file afresh from now on.
    void readSettingsAfresh()
    {
        platform::setRegistryFile((settingsFolder() / "registry.txt").string().c_str());
        // That closed every key: the game's store opens again.
        canvas->getUser()->open(lang::String(testsupport::GameWorld::kRegistryName));
    }
    // Reads the settings file afresh; the number of the save it holds, or
    // a failure naming what is wrong.
    ::testing::AssertionResult savedNumber(int& n, const std::string& profile = "Ann")
    {
        for (const auto& entry : std::filesystem::directory_iterator(settingsFolder())) {
            if (entry.path().filename().string().find(".damaged") != std::string::npos)
                return ::testing::AssertionFailure() << "the settings file was damaged";
        }
        readSettingsAfresh();
        auto* store = new sprite::User();
        store->open(lang::String(testsupport::GameWorld::kRegistryName));
        lang::ByteArray image;
        lang::ByteArray text;
        const lang::String name(profile.c_str());
        const bool haveImage = store->getBytesChunked(name + "\\userdata", image);
        const bool haveText = store->getBytesChunked(name + "\\LF", text);
        const lang::String shown = store->getString(name + "\\displayName", lang::String(""));
        store->release();
        if (!shown.equals(name))
            return ::testing::AssertionFailure() << "the profile's name is lost";
        ProgressRecord record;
        if (!haveImage || image.length() != ProgressRecord::IMAGE_SIZE ||
            !record.readImage(image.data(), image.length()))
            return ::testing::AssertionFailure() << "the record is lost";
        n = record.lastRoom;
        const std::string expected = textOf(n);
        if (!haveText || std::string(reinterpret_cast<const char*>(text.data()), size_t(text.length())) != expected)
            return ::testing::AssertionFailure() << "the scripts' text is not that of save " << n;
        if (record.currentRoom != n % LanternfieldCanvas::ROOM_COUNT)
            return ::testing::AssertionFailure() << "the record is not that of save " << n;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ProfileCrashTest, KillingTheGameWhileItSavesNeverLosesTheProfileOrHalfSavesIt)
{
    ASSERT_TRUE(startGame());
    canvas->setProfileName(lang::String("Ann"));
    useSavedText();
    if (testsupport::ChildProgram::role() == "saver") {
        // The child saves on from where the test's file stands, and tells
        // the test when it starts and as each save is written, until it is
        // killed.
        int last = -1;
        ASSERT_TRUE(savedNumber(last));
        testsupport::ChildProgram::report();
        for (int i = 1; i <= kChildSaves; ++i) {
            save(last + i);
            testsupport::ChildProgram::report();
        }
        return;
    }
    world.setSetting("Ann\\displayName", "Ann");
    save(0);

    // Each kill follows the child's report of a number of saves written (0:
    // only its start) after a random part of the time a save takes, so
    // that it lands at a random point of the next save.
    std::mt19937 random(18);
    std::uniform_int_distribution<int> savesBeforeKill(0, kMostSavesBeforeKill);
    std::uniform_real_distribution<double> partOfASave(0, 1);
    std::chrono::steady_clock::duration saveTime{};
    int last = 0;
    int advanced = 0;
    int cut = 0;
    for (int round = 0; round < kRounds; ++round) {
        const int saves = savesBeforeKill(random);
        testsupport::ChildProgram child("saver", world.folder());
        ASSERT_TRUE(child.waitForReports(1 + saves)) << "round " << round << ": " << child.output();
        if (saves > 0)
            saveTime = child.reportSpan();
        std::this_thread::sleep_for(saveTime * partOfASave(random));
        child.kill();
        int n = -1;
        ASSERT_TRUE(savedNumber(n)) << "after round " << round;
        // The saves it reported are kept, and no more when the kill cut the
        // next one off.
        ASSERT_GE(n, last + saves) << "after round " << round;
        advanced += n > last ? 1 : 0;
        cut += n == last + saves ? 1 : 0;
        last = n;
    }
    // Kills came after saves, and cut saves off.
    EXPECT_GT(advanced, kRounds / 10);
    EXPECT_GT(cut, 0);
}

TEST_F(ProfileCrashTest, TwoCopiesSavingTheirOwnProfilesKeepEachOthersSaves)
{
    ASSERT_TRUE(startGame());
    useSavedText();
    const std::string copy = testsupport::ChildProgram::role();
    if (!copy.empty()) {
        // A copy saves its own profile into the test's file.
        readSettingsAfresh();
        canvas->setProfileName(lang::String(copy.c_str()));
        for (int i = 1; i <= kCopySaves; ++i)
            save(i);
        return;
    }
    world.setSetting("Ann\\displayName", "Ann");
    world.setSetting("Bob\\displayName", "Bob");
    testsupport::ChildProgram ann("Ann", world.folder());
    testsupport::ChildProgram bob("Bob", world.folder());
    for (testsupport::ChildProgram* child : {&ann, &bob})
        ASSERT_TRUE(child->succeeded()) << child->output();
    for (const char* name : {"Ann", "Bob"}) {
        int n = -1;
        ASSERT_TRUE(savedNumber(n, name)) << name;
        EXPECT_EQ(kCopySaves, n) << name;
    }
}

} // namespace
} // namespace gametest

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
#include "tests/support/MachinePace.h"

#include <lua.hpp>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace gametest {
namespace {

// Kills in all, and the longest wait before one (a few saves' time: each
// save writes and flushes the whole settings file).
constexpr int kRounds = 200;
constexpr int kMaxDelayMicroseconds = 20000;
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

    // Reads the settings file afresh; the number of the save it holds, or
    // a failure naming what is wrong.
    ::testing::AssertionResult savedNumber(int& n, const std::string& profile = "Ann")
    {
        const std::string file = (world.folder() / "registry.txt").string();
        for (const auto& entry : std::filesystem::directory_iterator(world.folder())) {
            if (entry.path().filename().string().find(".damaged") != std::string::npos)
                return ::testing::AssertionFailure() << "the settings file was damaged";
        }
        platform::setRegistryFile(file.c_str());
        auto* store = new sprite::User();
        store->open(lang::String(testsupport::GameWorld::kRegistryName));
        lang::ByteArray image;
        lang::ByteArray text;
        const lang::String name(profile.c_str());
        const bool haveImage = store->getBytesChunked(name + "\\userdata", image);
        const bool haveText = store->getBytesChunked(name + "\\LF", text);
        const lang::String shown = store->getString(name + "\\displayName", lang::String(""));
        store->release();
        // Reading the file afresh closed every key: the game's store opens again.
        canvas->getUser()->open(lang::String(testsupport::GameWorld::kRegistryName));
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
    world.setSetting("Ann\\displayName", "Ann");
    canvas->setProfileName(lang::String("Ann"));
    ASSERT_EQ(0, luaL_dostring(ScriptHost::instance->getState(), "function LF_save() return savedText end"));
    save(0);

    std::mt19937 random(18);
    std::uniform_int_distribution<int> delay(0, kMaxDelayMicroseconds);
    int last = 0;
    int advanced = 0;
    for (int round = 0; round < kRounds; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child saves on from where the file stands until it is killed.
            for (int i = 1; i <= kChildSaves; ++i)
                save(last + i);
            _exit(0);
        }
        // Timed on the child's own clock, so that a busy machine that
        // keeps it from running moves no kill before its first save.
        testsupport::waitUntilChildHasRun(child, std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        int n = -1;
        ASSERT_TRUE(savedNumber(n)) << "after round " << round;
        ASSERT_GE(n, last) << "after round " << round;
        advanced += n > last ? 1 : 0;
        last = n;
    }
    // The kills came both before any save was written and between saves.
    EXPECT_GT(advanced, kRounds / 10);
    EXPECT_LT(advanced, kRounds);
}

TEST_F(ProfileCrashTest, TwoCopiesSavingTheirOwnProfilesKeepEachOthersSaves)
{
    ASSERT_TRUE(startGame());
    world.setSetting("Ann\\displayName", "Ann");
    world.setSetting("Bob\\displayName", "Bob");
    useSavedText();
    pid_t children[2];
    for (int copy = 0; copy < 2; ++copy) {
        children[copy] = fork();
        ASSERT_GE(children[copy], 0);
        if (children[copy] == 0) {
            canvas->setProfileName(lang::String(copy == 0 ? "Ann" : "Bob"));
            for (int i = 1; i <= kCopySaves; ++i)
                save(i);
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (const char* name : {"Ann", "Bob"}) {
        int n = -1;
        ASSERT_TRUE(savedNumber(n, name)) << name;
        EXPECT_EQ(kCopySaves, n) << name;
    }
}

} // namespace
} // namespace gametest

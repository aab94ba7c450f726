// SettingsCrashTest.cpp: the sample game with three players' profiles, its
// play (choosing a player, walking through the exits by clicks, each room
// change saving) killed with SIGKILL at random moments 200 times; the
// settings file is never set aside as damaged, and every start of the game
// between the kills and after the last finds every profile, each of which
// loads without a word of complaint into a room that exists.
#include "core/lang/ByteArray.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "platform/registry/Registry.h"
#include "sprites/settings/User.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/MachinePace.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace gametest {
namespace {

// Starts of the game, each followed by kills of its play: 8 x 25 kills.
constexpr int kStarts = 8;
constexpr int kKillsPerStart = 25;
// The longest wait before a kill: a few rounds of the child's play.
constexpr int kMaxDelayMs = 100;
// A child left alone stops by itself after this many room changes.
constexpr int kChildRooms = 200;
const char* const kNames[] = {"Ann", "Bob", "Cy"};

void clickMiddle(testsupport::GameWorld& world, sprite::SpriteBase* s)
{
    world.click(s->left() + s->width() / 2, s->top() + s->height() / 2);
}

// The child's play: the player chosen and their game continued (and at once
// left for the menu and continued again, so that every child soon saves),
// then, until it is killed, an exit clicked at random (a cut scene is left for the
// dock) and, while the wipe runs, the game left for the menu, which saves
// it, and continued.
[[noreturn]] void play(testsupport::GameWorld& world, Canvas* canvas, const char* name, unsigned seed)
{
    std::mt19937 random(seed);
    canvas->chooseProfile(lang::String(name));
    canvas->showSprite("ChoosePlayer", false);
    canvas->enterGame(canvas->getProgress()->currentRoom);
    canvas->exitToMenu();
    canvas->enterGame(canvas->getProgress()->currentRoom);
    world.stepFrames(1);
    for (int i = 0; i < kChildRooms; ++i) {
        Room* room = canvas->getCurrentRoom();
        DoorSprite* door = room && room->getDoorCount() > 0
                               ? room->getDoor(int(random() % unsigned(room->getDoorCount())))
                               : nullptr;
        if (door && door->isEnabled() && door->isVisible())
            clickMiddle(world, door);
        else
            canvas->changeRoom(0);
        world.stepFrames(2);
        canvas->exitToMenu();
        canvas->enterGame(canvas->getProgress()->currentRoom);
        world.stepFrames(24);
    }
    _exit(0);
}

// The name the settings file keeps for that profile ("" when it is lost),
// read from the profile's own key as the player selection writes it.
std::string displayName(const char* name)
{
    auto* store = new sprite::User();
    store->open(lang::String::loadText("REGISTRYNAME") + "\\" + lang::String(name).toUpperCase());
    const std::string shown = store->getString(lang::String("displayName"), lang::String("")).c_str();
    store->release();
    return shown;
}

// A start of the game on the settings file: every profile is there, and
// each loads without a message into a room that exists; once the players
// have played, each has a saved game.
void expectEveryProfileWhole(testsupport::GameWorld& world, Canvas* canvas, bool played)
{
    for (const char* name : kNames) {
        EXPECT_EQ(name, displayName(name));
        canvas->chooseProfile(lang::String(name));
        lang::ByteArray saved;
        if (canvas->getUser()->getBytesChunked(lang::String(name) + "\\userdata", saved)) {
            EXPECT_TRUE(canvas->loadProfile()) << name;
        } else {
            EXPECT_FALSE(played) << name << " has no saved game";
        }
        EXPECT_NE(nullptr, canvas->getRoom(canvas->getProgress()->currentRoom)) << name;
    }
    for (const platform::MessageBoxRecord& box : world.boxes())
        ADD_FAILURE() << box.caption << ": " << box.text;
}

bool setAsideAsDamaged(const std::filesystem::path& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".damaged") != std::string::npos)
            return true;
    }
    return false;
}

TEST(SettingsCrashTest, KillingThePlayingGameNeverCostsAProfile)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    testsupport::TempDir shared;
    const std::string settings = shared.file("registry.txt");
    auto useSharedSettings = [&settings](const std::filesystem::path&) {
        platform::setRegistryFile(settings.c_str());
    };
    std::mt19937 random(31);
    std::uniform_int_distribution<int> delay(0, kMaxDelayMs);
    int kills = 0;
    for (int start = 0; start <= kStarts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        testsupport::GameWorld world;
        Canvas* canvas = nullptr;
        ASSERT_TRUE(startSampleGame(world, new testsupport::TestLoaderFrame(), canvas, useSharedSettings));
        auto* chooser = static_cast<ChoosePlayer*>(canvas->getSprite("ChoosePlayer"));
        ASSERT_NE(nullptr, chooser);
        if (start == 0) {
            // The first start asks for a name; the others are made through
            // the player selection's new-player command.
            typeName(world, kNames[0]);
            for (int i = 1; i < 3; ++i) {
                canvas->showSprite("ChoosePlayer", true);
                lang::String command("createNewProfile");
                lang::String ignored("");
                chooser->translateCommand(&command, &ignored, 1);
                ASSERT_TRUE(chooser->isInputPromptVisible());
                typeName(world, kNames[i]);
            }
        }
        expectEveryProfileWhole(world, canvas, start == kStarts);
        if (start == kStarts)
            break;
        for (int k = 0; k < kKillsPerStart; ++k, ++kills) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0)
                play(world, canvas, kNames[kills % 3], unsigned(kills));
            // Timed on the child's own clock: a busy machine that keeps
            // it from running moves no kill before its first save.
            testsupport::waitUntilChildHasRun(child, std::chrono::milliseconds(delay(random)));
            kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(child, waitpid(child, &status, 0));
            // The file read afresh, as the next start reads it (which sets
            // a damaged one aside): it still lists every profile.
            platform::setRegistryFile(settings.c_str());
            canvas->getUser()->open(lang::String(testsupport::GameWorld::kRegistryName));
            ASSERT_FALSE(setAsideAsDamaged(shared.path())) << "after kill " << kills;
            for (const char* name : kNames)
                ASSERT_EQ(name, displayName(name)) << "after kill " << kills;
        }
    }
    EXPECT_EQ(kStarts * kKillsPerStart, kills);
}

} // namespace
} // namespace gametest

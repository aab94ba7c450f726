// SettingsCrashTest.cpp: the sample game with three players' profiles, its
// play (choosing a player, walking through the exits by clicks, each room
// change saving) killed with SIGKILL at random moments of its saves 40
// times; the settings file is never set aside as damaged, and every start
// of the game between the kills and after the last finds every profile,
// each of which loads without a word of complaint into a room that exists.
#include "core/lang/ByteArray.h"
#include "game/dialogs/ChoosePlayer.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "platform/registry/Registry.h"
#include "sprites/settings/User.h"
#include "tests/game/support/GameFixture.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

namespace gametest {
namespace {

// Starts of the game, each followed by kills of its play: 8 x 5 kills,
// each in a save the child reports (a child, which starts the game afresh,
// takes seconds under the sanitizers on a slow machine).
constexpr int kStarts = 8;
constexpr int kKillsPerStart = 5;
// The most saves a child is let finish before its kill.
constexpr int kMostSavesBeforeKill = 3;
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
// it, and continued. It tells the test as each of those saves begins and
// as it ends.
void play(testsupport::GameWorld& world, Canvas* canvas, const char* name, unsigned seed)
{
    auto exitToMenu = [canvas] {
        testsupport::ChildProgram::report();
        canvas->exitToMenu();
        testsupport::ChildProgram::report();
    };
    std::mt19937 random(seed);
    canvas->chooseProfile(lang::String(name));
    canvas->showSprite("ChoosePlayer", false);
    canvas->enterGame(canvas->getProgress()->currentRoom);
    exitToMenu();
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
        exitToMenu();
        canvas->enterGame(canvas->getProgress()->currentRoom);
        world.stepFrames(24);
    }
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
// each loads without a message into a room that exists; `savers`, the
// players whose play was seen to save, have a saved game.
void expectEveryProfileWhole(testsupport::GameWorld& world, Canvas* canvas, const std::set<std::string>& savers)
{
    for (const char* name : kNames) {
        EXPECT_EQ(name, displayName(name));
        canvas->chooseProfile(lang::String(name));
        lang::ByteArray saved;
        if (canvas->getUser()->getBytesChunked(lang::String(name) + "\\userdata", saved)) {
            EXPECT_TRUE(canvas->loadProfile()) << name;
        } else {
            EXPECT_EQ(0u, savers.count(name)) << name << " has no saved game";
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

// The game started on the settings file in `folder` (false when it did not
// start).
bool startOnSettingsIn(const std::filesystem::path& folder, testsupport::GameWorld& world, Canvas*& canvas)
{
    const std::string settings = (folder / "registry.txt").string();
    return startSampleGame(world, new testsupport::TestLoaderFrame(), canvas,
                           [&settings](const std::filesystem::path&) { platform::setRegistryFile(settings.c_str()); });
}

TEST(SettingsCrashTest, KillingThePlayingGameNeverCostsAProfile)
{
    if (!hasSampleGame())
        GTEST_SKIP() << "the game data is built with the tools";
    const std::string role = testsupport::ChildProgram::role();
    if (!role.empty()) {
        // A child: the game, started on the test's settings, played by the
        // player of the kill numbered `role` until it is killed.
        const int number = std::stoi(role);
        testsupport::GameWorld world;
        Canvas* canvas = nullptr;
        ASSERT_TRUE(startOnSettingsIn(testsupport::ChildProgram::folder(), world, canvas));
        play(world, canvas, kNames[number % 3], unsigned(number));
        return;
    }
    testsupport::TempDir shared;
    const std::string settings = shared.file("registry.txt");
    // Each kill lands at a random point of a save the child reports it
    // begins, after a number of saves it finished (0 to 3), a random part
    // of the time the last save it finished took.
    std::mt19937 random(31);
    std::uniform_int_distribution<int> savesBeforeKill(0, kMostSavesBeforeKill);
    std::uniform_real_distribution<double> partOfASave(0, 1);
    std::chrono::steady_clock::duration saveTime{};
    std::set<std::string> saved;
    int kills = 0;
    for (int start = 0; start <= kStarts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        testsupport::GameWorld world;
        Canvas* canvas = nullptr;
        ASSERT_TRUE(startOnSettingsIn(shared.path(), world, canvas));
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
        expectEveryProfileWhole(world, canvas, saved);
        if (start == kStarts)
            break;
        for (int k = 0; k < kKillsPerStart; ++k, ++kills) {
            const int saves = savesBeforeKill(random);
            testsupport::ChildProgram child(std::to_string(kills), shared.path());
            if (saves > 0) {
                ASSERT_TRUE(child.waitForReports(2 * saves)) << "kill " << kills << ": " << child.output();
                saveTime = child.reportSpan();
                saved.insert(kNames[kills % 3]);
            }
            ASSERT_TRUE(child.waitForReports(2 * saves + 1)) << "kill " << kills << ": " << child.output();
            std::this_thread::sleep_for(saveTime * partOfASave(random));
            child.kill();
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
    // The last start found every player's saved game.
    EXPECT_EQ(3u, saved.size());
}

} // namespace
} // namespace gametest

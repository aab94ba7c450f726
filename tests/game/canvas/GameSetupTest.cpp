// GameSetupTest.cpp: the fixture game with its 66 rooms loads through the
// real loader thread and the canvas binds every named object; a name the
// data lacks fails the load with a message naming it.
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "game/characters/PlayerCharacter.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "tests/game/support/GameFixture.h"

#include <algorithm>

namespace gametest {
namespace {

class GameSetupTest : public GameFixture {
protected:
    TalkBalloon* balloon(const char* name) { return static_cast<TalkBalloon*>(canvas->getSprite(name)); }
    int indexOf(const std::vector<std::string>& list, const std::string& entry)
    {
        auto it = std::find(list.begin(), list.end(), entry);
        return it == list.end() ? -1 : int(it - list.begin());
    }
};

TEST_F(GameSetupTest, TheFixtureGameLoadsAndOpensTheMainMenu)
{
    ASSERT_TRUE(startGame());
    EXPECT_TRUE(canvas->isSetUp());
    EXPECT_EQ(LanternfieldCanvas::STATE_MAIN_MENU, canvas->getGameState());
    EXPECT_TRUE(canvas->isSpriteVisible("MainMenu"));
    EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].text;
    // No profile: the world was reset and a new game waits.
    EXPECT_TRUE(canvas->isResetGame());
    EXPECT_EQ(ProgressRecord::NEW_GAME_ROOM, canvas->getProgress()->currentRoom);
    for (int i = 0; i < LanternfieldCanvas::ROOM_COUNT; ++i) {
        ASSERT_NE(nullptr, room(i));
        EXPECT_STREQ(LanternfieldCanvas::kRoomNames[i], room(i)->getName().c_str());
        EXPECT_FALSE(room(i)->isVisible()) << i;
    }
    EXPECT_FALSE(canvas->getInventory()->isVisible());
    EXPECT_FALSE(canvas->isSpriteVisible("GameCursor"));
    EXPECT_FALSE(canvas->isSpriteVisible("GlobalISpyListText_12"));
}

TEST_F(GameSetupTest, RoomLookUpsByIndexAndName)
{
    ASSERT_TRUE(startGame());
    EXPECT_STREQ("StoryIntro", canvas->getRoom(65)->getName().c_str());
    EXPECT_STREQ("Dock", canvas->getRoom(0)->getName().c_str());
    EXPECT_EQ(nullptr, canvas->getRoom(66));
    EXPECT_EQ(nullptr, canvas->getRoom(-1));
    const struct {
        const char* name;
        int index;
    } cases[] = {{"Dock", 0}, {"StoryIntro", 65}, {"OuterVillage_2", 41}, {"dock", -1}, {"Nowhere", -1}, {"", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.index, canvas->findRoomIndex(lang::String(c.name))) << c.name;
    EXPECT_EQ(canvas->getCharacter(2), canvas->findCharacter(lang::String("Professor")));
    EXPECT_EQ(nullptr, canvas->findCharacter(lang::String("professor")));
    // Removing a character that does not exist changes nothing.
    canvas->removeCharacterFromScreen(lang::String("Nobody"));
    EXPECT_EQ(canvas->getCharacter(12), canvas->getSprite("Ghost"));
}

TEST_F(GameSetupTest, TheRoomScriptsRunInIndexOrderBeforeTheGameScript)
{
    ASSERT_TRUE(startGame());
    std::vector<std::string> all = calls();
    const int script = indexOf(all, "Lanternfield.lua()");
    ASSERT_GE(script, 0);
    // Every room's table exists by then: the first reset reaches all 66.
    EXPECT_EQ(66 * 2, int(calls("resetGlobalItems:").size())) << "set-up's reset and the menu's reset";
    EXPECT_LT(script, indexOf(all, "resetGlobalItems:Dock(1)"));
    EXPECT_LT(indexOf(all, "resetGlobalItems:Dock(1)"), indexOf(all, "resetGlobalItems:StoryIntro(1)"));
    EXPECT_EQ(3, world.lua().count("record(\"Lanternfield.lua\""))
        << "set-up, the reset of the world and the menu's reset";
}

TEST_F(GameSetupTest, CharactersAndBalloonsTakeTheirSettingsFromTheData)
{
    ASSERT_TRUE(startGame());
    auto* player = static_cast<PlayerCharacter*>(canvas->getPlayerCharacter());
    EXPECT_EQ(100, player->left());
    EXPECT_EQ(450, player->top());
    EXPECT_EQ(300, player->getAltX());
    EXPECT_EQ(100, player->getHomeX());
    EXPECT_EQ(450, player->getHomeY());
    EXPECT_EQ(6, player->getBalloonAnchor());
    EXPECT_EQ(balloon("ThoughtBalloon"), player->getTalkBalloon());
    EXPECT_FALSE(player->hasTalkToMeButton());

    Character* tutorial = canvas->getCharacter(1);
    EXPECT_EQ(90, tutorial->left());
    EXPECT_EQ(460, tutorial->top());
    EXPECT_EQ(balloon("TutorialBalloon"), tutorial->getTalkBalloon());

    for (int i = 2; i < LanternfieldCanvas::CHARACTER_COUNT; ++i) {
        Character* c = canvas->getCharacter(i);
        EXPECT_EQ(balloon("TalkBalloon"), c->getTalkBalloon()) << c->getName().c_str();
        EXPECT_EQ(canvas->getSprite("TalkSkip"), c->getSkipButton());
        const bool voice = c->getName().equals("CallBoxIntercom") || c->getName().equals("Ghost");
        EXPECT_EQ(!voice, c->hasTalkToMeButton()) << c->getName().c_str();
        EXPECT_FALSE(c->isVisible());
    }

    const struct {
        const char* balloon;
        int padX, padY, dx, dy;
    } balloons[] = {
        {"TalkBalloon", 7, 8, 0, 0},         {"ThoughtBalloon", 3, 4, 5, 6},       {"TutorialBalloon", 11, 12, 0, 0},
        {"InventoryTipBalloon", 13, 14, 15, 0}, {"RoomItemsBalloon", 16, 17, 18, 0},
    };
    for (const auto& b : balloons) {
        TalkBalloon* t = balloon(b.balloon);
        EXPECT_EQ(b.padX, t->getTextPadX()) << b.balloon;
        EXPECT_EQ(b.padY, t->getTextPadY()) << b.balloon;
        EXPECT_EQ(b.dx, t->getTextDX()) << b.balloon;
        EXPECT_EQ(b.dy, t->getTextDY()) << b.balloon;
    }
    EXPECT_EQ(128, balloon("TalkBalloon")->getTextAlpha());
    EXPECT_EQ(canvas->getSprite("TalkBalloonTail_0"), balloon("TalkBalloon")->getTail(0));
    EXPECT_EQ(nullptr, balloon("TalkBalloon")->getTail(1)) << "tails are optional";
    EXPECT_EQ(canvas->getSprite("ThoughtBalloonTail"), balloon("ThoughtBalloon")->getTail(6));
    EXPECT_EQ(canvas->getSprite("TutorialHelpButton"), balloon("TutorialBalloon")->getButton());
    EXPECT_EQ(-8, balloon("TutorialBalloon")->getButtonDX());
    EXPECT_EQ(-5, balloon("TutorialBalloon")->getButtonDY());
    EXPECT_EQ(20, balloon("RoomItemsBalloon")->getHomeLeft());
    EXPECT_EQ(30, balloon("RoomItemsBalloon")->getHomeTop());
}

TEST(GameSetupFailureTest, AMissingOrMistypedNameFailsTheLoadWithAMessageNamingIt)
{
    const struct {
        const char* what;
        GameOptions options;
        const char* message;
    } cases[] = {
        {"a character", {{}, {"Ghost"}, {}, "", {}, {}, {}, "", {}, ""}, "\"Ghost\""},
        {"a room", {{}, {"WindRace"}, {}, "", {}, {}, {}, "", {}, ""}, "\"WindRace\""},
        {"a room of another class",
         {{}, {}, {{"Dock", "DialogSprite"}}, "", {}, {}, {}, "", {}, ""},
         "\"Dock\" (not a Room)"},
    };
    for (const auto& c : cases) {
        testsupport::GameWorld other;
        writeGame(other.data(), c.options);
        other.openArchive();
        other.setSetting("FULLSCREEN", 0);
        auto* failing = new Canvas();
        auto* failingFrame = new testsupport::TestLoaderFrame();
        EXPECT_FALSE(other.start(failingFrame, failing)) << c.what;
        EXPECT_TRUE(failingFrame->isLoadFailed()) << c.what;
        EXPECT_FALSE(failing->isSetUp()) << c.what;
        std::vector<platform::MessageBoxRecord> boxes = other.boxes("setupGame");
        ASSERT_EQ(1u, boxes.size()) << c.what;
        EXPECT_NE(std::string::npos, boxes[0].text.find(c.message)) << boxes[0].text;
        EXPECT_EQ(0u, boxes[0].text.find("The data manifest \"datfile\" of the game data is damaged or incomplete"))
            << "the player reads the manifest's name, not the engine's: " << boxes[0].text;
        // Nothing was bound from the incomplete data.
        EXPECT_EQ(nullptr, failing->getRoom(0)) << c.what;
        EXPECT_TRUE(other.close()) << "the failed load closes the program";
    }
}

} // namespace
} // namespace gametest

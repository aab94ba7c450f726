// The sample game's people: each stands in its room with its figure and
// talks in the balloon when clicked; the voices speak as their rooms are
// entered; the player thinks and the tutorial's guide advises on a first
// visit.
#include "game/balloons/TalkBalloon.h"
#include "game/characters/Character.h"
#include "game/rooms/Room.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace gametest {
namespace {

class SampleCharactersTest : public GameFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGame());
        enter(LanternfieldCanvas::ROOM_STORY_INTRO);
        world.stepFrames(1);
    }

    void goTo(int room)
    {
        canvas->changeRoom(room);
        world.stepFrames(2);
    }
    std::string shown(const char* textSprite)
    {
        auto* text = static_cast<sprite::NewFontSprite*>(canvas->getSprite(textSprite));
        return text->isVisible() ? text->getText().c_str() : "";
    }
    static std::string line(const char* id) { return lang::String::loadText(id).c_str(); }
    bool balloonShows(const char* name) { return canvas->isSpriteVisible(name); }
};

TEST_F(SampleCharactersTest, EachPersonStandsInItsRoomAndTalksWhenClicked)
{
    const struct {
        int room;
        const char* name;
        const char* first;
    } people[] = {
        {0, "Fisherman", "STR_FISHERMAN_1"},       {1, "Professor", "STR_PROFESSOR_1"},
        {4, "ShopKeeper", "STR_SHOPKEEPER_1"},     {11, "Barkeeper", "STR_BARKEEPER_1"},
        {11, "CardShark", "STR_CARDSHARK_1"},      {12, "GalleryOwner", "STR_GALLERYOWNER_1"},
        {26, "ParkRanger", "STR_PARKRANGER_1"},    {40, "TribalElder", "STR_TRIBALELDER_1"},
        {51, "Millionaire", "STR_MILLIONAIRE_1"},
        // At night the card shark waits by the door to his board game.
        {44, "CardShark", "STR_CARDSHARK_NIGHT_1"},
    };
    // The tutorial's guide at the dock goes with a first click.
    goTo(0);
    world.click(400, 150);
    for (const auto& p : people) {
        goTo(p.room);
        Character* c = canvas->findCharacter(lang::String(p.name));
        ASSERT_TRUE(canvas->getRoom(p.room)->hasCharacter(lang::String(p.name))) << p.name;
        EXPECT_TRUE(c->isVisible()) << p.name;
        EXPECT_TRUE(c->isTalkToMeButtonShown()) << p.name << " invites the player";
        ASSERT_NE(nullptr, c->getLayer(Character::HEAD)) << p.name << " stands posed";
        // A click at the middle of the figure's head.
        world.click(c->left() + 50, c->top() + 25);
        EXPECT_TRUE(c->isTalking()) << p.name;
        EXPECT_EQ(line(p.first), shown("TalkText")) << p.name;
        EXPECT_TRUE(balloonShows("TalkBalloon")) << p.name;
        world.stepFrames(10);
        world.click(400, 200);
        EXPECT_FALSE(c->isTalking()) << p.name << " stops on the next click";
        EXPECT_FALSE(balloonShows("TalkBalloon")) << p.name;
    }
    EXPECT_TRUE(world.boxes().empty()) << world.boxes()[0].caption << ": " << world.boxes()[0].text;
}

TEST_F(SampleCharactersTest, TheVoicesSpeakAsTheirRoomsAreEntered)
{
    const struct {
        int room;
        const char* name;
        const char* first;
    } voices[] = {{50, "Ghost", "STR_GHOST_1"}};
    for (const auto& v : voices) {
        goTo(v.room);
        Character* c = canvas->findCharacter(lang::String(v.name));
        EXPECT_TRUE(c->isTalking()) << v.name;
        EXPECT_EQ(line(v.first), shown("TalkText")) << v.name;
        world.stepFrames(60);
        EXPECT_TRUE(balloonShows("TalkBalloon")) << v.name << " until it is stopped";
        goTo(0);
        EXPECT_FALSE(c->isTalking()) << "leaving the room stops " << v.name;
    }
}

TEST_F(SampleCharactersTest, TheGuideAdvisesAtTheDockAndThePlayerThinksAtTheMarket)
{
    goTo(0);
    Character* guide = canvas->getCharacter(1);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_TRUE(guide->isTalking());
    EXPECT_TRUE(balloonShows("TutorialBalloon"));
    EXPECT_EQ(line("STR_TUTORIAL_1"), std::string(guide->getTalkText()->getText().c_str()));
    // The advice leaves the fisherman's figure clear, his face above all.
    const util::RectangleNM advice = *canvas->getSprite("TutorialBalloon")->getBounds();
    const util::RectangleNM fisherman = *canvas->findCharacter(lang::String("Fisherman"))->getBounds();
    EXPECT_FALSE(advice.x < fisherman.x + fisherman.width && fisherman.x < advice.x + advice.width &&
                 advice.y < fisherman.y + fisherman.height && fisherman.y < advice.y + advice.height)
        << "the guide's balloon covers the fisherman";
    // A click ends his advice; he stays at the dock until the player goes.
    world.click(300, 150);
    EXPECT_FALSE(guide->isTalking());
    EXPECT_TRUE(guide->isVisible());
    world.stepFrames(60);
    EXPECT_TRUE(guide->isVisible());
    // A click on him, silent, gives his advice again.
    const util::RectangleNM figure = *guide->getBounds();
    world.click(figure.x + figure.width / 2, figure.y + figure.height / 2);
    EXPECT_TRUE(guide->isTalking());
    EXPECT_EQ(line("STR_TUTORIAL_1"), std::string(guide->getTalkText()->getText().c_str()));
    world.click(300, 150);
    EXPECT_FALSE(guide->isTalking());

    goTo(2);
    Character* player = canvas->getPlayerCharacter();
    EXPECT_TRUE(player->isVisible());
    EXPECT_TRUE(player->isTalking());
    EXPECT_EQ(line("STR_THINK_MARKETPLACE"), shown("ThoughtText"));
    world.stepFrames(200);
    EXPECT_FALSE(player->isTalking()) << "a thought ends by itself";
    goTo(0);
    goTo(2);
    EXPECT_FALSE(player->isTalking()) << "only on the first visit";
    EXPECT_FALSE(guide->isVisible());
}

} // namespace
} // namespace gametest

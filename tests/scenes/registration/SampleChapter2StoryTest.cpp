// SampleChapter2StoryTest.cpp: the second chapter's story holds its puzzles
// in order on the sample game: the restoration room waits for the card
// game's trophy, the dive for the running compressor, the call box for the
// gallery owner's card and the diving boat for the pearls; the compressor's
// warning light goes out once it runs; the ways shut in
// the first two chapters say why, the market is met as the first chapter
// left it, the first chapter's items are told of at the second's start, and
// the owner's words follow the story and fit his figure.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/characters/Character.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/DoorSprite.h"
#include "game/rooms/Room.h"
#include "scenes/callbox/CallBox.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SamplePuzzles.h"
#include "tests/scenes/support/SampleWalk.h"
#include "tests/scenes/support/SceneFixture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace scenetest {
namespace {

// The rooms of the chapter the tests enter, by their index in the rooms table.
constexpr int kStoryTavernGallery = 10;
constexpr int kStoryTavernInterior = 11;
constexpr int kStoryGalleryInterior = 12;
constexpr int kStoryDiveDock = 14;
constexpr int kStoryWhackAClam = 18;
constexpr int kStoryArtRestoration = 19;
constexpr int kStoryCallBox = 22;

class SampleChapter2StoryTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
        canvas->getProgress()->chapter = 2;
    }
    // The room is entered afresh (from the tavern gallery), so that its
    // script looks at the story again.
    void enterAgain(int index)
    {
        enter(kStoryTavernGallery);
        enter(index);
    }
    gametest::SamplePlayer player{world, canvas};
};

TEST_F(SampleChapter2StoryTest, TheWaysToThePuzzlesOpenOnceTheStoryHasWhatTheyNeed)
{
    struct Case {
        int room;
        int target;
        const char* given; // Lua that gives the story what the way needs
        bool openElsewhere; // the way is open in the other chapters
    };
    const Case cases[] = {
        {kStoryGalleryInterior, kStoryArtRestoration, "LF.concentrationWon = true", true},
        // The dive is this chapter's alone: no compressor runs before it.
        {kStoryDiveDock, kStoryWhackAClam, "LF.compressorStage = 'running'", false},
    };
    for (const Case& c : cases) {
        DoorSprite* door = exitTo(room(c.room), c.target);
        ASSERT_NE(nullptr, door) << c.room << " to " << c.target;
        enterAgain(c.room);
        EXPECT_FALSE(door->isEnabled()) << c.room << " to " << c.target;
        runLua(room(c.room), c.given);
        enterAgain(c.room);
        EXPECT_TRUE(door->isEnabled()) << c.room << " to " << c.target;
        runLua(room(c.room), "LF.concentrationWon = false; LF.compressorStage = nil");
        for (int chapter : {1, 5}) {
            canvas->getProgress()->chapter = chapter;
            enterAgain(c.room);
            EXPECT_EQ(c.openElsewhere, door->isEnabled()) << c.room << " to " << c.target << " in chapter " << chapter;
        }
        canvas->getProgress()->chapter = 2;
    }
}

// The compressor's warning light blinks over the dock while it is broken,
// and stays out once it runs.
TEST_F(SampleChapter2StoryTest, TheCompressorsWarningLightGoesOutOnceItRuns)
{
    sprite::SpriteBase* light = room(kStoryDiveDock)->getSprite("AirCompressorLight");
    ASSERT_NE(nullptr, light);
    const struct {
        const char* stage;
        bool blinks;
    } stages[] = {{"nil", true}, {"'wires'", true}, {"'running'", false}};
    for (const auto& s : stages) {
        SCOPED_TRACE(s.stage);
        runLua(room(kStoryDiveDock), std::string("LF.compressorStage = ") + s.stage);
        enterAgain(kStoryDiveDock);
        bool lit = false;
        for (int i = 0; i < 60; ++i) {
            world.stepFrames(1);
            lit = lit || (light->isVisible() && light->getAlpha() > 0);
        }
        EXPECT_EQ(s.blinks, lit);
    }
}

TEST_F(SampleChapter2StoryTest, TheCallBoxAnswersOnlyWithTheGalleryOwnersCard)
{
    auto* box = static_cast<CallBox*>(room(kStoryCallBox));
    ASSERT_TRUE(box->isInstanceOf("CallBox"));
    enter(kStoryCallBox);
    for (int i = 0; i < 3; ++i)
        player.clickOn(box->getSprite("ReceiverOnHook"));
    EXPECT_FALSE(box->getSprite("ReceiverOffHook")->isVisible()) << "no number to call yet";
    runLua(box, "LF.galleryRestored = true");
    dialCallBox(player, world, box);
    EXPECT_EQ("true", runLua(box, "return tostring(LF.callBoxSolved)"));
}

TEST_F(SampleChapter2StoryTest, AClickOnAShutWaySaysWhyItIsShut)
{
    // The dive waits for the compressor; the market's way to the tavern
    // square waits for the first chapter's ferry, and its ways back to the
    // dock and to the mended fountain are shut in the second chapter; the
    // old town's way to the mansion's gate opens in the second chapter, its
    // way to the store is shut then; the restoration room waits for the
    // card game's trophy.
    constexpr int kStoryDock = 0, kStoryMarket = 2, kStoryOldTown = 3, kStoryStore = 4, kStoryFountain = 7,
                  kStoryMansionGate = 13;
    const struct {
        int chapter, room, target;
        const char* thought;
    } ways[] = {
        {2, kStoryDiveDock, kStoryWhackAClam, "STR_THINK_DIVE_NO_AIR"},
        {1, kStoryMarket, kStoryTavernGallery, "STR_THINK_MARKET_GALLERY_SHUT"},
        {2, kStoryMarket, kStoryDock, "STR_THINK_MARKET_DOCK_SHUT"},
        {2, kStoryMarket, kStoryFountain, "STR_THINK_MARKET_FOUNTAIN_DONE"},
        {1, kStoryOldTown, kStoryMansionGate, "STR_THINK_MANSION_GATE_SHUT"},
        {2, kStoryOldTown, kStoryStore, "STR_THINK_STORE_SHUT"},
        {2, kStoryGalleryInterior, kStoryArtRestoration, "STR_THINK_RESTORATION_SHUT"},
    };
    Character* self = canvas->getPlayerCharacter();
    ASSERT_NE(nullptr, self);
    for (const auto& way : ways) {
        SCOPED_TRACE(way.thought);
        canvas->getProgress()->chapter = way.chapter;
        enterAgain(way.room);
        DoorSprite* door = exitTo(room(way.room), way.target);
        ASSERT_NE(nullptr, door);
        ASSERT_FALSE(door->isEnabled());
        player.clickOn(door);
        world.stepFrames(2);
        EXPECT_EQ(way.room, canvas->getProgress()->currentRoom);
        ASSERT_TRUE(self->isTalking()) << "the player says why the way is shut";
        EXPECT_STREQ(lang::String::loadText(way.thought).c_str(), self->getTalkText()->getText().c_str());
        // The thought leaves the way's name readable.
        const util::RectangleNM t = *canvas->getSprite("ThoughtBalloon")->getBounds();
        auto meet = [&t](const util::RectangleNM& o) {
            return t.x < o.x + o.width && o.x < t.x + t.width && t.y < o.y + o.height && o.y < t.y + t.height;
        };
        EXPECT_FALSE(meet(*door->getBounds())) << "the thought covers the way";
        // Nor does it cover the people standing there.
        Room* here = room(way.room);
        for (int i = 0; i < here->getCharacterCount(); ++i)
            EXPECT_FALSE(meet(*here->characterAt(i)->getBounds())) << here->characterAt(i)->getName().c_str();
        self->stopTalk();
    }
}

TEST_F(SampleChapter2StoryTest, ARewardIsToldAndNeverCountedAsATreasureFound)
{
    // The chapter's rewards: the card game's trophy, the gallery owner's card
    // and the pearls, each told in the room the game leads back to (the won
    // card game ends, so that a game saved after it never starts inside a
    // fresh deal).
    const struct {
        int room;
        const char* win;
        const char* item;
        const char* tip;
        int toldIn; // the room it is told in
    } rewards[] = {
        {17, "rooms.Concentration.winGameScene(self, 1)", "ConcentrationTrophy", "STR_CARDS_WON_TROPHY",
         kStoryTavernInterior},
        {kStoryArtRestoration, "rooms.ArtRestoration.onWin(self)", "MansionGateCode", "STR_GALLERY_CARD",
         kStoryGalleryInterior},
        {kStoryWhackAClam, "LF.pearlsWon = false rooms.WhackAClam.onWin(self, 1)", "Pearls", "STR_PEARLS_WON",
         kStoryDiveDock},
    };
    auto* tip = static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"));
    for (const auto& reward : rewards) {
        SCOPED_TRACE(reward.item);
        enterAgain(reward.room);
        runLua(room(reward.room), reward.win);
        // The game leads back by itself, or the player walks there.
        auto arrived = [this, &reward] { return canvas->getCurrentRoomIndex() == reward.toldIn; };
        if (!stepUntil(arrived, 100))
            enter(reward.toldIn);
        EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String(reward.item)));
        EXPECT_EQ("false",
                  runLua(room(reward.room), std::string("return tostring(LF_itemFound('") + reward.item + "'))"));
        EXPECT_TRUE(canvas->isSpriteVisible("RoomItemsBalloon"));
        EXPECT_STREQ(lang::String::loadText(reward.tip).c_str(), tip->getText().c_str());
    }
}

// A chapter starts on a fresh story, yet the market is met as the first
// chapter left it: the flowers the player picked there lie there in the
// first chapter only, and the player wonders at its lanterns on the first
// chapter's first visit only.
TEST_F(SampleChapter2StoryTest, TheMarketIsMetAsTheFirstChapterLeftIt)
{
    constexpr int kStoryMarket = 2;
    const struct {
        int chapter;
        bool flowers, wonder;
    } visits[] = {{1, true, true}, {2, false, false}};
    Character* self = canvas->getPlayerCharacter();
    for (const auto& visit : visits) {
        SCOPED_TRACE(visit.chapter);
        canvas->getProgress()->chapter = visit.chapter;
        runLua(room(kStoryMarket), "LF.visited = {} LF.found = {}");
        enterAgain(kStoryMarket);
        world.stepFrames(2);
        EXPECT_EQ(visit.flowers, room(kStoryMarket)->getSprite("Item_HiddenFlowerBouquet")->isVisible());
        const bool wondering = self->isTalking() && lang::String::loadText("STR_THINK_MARKETPLACE")
                                                        .equals(self->getTalkText()->getText());
        EXPECT_EQ(visit.wonder, wondering);
        self->stopTalk();
        ASSERT_TRUE(stepUntil([self] { return !self->isTalking(); }, 60)) << "the balloon goes";
    }
}

// The first chapter ends with the amulet and the cypher wheel in the bar,
// and the second starts with an empty one: its slides say where the two
// stay, and the cypher wheel found in the tavern is told as another.
TEST_F(SampleChapter2StoryTest, TheFirstChaptersItemsAreToldOfAtTheSecondsStart)
{
    std::string slides = lang::String::loadText("Text4").c_str();
    slides += std::string(" ") + lang::String::loadText("Text5").c_str();
    for (char& c : slides)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* item : {"amulet", "cypher wheel"})
        EXPECT_NE(std::string::npos, slides.find(item)) << item << ": " << slides;
    enterAgain(kStoryTavernInterior);
    world.stepFrames(2);
    Character* self = canvas->getPlayerCharacter();
    self->stopTalk();
    player.clickSprite(room(kStoryTavernInterior), "Item_Cypher");
    EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String("Cypher")));
    ASSERT_TRUE(self->isTalking());
    EXPECT_STREQ(lang::String::loadText("STR_THINK_CYPHER").c_str(), self->getTalkText()->getText().c_str());
}

// The gallery owner's word on who may mend his paintings follows the story:
// whoever beats the card player, then the player who did, then his thanks.
TEST_F(SampleChapter2StoryTest, TheGalleryOwnersWordFollowsTheStory)
{
    const char* const words[] = {"STR_GALLERYOWNER_3", "STR_GALLERYOWNER_WON", "STR_GALLERYOWNER_THANKS"};
    const struct {
        const char* story;
        int word; // of words
    } stages[] = {
        {"LF.concentrationWon = false LF.galleryRestored = false", 0},
        {"LF.concentrationWon = true", 1},
        {"LF.galleryRestored = true", 2},
    };
    for (const auto& stage : stages) {
        SCOPED_TRACE(stage.story);
        runLua(room(kStoryGalleryInterior), stage.story);
        enterAgain(kStoryGalleryInterior);
        world.stepFrames(2);
        auto* owner = static_cast<Character*>(room(kStoryGalleryInterior)->getSprite("GalleryOwner"));
        ASSERT_NE(nullptr, owner);
        // The lines he starts over six clicks (a click on him talking ends his line).
        std::set<std::string> said;
        for (int i = 0; i < 6; ++i) {
            player.clickOn(owner);
            world.stepFrames(2);
            if (owner->isTalking())
                said.insert(owner->getTalkText()->getText().c_str());
        }
        for (int w = 0; w < 3; ++w)
            EXPECT_EQ(w == stage.word, said.count(lang::String::loadText(words[w]).c_str()) == 1) << words[w];
    }
}

// The gallery's owner is drawn as a man: the words that speak of him say so.
TEST_F(SampleChapter2StoryTest, TheWordsOnTheGalleryOwnerFitHisFigure)
{
    for (const char* id : {"STR_THINK_RESTORATION_SHUT", "STR_GALLERY_CARD"}) {
        std::string text = lang::String::loadText(id).c_str();
        for (char& c : text)
            c = std::isalpha(static_cast<unsigned char>(c)) ? char(std::tolower(static_cast<unsigned char>(c))) : ' ';
        std::istringstream words(text);
        std::set<std::string> said{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
        EXPECT_TRUE(said.count("he") + said.count("his") > 0) << id;
        EXPECT_EQ(0u, said.count("she") + said.count("her") + said.count("hers")) << id;
    }
}

TEST_F(SampleChapter2StoryTest, TheTaskPaperKeepsToTheChapterInEveryRoom)
{
    // The chapter's first room sets its tasks, and a task left from another
    // chapter (as a game saved before could hold) goes; the dock, a room of
    // the first chapter's errand, puts none of that errand's tasks back.
    Inventory* bar = canvas->getInventory();
    runLua(room(kStoryTavernGallery), "LF_addHint(7)");
    auto tasks = [bar] {
        std::vector<std::string> list;
        for (int i = 0; i < bar->getHintCount(); ++i)
            list.push_back(bar->getHintAt(i).c_str());
        return list;
    };
    enter(kStoryTavernGallery);
    const std::vector<std::string> chapter2{"STR_HINT_25", "STR_HINT_21"};
    EXPECT_EQ(chapter2, tasks());
    enter(0);
    EXPECT_EQ(chapter2, tasks()) << "the dock";
    EXPECT_EQ(2, canvas->getProgress()->hintCount());
}

TEST_F(SampleChapter2StoryTest, TheDivingBoatWaitsForThePearlsThatTheDiveBringsUp)
{
    runLua(room(kStoryDiveDock), "LF.callBoxSolved = true; LF.hedgeMazeSolved = true; LF.compressorStage = 'running'");
    enterAgain(kStoryDiveDock);
    EXPECT_FALSE(room(kStoryDiveDock)->getSprite("DiveBoat")->isVisible());
    // The won dive brings the pearls up to the dock; a second win adds none.
    enter(kStoryWhackAClam);
    const int items = canvas->getInventory()->getItemCount();
    for (int win = 0; win < 2; ++win)
        runLua(room(kStoryWhackAClam), "rooms.WhackAClam.onWin(self, 0)");
    ASSERT_TRUE(player.arrivedIn(kStoryDiveDock, 200));
    EXPECT_TRUE(canvas->getInventory()->hasItem(lang::String("Pearls")));
    EXPECT_EQ(items + 1, canvas->getInventory()->getItemCount());
    EXPECT_TRUE(room(kStoryDiveDock)->getSprite("DiveBoat")->isVisible());
    // The pearls taken from the bar onto the waiting boat board it.
    player.takeFromBar("Pearls");
    player.clickOn(room(kStoryDiveDock)->getSprite("DiveBoat"));
    EXPECT_EQ(3, canvas->getProgress()->chapter);
}

} // namespace
} // namespace scenetest

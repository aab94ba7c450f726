// SampleInventoryTest.cpp: the sample game's inventory bar over the story:
// the items each chapter gives and takes back, in the story's order (the
// treasures a chapter leaves lying about taken as well), never stand two in
// one place, and each chapter's items stand in the bar's first places; along
// the first two chapters' usual path the story's items fill the bar from
// the left, the treasures after them; only the treasures found are counted,
// for the chapter, and the words say so; the slides that open a chapter
// tell where the last chapter's finds were left.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleWalk.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace scenetest {
namespace {

// One step of a chapter: the items it takes back, then those it gives.
struct InventoryStep {
    std::vector<const char*> takes;
    std::vector<const char*> gives;
};

struct InventoryChapter {
    int chapter;
    std::vector<InventoryStep> steps;
};

// The story's items by chapter. The second chapter's treasures (the cypher
// in the tavern, the map at the hedge maze) are taken on the way, and the
// third chapter's inlays are won in the order the cave's ways reach them.
const std::vector<InventoryChapter> kInventoryStory = {
    {1,
     {{{}, {"Vase"}},
      {{"Vase"}, {"VaseWithWater"}},
      {{}, {"HiddenFlowerBouquet"}},
      {{"VaseWithWater", "HiddenFlowerBouquet"}, {"Box"}},
      {{"Box"}, {"Amulet"}},
      {{}, {"Cypher"}}}},
    {2,
     {{{}, {"Cypher"}},
      {{}, {"ConcentrationTrophy"}},
      {{}, {"MansionGateCode"}},
      {{}, {"CaveMapScroll"}},
      {{}, {"Pearls"}}}},
    {3,
     {{{}, {"Gem_1"}},
      {{}, {"CaveMapScroll"}},
      {{}, {"Gem_4"}},
      {{}, {"Gem_3"}},
      {{}, {"Gem_2"}},
      {{"Gem_1", "Gem_2", "Gem_3", "Gem_4"}, {}}}},
    {4,
     {{{}, {"Machete"}},
      {{}, {"Peg_2"}},
      {{}, {"Peg_3"}},
      {{"Machete"}, {"Peg_1"}},
      {{"Peg_1"}, {}},
      {{"Peg_2"}, {}},
      {{"Peg_3"}, {}}}},
    {5, {{{}, {"RiddleCoaster"}}, {{}, {"MansionGateCode"}}, {{}, {"ViewFinderSolution"}}, {{}, {"AirTank"}}}},
    {6,
     {{{}, {"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"}},
      {{"Amulet", "Gem_1", "Gem_2", "Gem_3", "Gem_4"}, {"AmuletComplete"}}}},
};

class SampleInventoryTest : public SceneFixture {
protected:
    void SetUp() override
    {
        if (!hasSampleGame())
            GTEST_SKIP() << "the game data is built with the tools";
        ASSERT_TRUE(startSampleGameSeenInstructions());
        // The bar's places, left to right and row by row, as the items stand.
        for (const Inventory::ItemInfo& info : Inventory::kItems) {
            sprite::SpriteBase* s = canvas->getInventory()->getSprite(info.name);
            ASSERT_NE(nullptr, s) << info.name;
            places.push_back({s->top(), s->left()});
        }
        std::sort(places.begin(), places.end());
        places.erase(std::unique(places.begin(), places.end()), places.end());
    }
    // The item's place in the bar, 0 for the first.
    int placeOf(const std::string& name)
    {
        sprite::SpriteBase* s = canvas->getInventory()->getSprite(name.c_str());
        return int(std::find(places.begin(), places.end(), std::make_pair(s->top(), s->left())) - places.begin());
    }
    std::vector<std::pair<int, int>> places;
};

TEST_F(SampleInventoryTest, EachChaptersItemsStandInTheBarsFirstPlacesNeverTwoInOne)
{
    Inventory* inventory = canvas->getInventory();
    for (const InventoryChapter& c : kInventoryStory) {
        SCOPED_TRACE(c.chapter);
        inventory->reset();
        std::set<std::string> given;
        for (const InventoryStep& step : c.steps) {
            for (const char* name : step.takes)
                inventory->removeItemFromList(lang::String(name));
            for (const char* name : step.gives) {
                inventory->addItemToList(lang::String(name));
                given.insert(name);
            }
            std::set<int> taken;
            for (const Inventory::ItemInfo& info : Inventory::kItems) {
                if (inventory->hasItem(lang::String(info.name))) {
                    EXPECT_TRUE(taken.insert(placeOf(info.name)).second) << info.name << " stands on another item";
                }
            }
        }
        // No further right than the chapter has items, and one: a place
        // may be kept for an item that comes back from another chapter.
        for (const std::string& name : given)
            EXPECT_LE(placeOf(name.c_str()), int(given.size())) << name;
    }
}

// Along the first two chapters' usual path (the task paper's first task
// first), each item the story asks for goes into the bar's first free place,
// and the treasures no task asks for stand right of every such item.
TEST_F(SampleInventoryTest, AlongTheUsualPathTheStorysItemsFillTheBarFromTheLeft)
{
    const struct {
        int chapter;
        std::vector<InventoryStep> steps;
        std::set<std::string> treasures;
    } paths[] = {
        {1,
         {{{}, {"HiddenFlowerBouquet"}},
          {{}, {"Vase"}},
          {{"Vase"}, {"VaseWithWater"}},
          {{"HiddenFlowerBouquet", "VaseWithWater"}, {"Box"}},
          {{"Box"}, {"Amulet"}},
          {{}, {"Cypher"}}},
         {"Cypher"}},
        {2,
         {{{}, {"Pearls"}},
          {{}, {"Cypher"}},
          {{}, {"ConcentrationTrophy"}},
          {{}, {"MansionGateCode"}},
          {{}, {"CaveMapScroll"}}},
         {"Cypher", "CaveMapScroll"}},
    };
    Inventory* inventory = canvas->getInventory();
    for (const auto& path : paths) {
        SCOPED_TRACE(path.chapter);
        inventory->reset();
        std::set<std::string> story;
        for (const InventoryStep& step : path.steps) {
            for (const char* name : step.takes)
                inventory->removeItemFromList(lang::String(name));
            for (const char* name : step.gives) {
                if (!path.treasures.count(name)) {
                    std::set<int> held;
                    for (const Inventory::ItemInfo& info : Inventory::kItems) {
                        if (inventory->hasItem(lang::String(info.name)))
                            held.insert(placeOf(info.name));
                    }
                    int first = 0;
                    while (held.count(first))
                        ++first;
                    EXPECT_EQ(first, placeOf(name)) << name << " goes into the first free place";
                    story.insert(name);
                }
                inventory->addItemToList(lang::String(name));
            }
        }
        for (const std::string& treasure : path.treasures) {
            for (const std::string& name : story)
                EXPECT_GT(placeOf(treasure), placeOf(name)) << treasure << " stands right of " << name;
        }
    }
}

// The items the story asks for glint into the bar uncounted; the treasures
// no task asks for are counted, and for the chapter: a chapter's first start
// resets the world, and with it the treasures found, so that the first of a
// later chapter counts one again; the tip says it is this chapter's count.
TEST_F(SampleInventoryTest, OnlyTreasuresAreCountedAndForTheChapterAsTheTipSays)
{
    const struct {
        int chapter;
        const char* room;
        const char* item;
        const char* tip; // null: no count
    } finds[] = {
        {1, "KnickKnackStore", "Item_Vase", nullptr},
        {1, "MarketPlace", "Item_HiddenFlowerBouquet", nullptr},
        {2, "TavernInterior", "Item_Cypher", "Treasures found this chapter: 1"},
        {2, "HedgeMazeFront", "Item_CaveMapScroll", "Treasures found this chapter: 2"},
        {5, "TavernInterior_Night", "Item_RiddleCoaster", "Treasures found this chapter: 1"},
    };
    auto* tip = static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"));
    for (const auto& f : finds) {
        SCOPED_TRACE(f.item);
        if (f.chapter != canvas->getProgress()->chapter)
            canvas->resetGameWorld();
        canvas->getProgress()->chapter = f.chapter;
        const int index = SampleWalk::roomOf(f.room);
        ASSERT_GE(index, 0);
        enter(index);
        world.stepFrames(3);
        canvas->getPlayerCharacter()->stopTalk();
        sprite::SpriteBase* item = room(index)->getSprite(f.item);
        ASSERT_TRUE(item && item->isVisible());
        clickAt(item->left() + item->width() / 2, item->top() + item->height() / 2);
        EXPECT_FALSE(item->isVisible()) << "taken";
        if (f.tip) {
            EXPECT_TRUE(canvas->isSpriteVisible("RoomItemsBalloon"));
            EXPECT_STREQ(f.tip, tip->getText().c_str());
        } else {
            EXPECT_FALSE(canvas->isSpriteVisible("RoomItemsBalloon")) << tip->getText().c_str();
        }
    }
}

// A chapter's start takes back what the chapter before gave (the cave's map
// found at the hedges too): its first slides say where those finds stay, so
// that the emptied bar and a second map are no surprise.
TEST_F(SampleInventoryTest, TheSlidesOpeningAChapterTellWhereTheFindsBeforeStay)
{
    const struct {
        int chapter;
        const char* slide;
        const char* told;
    } openings[] = {
        {3, "Text6", "finds from town"},
        {4, "Text8", "stays behind"},
    };
    for (const auto& opening : openings) {
        std::string words = lang::String::loadText(opening.slide).c_str();
        for (char& c : words)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_NE(std::string::npos, words.find(opening.told)) << "chapter " << opening.chapter << ": " << words;
    }
}

} // namespace
} // namespace scenetest

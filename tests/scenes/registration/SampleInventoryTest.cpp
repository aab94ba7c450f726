// SampleInventoryTest.cpp: the sample game's inventory bar over the story:
// the items each chapter gives and takes back, in the story's order (the
// treasures a chapter leaves lying about taken as well), never stand two in
// one place, and each chapter's items stand in the bar's first places; the
// treasures found are counted for the chapter, and the words say so.
#include "game/canvas/LanternfieldCanvas.h"
#include "game/inventory/Inventory.h"
#include "game/progress/ProgressRecord.h"
#include "game/rooms/Room.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/scenes/support/SampleWalk.h"
#include "tests/scenes/support/SceneFixture.h"

#include <algorithm>
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
    }
};

TEST_F(SampleInventoryTest, EachChaptersItemsStandInTheBarsFirstPlacesNeverTwoInOne)
{
    Inventory* inventory = canvas->getInventory();
    // The bar's places, left to right and row by row, as the items stand.
    std::vector<std::pair<int, int>> places;
    for (const Inventory::ItemInfo& info : Inventory::kItems) {
        sprite::SpriteBase* s = inventory->getSprite(info.name);
        ASSERT_NE(nullptr, s) << info.name;
        places.push_back({s->top(), s->left()});
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    auto placeOf = [&](const char* name) {
        sprite::SpriteBase* s = inventory->getSprite(name);
        return int(std::find(places.begin(), places.end(), std::make_pair(s->top(), s->left())) - places.begin());
    };
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

// A chapter's first start resets the world, and with it the treasures found:
// the first treasure of the second chapter, after one of the first, counts
// one again, and the tip says it is this chapter's count.
TEST_F(SampleInventoryTest, TheTreasuresFoundAreCountedForTheChapterAndTheTipSaysSo)
{
    const struct {
        int chapter;
        const char* room;
        const char* treasure;
    } finds[] = {{1, "KnickKnackStore", "Item_Vase"}, {2, "TavernInterior", "Item_Cypher"}};
    auto* tip = static_cast<sprite::NewFontSprite*>(canvas->getSprite("RoomItemTipText"));
    for (const auto& f : finds) {
        SCOPED_TRACE(f.treasure);
        if (f.chapter > 1)
            canvas->resetGameWorld();
        canvas->getProgress()->chapter = f.chapter;
        const int index = SampleWalk::roomOf(f.room);
        ASSERT_GE(index, 0);
        enter(index);
        world.stepFrames(3);
        sprite::SpriteBase* treasure = room(index)->getSprite(f.treasure);
        ASSERT_TRUE(treasure && treasure->isVisible());
        clickAt(treasure->left() + treasure->width() / 2, treasure->top() + treasure->height() / 2);
        EXPECT_FALSE(treasure->isVisible()) << "taken";
        EXPECT_STREQ("Treasures found this chapter: 1", tip->getText().c_str());
    }
}

} // namespace
} // namespace scenetest

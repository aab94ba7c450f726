// SampleInventoryTest.cpp: the sample game's inventory bar over the story:
// the items each chapter gives and takes back, in the story's order (the
// treasures a chapter leaves lying about taken as well), never stand two in
// one place, and each chapter's items stand in the bar's first places.
#include "game/inventory/Inventory.h"
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

} // namespace
} // namespace scenetest

// InventoryItemsTest.cpp: the inventory's items: the record's fields by name,
// the bar in step with the record, what a press takes onto the cursor in each
// chapter, the round trip of items and hints through the record, and the
// new-game reset.
#include "sprites/images/AnimateSprite.h"
#include "tests/game/support/InventoryFixture.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

namespace gametest {
namespace {

class InventoryItemsTest : public InventoryFixture {
protected:
    int frameOf(const char* name) { return static_cast<sprite::AnimateSprite*>(item(name))->getFrame(); }
    int indexOf(const char* name) { return Inventory::itemIndex(lang::String(name)); }
    int pressItem(const char* name)
    {
        auto* e = new window::Event(canvas, window::Event::MOUSE_DOWN, canvas);
        sprite::SpriteBase* target = item(name);
        e->x = inventory()->left() + target->left() + target->width() / 2;
        e->y = inventory()->top() + target->top() + target->height() / 2;
        const int result = inventory()->mouseDown(e);
        e->release();
        return result;
    }
};

TEST_F(InventoryItemsTest, RecordFieldsByName)
{
    ProgressRecord record;
    const lang::String vase("Vase");
    Inventory::setItemOwned(&record, vase, true);
    Inventory::setItemValue(&record, vase, 7);
    EXPECT_EQ(1, record.itemOwned[18]);
    EXPECT_EQ(7, record.itemValue[18]);
    EXPECT_TRUE(Inventory::getItemOwned(&record, vase));
    EXPECT_EQ(7, Inventory::getItemValue(&record, vase));
    // Names compare whole and case-sensitively; an unknown name changes nothing.
    for (const char* other : {"vase", "Vas", "VaseWithWater ", ""}) {
        Inventory::setItemOwned(&record, lang::String(other), true);
        EXPECT_FALSE(Inventory::getItemOwned(&record, lang::String(other))) << other;
        EXPECT_EQ(0, Inventory::getItemValue(&record, lang::String(other))) << other;
    }
    int owned = 0;
    for (uint8_t o : record.itemOwned)
        owned += o;
    EXPECT_EQ(1, owned);
    EXPECT_FALSE(Inventory::getItemOwned(nullptr, vase));
}

TEST_F(InventoryItemsTest, TheBarAndTheRecordStayInStep)
{
    startWithBar();
    const lang::String vase("Vase");
    EXPECT_FALSE(inventory()->hasItem(vase));
    inventory()->addItemToList(vase);
    EXPECT_TRUE(inventory()->hasItem(vase));
    EXPECT_EQ(1, progress()->itemOwned[18]);
    EXPECT_FALSE(item("Vase")->isVisible()) << "it shows the next time the bar is shown";
    inventory()->setVisible(true);
    EXPECT_TRUE(item("Vase")->isVisible());
    EXPECT_FALSE(item("Box")->isVisible());

    // A second add only says so, with the name as the argument of the line.
    testing::internal::CaptureStdout();
    inventory()->addItemToList(vase);
    EXPECT_EQ("addItemToList NOT adding duplicate Vase\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(1, inventory()->getItemCount());

    inventory()->removeItemFromList(vase);
    EXPECT_FALSE(inventory()->hasItem(vase));
    EXPECT_EQ(0, progress()->itemOwned[18]);
    // Names without a sprite in the bar do nothing.
    inventory()->addItemToList(lang::String("Nothing"));
    EXPECT_FALSE(inventory()->hasItem(lang::String("Nothing")));
    EXPECT_EQ(0, inventory()->getItemCount());
}

TEST_F(InventoryItemsTest, ADuplicateNameIsNeverAFormat)
{
    ASSERT_TRUE(startGame(inventoryOptions()));
    // A sprite whose name holds conversions is still printed as text.
    const lang::String odd("Box%s%n");
    item("Box")->setName(odd);
    inventory()->addNamedSprite(odd.c_str(), item("Box"));
    inventory()->addItemToList(odd);
    testing::internal::CaptureStdout();
    inventory()->addItemToList(odd);
    EXPECT_EQ("addItemToList NOT adding duplicate Box%s%n\n", testing::internal::GetCapturedStdout());
}

TEST_F(InventoryItemsTest, WhatAPressTakesInEachChapter)
{
    startWithBar();
    const struct {
        int chapter;
        const char* item;
        bool held; // listed in the bar
        int cursor; // -1: not taken
    } cases[] = {
        {4, "Peg_1", false, 37},          {4, "Machete", false, 40},   {2, "Cypher", false, 54},
        {2, "ConcentrationTrophy", false, 55}, {2, "Pearls", false, 56}, {1, "VaseWithWater", true, 51},
        {1, "Vase", true, 50},            {1, "Vase", false, -1},      {1, "HiddenFlowerBouquet", false, 52},
        {1, "Box", false, 53},            {3, "Box", true, -1},        {5, "Peg_1", true, -1},
        {6, "Cypher", true, -1},          {2, "Peg_1", true, -1},      {4, "Amulet", true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " in chapter " + std::to_string(c.chapter));
        inventory()->reset();
        canvas->dropSpecialCursor();
        canvas->clearRecords();
        progress()->chapter = c.chapter;
        if (c.held)
            inventory()->addItemToList(lang::String(c.item));
        // Visible in the bar whether or not the player holds it.
        item(c.item)->setVisible(true);
        const int result = pressItem(c.item);
        if (c.cursor < 0) {
            EXPECT_NE(Inventory::COMMAND_READY, result);
            EXPECT_EQ(nullptr, inventory()->getHeldItem());
            EXPECT_FALSE(canvas->hasItemOnCursor());
            continue;
        }
        EXPECT_EQ(Inventory::COMMAND_READY, result);
        EXPECT_EQ(item(c.item), inventory()->getHeldItem());
        EXPECT_EQ(c.cursor, canvas->getItemOnCursor());
        EXPECT_TRUE(canvas->isHeldItemOnCursor());
        EXPECT_FALSE(item(c.item)->isVisible()) << "hidden in the bar while on the cursor";
        EXPECT_EQ(std::vector<int>{Inventory::SOUND_PICK_UP}, soundsPlayed());
    }
}

TEST_F(InventoryItemsTest, ASecondItemPutsTheFirstBackAndTheGlobalISpyTakesNothing)
{
    startWithBar();
    progress()->chapter = 1;
    for (const char* name : {"Box", "HiddenFlowerBouquet"}) {
        inventory()->addItemToList(lang::String(name));
    }
    inventory()->setVisible(true);
    ASSERT_EQ(Inventory::COMMAND_READY, pressItem("Box"));
    ASSERT_EQ(Inventory::COMMAND_READY, pressItem("HiddenFlowerBouquet"));
    EXPECT_TRUE(item("Box")->isVisible()) << "the box went back into the bar";
    EXPECT_EQ(item("HiddenFlowerBouquet"), inventory()->getHeldItem());
    // Dropping the cursor puts the held item back too.
    canvas->dropSpecialCursor();
    EXPECT_TRUE(item("HiddenFlowerBouquet")->isVisible());
    EXPECT_EQ(nullptr, inventory()->getHeldItem());

    ASSERT_EQ("", lua("LF.ispy = true"));
    EXPECT_NE(Inventory::COMMAND_READY, pressItem("Box"));
    EXPECT_EQ(nullptr, inventory()->getHeldItem());

    // An item the scripts take away while it is on the cursor stays away
    // when the cursor is dropped.
    ASSERT_EQ("", lua("LF.ispy = false"));
    ASSERT_EQ(Inventory::COMMAND_READY, pressItem("Box"));
    inventory()->removeItemFromList(lang::String("Box"));
    canvas->dropSpecialCursor();
    EXPECT_FALSE(item("Box")->isVisible());
    inventory()->removeItemFromList(lang::String("HiddenFlowerBouquet"));
    EXPECT_FALSE(item("HiddenFlowerBouquet")->isVisible()) << "a removed item leaves the shown bar at once";
}

TEST_F(InventoryItemsTest, EveryItemStandsAtItsOwnPlaceWhateverCameBefore)
{
    startWithBar();
    // The places are the definition's: items coming in any order, and one
    // of them going, move none of the others.
    for (const char* name : {"Box", "Pearls", "Vase"})
        inventory()->addItemToList(lang::String(name));
    inventory()->setVisible(true);
    inventory()->removeItemFromList(lang::String("Pearls"));
    for (const char* name : {"Box", "Vase"}) {
        EXPECT_EQ(itemLeft(indexOf(name)), item(name)->left()) << name;
        EXPECT_EQ(kItemTop, item(name)->top()) << name;
    }
}

TEST_F(InventoryItemsTest, APressThroughTheCanvasTakesTheItemAndTheRoomUsesIt)
{
    startWithBar();
    inventory()->addItemToList(lang::String("Box"));
    inventory()->setVisible(true);
    world.click(itemX(indexOf("Box")), itemY());
    EXPECT_EQ(item("Box"), inventory()->getHeldItem());
    clearCalls();
    world.click(400, 200);
    EXPECT_EQ(std::vector<std::string>{"onUse:Dock(400, 200)"}, calls("onUse"));
}

TEST_F(InventoryItemsTest, AnItemDraggedOutOfTheBarIsUsedWhereItIsLetGo)
{
    startWithBar();
    inventory()->addItemToList(lang::String("Box"));
    inventory()->setVisible(true);
    const int x = itemX(indexOf("Box"));
    // Let go over the room: used there, as a click there would use it.
    world.mouseDown(x, itemY());
    world.mouseMove(300, 300);
    clearCalls();
    world.mouseUp(400, 200);
    EXPECT_EQ(std::vector<std::string>{"onUse:Dock(400, 200)"}, calls("onUse"));
    canvas->dropSpecialCursor();
    // Let go on the bar (a click, or a drag back onto it): the item stays
    // on the pointer for a click in the room, and nothing is used.
    for (int releaseX : {x, itemX(indexOf("Vase"))}) {
        world.mouseDown(x, itemY());
        world.mouseMove(releaseX, itemY());
        clearCalls();
        world.mouseUp(releaseX, itemY());
        EXPECT_TRUE(calls("onUse").empty()) << releaseX;
        EXPECT_EQ(item("Box"), inventory()->getHeldItem()) << releaseX;
        canvas->dropSpecialCursor();
    }
    // An item the bar keeps in this chapter, let go over the room, clicks
    // the room there, as the click that uses it would.
    inventory()->addItemToList(lang::String("Amulet"));
    inventory()->setVisible(true);
    world.mouseDown(itemX(indexOf("Amulet")), itemY());
    world.mouseMove(300, 300);
    clearCalls();
    world.mouseUp(400, 200);
    EXPECT_EQ(std::vector<std::string>{"onClick:Dock(400, 200)"}, calls("onClick"));
    EXPECT_TRUE(calls("onUse").empty());
}

TEST_F(InventoryItemsTest, ItemsAndHintsRoundTripThroughTheRecord)
{
    startWithBar();
    for (const char* name : {"Box", "Amulet", "Gem_3"})
        inventory()->addItemToList(lang::String(name));
    static_cast<sprite::AnimateSprite*>(item("Amulet"))->setFrame(1);
    inventory()->addHint(lang::String("STR_HINT_3"), 3);
    inventory()->addHint(lang::String("STR_HINT_1"), 1);
    inventory()->storeProgress();
    EXPECT_EQ(1, progress()->itemValue[0]);
    const ProgressRecord saved = *progress();

    inventory()->reset();
    EXPECT_EQ(0, inventory()->getItemCount());
    EXPECT_EQ(0, inventory()->getHintCount());
    static_cast<sprite::AnimateSprite*>(item("Amulet"))->setFrame(0);
    *progress() = saved;
    inventory()->restoreFromProgress();

    // The items come back in the list's order, the amulet with its frame.
    ASSERT_EQ(3, inventory()->getItemCount());
    EXPECT_EQ(item("Amulet"), inventory()->getItemAt(0));
    EXPECT_EQ(item("Gem_3"), inventory()->getItemAt(1));
    EXPECT_EQ(item("Box"), inventory()->getItemAt(2));
    EXPECT_EQ(1, frameOf("Amulet"));
    EXPECT_FALSE(item("Vase")->isVisible());
    ASSERT_EQ(2, inventory()->getHintCount());
    EXPECT_STREQ("STR_HINT_1", inventory()->getHintAt(0).c_str()) << "re-added in slot order, newest first";
    EXPECT_STREQ("STR_HINT_3", inventory()->getHintAt(1).c_str());
    EXPECT_EQ(3, progress()->hint[0]);
    EXPECT_EQ(1, progress()->hint[1]);
    EXPECT_EQ(-1, progress()->hint[2]);
}

TEST_F(InventoryItemsTest, ResetGivesTheEmptyInventoryOfANewGame)
{
    startWithBar();
    inventory()->addItemToList(lang::String("Gem_2"));
    item("Gem_2")->setScale(2.0, 2.0);
    item("Gem_2")->setAlphaBalance(40);
    inventory()->addHint(lang::String("STR_HINT_2"), 2);
    inventory()->showCaveMap(true);
    inventory()->setTipOffset(true);
    inventory()->reset();
    EXPECT_EQ(0, inventory()->getItemCount());
    EXPECT_EQ(0, progress()->itemOwned[7]);
    EXPECT_EQ(0, progress()->hintCount());
    EXPECT_EQ(Inventory::HINTS_NONE, inventory()->getHintState());
    EXPECT_FALSE(inventory()->areItemsEnabled());
    EXPECT_FALSE(inventory()->getTipOffset());
    for (const auto& info : Inventory::kItems)
        EXPECT_FALSE(item(info.name)->isVisible()) << info.name;
    EXPECT_EQ(1.0, item("Gem_2")->getScaleX());
    EXPECT_EQ(128, item("Gem_2")->getAlpha());
    EXPECT_FALSE(item("CaveMap")->isVisible());
    EXPECT_FALSE(item("CaveMap_Current_22")->isVisible());
}

TEST_F(InventoryItemsTest, ABarWithoutItemSpritesResetsAndRestoresWithoutThem)
{
    // The fixture's plain bar has its background only.
    ASSERT_TRUE(startGame());
    enter(0);
    progress()->itemOwned[3] = 1;
    progress()->hint[0] = 2;
    inventory()->restoreFromProgress();
    inventory()->storeProgress();
    inventory()->enableItems(true);
    inventory()->showCaveMap(true);
    inventory()->reset();
    EXPECT_EQ(0, inventory()->getItemCount());
    EXPECT_EQ(0, progress()->itemOwned[3]);
}

TEST_F(InventoryItemsTest, EnablingItemsGivesTheTakeableOnesTheHand)
{
    startWithBar();
    inventory()->enableItems(true);
    EXPECT_EQ(sprite::SpriteBase::CURSOR_HAND, item("Machete")->getMouseOverCursor());
    EXPECT_EQ(sprite::SpriteBase::CURSOR_HAND, item("Box")->getMouseOverCursor());
    const int pearls = item("Pearls")->getMouseOverCursor();
    inventory()->enableItems(false);
    EXPECT_EQ(sprite::SpriteBase::CURSOR_NORMAL, item("Machete")->getMouseOverCursor());
    EXPECT_EQ(pearls, item("Pearls")->getMouseOverCursor()) << "left as its definition gave it";
    inventory()->setPosition(0, 0);
    inventory()->setToOrigin();
    EXPECT_EQ(kBarTop, inventory()->top());
}

} // namespace
} // namespace gametest

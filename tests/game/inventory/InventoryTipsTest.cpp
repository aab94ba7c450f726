// InventoryTipsTest.cpp: the item tool tips the scripts' item table gives,
// the hit test of the bar's items and cave map, the room-item tip with "%1",
// sparkles over an arriving item and their removal after 100 frames, and the
// cave map's overlays.
#include "game/balloons/TalkBalloon.h"
#include "game/effects/SparkleSprite.h"
#include "sprites/text/NewFontSprite.h"
#include "tests/game/support/InventoryFixture.h"
#include "windowing/window/Event.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace gametest {
namespace {

class InventoryTipsTest : public InventoryFixture {
protected:
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            canvas->doFrame();
    }
    TalkBalloon* balloon(const char* name) { return static_cast<TalkBalloon*>(canvasSprite(name)); }
    std::string textOf(const char* name)
    {
        return static_cast<sprite::NewFontSprite*>(canvasSprite(name))->getText().c_str();
    }
    // A pointer move to the middle of the item (screen coordinates).
    void moveOnto(const char* name) { moveTo(centreX(name), centreY(name)); }
    void moveTo(int x, int y)
    {
        auto* e = new window::Event(canvas, window::Event::MOUSE_MOVE, canvas);
        e->x = x;
        e->y = y;
        inventory()->mouseMove(e);
        e->release();
    }
    int centreX(const char* name) { return inventory()->left() + item(name)->left() + item(name)->width() / 2; }
    int centreY(const char* name) { return inventory()->top() + item(name)->top() + item(name)->height() / 2; }
    void show(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            inventory()->addItemToList(lang::String(name));
        inventory()->setVisible(true);
    }
    int tipItem() { return inventory()->getTipItem(); }
    bool tipShown() { return balloon("InventoryTipBalloon")->isVisible(); }
};

TEST_F(InventoryTipsTest, TipsFollowTheScriptsItemTable)
{
    startWithBar();
    show({"Amulet", "HiddenFlowerBouquet", "MansionGateCode"});
    TalkBalloon* tip = balloon("InventoryTipBalloon");
    // Near the left edge the balloon keeps 4 pixels inside the window.
    item("Amulet")->setPosition(0, kItemTop);
    moveOnto("Amulet");
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(1, tipItem());
    EXPECT_EQ("Tip 1", textOf("InventoryTipText"));
    EXPECT_TRUE(inventory()->isOverItem());
    EXPECT_TRUE(inventory()->isHoveringItem());
    EXPECT_EQ(4, tip->left());
    EXPECT_EQ(kBarTop + kItemTop - tip->height() - 10, tip->top());

    // Within the same item the balloon is not laid out again.
    tip->setSize(7, 7);
    moveTo(centreX("Amulet") + 3, centreY("Amulet"));
    EXPECT_EQ(7, tip->width());
    EXPECT_FALSE(inventory()->isHovering()) << "only the move onto an item counts as hovering";
    EXPECT_TRUE(inventory()->isOverItem());

    // Onto the next item: its tip at once, centred above it.
    moveOnto("HiddenFlowerBouquet");
    EXPECT_EQ(2, tipItem());
    EXPECT_EQ("Tip 2", textOf("InventoryTipText"));
    EXPECT_EQ(centreX("HiddenFlowerBouquet") - tip->width() / 2, tip->left());

    // An item without a tip leaves the tip as it was.
    moveOnto("MansionGateCode");
    EXPECT_EQ(2, tipItem());
    EXPECT_TRUE(tipShown());
    EXPECT_TRUE(inventory()->isHovering());
    EXPECT_FALSE(inventory()->isOverItem());

    // Off every item: the tip goes.
    moveTo(400, 100);
    EXPECT_FALSE(tipShown());
    EXPECT_EQ(-1, tipItem());
}

TEST_F(InventoryTipsTest, NoTipsDuringTheGlobalISpyOrBeforeItemsAreEnabled)
{
    startWithBar();
    show({"Amulet", "Pearls"});
    inventory()->enableItems(false);
    moveOnto("Amulet");
    EXPECT_FALSE(tipShown());
    inventory()->enableItems(true);
    moveOnto("Amulet");
    ASSERT_TRUE(tipShown());
    ASSERT_EQ("", lua("LF.ispy = true"));
    moveOnto("Pearls");
    moveTo(400, 100);
    EXPECT_TRUE(tipShown()) << "a tip on screen stays while tips are not allowed";
    EXPECT_EQ(1, tipItem());
    ASSERT_EQ("", lua("LF.ispy = false"));
    moveTo(400, 100);
    EXPECT_FALSE(tipShown());
}

TEST_F(InventoryTipsTest, TheHitTestCoversShownItemsAndTheCaveMap)
{
    startWithBar();
    show({"Box"});
    EXPECT_TRUE(inventory()->hitTestItems(centreX("Box"), centreY("Box")));
    EXPECT_FALSE(inventory()->hitTestItems(centreX("Vase"), centreY("Vase"))) << "a hidden item";
    const int mapX = inventory()->left() + item("CaveMap")->left() + 5;
    const int mapY = inventory()->top() + item("CaveMap")->top() + 5;
    EXPECT_FALSE(inventory()->hitTestItems(mapX, mapY));
    inventory()->showCaveMap(true);
    EXPECT_TRUE(inventory()->hitTestItems(mapX, mapY));
    inventory()->setVisible(false);
    EXPECT_FALSE(inventory()->hitTestItems(centreX("Box"), centreY("Box")));
}

TEST_F(InventoryTipsTest, TheRoomItemTipFillsInItsNumber)
{
    startWithBar();
    TalkBalloon* tip = balloon("RoomItemsBalloon");
    const struct {
        int number;
        bool offset;
        const char* text;
    } cases[] = {{3, false, "3 of 3 found"}, {-1, false, "%1 of %1 found"}, {0, true, "0 of 0 found"}};
    for (const auto& c : cases) {
        inventory()->setTipOffset(c.offset);
        inventory()->setRoomItemTip(lang::String("STR_ROOMTIP"), c.number, false);
        EXPECT_EQ(c.text, textOf("RoomItemTipText"));
        EXPECT_TRUE(tip->isVisible());
        EXPECT_EQ(tip->getHomeLeft() - tip->width(), tip->left());
        EXPECT_EQ(tip->getHomeTop() + (c.offset ? 44 : 0), tip->top());
    }
    // Sliding in: from past the right edge back to its place in 12 frames.
    inventory()->setTipOffset(false);
    inventory()->setRoomItemTip(lang::String("STR_ROOMTIP"), 2, true);
    const int place = tip->getHomeLeft() - tip->width();
    EXPECT_EQ(tip->width() + 800, tip->left());
    frames(12);
    EXPECT_EQ(place, tip->left());
    EXPECT_EQ(128, tip->getAlpha());
    inventory()->stepHintDisplay(false);
    EXPECT_FALSE(tip->isVisible());
    EXPECT_FALSE(canvasSprite("RoomItemTipText")->isVisible());
}

TEST_F(InventoryTipsTest, SparklesGlintOnTheOpaquePixelsAndAreGoneAfter100Frames)
{
    startWithBar();
    inventory()->getRandom().seed(22);
    const int children = inventory()->getChildCount();
    sprite::SpriteBase* bouquet = item("HiddenFlowerBouquet");
    inventory()->sparkleInSprite(lang::String("HiddenFlowerBouquet"), lang::String("InventorySparkle"));
    EXPECT_TRUE(bouquet->isVisible());
    EXPECT_EQ(0, bouquet->getAlpha()) << "the item fades in";
    // 30 x 10 pixels give 10 tries; only the left half is opaque.
    const int placed = inventory()->getSparkleCount();
    EXPECT_GT(placed, 0);
    EXPECT_LT(placed, 10);
    EXPECT_EQ(children + placed, inventory()->getChildCount());
    for (int i = children; i < inventory()->getChildCount(); ++i) {
        sprite::SpriteBase* s = inventory()->childAt(i);
        ASSERT_TRUE(s->isInstanceOf("SparkleSprite"));
        auto* sparkle = static_cast<SparkleSprite*>(s);
        EXPECT_LT(sparkle->left() + sparkle->width() / 2, bouquet->left() + 15);
        EXPECT_LE(sparkle->getDelay(), 40);
        EXPECT_EQ(25, sparkle->getLife());
        s->release();
    }
    frames(42);
    EXPECT_EQ(128, bouquet->getAlpha());
    frames(100 - 42 - 1);
    EXPECT_EQ(placed, inventory()->getSparkleCount());
    frames(1);
    EXPECT_EQ(0, inventory()->getSparkleCount());
    frames(1);
    EXPECT_EQ(children, inventory()->getChildCount());
}

TEST_F(InventoryTipsTest, SparklesWithoutATargetOrATemplatePlaceNothing)
{
    startWithBar();
    const int scheduled = canvas->getScheduledActionCount();
    const struct {
        const char* target;
        const char* pattern;
    } cases[] = {{"Nothing", "InventorySparkle"}, {"Box", "NoTemplate"}, {"Box", "Vase"}};
    for (const auto& c : cases) {
        inventory()->sparkleInSprite(lang::String(c.target), lang::String(c.pattern));
        EXPECT_EQ(0, inventory()->getSparkleCount()) << c.target << " " << c.pattern;
    }
    EXPECT_FALSE(item("Box")->isVisible());
    EXPECT_EQ(scheduled, canvas->getScheduledActionCount());

    // The bouquet's arrival command lists it and sparkles over it.
    auto* command = new lang::String("SparkleInBouquet");
    auto* e = new window::Event(canvas, window::Event::ACTION, command);
    command->release();
    EXPECT_FALSE(inventory()->handleEvent(e));
    e->release();
    EXPECT_TRUE(inventory()->hasItem(lang::String("HiddenFlowerBouquet")));
    EXPECT_GT(inventory()->getSparkleCount(), 0);
    lang::String cleanup("cleanup");
    inventory()->handleAction(nullptr, &cleanup);
    EXPECT_EQ(0, inventory()->getSparkleCount());
}

TEST_F(InventoryTipsTest, TheCaveMapShowsAndHidesWithAllItsOverlays)
{
    startWithBar();
    inventory()->showCaveMap(true);
    EXPECT_TRUE(item("CaveMap")->isVisible());
    for (int n : Inventory::kCavePositions) {
        for (const std::string kind : {"CaveMap_Visited_", "CaveMap_Current_"})
            EXPECT_TRUE(item((kind + std::to_string(n)).c_str())->isVisible()) << kind << n;
    }
    inventory()->showCaveMap(false);
    EXPECT_FALSE(item("CaveMap")->isVisible());
    EXPECT_FALSE(item("CaveMap_Visited_5")->isVisible());
}

} // namespace
} // namespace gametest

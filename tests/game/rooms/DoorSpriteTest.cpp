// DoorSpriteTest.cpp: an exit's definition rules (how many numbers, the
// zoom image and values, the refused zoom doors) and its rollover: a
// disabled exit never reacts, and an item in play leaves the looks alone.
#include "tests/game/support/BareCanvas.h"
#include "windowing/d3d/ImageWinDX.h"

#include <gtest/gtest.h>

#include <vector>

namespace gametest {
namespace {

struct Definition {
    const char* what;
    std::vector<int> numbers;
    int images; // how many pictures the definition lists
    bool accepted;
    int type, frames, zoomX, zoomY;
    float scaleFrom, scaleTo;
};

TEST(DoorSpriteTest, TheDefinitionRules)
{
    const std::vector<int> rect = {10, 20, 30, 40};
    auto with = [&](std::vector<int> rest) {
        std::vector<int> all = rect;
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    };
    const Definition cases[] = {
        {"seven numbers", with({1, 3, 2}), 0, false, 0, 24, 0, 0, 1.0f, 1.0f},
        {"eight numbers: a plain door", with({1, 3, 2, 7}), 0, true, 100, 24, 0, 0, 1.0f, 1.0f},
        {"a type and frames", with({1, 3, 2, 7, 200, 12}), 0, true, 200, 12, 0, 0, 1.0f, 1.0f},
        {"a zoom type without zoom data", with({1, 3, 2, 7, 401, 30}), 0, false, 401, 30, 0, 0, 1.0f, 1.0f},
        {"another zoom type without zoom data", with({1, 3, 2, 7, 402, 30}), 0, true, 402, 30, 0, 0, 1.0f, 1.0f},
        {"a whole zoom door", with({1, 3, 2, 7, 400, 36, 5, 6, 100, 250}), 1, true, 400, 36, 5, 6, 1.0f, 2.5f},
        {"zoom numbers without the image", with({1, 3, 2, 7, 400, 36, 5, 6, 100, 250}), 0, false, 400, 36, 0, 0,
         1.0f, 1.0f},
        {"zoom numbers with two images", with({1, 3, 2, 7, 400, 36, 5, 6, 100, 250}), 2, false, 400, 36, 0, 0, 1.0f,
         1.0f},
        // Eleven to thirteen numbers read only what is there.
        {"eleven numbers", with({1, 3, 2, 7, 400, 36, 5}), 1, true, 400, 36, 5, 0, 1.0f, 1.0f},
        {"thirteen numbers", with({1, 3, 2, 7, 400, 36, 5, 6, 50}), 1, true, 400, 36, 5, 6, 0.5f, 1.0f},
    };
    for (const Definition& c : cases) {
        auto* door = new DoorSprite();
        lang::IntArray numbers;
        numbers.setLength(int(c.numbers.size()));
        for (size_t i = 0; i < c.numbers.size(); ++i)
            numbers[int(i)] = c.numbers[i];
        auto* image = new window::ImageWinDX(4, 4, 0, false);
        lang::ObjectArray images;
        images.setLength(c.images);
        for (int i = 0; i < c.images; ++i)
            *images.at(i) = image;
        EXPECT_EQ(c.accepted, door->configure(&images, &numbers)) << c.what;
        if (c.numbers.size() >= 8) {
            EXPECT_EQ(10, door->left()) << c.what;
            EXPECT_EQ(40, door->height()) << c.what;
            EXPECT_EQ(1, door->getState()) << c.what;
            EXPECT_EQ(3, door->getOwnerRoom()) << c.what;
            EXPECT_EQ(2, door->getDirection()) << c.what;
            EXPECT_EQ(7, door->getTargetRoom()) << c.what;
            EXPECT_EQ(c.type, door->getDoorType()) << c.what;
            EXPECT_EQ(c.frames, door->getTransitionFrames()) << c.what;
        }
        EXPECT_EQ(c.zoomX, door->getZoomX()) << c.what;
        EXPECT_EQ(c.zoomY, door->getZoomY()) << c.what;
        EXPECT_FLOAT_EQ(c.scaleFrom, door->getZoomScaleFrom()) << c.what;
        EXPECT_FLOAT_EQ(c.scaleTo, door->getZoomScaleTo()) << c.what;
        EXPECT_EQ(c.accepted && c.images == 1 ? image : nullptr, door->getZoomImage()) << c.what;
        door->release();
        // The door held its own reference: the picture outlives it only here.
        image->release();
    }
}

TEST(DoorSpriteTest, AConstructedDoorLeadsNowhere)
{
    auto* door = new DoorSprite();
    EXPECT_EQ(-1, door->getDirection());
    EXPECT_EQ(-1, door->getTargetRoom());
    EXPECT_EQ(-1, door->getOwnerRoom());
    EXPECT_EQ(24, door->getTransitionFrames());
    EXPECT_EQ(0, door->getDoorType());
    EXPECT_FALSE(door->isZoomDoor());
    EXPECT_TRUE(door->isInstanceOf("DoorSprite"));
    EXPECT_TRUE(door->isInstanceOf("RectButtonSprite"));
    door->release();
}

class DoorRolloverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        room = world.addRoom(3, {2});
        // Door0 leads north (cursor 0), Door1 is disabled.
        open = world.addDoor(room, 0, {100, 100, 50, 50, 1, 3, 0, 4});
        shut = world.addDoor(room, 1, {300, 100, 50, 50, 0, 3, 5, 4});
        auto* inventory = new Inventory();
        world.made.push_back(inventory);
        world.canvas->bindInventory(inventory);
    }

    BareWorld world;
    Room* room = nullptr;
    DoorSprite* open = nullptr;
    DoorSprite* shut = nullptr;
};

TEST_F(DoorRolloverTest, TheDoorsDirectionBecomesTheRoomsCursorWhileThePointerIsOverIt)
{
    EXPECT_TRUE(open->mouseMoved(120, 120));
    EXPECT_EQ(sprite::ButtonMixin::ROLLOVER, open->getState());
    EXPECT_EQ(0, room->getHoverCursor());
    EXPECT_FALSE(open->mouseMoved(10, 10));
    EXPECT_EQ(sprite::ButtonMixin::NORMAL, open->getState());
    // Through the room: a move elsewhere clears the cursor.
    world.moveTo(room, 10, 10);
    EXPECT_EQ(-1, room->getHoverCursor());
    world.moveTo(room, 120, 120);
    EXPECT_EQ(0, room->getHoverCursor());
}

TEST_F(DoorRolloverTest, ADisabledDoorNeverReportsThePointer)
{
    world.moveTo(room, 10, 10);
    EXPECT_FALSE(shut->mouseMoved(320, 120));
    EXPECT_EQ(sprite::ButtonMixin::DISABLED, shut->getState());
    EXPECT_EQ(-1, room->getHoverCursor());
}

TEST_F(DoorRolloverTest, AnItemOnTheCursorLeavesLookAndCursorAlone)
{
    world.moveTo(room, 10, 10);
    world.canvas->setItemOnCursor(2, false);
    EXPECT_TRUE(open->mouseMoved(120, 120)) << "the hit is still reported";
    EXPECT_EQ(sprite::ButtonMixin::NORMAL, open->getState());
    EXPECT_EQ(-1, room->getHoverCursor());
}

} // namespace
} // namespace gametest

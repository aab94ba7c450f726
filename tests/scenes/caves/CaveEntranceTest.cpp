// CaveEntranceTest.cpp: the cave entrance's cursor over the cave mouth in
// the fixture game, for the normal pointer, the cave items and other items,
// with the mouth enabled and disabled.
#include "scenes/caves/CaveEntrance.h"

#include "game/canvas/LanternfieldCanvas.h"
#include "sprites/buttons/ButtonMixin.h"
#include "tests/scenes/support/SceneFixture.h"

namespace scenetest {
namespace {

constexpr int kCaveEntranceRoom = 30;

class CaveEntranceTest : public SceneFixture {
protected:
    void SetUp() override
    {
        SceneSetup scene;
        scene.index = kCaveEntranceRoom;
        scene.className = "CaveEntrance";
        scene.manifest = "<data>\n0\n<sprites>\nDoorToCave RectButtonSprite 300 100 200 200 1\n<end>\n";
        ASSERT_TRUE(startScene(scene));
        cave = room(kCaveEntranceRoom);
        ASSERT_TRUE(cave->isInstanceOf("CaveEntrance"));
        enter(kCaveEntranceRoom);
    }
    Room* cave = nullptr;
};

TEST_F(CaveEntranceTest, TheCaveMouthShowsTheForwardArrowUnlessACaveItemIsHeld)
{
    const int kNormal = 8, kNorth = 0, kFuse = 14, kSpear = 22, kLastCaveItem = 28;
    const struct {
        int held; // the special cursor on the pointer, -1 for none
        bool enabled;
        bool onDoor;
        int cursor;
        bool locked;
    } cases[] = {
        {-1, true, true, kNorth, true},
        {-1, true, false, kNormal, false},
        {-1, false, true, kNormal, false},
        {kSpear, true, true, kSpear, true},
        {kLastCaveItem, true, false, kLastCaveItem, true},
        {kFuse, true, true, kNorth, true},
        // Off the door the room sets cursor 8, and the canvas then puts the
        // fuse the player still holds back on the pointer.
        {kFuse, true, false, kFuse, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.held << " " << c.enabled << " " << c.onDoor);
        sprite::ButtonMixin::fromSprite(cave->getSprite("DoorToCave"))->setEnabled(c.enabled);
        canvas->dropSpecialCursor();
        canvas->setCursor(5, false);
        if (c.held >= 0)
            canvas->setSpecialCursor(c.held, false, 0);
        world.mouseMove(c.onDoor ? 400 : 100, c.onDoor ? 200 : 350);
        EXPECT_EQ(c.cursor, canvas->getCurrentCursor());
        EXPECT_EQ(c.locked, canvas->isCursorLocked());
    }
}

} // namespace
} // namespace scenetest

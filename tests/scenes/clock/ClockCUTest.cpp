// ClockCUTest.cpp: the clock close-up: the hand angle toward the pointer and
// the solution's windows (table-driven), and in the fixture game its opening
// over the bookshelf, the ignored clicks while it grows, a drag of both hands
// to the solution, and its closing with the host's close button back.
#include "scenes/clock/ClockCU.h"

#include "game/rooms/Room.h"
#include "tests/scenes/support/SceneFixture.h"

#include <cmath>

namespace scenetest {
namespace {

constexpr int kBookshelf = 27;
// The close-up opens with its centre at (500, 350): 600 x 500 puts its
// top-left at (200, 100) and the hands' pivot (405, 219) at (205, 119) in it.
constexpr int kLeft = 200;
constexpr int kTop = 100;

TEST(ClockCUAngleTest, AHeldHandPointsFromThePivotTowardThePointer)
{
    struct Case {
        int x, y;
        double degrees;
    };
    const Case cases[] = {
        {405, 100, 0.0}, {500, 219, 90.0}, {405, 300, 180.0}, {300, 219, 270.0},
        {505, 119, 45.0}, {305, 319, 225.0}, {305, 119, 315.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.degrees, ClockCU::handAngleToward(c.x, c.y), 1e-9) << c.x << ", " << c.y;
}

TEST(ClockCUAngleTest, TheSolutionWindowsCompareTruncatedAngles)
{
    struct Case {
        double hour, minute;
        bool solved;
    };
    const Case cases[] = {
        {80.9, 266.0, true}, {81.0, 266.0, false}, {47.0, 283.5, true}, {46.99, 270.0, false},
        {60.0, 265.99, false}, {60.0, 284.0, false}, {270.0, 138.0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.solved, ClockCU::isSolution(c.hour, c.minute)) << c.hour << " / " << c.minute;
}

// A hand picture: 12 x 160, opaque only in its upper half, so that turned
// about its centre it covers the pivot's ray in the direction it points.
void handPicture(testsupport::GameData& data, const char* name)
{
    data.picture(name, 12, 160, [](int, int y) { return y < 80 ? 0xFF202020u : 0x00000000u; });
}

class ClockCUTest : public SceneFixture {
protected:
    void SetUp() override
    {
        testsupport::GameData& data = world.data();
        handPicture(data, "hourhand");
        handPicture(data, "minutehand");
        data.picture("face", 600, 500, 0xFFF4ECD8u);
        data.picture("dim", 800, 600, 0xFF000000u);
        framesPicture(data, "close", 1, 40, 40);
        data.manifest("clockcu", "<sprites>\n"
                                 "Face Sprite face 0 0\n"
                                 "ClockHourHand AnimateSprite hourhand 199 39 1 1 0\n"
                                 "ClockMinuteHand AnimateSprite minutehand 199 39 1 1 0\n"
                                 "CloseButton RectButtonSprite 550 10 40 40 1\n"
                                 "<end>\n");
        gametest::GameOptions options;
        options.canvasSprites["ClockCU"] = "ClockCU:+clockcu 200 100 600 500 0 0";
        SceneSetup scene;
        scene.index = kBookshelf;
        scene.className = "Room";
        scene.manifest = "<data>\n0\n<sprites>\nDimOverlay Sprite dim 0 0\n"
                         "CloseButton ButtonSprite close 740 540 1 1 0 0 0\n<end>\n";
        scene.callbacks = {"onClockSolved"};
        ASSERT_TRUE(startScene(scene, options));
        clock = static_cast<ClockCU*>(canvas->getSprite("ClockCU"));
        ASSERT_TRUE(clock && clock->isInstanceOf("ClockCU"));
        bookshelf = room(kBookshelf);
        enter(kBookshelf);
    }

    void open()
    {
        clock->setHost(bookshelf);
        clock->setOrigin(100, 100);
        bookshelf->getSprite("CloseButton")->setVisible(false);
        clock->grow();
    }

    // Drags a hand from a point on it to the angle and lets it go there
    // (pointer 100 pixels out).
    void drag(double fromDegrees, double toDegrees)
    {
        auto at = [](double degrees, int& x, int& y) {
            const double r = degrees * 3.14159265358979323846 / 180.0;
            x = ClockCU::PIVOT_X + int(std::lround(std::sin(r) * 50.0));
            y = ClockCU::PIVOT_Y - int(std::lround(std::cos(r) * 50.0));
        };
        int x = 0, y = 0;
        at(fromDegrees, x, y);
        world.mouseDown(x, y);
        ASSERT_NE(nullptr, clock->getHeldHand()) << "no hand at " << fromDegrees;
        const double r = toDegrees * 3.14159265358979323846 / 180.0;
        const int toX = ClockCU::PIVOT_X + int(std::lround(std::sin(r) * 100.0));
        const int toY = ClockCU::PIVOT_Y - int(std::lround(std::cos(r) * 100.0));
        world.mouseMove(toX, toY);
        world.mouseUp(toX, toY);
    }

    ClockCU* clock = nullptr;
    Room* bookshelf = nullptr;
};

TEST_F(ClockCUTest, OpensOverTheBookshelfIgnoringClicksWhileItGrows)
{
    EXPECT_EQ(ClockCU::MINUTE_DEFINED, clock->getMinuteHand()->getRotation());
    clearRecords();
    open();
    EXPECT_TRUE(clock->isVisible());
    EXPECT_FALSE(clock->isIdle());
    EXPECT_EQ(270.0, clock->getHourHand()->getRotation());
    EXPECT_EQ(138.0, clock->getMinuteHand()->getRotation());
    EXPECT_EQ(std::vector<int>{ClockCU::SOUND_OPEN}, soundsPlayed());
    EXPECT_TRUE(canvas->isPuzzleActive());
    world.mouseDown(kLeft + 205 - 40, kTop + 119);
    EXPECT_EQ(nullptr, clock->getHeldHand()) << "input waits for the grow to end";
    world.mouseUp(kLeft + 205 - 40, kTop + 119);
    world.stepFrames(ClockCU::TRANSITION_FRAMES + 2);
    EXPECT_TRUE(clock->isIdle());
    EXPECT_EQ(kLeft, clock->left());
    EXPECT_EQ(kTop, clock->top());
    sprite::SpriteBase* dim = bookshelf->getSprite("DimOverlay");
    EXPECT_TRUE(dim->isVisible());
    EXPECT_EQ(ClockCU::DIM_ALPHA, dim->getAlpha());
    // A click off both hands holds nothing and plays nothing.
    clearRecords();
    world.click(kLeft + 500, kTop + 400);
    EXPECT_EQ(nullptr, clock->getHeldHand());
    EXPECT_TRUE(soundsPlayed().empty());
}

TEST_F(ClockCUTest, BothHandsDraggedIntoTheirWindowsSolveAndReopeningResetsThem)
{
    open();
    world.stepFrames(ClockCU::TRANSITION_FRAMES + 2);
    drag(270.0, 60.0);
    EXPECT_NEAR(60.0, clock->getHourHand()->getRotation(), 1.0);
    EXPECT_TRUE(calls("onClockSolved").empty()) << "the minute hand is still at 138";
    clearRecords();
    drag(138.0, 275.0);
    EXPECT_NEAR(275.0, clock->getMinuteHand()->getRotation(), 1.0);
    EXPECT_EQ(std::vector<std::string>{"onClockSolved:Bookshelf(1)"}, calls("onClockSolved"));
    const std::vector<int> sounds = soundsPlayed();
    EXPECT_NE(sounds.end(), std::find(sounds.begin(), sounds.end(), ClockCU::SOUND_SOLVED));
    EXPECT_NE(std::string::npos, world.debugText().find("ROTATION = "));
    // The close button closes; the host's own comes back at the end.
    sprite::SpriteBase* closeButton = clock->getSprite("CloseButton");
    world.click(kLeft + closeButton->left() + 5, kTop + closeButton->top() + 5);
    EXPECT_TRUE(clock->isClosing());
    EXPECT_FALSE(canvas->isPuzzleActive());
    world.stepFrames(ClockCU::TRANSITION_FRAMES + 2);
    EXPECT_FALSE(clock->isVisible());
    EXPECT_FALSE(bookshelf->getSprite("DimOverlay")->isVisible());
    EXPECT_TRUE(bookshelf->getSprite("CloseButton")->isVisible());
    open();
    EXPECT_EQ(270.0, clock->getHourHand()->getRotation());
    EXPECT_EQ(138.0, clock->getMinuteHand()->getRotation());
}

} // namespace
} // namespace scenetest

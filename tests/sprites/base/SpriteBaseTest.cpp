// The sprite base: placement by anchor, bounds and hit tests through the
// transform, the frame-counted animations toward their targets, the action
// events at their ends, pausing, clipping, copying and the Lua hooks.
#include "tests/sprites/support/TestSprite.h"

#include "core/lang/String.h"
#include "core/util/RectangleNM.h"
#include "sprites/base/BoundsSprite.h"
#include "sprites/particles/ParticleSpritePSX.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using sprite::SpriteBase;
using spritetest::RecordingReceiver;
using spritetest::TestSprite;

namespace {

// Ticks the sprite n times from frame `first` on.
void tickN(SpriteBase* s, int n, int first = 1)
{
    for (int i = 0; i < n; ++i)
        s->tick(first + i, nullptr, nullptr);
}

class SpriteBaseTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (sprite)
            sprite->release();
        command->release();
    }
    TestSprite* make(int x, int y, int w, int h)
    {
        sprite = new TestSprite(x, y, w, h);
        sprite->setAction(&receiver, command);
        return sprite;
    }

    TestSprite* sprite = nullptr;
    RecordingReceiver receiver;
    lang::String* command = new lang::String("done");
};

TEST_F(SpriteBaseTest, TheAnchorDecidesWhatLeftAndTopReport)
{
    TestSprite* s = make(100, 50, 10, 21);
    // 0x22: the anchor point itself.
    EXPECT_EQ(100, s->left());
    EXPECT_EQ(50, s->top());
    s->setAnchor(0x11);
    EXPECT_EQ(95, s->left());
    EXPECT_EQ(40, s->top());
    // 0x44: the right and bottom edges of a box centred on the point.
    s->setAnchor(0x44);
    EXPECT_EQ(105, s->left());
    EXPECT_EQ(61, s->top());
    // The box itself never moves with the anchor.
    EXPECT_EQ(95, s->getBounds()->x);
    EXPECT_EQ(40, s->getBounds()->y);

    s->setAnchor(0x11);
    s->setPosition(0, 0);
    EXPECT_EQ(5, s->getX());
    EXPECT_EQ(10, s->getY());
    EXPECT_EQ(0, s->getBounds()->x);
    EXPECT_EQ(0, s->getBounds()->y);
    ASSERT_EQ(1u, s->movedBy.size());
    EXPECT_EQ(-95, s->movedBy[0].first);
    s->setCenter(30, 40);
    EXPECT_EQ(30, s->getX());
    EXPECT_EQ(40, s->getY());
}

TEST_F(SpriteBaseTest, AMoveVisitsItsStepsAndSendsOneActionAtTheEnd)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setDestination(10, 0, 3);
    EXPECT_TRUE(s->isAnimating());
    std::vector<int> lefts;
    for (int frame = 1; frame <= 3; ++frame) {
        s->tick(frame, nullptr, nullptr);
        lefts.push_back(s->left());
        EXPECT_EQ(frame < 3 ? 0u : 1u, receiver.received.size());
    }
    // Step 3, remainder 1: 3, 6, and the target itself.
    EXPECT_EQ(std::vector<int>({3, 6, 10}), lefts);
    EXPECT_FALSE(s->isAnimating());
    ASSERT_EQ(1u, receiver.received.size());
    EXPECT_EQ(7, receiver.received[0].id);
    EXPECT_EQ(static_cast<lang::Object*>(s), receiver.received[0].target);
    EXPECT_EQ("done", receiver.received[0].command);
    tickN(s, 3, 4);
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, AMoveMadeFromOutsideEndsARunningMoveAtTheNewPlace)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setDestination(100, 100, 10);
    tickN(s, 2);
    EXPECT_EQ(20, s->left());
    s->movePosition(5, -5);
    EXPECT_EQ(25, s->left());
    EXPECT_EQ(15, s->top());
    EXPECT_EQ(1, s->getMoveSteps());
    EXPECT_TRUE(receiver.received.empty());
    s->tick(3, nullptr, nullptr);
    EXPECT_EQ(25, s->left());
    EXPECT_EQ(15, s->top());
    EXPECT_EQ(1u, receiver.received.size());
    EXPECT_FALSE(s->isAnimating());
}

TEST_F(SpriteBaseTest, AFadeToZeroHidesTheSpriteWhenAsked)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setAlphaDestination(0, 10, 1);
    std::vector<int> alphas;
    for (int frame = 1; frame <= 10; ++frame) {
        s->tick(frame, nullptr, nullptr);
        alphas.push_back(s->getAlpha());
        EXPECT_EQ(frame < 10, s->isVisible()) << frame;
    }
    // 128 / 10: 12 a tick, one more whenever the remainder 8 adds up to 10.
    EXPECT_EQ(std::vector<int>({116, 103, 90, 77, 64, 52, 39, 26, 13, 0}), alphas);
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, AFadeToZeroWithoutHidingLeavesTheSpriteVisible)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setAlphaDestination(0, 4, 0);
    tickN(s, 4);
    EXPECT_EQ(0, s->getAlpha());
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(s->isShowing());
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, StepCountsOfZeroAndMinusOne)
{
    TestSprite* s = make(0, 0, 10, 10);
    // 0 counts as 1: the next tick lands on the target.
    s->setAlphaDestination(40, 0, 0);
    s->tick(1, nullptr, nullptr);
    EXPECT_EQ(40, s->getAlpha());
    // -1 keeps the count left, 1 when none is.
    s->setAlphaDestination(60, 5, 0);
    s->tick(2, nullptr, nullptr);
    s->setAlphaDestination(0, -1, 0);
    EXPECT_EQ(4, s->getAlphaSteps());
    tickN(s, 4, 3);
    EXPECT_EQ(0, s->getAlpha());
    s->setAlphaDestination(128, -1, 0);
    EXPECT_EQ(1, s->getAlphaSteps());
}

TEST_F(SpriteBaseTest, AColourAnimationMovesAllFourBytesAndSendsOneAction)
{
    TestSprite* s = make(0, 0, 10, 10);
    ColorWin32 target(0, 200, 64, 100); // red 0, green 200, blue 64, alpha 100
    s->setColorBalanceDestination(&target, 4, 0);
    EXPECT_EQ(4, s->getAlphaSteps());
    tickN(s, 2);
    EXPECT_EQ(64, s->getColor().getRed());
    EXPECT_EQ(164, s->getColor().getGreen());
    EXPECT_EQ(96, s->getColor().getBlue());
    EXPECT_EQ(114, s->getColor().getAlpha());
    tickN(s, 2, 3);
    EXPECT_EQ(target.getValue(), s->getColor().getValue());
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, OutsideColourChangesEndRunningColourAnimations)
{
    TestSprite* s = make(0, 0, 10, 10);
    ColorWin32 target(0, 0, 0, 0);
    s->setColorBalanceDestination(&target, 8, 0);
    s->tick(1, nullptr, nullptr);
    s->setColorBalance(128, 10, 20, 30);
    EXPECT_EQ(1, s->getColorSteps());
    EXPECT_EQ(1, s->getAlphaSteps());
    s->tick(2, nullptr, nullptr);
    // The last step lands on the new colour itself.
    EXPECT_EQ(ColorWin32(10, 20, 30, 128).getValue(), s->getColor().getValue());
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, ScaleAnimationsStepAFractionOfWhatIsLeft)
{
    TestSprite* s = make(100, 100, 20, 10);
    s->setScaleDestination(2.0, 3.0, 4);
    std::vector<double> xs;
    for (int frame = 1; frame <= 4; ++frame) {
        s->tick(frame, nullptr, nullptr);
        xs.push_back(s->getScaleX());
        // Scale animations do not count as animating.
        EXPECT_FALSE(s->isAnimating());
    }
    EXPECT_DOUBLE_EQ(1.25, xs[0]);
    EXPECT_DOUBLE_EQ(1.5, xs[1]);
    EXPECT_DOUBLE_EQ(1.75, xs[2]);
    EXPECT_DOUBLE_EQ(2.0, xs[3]);
    EXPECT_DOUBLE_EQ(3.0, s->getScaleY());
    EXPECT_EQ(1u, receiver.received.size());
    // The bounds follow: 40 x 30 around the anchor.
    EXPECT_EQ(80, s->getBounds()->x);
    EXPECT_EQ(85, s->getBounds()->y);
    EXPECT_EQ(40, s->getBounds()->width);
    EXPECT_EQ(30, s->getBounds()->height);
}

TEST_F(SpriteBaseTest, CompletingAnimationsLeavesOneStepThatLandsAndSendsTheAction)
{
    TestSprite* s = make(0, 0, 10, 10);
    EXPECT_FALSE(s->completeAnimations());
    s->setScaleDestination(2.0, 2.0, 10);
    // A scale animation alone does not count.
    EXPECT_FALSE(s->completeAnimations());

    s->setDestination(50, 60, 10);
    s->setAlphaDestination(20, 10, 0);
    tickN(s, 2);
    EXPECT_TRUE(s->completeAnimations());
    EXPECT_EQ(50, s->left());
    EXPECT_EQ(60, s->top());
    EXPECT_EQ(20, s->getAlpha());
    EXPECT_DOUBLE_EQ(2.0, s->getScaleX());
    EXPECT_TRUE(receiver.received.empty());
    s->tick(3, nullptr, nullptr);
    EXPECT_EQ(50, s->left());
    EXPECT_EQ(1u, receiver.received.size());
    EXPECT_FALSE(s->isAnimating());
}

TEST_F(SpriteBaseTest, CompletingJumpsToTargetsAlsoOfAnimationsThatAreNotRunning)
{
    TestSprite* s = make(300, 200, 10, 10);
    // Targets set without a running animation: a move and a scale of no
    // steps, and a horizontal factor changed outside any animation.
    s->setDestination(50, 60, 0);
    s->setScaleDestination(2.0, 3.0, 0);
    EXPECT_EQ(300, s->left()) << "no steps: nothing moves";
    EXPECT_FALSE(s->completeAnimations()) << "nothing runs that counts";
    EXPECT_EQ(300, s->left());

    s->setAlphaDestination(0, 10, 0);
    EXPECT_TRUE(s->completeAnimations());
    EXPECT_EQ(50, s->left());
    EXPECT_EQ(60, s->top());
    EXPECT_DOUBLE_EQ(2.0, s->getScaleX());
    EXPECT_DOUBLE_EQ(3.0, s->getScaleY());
    EXPECT_EQ(0, s->getAlpha());
    EXPECT_EQ(0, s->getMoveSteps()) << "no move starts: no second action";

    s->setScaleX(0.5);
    s->setAlphaDestination(128, 10, 0);
    EXPECT_TRUE(s->completeAnimations());
    EXPECT_DOUBLE_EQ(2.0, s->getScaleX()) << "the scale target was not changed by setScaleX";
    tickN(s, 2);
    EXPECT_EQ(1u, receiver.received.size()) << "the fade's one last step sends the action";
}

TEST(SpriteBaseConstructionTest, ASpriteNeverMovedStaysWhereItWasMadeWhenAnimationsComplete)
{
    // Each kind sets its own anchor; the move target starts at its place.
    struct Case {
        const char* kind;
        SpriteBase* sprite;
    };
    sprite::ParticleSpritePSX* particles = new sprite::ParticleSpritePSX(3);
    particles->setLifetime(1.0f, 0.0f, 0.0f);
    Case cases[] = {
        {"centre anchor", new TestSprite(300, 200, 10, 10)},
        {"box", new sprite::BoundsSprite(290, 195, 20, 10)},
        {"particles", particles},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        int left = c.sprite->left();
        int top = c.sprite->top();
        int x = c.sprite->getX();
        c.sprite->setAlphaDestination(10, 10, 0);
        EXPECT_TRUE(c.sprite->completeAnimations());
        EXPECT_EQ(left, c.sprite->left());
        EXPECT_EQ(top, c.sprite->top());
        EXPECT_EQ(x, c.sprite->getX());
        EXPECT_EQ(10, c.sprite->getAlpha());
        c.sprite->release();
    }
}

TEST_F(SpriteBaseTest, RotationStaysWithinZeroAndThreeHundredSixty)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->rotateBy(370);
    EXPECT_DOUBLE_EQ(10.0, s->getRotation());
    s->rotateBy(-20);
    EXPECT_DOUBLE_EQ(350.0, s->getRotation());
    s->rotateBy(10);
    EXPECT_DOUBLE_EQ(360.0, s->getRotation());
    s->rotateBy(360);
    EXPECT_DOUBLE_EQ(360.0, s->getRotation());
    s->rotateBy(-1080);
    EXPECT_DOUBLE_EQ(0.0, s->getRotation());
    s->rotateBy(1e18);
    EXPECT_GE(s->getRotation(), 0.0);
    EXPECT_LE(s->getRotation(), 360.0);
    double before = s->getRotation();
    s->rotateBy(std::numeric_limits<double>::quiet_NaN());
    s->rotateBy(std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(before, s->getRotation());
}

TEST_F(SpriteBaseTest, ASpinTurnsUntilAnOutsideTurnEndsItWithOneLastStep)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setSpin(4);
    std::vector<double> angles;
    for (int frame = 1; frame <= 5; ++frame) {
        s->tick(frame, nullptr, nullptr);
        angles.push_back(s->getRotation());
    }
    EXPECT_EQ(std::vector<double>({90.0, 180.0, 270.0, 360.0, 90.0}), angles);
    EXPECT_EQ(4, s->getSpinRate());
    EXPECT_TRUE(receiver.received.empty());

    s->rotateBy(10);
    EXPECT_EQ(1, s->getSpinRate());
    s->tick(6, nullptr, nullptr);
    // One whole turn onto the reference angle, and the spin is over.
    EXPECT_DOUBLE_EQ(100.0, s->getRotation());
    EXPECT_EQ(0, s->getSpinRate());
    EXPECT_EQ(1u, receiver.received.size());
    s->tick(7, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(100.0, s->getRotation());
}

TEST_F(SpriteBaseTest, ABackwardSpinTurnsCounterclockwise)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->rotateBy(90);
    s->setSpin(-3);
    tickN(s, 3);
    // 120 degrees back a tick: 330, 210, 90.
    EXPECT_DOUBLE_EQ(90.0, s->getRotation());
    EXPECT_EQ(-3, s->getSpinRate());
}

TEST_F(SpriteBaseTest, SeveralAnimationsEndingTogetherSendOneAction)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setDestination(4, 4, 2);
    s->setAlphaDestination(0, 2, 0);
    s->setScaleDestination(2.0, 2.0, 2);
    tickN(s, 2);
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, APausedSpriteNeitherMovesNorEndsButSendsAPendingAction)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setDestination(10, 0, 2);
    s->tick(1, nullptr, nullptr);
    EXPECT_EQ(5, s->left());
    s->setPaused(true);
    EXPECT_FALSE(s->isActive(2));
    tickN(s, 5, 2);
    EXPECT_EQ(5, s->left());
    EXPECT_TRUE(receiver.received.empty());

    // A pending action still goes out in the paused sprite's next tick.
    s->show(true, nullptr);
    s->tick(7, nullptr, nullptr);
    EXPECT_EQ(5, s->left());
    EXPECT_EQ(1u, receiver.received.size());
    s->setPaused(false);
    s->tick(8, nullptr, nullptr);
    EXPECT_EQ(10, s->left());
    EXPECT_EQ(2u, receiver.received.size());
}

TEST_F(SpriteBaseTest, ActionsWithoutReceiverOrCommand)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setAction(nullptr, nullptr);
    EXPECT_EQ(1, command->getRefCount());
    s->setDestination(1, 0, 1);
    s->tick(1, nullptr, nullptr);
    EXPECT_FALSE(s->isActionPending());
    EXPECT_TRUE(receiver.received.empty());

    // A receiver without a command gets an empty one.
    s->setAction(&receiver, nullptr);
    s->setDestination(2, 0, 1);
    s->tick(2, nullptr, nullptr);
    ASSERT_EQ(1u, receiver.received.size());
    EXPECT_EQ("", receiver.received[0].command);
}

TEST_F(SpriteBaseTest, AReceiverMayDropTheLastReferenceToTheSprite)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setDestination(5, 0, 1);
    receiver.onEvent = [this] {
        sprite->release();
        sprite = nullptr;
    };
    util::RectangleNM bounds;
    s->tick(1, &bounds, nullptr);
    EXPECT_EQ(nullptr, sprite);
    EXPECT_EQ(0, bounds.x);
    EXPECT_EQ(1u, receiver.received.size());
}

TEST_F(SpriteBaseTest, TickReportsChangesOnceAndCopiesTheBounds)
{
    TestSprite* s = make(50, 50, 10, 20);
    util::RectangleNM bounds;
    EXPECT_FALSE(s->tick(1, &bounds, nullptr));
    EXPECT_EQ(45, bounds.x);
    EXPECT_EQ(40, bounds.y);
    EXPECT_EQ(20, bounds.height);
    s->movePosition(1, 0);
    EXPECT_TRUE(s->tick(2, &bounds, nullptr));
    EXPECT_EQ(46, bounds.x);
    EXPECT_FALSE(s->tick(3, &bounds, nullptr));
    EXPECT_EQ(3, s->getLastFrame());

    // Hidden sprites change without being dirty, except by being hidden.
    s->setVisible(false);
    EXPECT_TRUE(s->tick(4, &bounds, nullptr));
    s->movePosition(1, 0);
    s->setAlphaBalance(10);
    EXPECT_FALSE(s->tick(5, &bounds, nullptr));
}

TEST_F(SpriteBaseTest, ScaleFactorsNeverGoBelowZero)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setScale(-2.0, 0.5);
    EXPECT_DOUBLE_EQ(0.0, s->getScaleX());
    EXPECT_DOUBLE_EQ(0.5, s->getScaleY());
    s->setScaleX(-1.0);
    EXPECT_DOUBLE_EQ(0.0, s->getScaleX());
    s->setScale(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(0.0, s->getScaleX());
    int dx = 7, dy = 4;
    s->toLocal(dx, dy);
    EXPECT_EQ(0, dx);
    EXPECT_EQ(0, dy);
}

TEST_F(SpriteBaseTest, BoundsFollowScaleRotationAndFlip)
{
    TestSprite* s = make(100, 50, 20, 10);
    EXPECT_EQ(90, s->getBounds()->x);
    EXPECT_EQ(45, s->getBounds()->y);
    s->setScale(2.0);
    EXPECT_EQ(80, s->getBounds()->x);
    EXPECT_EQ(40, s->getBounds()->y);
    EXPECT_EQ(40, s->getBounds()->width);
    EXPECT_EQ(20, s->getBounds()->height);
    s->setScale(1.0);
    s->rotateBy(90);
    // Turned a quarter: 10 wide and 20 high.
    EXPECT_EQ(95, s->getBounds()->x);
    EXPECT_EQ(40, s->getBounds()->y);
    EXPECT_EQ(10, s->getBounds()->width);
    EXPECT_EQ(20, s->getBounds()->height);
    EXPECT_TRUE(s->hittest(95, 40));
    EXPECT_TRUE(s->hittest(104, 59));
    EXPECT_FALSE(s->hittest(105, 50));
    EXPECT_FALSE(s->hittest(90, 50));
    EXPECT_TRUE(s->hittestOpaque(100, 45));
}

TEST_F(SpriteBaseTest, ToScreenAndToLocalMapOffsetsThroughTheTransform)
{
    TestSprite* s = make(0, 0, 10, 10);
    s->setFlipType(SpriteBase::FLIP_HORIZONTAL);
    int dx = 3, dy = 4;
    s->toLocal(dx, dy);
    EXPECT_EQ(-3, dx);
    EXPECT_EQ(4, dy);
    s->setFlipType(SpriteBase::FLIP_BOTH);
    s->setScale(2.0, 4.0);
    dx = 3;
    dy = 1;
    s->toScreen(dx, dy);
    EXPECT_EQ(-6, dx);
    EXPECT_EQ(-4, dy);
    s->toLocal(dx, dy);
    EXPECT_EQ(3, dx);
    EXPECT_EQ(1, dy);
    // A positive rotation turns clockwise on the screen (y grows downward).
    s->setFlipType(SpriteBase::FLIP_NONE);
    s->setScale(1.0);
    s->rotateBy(180);
    dx = 8;
    dy = 0;
    s->toScreen(dx, dy);
    EXPECT_EQ(-8, dx);
    EXPECT_EQ(0, dy);
}

TEST_F(SpriteBaseTest, AClipRectangleCutsTheBoundsAndHitTests)
{
    TestSprite* s = make(50, 50, 20, 20);
    util::RectangleNM clip(0, 0, 50, 100);
    s->setClipRect(&clip);
    clip.width = 1; // the sprite keeps its own copy
    EXPECT_EQ(40, s->getBounds()->x);
    EXPECT_EQ(10, s->getBounds()->width);
    EXPECT_TRUE(s->hittest(45, 50));
    EXPECT_FALSE(s->hittest(55, 50));
    EXPECT_TRUE(s->tick(1, nullptr, nullptr));

    util::RectangleNM same(0, 0, 50, 100);
    s->setClipRect(&same);
    EXPECT_FALSE(s->tick(2, nullptr, nullptr));
    s->setClipRect(nullptr);
    EXPECT_TRUE(s->hittest(55, 50));
    EXPECT_TRUE(s->tick(3, nullptr, nullptr));
}

TEST_F(SpriteBaseTest, ACopyTakesTheListedStateAndNothingElse)
{
    TestSprite* s = make(10, 20, 30, 40);
    s->setName(lang::String("Original"));
    s->setFlipType(2);
    s->rotateBy(45);
    s->setScale(1.5, 2.5);
    s->setColorBalance(100, 1, 2, 3);
    s->setDestination(90, 80, 5);
    util::RectangleNM clip(0, 0, 5, 5);
    s->setClipRect(&clip);
    s->setMouseOverCursor(SpriteBase::CURSOR_HAND);
    s->setSpin(3);

    SpriteBase* copy = s->clone();
    EXPECT_EQ(10, copy->getX());
    EXPECT_EQ(20, copy->getY());
    EXPECT_DOUBLE_EQ(45.0, copy->getRotation());
    EXPECT_DOUBLE_EQ(2.5, copy->getScaleY());
    EXPECT_EQ(s->getColor().getValue(), copy->getColor().getValue());
    EXPECT_EQ(5, copy->getMoveSteps());
    EXPECT_EQ(&receiver, copy->getActionReceiver());
    EXPECT_EQ(command, copy->getActionCommand());
    EXPECT_EQ(3, command->getRefCount());
    ASSERT_NE(nullptr, copy->getClipRect());
    EXPECT_NE(s->getClipRect(), copy->getClipRect());
    EXPECT_EQ(5, copy->getClipRect()->width);
    EXPECT_EQ(SpriteBase::CURSOR_HAND, copy->getMouseOverCursor());
    // Not copied: name, flip, spin.
    EXPECT_TRUE(copy->getName().isEmpty());
    EXPECT_EQ(0, copy->getFlipType());
    EXPECT_EQ(0, copy->getSpinRate());
    // The copy carries on the move.
    tickN(copy, 5);
    EXPECT_EQ(90, copy->left());
    EXPECT_EQ(1u, receiver.received.size());
    copy->release();
    EXPECT_EQ(2, command->getRefCount());
}

namespace hooks {
std::vector<std::string> log;
void create(SpriteBase* s)
{
    log.push_back("create");
    s->setLuaRef(7);
}
void release(SpriteBase* s)
{
    log.push_back("release " + std::to_string(s->getLuaRef()));
}
void nextFrame(SpriteBase*, int frame)
{
    log.push_back("nextFrame " + std::to_string(frame));
}
} // namespace hooks

TEST(SpriteLuaHooksTest, TheScriptHostTiesTablesToSpritesThroughItsHooks)
{
    TestSprite* plain = new TestSprite(0, 0, 1, 1);
    EXPECT_EQ(SpriteBase::NO_LUA_REF, plain->getLuaRef());
    plain->setHasLuaAnimations(true);
    plain->luaNextFrame(1);
    plain->release();

    SpriteBase::luaHooks.createLuaTable = hooks::create;
    SpriteBase::luaHooks.releaseLuaTable = hooks::release;
    SpriteBase::luaHooks.callLuaNextFrame = hooks::nextFrame;
    TestSprite* s = new TestSprite(0, 0, 1, 1);
    EXPECT_EQ(7, s->getLuaRef());
    s->luaNextFrame(1);
    s->setHasLuaAnimations(true);
    s->luaNextFrame(2);
    s->setPaused(true);
    s->luaNextFrame(3);
    s->release();
    SpriteBase::luaHooks = SpriteBase::LuaHooks();
    EXPECT_EQ(std::vector<std::string>({"create", "nextFrame 2", "release 7"}), hooks::log);
}

} // namespace

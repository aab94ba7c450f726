// SpriteBaseMethodsTest.cpp: the methods of hv.SpriteBase called from
// scripts: their argument rules and error texts, and what they do.
#include "tests/sprites/support/SpriteLuaFixture.h"
#include "tests/sprites/support/RecordingGraphics.h"
#include "tests/sprites/support/TestSprite.h"

#include "core/lang/Exception.h"
#include "sprites/images/ImageSprite.h"
#include "sprites/transitions/TransitionBase.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using spritetest::RecordingReceiver;
using spritetest::TestSprite;

class SpriteBaseMethodsTest : public SpriteLuaFixture {
protected:
    SpriteBaseMethodsTest()
    {
        // Anchored at its centre: left() = x, top() = y.
        s = keep(new TestSprite(100, 50, 20, 10));
        expose(s, "s");
    }
    TestSprite* s;
};

TEST_F(SpriteBaseMethodsTest, WrongArgumentCountsNameTheirPositionAndRule)
{
    struct Case {
        const char* call;
        const char* error;
    };
    // Called with a dot, so the positions are reported as they are raised.
    const Case cases[] = {
        {"s.completeCurrentAnimations(s, 1)", "bad argument #2 to 'completeCurrentAnimations' (too many arguments)"},
        {"s.getName(s, 1)", "bad argument #2 to 'getName' (too many arguments)"},
        {"s.handleAction(s, nil, 'x', 1)", "bad argument #4 to 'handleAction' (too many arguments)"},
        {"s.hasLuaAnimations(s, 1)", "bad argument #2 to 'hasLuaAnimations' (too many arguments)"},
        {"s.hittest(s, 1, 2, 3)", "bad argument #4 to 'hittest' (too many arguments)"},
        {"s.hittest(s, 1)", "bad argument #4 to 'hittest' (too many arguments)"},
        {"s.movePosition(s, 1, 2, 3)", "bad argument #4 to 'movePosition' (too many arguments)"},
        {"s.rotateBy(s)", "bad argument #3 to 'rotateBy' (too many arguments)"},
        {"s.setAlphaBalance(s, 1, 1)", "bad argument #3 to 'setAlphaBalance' (wrong number of arguments)"},
        {"s.setAlphaDestination(s, 1)", "bad argument #3 to 'setAlphaDestination' (wrong number of arguments)"},
        {"s.setCenter(s, 1, 2, 3)", "bad argument #4 to 'setCenter' (too many arguments)"},
        {"s.setColorBalance(s, 1, 2)", "bad argument #5 to 'setColorBalance' (too many arguments)"},
        {"s.setDestination(s, 1, 2)", "bad argument #3 to 'setDestination' (too many arguments)"},
        {"s.setFlipType(s, 'none', 1)", "bad argument #3 to 'setFlipType' (too many arguments)"},
        {"s.setHasLuaAnimations(s)", "bad argument #3 to 'setHasLuaAnimations' (wrong number of arguments)"},
        {"s.setMouseOverCursor(s)", "bad argument #3 to 'setMouseOverCursor' (too many arguments)"},
        {"s.setPosition(s, 1, 2, 3)", "bad argument #4 to 'setPosition' (too many arguments)"},
        {"s.setRotation(s, 1, 2)", "bad argument #3 to 'setRotation' (too many arguments)"},
        {"s.setScale(s, 1, 2, 3)", "bad argument #4 to 'setScale' (too many arguments)"},
        {"s.setScaleDestination(s, 1)", "bad argument #4 to 'setScaleDestination' (too many arguments)"},
        {"s.setSpin(s, 1, 2)", "bad argument #3 to 'setSpin' (too many arguments)"},
        {"s.setFlipType(s, 'sideways')", "bad argument #2 to 'setFlipType' (invalid option 'sideways')"},
        // As a method call, Lua counts the arguments after self.
        {"s:hittest(1, 2, 3)", "bad argument #3 to 'hittest' (too many arguments)"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(failsWith(c.call, c.error));
    // Nothing was changed on the way.
    EXPECT_EQ(100, s->getX());
    EXPECT_EQ(128, s->getAlpha());
    EXPECT_EQ(0.0, s->getRotation());
    EXPECT_EQ(0, lua_gettop(L));
}

TEST_F(SpriteBaseMethodsTest, ExtremeSpinRatesTurnByTinyStepsTheirOwnWay)
{
    struct Case {
        const char* rate;
        int expectedRate;
        bool backward;
    };
    // Rates beyond the int range are held to it; the lowest one has no
    // positive counterpart in int.
    const Case cases[] = {
        {"1e300", INT32_MAX, false},
        {"2^31", INT32_MAX, false},
        {"-2^31", INT32_MIN, true},
        {"-1e300", INT32_MIN, true},
        {"-math.huge", INT32_MIN, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        s->rotateBy(90.0 - s->getRotation());
        ASSERT_EQ("", run(std::string("s:setSpin(") + c.rate + ")"));
        EXPECT_EQ(c.expectedRate, s->getSpinRate());
        s->tick(1, nullptr, nullptr);
        double turned = s->getRotation() - 90.0;
        // 360 degrees over 2^31 ticks: about 1.7e-7 a tick, the right way.
        EXPECT_NEAR(c.backward ? -360.0 / 2147483648.0 : 360.0 / 2147483647.0, turned, 1e-12);
        EXPECT_EQ(c.expectedRate, s->getSpinRate()) << "locked on: the rate stays";
    }
    ASSERT_EQ("", run("s:setSpin(0/0)"));
    EXPECT_EQ(0, s->getSpinRate()) << "not a number: no spin";
}

TEST_F(SpriteBaseMethodsTest, AlphaFactorsBecomeBytes)
{
    EXPECT_EQ("", run("s:setAlphaBalance(2.0)"));
    EXPECT_EQ(255, s->getAlpha());
    EXPECT_EQ("", run("s:setAlphaBalance(1.0)"));
    EXPECT_EQ(128, s->getAlpha());
    EXPECT_EQ("", run("s:setAlphaBalance(0.5); a = s:alpha()"));
    EXPECT_EQ(64, s->getAlpha());
    EXPECT_EQ("0.5", globalText("a"));
    EXPECT_EQ("", run("s:setAlphaBalance(0.999)"));
    EXPECT_EQ(127, s->getAlpha());
    EXPECT_TRUE(failsWith("s:setAlphaBalance(2.5)", "(invalid argument (must be 0.0 - 2.0))"));
    EXPECT_TRUE(failsWith("s:setAlphaBalance(-0.1)", "(invalid argument (must be 0.0 - 2.0))"));
    EXPECT_TRUE(failsWith("s:setAlphaBalance(0/0)", "(invalid argument (must be 0.0 - 2.0))"));
    EXPECT_EQ(127, s->getAlpha());

    EXPECT_EQ("", run("s:setAlphaDestination(0, 4)"));
    EXPECT_EQ(4, s->getAlphaSteps());
    EXPECT_EQ(0, s->getTargetColor().getAlpha());
    EXPECT_TRUE(failsWith("s:setAlphaDestination(3, 4)", "invalid argument (must be 0.0 - 2.0)"));
    for (int i = 0; i < 4; ++i)
        s->tick(i, nullptr, nullptr);
    // A fade from Lua never hides the sprite.
    EXPECT_EQ(0, s->getAlpha());
    EXPECT_TRUE(s->isVisible());
}

TEST_F(SpriteBaseMethodsTest, EdgesAreCentreBasedWhileXAndYFollowTheAnchor)
{
    ASSERT_EQ("", run("l, t, r, b = s:left(), s:top(), s:right(), s:bottom()\n"
                      "x, y, cx, cy = s:x(), s:y(), s:centerX(), s:centerY()\n"
                      "w, h = s:width(), s:height()"));
    EXPECT_EQ(90, globalInt("l"));
    EXPECT_EQ(45, globalInt("t"));
    EXPECT_EQ(110, globalInt("r"));
    EXPECT_EQ(55, globalInt("b"));
    EXPECT_EQ(100, globalInt("x"));
    EXPECT_EQ(50, globalInt("y"));
    EXPECT_EQ(100, globalInt("cx"));
    EXPECT_EQ(50, globalInt("cy"));
    EXPECT_EQ(20, globalInt("w"));
    EXPECT_EQ(10, globalInt("h"));

    s->setAnchor(sprite::SpriteBase::ANCHOR_RIGHT | sprite::SpriteBase::ANCHOR_BOTTOM);
    ASSERT_EQ("", run("l, x, y = s:left(), s:x(), s:y()"));
    EXPECT_EQ(90, globalInt("l"));
    EXPECT_EQ(110, globalInt("x"));
    EXPECT_EQ(55, globalInt("y"));
}

TEST_F(SpriteBaseMethodsTest, PositionsComeAsNumbersOrTables)
{
    EXPECT_EQ("", run("s:setPosition(10, 20)"));
    EXPECT_EQ(10, s->getX());
    EXPECT_EQ(20, s->getY());
    EXPECT_EQ("", run("s:setPosition({ y = 30 })"));
    EXPECT_EQ(10, s->getX());
    EXPECT_EQ(30, s->getY());
    EXPECT_EQ("", run("s:setPosition({ x = 'left', y = 40 })"));
    EXPECT_EQ(10, s->getX());
    EXPECT_EQ(40, s->getY());
    EXPECT_EQ("", run("s:setPosition()"));
    EXPECT_EQ(10, s->getX());
    EXPECT_EQ(40, s->getY());

    EXPECT_EQ("", run("s:setCenter({ x = 7 })"));
    EXPECT_EQ(7, s->getX());
    EXPECT_EQ(40, s->getY());
    EXPECT_EQ("", run("s:setCenter(1, 2)"));
    EXPECT_EQ(1, s->getX());
    EXPECT_EQ(2, s->getY());

    EXPECT_EQ("", run("s:movePosition(5, -1)"));
    EXPECT_EQ(6, s->getX());
    EXPECT_EQ(1, s->getY());
    EXPECT_EQ("", run("s:movePosition({ dy = 9, dx = 'no' })"));
    EXPECT_EQ(6, s->getX());
    EXPECT_EQ(10, s->getY());
    EXPECT_EQ("", run("s:movePosition()"));
    EXPECT_EQ(6, s->getX());
    EXPECT_EQ(10, s->getY());
    // Huge and undefined numbers are held far beyond the screen, where sums
    // of places and sizes still fit an int; moving on from there stays.
    EXPECT_EQ("", run("s:setCenter(1e300, 0/0)"));
    EXPECT_EQ(sprite::SpriteBase::FARTHEST, s->getX());
    EXPECT_EQ(0, s->getY());
    EXPECT_EQ("", run("s:movePosition(2147483647, -2147483648)"));
    EXPECT_EQ(sprite::SpriteBase::FARTHEST, s->getX());
    EXPECT_EQ(-sprite::SpriteBase::FARTHEST, s->getY());
    EXPECT_EQ("", run("s:setPosition(-2147483648, 2147483647)"));
    EXPECT_EQ(-sprite::SpriteBase::FARTHEST, s->left());
    EXPECT_EQ(sprite::SpriteBase::FARTHEST, s->top());
}

TEST_F(SpriteBaseMethodsTest, SetDestinationKeepsWhatIsNil)
{
    RecordingReceiver receiver;
    lang::String* done = new lang::String("arrived");
    s->setAction(&receiver, done);
    done->release();
    ASSERT_EQ("", run("s:setDestination(nil, 100, 10)"));
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(receiver.received.empty());
        s->tick(i, nullptr, nullptr);
        EXPECT_EQ(100, s->getX());
        EXPECT_EQ(50 + 5 * (i + 1), s->getY());
    }
    ASSERT_EQ(1u, receiver.received.size());
    EXPECT_EQ("arrived", receiver.received[0].command);
    s->setAction(nullptr, nullptr);
}

TEST_F(SpriteBaseMethodsTest, ScaleAndRotation)
{
    EXPECT_EQ("", run("s:setScale(2)"));
    EXPECT_EQ(2.0, s->getScaleX());
    EXPECT_EQ(2.0, s->getScaleY());
    EXPECT_EQ("", run("s:setScale({ y = 3 })"));
    EXPECT_EQ(2.0, s->getScaleX());
    EXPECT_EQ(3.0, s->getScaleY());
    EXPECT_EQ("", run("s:setScale(0.5, 4)"));
    EXPECT_EQ(0.5, s->getScaleX());
    EXPECT_EQ(4.0, s->getScaleY());
    EXPECT_EQ("", run("s:setScale()"));
    EXPECT_EQ(1.0, s->getScaleX());
    EXPECT_EQ(1.0, s->getScaleY());

    // The target is rounded to single precision.
    EXPECT_EQ("", run("s:setScaleDestination(0.1, 5)"));
    EXPECT_EQ(5, s->getScaleSteps());
    for (int i = 0; i < 5; ++i)
        s->tick(i, nullptr, nullptr);
    EXPECT_EQ(double(0.1f), s->getScaleX());
    EXPECT_NE(0.1, s->getScaleX());

    EXPECT_EQ("", run("s:rotateBy(370); s:setRotation(s:alpha() * 90)"));
    EXPECT_EQ(90.0, s->getRotation());
}

TEST_F(SpriteBaseMethodsTest, FlagsAndLooks)
{
    EXPECT_EQ("", run("s:setFlipType('diagonal')"));
    EXPECT_EQ(3, s->getFlipType());

    EXPECT_EQ("", run("s:setMouseOverCursor('hand')"));
    EXPECT_EQ(1, s->getMouseOverCursor());
    EXPECT_EQ("", run("s:setMouseOverCursor('pointy')"));
    EXPECT_EQ(1, s->getMouseOverCursor());
    EXPECT_EQ("", run("s:setMouseOverCursor('none')"));
    EXPECT_EQ(-1, s->getMouseOverCursor());

    // The last argument decides.
    EXPECT_EQ("", run("s:setPaused(false, true); p = s:isPaused()"));
    EXPECT_TRUE(s->isPaused());
    EXPECT_EQ("", run("s:setPaused(true, nil)"));
    EXPECT_FALSE(s->isPaused());

    // Bytes; the alpha byte becomes 255; values beyond a byte are held to one.
    EXPECT_EQ("", run("s:setColorBalance(10, 300, -4)"));
    EXPECT_EQ(0xFF0AFF00u, s->getColor().getValue());

}

TEST_F(SpriteBaseMethodsTest, ShowTakesABooleanOrATransitionTable)
{
    EXPECT_EQ("", run("r = s:show(false)"));
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ("", run("assert(r == false)"));
    EXPECT_EQ("", run("r = s:show(false, true)"));
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ("", run("assert(r == true)"));

    // On a visible sprite, a table without "visible" hides it through the
    // transition, over the sprite's bounds.
    ASSERT_EQ("", run("r = s:show({ transition = 'wipe', frames = 4 })"));
    EXPECT_EQ("", run("assert(r == false)"));
    sprite::TransitionBase* t = s->getTransition();
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(sprite::SpriteBase::TRANSITION_HIDING, s->getTransitionMode());
    EXPECT_EQ(4, t->getFrames());
    EXPECT_EQ(90, t->getLayerPosition(0)->x);
    EXPECT_EQ(45, t->getLayerPosition(0)->y);
    EXPECT_TRUE(s->isVisible());
    spritetest::RecordingGraphics* g = new spritetest::RecordingGraphics;
    s->prepareTransition(g);
    for (int frame = 1; frame <= 6 && s->getTransition(); ++frame)
        s->tickTransition(frame, nullptr, nullptr);
    g->release();
    EXPECT_EQ(nullptr, s->getTransition());
    EXPECT_FALSE(s->isVisible());

    // Hidden now: the same table shows it.
    ASSERT_EQ("", run("r = s:show({ transition = 'barnDoor', frames = 4 })"));
    EXPECT_EQ(sprite::SpriteBase::TRANSITION_SHOWING, s->getTransitionMode());
    EXPECT_TRUE(s->isVisible());

    EXPECT_TRUE(failsWith("s:show({ transition = 'none' })", "Illegal transition type specified"));
    EXPECT_TRUE(failsWith("s:show({ frames = 3 })", "bad argument"));
    EXPECT_TRUE(failsWith("s:show({ transition = 'sparkle' })", "invalid transition 'sparkle'"));
    EXPECT_EQ(0, lua_gettop(L));
}

class ActionSprite : public TestSprite {
public:
    ActionSprite() : TestSprite(0, 0, 4, 4) {}
    void handleAction(lang::Object* sender, lang::String* command) override
    {
        if (command && command->equals("throw"))
            throw new lang::Exception("refused");
        lastSender = sender;
        lastCommand = command ? command->c_str() : "<null>";
    }
    lang::Object* lastSender = reinterpret_cast<lang::Object*>(1);
    std::string lastCommand;
};

TEST_F(SpriteBaseMethodsTest, HandleActionPassesTheSendersObjectAndTheCommand)
{
    ActionSprite* a = keep(new ActionSprite());
    expose(a, "a");
    EXPECT_EQ("", run("a:handleAction(s, 'open')"));
    EXPECT_EQ(static_cast<lang::Object*>(s), a->lastSender);
    EXPECT_EQ("open", a->lastCommand);
    EXPECT_EQ("", run("a:handleAction(nil, 'close')"));
    EXPECT_EQ(nullptr, a->lastSender);
    EXPECT_EQ("close", a->lastCommand);
    // A sender table that holds no object is refused, not followed.
    EXPECT_TRUE(failsWith("a:handleAction({}, 'x')", "bad argument #1 to 'handleAction' (not a Sprite object)"));
    EXPECT_EQ("close", a->lastCommand);
    // An exception of the sprite becomes a Lua error instead of crossing Lua.
    EXPECT_TRUE(failsWith("a:handleAction(nil, 'throw')", "refused"));
    EXPECT_EQ("", run("a:handleAction(nil, 'after')"));
    EXPECT_EQ("after", a->lastCommand);
}

TEST_F(SpriteBaseMethodsTest, DescriptionNameAndHitTest)
{
    s->setName(lang::String("Lamp"));
    ASSERT_EQ("", run("d = tostring(s); c = s:clipRect(); n = s:getName()\n"
                      "m = getmetatable(s).__tostring(getmetatable(s))\n"
                      "hit, miss = s:hittest(95, 46), s:hittest(110, 50)"));
    char expected[128];
    std::snprintf(expected, sizeof expected, "SpriteBase: 0x%llx \"Lamp\"",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(static_cast<lang::Object*>(s))));
    EXPECT_EQ(expected, globalText("d"));
    EXPECT_EQ(expected, globalText("c"));
    EXPECT_EQ("Lamp", globalText("n"));
    EXPECT_EQ("SpriteBase metatable?", globalText("m"));
    EXPECT_EQ("", run("assert(hit == true and miss == false)"));
}

} // namespace

// The Lua class of the canvas (the global `canvas`) and the sound table it
// drives: every method with its result and argument errors, the self
// checks, sounds switched off, fades stepped per frame, the per-frame
// "nextFrame" calls, and a table left behind by a destroyed canvas.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/SpriteLuaFixture.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/transitions/TransitionBase.h"

#include <memory>

namespace {

using canvastest::RecordingClip;
using spritetest::TestSprite;
using Calls = std::vector<std::string>;

class CanvasLuaTest : public SpriteLuaFixture {
protected:
    CanvasLuaTest()
    {
        write("Canvas.lua", "hv = hv or {}\nhv.Canvas = { extra = function(self) return 'from script' end }\n");
        world = std::make_unique<canvastest::CanvasWorld>();
        canvas = world->canvas;
        canvas->setClientSize(800, 600);
        hero = world->add("Hero", new TestSprite(100, 100, 10, 10));
        // A sound table of two clips and an empty entry.
        lang::ObjectArray table;
        table.setLength(3);
        for (int i = 0; i < 2; ++i)
            *table.at(i) = clips[i] = new RecordingClip();
        canvas->setSoundTableAndReset(&table);
        canvas->start();
    }
    ~CanvasLuaTest() override
    {
        world.reset();
        for (RecordingClip* clip : clips)
            clip->release();
    }

    std::unique_ptr<canvastest::CanvasWorld> world;
    canvastest::TestCanvas* canvas = nullptr;
    TestSprite* hero = nullptr;
    RecordingClip* clips[2] = {};
};

TEST_F(CanvasLuaTest, EveryMethodChecksItsSelfAndItsArguments)
{
    const std::pair<const char*, const char*> cases[] = {
        {"canvas.playSound(5, 0)", "table expected"},
        {"canvas.size({})", "not a Canvas object"},
        {"canvas.codeBase(canvas:sprite('Hero'))", "not a GameCanvas3"},
        {"canvas:bendSound(0, 1.5)", "too many arguments"},
        {"canvas:bendSound(0, 1.5, 2, 3)", "too many arguments"},
        {"canvas:fadeSound(0, 1, 2, 1, 9)", "too many arguments"},
        {"canvas:handleAction(nil, 'Go', 3)", "too many arguments"},
        {"canvas:playSound(0, 1)", "too many arguments"},
        {"canvas:loopSound(0, 1)", "too many arguments"},
        {"canvas:stopSound(0, 1)", "too many arguments"},
        {"canvas:setHasLuaAnimations()", "wrong number of arguments"},
        {"canvas:setHasLuaAnimations(true, 1)", "wrong number of arguments"},
        {"canvas:add('X', {})", "not a Sprite object"},
        {"canvas:add('X', 7)", "table expected"},
        {"canvas:bringToFront({})", "not a Sprite object"},
        {"canvas:handleAction({}, 'Go')", "not a Sprite object"},
        {"canvas:doTransition({transition = 'none'})", "Illegal transition type specified"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(failsWith(c.first, c.second));
    EXPECT_TRUE(canvas->commands.empty());
    EXPECT_TRUE(clips[0]->calls.empty());
}

TEST_F(CanvasLuaTest, TheQueriesDescribeNameSizeAndCodeBase)
{
    canvas->init(lang::String("C:\\Game"), nullptr, lang::String("+datfile"), 0);
    EXPECT_EQ(run("d = tostring(canvas) e = canvas:extra() b = canvas:codeBase() "
                  "local s = canvas:size() w, h = s.width, s.height "
                  "found = tostring(canvas:sprite('Hero') ~= nil and canvas:sprite('Nobody') == nil)"),
              "");
    EXPECT_EQ(globalText("d").rfind("GameCanvas3: 0x", 0), 0u) << globalText("d");
    EXPECT_EQ(globalText("e"), "from script");
    EXPECT_EQ(globalText("b"), "C:\\Game");
    EXPECT_EQ(globalInt("w"), 800);
    EXPECT_EQ(globalInt("h"), 600);
    EXPECT_EQ(globalText("found"), "true");
}

TEST_F(CanvasLuaTest, AddBringToFrontAndHandleActionTakeSpriteTables)
{
    TestSprite* loose = new TestSprite(5, 5, 2, 2);
    world->made.push_back(loose);
    expose(loose, "loose");
    EXPECT_EQ(run("r = canvas:add('Loose', loose) assert(r == loose) canvas:bringToFront(canvas:sprite('Hero'))"),
              "");
    EXPECT_EQ(canvas->getSprite("Loose"), loose);
    sprite::SpriteBase* top = canvas->childAt(1);
    EXPECT_EQ(top, hero) << "brought to the top, keeping its name";
    top->release();
    EXPECT_EQ(run("r = canvas:handleAction(canvas:sprite('Hero'), 'Go') canvas:handleAction(nil, 'Stay')"), "");
    EXPECT_EQ(globalText("r"), "Go");
    EXPECT_EQ(canvas->commands, (Calls{"Go", "Stay"}));
    EXPECT_EQ(canvas->receivers, (std::vector<lang::Object*>{hero, nullptr}));
}

TEST_F(CanvasLuaTest, SoundMethodsReachTheClipsByIndexAndIgnoreOtherIndexes)
{
    EXPECT_EQ(run("a = canvas:playSound(1) canvas:loopSound(0) canvas:stopSound(1) canvas:bendSound(0, 0.5, 10)"),
              "");
    EXPECT_EQ(globalInt("a"), 1);
    EXPECT_EQ(clips[1]->calls, (Calls{"play", "stop"}));
    EXPECT_EQ(clips[0]->calls, (Calls{"loop", "fadePitch 0.500000 10"})) << "the factor keeps its fraction";
    EXPECT_EQ(run("canvas:playSound(2) canvas:loopSound(-1) canvas:fadeSound(7, 0, 5) canvas:bendSound(3, 2, 5)"),
              "");
    EXPECT_EQ(clips[0]->calls.size(), 2u);
    EXPECT_EQ(canvas->getFrameListenerCount(), 1);
}

TEST_F(CanvasLuaTest, WithSoundsOffNothingStartsButStoppingStillStops)
{
    canvas->setSoundsEnabled(false);
    EXPECT_EQ(clips[0]->calls, Calls{"stop"}) << "switching off stops the table";
    EXPECT_EQ(run("canvas:playSound(0) canvas:loopSound(1) canvas:stopSound(0)"), "");
    EXPECT_EQ(clips[0]->calls, (Calls{"stop", "stop"}));
    EXPECT_EQ(clips[1]->calls, Calls{"stop"});
    canvas->setSoundsEnabled(true);
    canvas->playSound(0);
    EXPECT_EQ(clips[0]->calls.back(), "play");
}

TEST_F(CanvasLuaTest, FadeSoundToSilenceOverTwentyFiveFramesPausesTheClip)
{
    clips[0]->setVolume(200);
    EXPECT_EQ(run("canvas:fadeSound(0, 0, 25, 1) canvas:fadeSound(1, 50, 2)"), "");
    canvas->fadeSound(0, 0, 25, true);
    EXPECT_EQ(canvas->getFrameListenerCount(), 2) << "a clip fading twice is listened to once";
    world->runFrames(24);
    EXPECT_GT(clips[0]->getVolume(), 0);
    EXPECT_EQ(canvas->getFrameListenerCount(), 1);
    world->runFrames(1);
    EXPECT_EQ(clips[0]->getVolume(), 0);
    EXPECT_EQ(clips[0]->calls.back(), "pause");
    EXPECT_EQ(canvas->getFrameListenerCount(), 0);
    EXPECT_EQ(clips[1]->calls, Calls{"fadeVolume 50 2 0"}) << "no pause without the fourth argument";
}

TEST_F(CanvasLuaTest, DoTransitionSetsTheScreenTransitionAndItsDestination)
{
    EXPECT_EQ(run("r = canvas:doTransition(5)"), "");
    EXPECT_EQ(canvas->getTransition(), nullptr);
    EXPECT_EQ(globalInt("r"), 5);
    EXPECT_EQ(run("t = {transition = 'wipe', frames = 12, destination = 'Cave'} assert(canvas:doTransition(t) == t)"),
              "");
    ASSERT_NE(canvas->getTransition(), nullptr);
    EXPECT_EQ(canvas->getTransition()->getFrames(), 12);
    EXPECT_STREQ(canvas->getDestination().c_str(), "Cave");
    EXPECT_TRUE(canvas->isDirty());
    EXPECT_EQ(run("canvas:doTransition({transition = 'barnDoor', destination = 3})"), "");
    EXPECT_STREQ(canvas->getDestination().c_str(), "") << "a destination that is no string";
}

TEST_F(CanvasLuaTest, NextFrameRunsForTheCanvasAndScriptedSpritesEachFrame)
{
    EXPECT_EQ(run("seen = {} function canvas:nextFrame(frame) seen[#seen + 1] = frame end "
                  "assert(canvas:setHasLuaAnimations(true) == true) count = 0 local h = canvas:sprite('Hero') "
                  "function h:nextFrame(frame) count = count + 1 end h:setHasLuaAnimations(true)"),
              "");
    world->runFrames(3);
    EXPECT_EQ(run("canvas:setHasLuaAnimations(false)"), "");
    canvas->setSuspendLuaAnimations(true);
    world->runFrames(2);
    EXPECT_EQ(run("assert(#seen == 3 and seen[1] == 0 and seen[3] == 2)"), "");
    EXPECT_EQ(globalInt("count"), 3);
}

TEST_F(CanvasLuaTest, ATableKeptAfterTheCanvasIsGoneRaisesArgumentErrors)
{
    EXPECT_EQ(run("kept = canvas"), "");
    world.reset();
    EXPECT_TRUE(failsWith("kept:playSound(0)", "not a Canvas object"));
}

} // namespace

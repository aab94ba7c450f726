// The Lua class of the canvas (the global `canvas`): every method with its
// result and argument errors, the self checks, the per-frame "nextFrame"
// calls of the canvas and of scripted sprites, and a table left behind by a
// destroyed canvas.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/SpriteLuaFixture.h"
#include "tests/sprites/support/TestSprite.h"

#include "sprites/transitions/TransitionBase.h"

#include <memory>

namespace {

using canvastest::CanvasWorld;
using canvastest::RecordingClip;
using spritetest::TestSprite;

class CanvasLuaTest : public SpriteLuaFixture {
protected:
    CanvasLuaTest()
    {
        write("Canvas.lua", "hv = hv or {}\nhv.Canvas = { extra = function(self) return 'from script' end }\n");
        world = std::make_unique<CanvasWorld>();
        canvas = world->canvas;
        canvas->setClientSize(800, 600);
        hero = world->add("Hero", new TestSprite(100, 100, 10, 10));
        other = world->add("Other", new TestSprite(200, 200, 10, 10));
        clips = new lang::ObjectArray();
        clips->setLength(2);
        for (int i = 0; i < 2; ++i) {
            recorded[i] = new RecordingClip();
            *clips->at(i) = recorded[i];
        }
        canvas->setSoundTableAndReset(clips);
        canvas->start();
    }
    ~CanvasLuaTest() override
    {
        world.reset();
        for (RecordingClip* clip : recorded)
            clip->release();
        clips->release();
    }

    std::string text(const std::string& expression)
    {
        std::string error = run("result = tostring(" + expression + ")");
        return error.empty() ? globalText("result") : "error: " + error;
    }

    std::unique_ptr<CanvasWorld> world;
    canvastest::TestCanvas* canvas = nullptr;
    TestSprite* hero = nullptr;
    TestSprite* other = nullptr;
    lang::ObjectArray* clips = nullptr;
    RecordingClip* recorded[2] = {nullptr, nullptr};
};

TEST_F(CanvasLuaTest, TheGlobalCanvasDescribesItselfAndKeepsTheScriptsOwnMethods)
{
    std::string described = text("canvas");
    EXPECT_EQ(described.rfind("GameCanvas3: 0x", 0), 0u) << described;
    EXPECT_EQ(text("canvas:extra()"), "from script");
}

struct SelfCase {
    const char* code;
    const char* error;
};

class CanvasLuaSelf : public CanvasLuaTest, public ::testing::WithParamInterface<SelfCase> {};

TEST_P(CanvasLuaSelf, EveryMethodChecksItsSelf)
{
    EXPECT_TRUE(failsWith(GetParam().code, GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(Selves, CanvasLuaSelf,
                         ::testing::Values(SelfCase{"canvas.playSound(5, 0)", "table expected"},
                                           SelfCase{"canvas.size({})", "not a Canvas object"},
                                           SelfCase{"canvas.codeBase(canvas:sprite('Hero'))", "not a GameCanvas3"},
                                           SelfCase{"canvas.sprite(nil, 'Hero')", "table expected"}));

TEST_F(CanvasLuaTest, ArgumentCountsAreChecked)
{
    const SelfCase cases[] = {
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
    for (const SelfCase& c : cases)
        EXPECT_TRUE(failsWith(c.code, c.error));
    EXPECT_TRUE(canvas->actions.empty());
    EXPECT_TRUE(recorded[0]->calls.empty());
}

TEST_F(CanvasLuaTest, SpriteFindsTablesByNameAndSizeGivesTheCanvasSize)
{
    EXPECT_EQ(run("assert(canvas:sprite('Hero') ~= nil and canvas:sprite('Nobody') == nil)"), "");
    EXPECT_EQ(run("assert(canvas:sprite('Hero') == canvas:sprite('Hero'))"), "");
    EXPECT_EQ(run("local s = canvas:size() w, h = s.width, s.height"), "");
    EXPECT_EQ(globalInt("w"), 800);
    EXPECT_EQ(globalInt("h"), 600);
    EXPECT_EQ(run("assert(type(canvas:size().width) == 'number')"), "");
}

TEST_F(CanvasLuaTest, AddAndBringToFrontPutSpritesOnTop)
{
    TestSprite* loose = new TestSprite(5, 5, 2, 2);
    world->made.push_back(loose);
    expose(loose, "loose");
    EXPECT_EQ(run("r = canvas:add('Loose', loose)"), "");
    EXPECT_EQ(canvas->getChildCount(), 3);
    EXPECT_EQ(canvas->getSprite("Loose"), loose);
    EXPECT_EQ(run("assert(r == loose)"), "") << "the last argument comes back";
    EXPECT_EQ(run("canvas:bringToFront(canvas:sprite('Hero'))"), "");
    sprite::SpriteBase* top = canvas->childAt(2);
    EXPECT_EQ(top, hero);
    top->release();
    EXPECT_EQ(canvas->getSprite("Hero"), hero) << "it keeps its name";
    EXPECT_EQ(canvas->getChildCount(), 3);
}

TEST_F(CanvasLuaTest, HandleActionGivesTheSenderAndReturnsTheCommand)
{
    EXPECT_EQ(run("r = canvas:handleAction(canvas:sprite('Hero'), 'Go')"), "");
    EXPECT_EQ(globalText("r"), "Go");
    EXPECT_EQ(run("canvas:handleAction(nil, 'Stay')"), "");
    ASSERT_EQ(canvas->actions.size(), 2u);
    EXPECT_EQ(canvas->actions[0].receiver, hero);
    EXPECT_EQ(canvas->actions[1].receiver, nullptr);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"Go", "Stay"}));
}

TEST_F(CanvasLuaTest, CodeBaseIsTheProgramDirectory)
{
    EXPECT_EQ(text("canvas:codeBase()"), "");
    canvas->init(lang::String("C:\\Game"), nullptr, lang::String("+datfile"), 0);
    EXPECT_EQ(text("canvas:codeBase()"), "C:\\Game");
}

TEST_F(CanvasLuaTest, SoundMethodsReachTheClipsByIndex)
{
    EXPECT_EQ(run("a = canvas:playSound(1) b = canvas:loopSound(0) c = canvas:stopSound(1)"), "");
    EXPECT_EQ(globalInt("a"), 1);
    EXPECT_EQ(globalInt("b"), 0);
    EXPECT_EQ(recorded[1]->calls, (std::vector<std::string>{"play", "stop"}));
    EXPECT_EQ(recorded[0]->calls, (std::vector<std::string>{"loop"}));
    // Indexes outside the table do nothing.
    EXPECT_EQ(run("canvas:playSound(2) canvas:loopSound(-1) canvas:fadeSound(7, 0, 5) canvas:bendSound(9, 2, 5)"),
              "");
    EXPECT_EQ(recorded[0]->calls.size(), 1u);
    EXPECT_EQ(canvas->getFrameListenerCount(), 0);
}

TEST_F(CanvasLuaTest, BendSoundKeepsTheFractionOfItsFactor)
{
    EXPECT_EQ(run("canvas:bendSound(0, 0.5, 10)"), "");
    EXPECT_EQ(recorded[0]->calls, (std::vector<std::string>{"fadePitch 0.500000 10"}));
}

TEST_F(CanvasLuaTest, FadeSoundToSilenceOverTwentyFiveFramesPausesTheClip)
{
    recorded[0]->setVolume(200);
    EXPECT_EQ(run("canvas:fadeSound(0, 0, 25, 1)"), "");
    EXPECT_EQ(canvas->getFrameListenerCount(), 1);
    world->runFrames(24);
    EXPECT_GT(recorded[0]->getVolume(), 0);
    EXPECT_EQ(recorded[0]->calls.back(), "fadeVolume 0 25 1");
    world->runFrames(1);
    EXPECT_EQ(recorded[0]->getVolume(), 0);
    EXPECT_EQ(recorded[0]->calls.back(), "pause");
    EXPECT_EQ(canvas->getFrameListenerCount(), 0) << "a finished fade leaves the listeners";
    // Without the fourth argument the clip is not paused.
    EXPECT_EQ(run("canvas:fadeSound(1, 50, 2)"), "");
    world->runFrames(2);
    EXPECT_EQ(recorded[1]->calls, (std::vector<std::string>{"fadeVolume 50 2 0"}));
}

TEST_F(CanvasLuaTest, DoTransitionSetsTheScreenTransitionAndItsDestination)
{
    EXPECT_EQ(run("r = canvas:doTransition(5)"), "");
    EXPECT_EQ(canvas->getTransition(), nullptr);
    EXPECT_EQ(globalInt("r"), 5);
    canvas->setDirty(false);
    EXPECT_EQ(run("t = {transition = 'wipe', frames = 12, destination = 'Cave'} r = canvas:doTransition(t)"), "");
    ASSERT_NE(canvas->getTransition(), nullptr);
    EXPECT_EQ(canvas->getTransition()->getFrames(), 12);
    EXPECT_STREQ(canvas->getDestination().c_str(), "Cave");
    EXPECT_TRUE(canvas->isDirty());
    EXPECT_EQ(run("assert(r == t)"), "");
    EXPECT_EQ(run("canvas:doTransition({transition = 'barnDoor', destination = 3})"), "");
    EXPECT_STREQ(canvas->getDestination().c_str(), "") << "a destination that is no string";
}

TEST_F(CanvasLuaTest, TheCanvasNextFrameRunsEveryFrameWhileSwitchedOn)
{
    EXPECT_EQ(run("seen = {} function canvas:nextFrame(frame) seen[#seen + 1] = frame end"), "");
    EXPECT_EQ(run("r = canvas:setHasLuaAnimations(true)"), "");
    EXPECT_EQ(run("assert(r == true)"), "");
    world->runFrames(3);
    EXPECT_EQ(run("canvas:setHasLuaAnimations(false)"), "");
    world->runFrames(2);
    EXPECT_EQ(run("assert(#seen == 3 and seen[1] == 0 and seen[3] == 2)"), "");
}

TEST_F(CanvasLuaTest, ScriptedSpritesGetTheirNextFrameUnlessSuspended)
{
    EXPECT_EQ(run("count = 0 local h = canvas:sprite('Hero') "
                  "function h:nextFrame(frame) count = count + 1 last = frame end h:setHasLuaAnimations(true)"),
              "");
    world->runFrames(2);
    EXPECT_EQ(globalInt("count"), 2);
    EXPECT_EQ(globalInt("last"), 1);
    canvas->setSuspendLuaAnimations(true);
    world->runFrames(2);
    EXPECT_EQ(globalInt("count"), 2);
}

TEST_F(CanvasLuaTest, ATableKeptAfterTheCanvasIsGoneRaisesArgumentErrors)
{
    EXPECT_EQ(run("kept = canvas"), "");
    world.reset();
    EXPECT_TRUE(failsWith("kept:playSound(0)", "not a Canvas object"));
}

} // namespace

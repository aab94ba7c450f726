// The canvas's scheduled actions: one-shot countdowns, repeating phases,
// reuse and removal by command (ignoring letter case, optionally by
// parameter and target), delays in seconds, pausing, and deliveries that
// add or remove entries while the table is being fired.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/TestSprite.h"

#include "windowing/window/Cursor.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using canvastest::CanvasTest;
using sprite::GameCanvas3;

// A sprite that notes the commands scheduled for it, with their sender.
class TargetSprite : public spritetest::TestSprite {
public:
    TargetSprite() : TestSprite(0, 0, 1, 1) {}
    void handleAction(lang::Object* sender, lang::String* command) override
    {
        received.push_back(command->c_str());
        senders.push_back(sender);
        if (onAction)
            onAction(command->c_str());
    }
    std::vector<std::string> received;
    std::vector<lang::Object*> senders;
    std::function<void(const std::string&)> onAction;
};

class ScheduledActionTest : public CanvasTest {
protected:
    void SetUp() override { canvas->start(); }

    void schedule(int delay, const char* command, int flags = 0, lang::Object* parameter = nullptr,
                  sprite::SpriteBase* target = nullptr)
    {
        lang::String text(command);
        canvas->scheduleAction(delay, &text, flags, parameter, target);
    }

    // The frame counters at which the canvas's handler saw `command`, over
    // the next `frames` frames.
    std::vector<int> firingsOver(int frames, const std::string& command)
    {
        std::vector<int> at;
        for (int i = 0; i < frames; ++i) {
            size_t before = canvas->actions.size();
            int counter = canvas->getFrameCounter();
            world.runFrames(1);
            for (size_t k = before; k < canvas->actions.size(); ++k)
                if (canvas->actions[k].command == command)
                    at.push_back(counter);
        }
        return at;
    }
};

TEST_F(ScheduledActionTest, AOneShotActionFiresAfterItsDelayOnce)
{
    schedule(3, "Later");
    EXPECT_EQ(firingsOver(10, "Later"), (std::vector<int>{2}));
    EXPECT_EQ(canvas->getScheduledActionCount(), 0);
}

TEST_F(ScheduledActionTest, ADelayOfZeroOrLessFiresOnTheNextFrame)
{
    schedule(0, "Zero");
    schedule(-5, "Negative");
    world.runFrames(1);
    EXPECT_EQ(canvas->commands(), (std::vector<std::string>{"Negative", "Zero"})) << "last entry fires first";
}

TEST_F(ScheduledActionTest, ADelayInSecondsCountsTwentyFiveFramesASecond)
{
    schedule(2, "TwoSeconds", GameCanvas3::ACTION_SECONDS);
    EXPECT_EQ(firingsOver(60, "TwoSeconds"), (std::vector<int>{49}));
}

TEST_F(ScheduledActionTest, ARepeatingActionKeepsThePhaseOfTheFrameItWasScheduledIn)
{
    world.runFrames(100);
    ASSERT_EQ(canvas->getFrameCounter(), 100);
    schedule(25, "Tick", GameCanvas3::ACTION_REPEAT);
    EXPECT_EQ(firingsOver(80, "Tick"), (std::vector<int>{124, 149, 174}));
    EXPECT_EQ(canvas->getScheduledActionCount(), 1);
}

TEST_F(ScheduledActionTest, ARepeatingActionOfLessThanOneFrameFiresEveryFrame)
{
    schedule(0, "Always", GameCanvas3::ACTION_REPEAT);
    EXPECT_EQ(firingsOver(3, "Always"), (std::vector<int>{0, 1, 2}));
    schedule(0, "AlwaysToo", GameCanvas3::ACTION_REPEAT | GameCanvas3::ACTION_SECONDS);
    EXPECT_EQ(firingsOver(2, "AlwaysToo"), (std::vector<int>{3, 4}));
}

struct ReuseCase {
    const char* second;
    int flags;
    int entries;
    std::vector<int> firings; // frame counters at which "Go"-like commands fire
};

class ScheduleTwice : public ScheduledActionTest, public ::testing::WithParamInterface<ReuseCase> {};

TEST_P(ScheduleTwice, ReuseMovesTheFirstEntryIgnoringLetterCase)
{
    const ReuseCase& c = GetParam();
    schedule(2, "Go");
    schedule(5, c.second, c.flags);
    EXPECT_EQ(canvas->getScheduledActionCount(), c.entries);
    std::vector<int> at;
    for (int i = 0; i < 8; ++i) {
        size_t before = canvas->actions.size();
        int counter = canvas->getFrameCounter();
        world.runFrames(1);
        for (size_t k = before; k < canvas->actions.size(); ++k)
            at.push_back(counter);
    }
    EXPECT_EQ(at, c.firings);
}

INSTANTIATE_TEST_SUITE_P(Flags, ScheduleTwice,
                         ::testing::Values(ReuseCase{"Go", 0, 2, {1, 4}}, ReuseCase{"GO", GameCanvas3::ACTION_REUSE, 1, {4}},
                                           ReuseCase{"Other", GameCanvas3::ACTION_REUSE, 2, {1, 4}},
                                           ReuseCase{"go", GameCanvas3::ACTION_REMOVE, 0, {}},
                                           ReuseCase{"Nothing", GameCanvas3::ACTION_REMOVE, 1, {1}}));

TEST_F(ScheduledActionTest, MatchingBothAlsoComparesParameterAndTarget)
{
    TargetSprite* a = world.add("A", new TargetSprite());
    TargetSprite* b = world.add("B", new TargetSprite());
    schedule(2, "Hit", 0, nullptr, a);
    schedule(2, "Hit", 0, nullptr, b);
    schedule(2, "Hit", GameCanvas3::ACTION_REMOVE | GameCanvas3::ACTION_MATCH_BOTH, nullptr, a);
    EXPECT_EQ(canvas->getScheduledActionCount(), 1);
    schedule(6, "hit", GameCanvas3::ACTION_REUSE | GameCanvas3::ACTION_MATCH_BOTH, nullptr, a);
    EXPECT_EQ(canvas->getScheduledActionCount(), 2) << "no entry for A: a new one";
    world.runFrames(6);
    EXPECT_EQ(b->received, (std::vector<std::string>{"Hit"}));
    EXPECT_EQ(a->received, (std::vector<std::string>{"hit"}));
}

TEST_F(ScheduledActionTest, TheTargetGetsTheCommandWithTheParameterAsSender)
{
    TargetSprite* target = world.add("Target", new TargetSprite());
    auto* parameter = new lang::String("payload");
    schedule(1, "ForYou", 0, parameter, target);
    parameter->release();
    EXPECT_GE(parameter->getRefCount(), 1) << "the entry holds the parameter";
    world.runFrames(1);
    EXPECT_EQ(target->received, (std::vector<std::string>{"ForYou"}));
    EXPECT_EQ(target->senders[0], parameter);
    EXPECT_TRUE(canvas->actions.empty()) << "nothing reached the canvas";
}

TEST_F(ScheduledActionTest, PausedActionsNeitherCountDownNorFire)
{
    schedule(2, "Later");
    canvas->setActionsPaused(true);
    world.runFrames(10);
    EXPECT_TRUE(canvas->actions.empty());
    canvas->setActionsPaused(false);
    EXPECT_EQ(firingsOver(3, "Later"), (std::vector<int>{11}));
}

TEST_F(ScheduledActionTest, ADeliveryThatRemovesAnotherDueEntrySkipsIt)
{
    TargetSprite* target = world.add("Target", new TargetSprite());
    // Fired last to first: "Second" goes first and removes "First".
    schedule(1, "First", 0, nullptr, target);
    schedule(1, "Second", 0, nullptr, target);
    target->onAction = [&](const std::string& command) {
        if (command == "Second")
            schedule(0, "first", GameCanvas3::ACTION_REMOVE);
    };
    world.runFrames(2);
    EXPECT_EQ(target->received, (std::vector<std::string>{"Second"}));
}

TEST_F(ScheduledActionTest, AnEntryAddedByADeliveryWaitsForTheNextFrame)
{
    TargetSprite* target = world.add("Target", new TargetSprite());
    schedule(1, "Start", 0, nullptr, target);
    target->onAction = [&](const std::string& command) {
        if (command == "Start")
            schedule(0, "Chained", 0, nullptr, target);
    };
    world.runFrames(1);
    EXPECT_EQ(target->received, (std::vector<std::string>{"Start"}));
    world.runFrames(1);
    EXPECT_EQ(target->received, (std::vector<std::string>{"Start", "Chained"}));
}

TEST_F(ScheduledActionTest, ARepeatingActionCanRemoveItselfWhileFiring)
{
    TargetSprite* target = world.add("Target", new TargetSprite());
    int count = 0;
    target->onAction = [&](const std::string&) {
        if (++count == 3)
            schedule(0, "Beat", GameCanvas3::ACTION_REMOVE);
    };
    schedule(2, "Beat", GameCanvas3::ACTION_REPEAT, nullptr, target);
    world.runFrames(20);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(canvas->getScheduledActionCount(), 0);
}

TEST_F(ScheduledActionTest, ACursorCommandToTheCanvasChangesTheCursor)
{
    schedule(1, "handCursor");
    world.runFrames(1);
    EXPECT_EQ(canvas->getCursor(), window::Cursor::handCursor);
}

} // namespace

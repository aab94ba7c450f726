// The canvas's scheduled actions: one-shot countdowns, repeating phases,
// reuse and removal by command (ignoring letter case, optionally by
// parameter and target), pausing, and deliveries that add or remove entries
// while the table is being fired.
#include "tests/sprites/canvas/CanvasTestSupport.h"
#include "tests/sprites/support/TestSprite.h"
#include "tests/support/MachinePace.h"

#include <chrono>
#include <functional>
#include <future>

namespace {

using canvastest::CanvasTest;
using sprite::GameCanvas3;
using Commands = std::vector<std::string>;

// A sprite that notes the commands delivered to it, with their sender.
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
    Commands received;
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

    // The frame counters of the frames in which the canvas's handler got a
    // command, over the next `frames` frames.
    std::vector<int> firingsOver(int frames)
    {
        std::vector<int> at;
        for (int i = 0; i < frames; ++i) {
            size_t before = canvas->commands.size();
            int counter = canvas->getFrameCounter();
            world.runFrames(1);
            at.insert(at.end(), canvas->commands.size() - before, counter);
        }
        return at;
    }
};

struct Timing {
    int framesBefore;
    int delay;
    int flags;
    std::vector<int> firings;
};

class ActionTiming : public ScheduledActionTest, public ::testing::WithParamInterface<Timing> {};

TEST_P(ActionTiming, FiresAtTheFramesItsDelayAndFlagsGive)
{
    world.runFrames(GetParam().framesBefore);
    schedule(GetParam().delay, "Act", GetParam().flags);
    EXPECT_EQ(firingsOver(180 - GetParam().framesBefore), GetParam().firings);
}

INSTANTIATE_TEST_SUITE_P(
    Delays, ActionTiming,
    ::testing::Values(Timing{0, 3, 0, {2}}, Timing{0, 0, 0, {0}}, Timing{0, -5, 0, {0}},
                      Timing{0, 2, GameCanvas3::ACTION_SECONDS, {49}},
                      Timing{100, 25, GameCanvas3::ACTION_REPEAT, {124, 149, 174}},
                      // A period below one frame means every frame.
                      Timing{177, 0, GameCanvas3::ACTION_REPEAT, {177, 178, 179}},
                      Timing{177, 0, GameCanvas3::ACTION_REPEAT | GameCanvas3::ACTION_SECONDS, {177, 178, 179}}));

struct ReuseCase {
    const char* second;
    int flags;
    int entries;
    std::vector<int> firings;
};

class ScheduleTwice : public ScheduledActionTest, public ::testing::WithParamInterface<ReuseCase> {};

TEST_P(ScheduleTwice, ReuseMovesTheFirstEntryAndRemoveDropsItIgnoringLetterCase)
{
    schedule(2, "Go");
    schedule(5, GetParam().second, GetParam().flags);
    EXPECT_EQ(canvas->getScheduledActionCount(), GetParam().entries);
    EXPECT_EQ(firingsOver(8), GetParam().firings);
}

INSTANTIATE_TEST_SUITE_P(Flags, ScheduleTwice,
                         ::testing::Values(ReuseCase{"Go", 0, 2, {1, 4}},
                                           ReuseCase{"GO", GameCanvas3::ACTION_REUSE, 1, {4}},
                                           ReuseCase{"Other", GameCanvas3::ACTION_REUSE, 2, {1, 4}},
                                           ReuseCase{"go", GameCanvas3::ACTION_REMOVE, 0, {}},
                                           ReuseCase{"Nothing", GameCanvas3::ACTION_REMOVE, 1, {1}}));

TEST_F(ScheduledActionTest, TargetsGetTheParameterAsSenderAndMatchingBothComparesThem)
{
    TargetSprite* a = world.add("A", new TargetSprite());
    TargetSprite* b = world.add("B", new TargetSprite());
    auto* parameter = new lang::String("payload");
    schedule(2, "Hit", 0, parameter, a);
    schedule(2, "Hit", 0, nullptr, b);
    parameter->release();
    schedule(2, "Hit", GameCanvas3::ACTION_REMOVE | GameCanvas3::ACTION_MATCH_BOTH, nullptr, a);
    EXPECT_EQ(canvas->getScheduledActionCount(), 2) << "A's entry has another parameter";
    schedule(6, "hit", GameCanvas3::ACTION_REUSE | GameCanvas3::ACTION_MATCH_BOTH, nullptr, b);
    world.runFrames(6);
    EXPECT_EQ(a->received, Commands{"Hit"});
    EXPECT_EQ(a->senders[0], parameter);
    EXPECT_EQ(b->received, Commands{"hit"});
    EXPECT_TRUE(canvas->commands.empty()) << "nothing reached the canvas";
}

TEST_F(ScheduledActionTest, PausedActionsNeitherCountDownNorFire)
{
    schedule(2, "Later");
    canvas->setActionsPaused(true);
    world.runFrames(10);
    canvas->setActionsPaused(false);
    EXPECT_EQ(firingsOver(3), std::vector<int>{11});
}

TEST_F(ScheduledActionTest, DeliveriesMayRemoveAndAddEntriesWhileTheTableFires)
{
    TargetSprite* target = world.add("Target", new TargetSprite());
    // Fired last to first: "Second" removes "First", due in the same frame,
    // and adds "Chained", which waits for the next frame.
    schedule(1, "First", 0, nullptr, target);
    schedule(1, "Second", 0, nullptr, target);
    schedule(2, "Beat", GameCanvas3::ACTION_REPEAT, nullptr, target);
    int beats = 0;
    target->onAction = [&](const std::string& command) {
        if (command == "Second") {
            schedule(0, "first", GameCanvas3::ACTION_REMOVE);
            schedule(0, "Chained", 0, nullptr, target);
        }
        // A repeating action removes itself on its third beat.
        if (command == "Beat" && ++beats == 3)
            schedule(0, "Beat", GameCanvas3::ACTION_REMOVE);
    };
    world.runFrames(1);
    EXPECT_EQ(target->received, Commands{"Second"});
    world.runFrames(20);
    EXPECT_EQ(target->received, (Commands{"Second", "Chained", "Beat", "Beat", "Beat"}));
    EXPECT_EQ(canvas->getScheduledActionCount(), 0);
}

TEST_F(ScheduledActionTest, AnotherThreadSchedulesWithoutWaitingForADelivery)
{
    // A delivery takes other locks (the sprite list's), and a thread holding
    // one of those may schedule an action: were the table held over the
    // delivery, the two would wait for each other.
    TargetSprite* target = world.add("Target", new TargetSprite());
    bool scheduled = false;
    std::future<void> other;
    target->onAction = [&](const std::string&) {
        other = std::async(std::launch::async, [&] { schedule(5, "Later"); });
        scheduled = testsupport::waitAtPace(2000, [&](int ms) {
            return other.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
        });
    };
    schedule(0, "Now", 0, nullptr, target);
    world.runFrames(1);
    EXPECT_TRUE(scheduled);
}

} // namespace

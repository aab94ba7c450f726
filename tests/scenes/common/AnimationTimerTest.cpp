// AnimationTimerTest.cpp: a wait made from a move to the sprite's own place
// sends its command after exactly that many ticks, also from a hidden sprite.
#include "scenes/common/AnimationTimer.h"

#include "core/lang/String.h"
#include "sprites/base/BoundsSprite.h"
#include "windowing/window/Event.h"
#include "windowing/window/Receiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Commands : public window::Receiver {
public:
    bool handleEvent(window::Event* e) override
    {
        got.push_back(e->arg && e->arg->isInstanceOf("String") ? static_cast<lang::String*>(e->arg)->c_str() : "?");
        return false;
    }
    std::vector<std::string> got;
};

TEST(AnimationTimerTest, TheCommandComesAfterTheTicksAndTheSpriteStaysPut)
{
    for (bool visible : {true, false}) {
        Commands receiver;
        auto* timer = new sprite::BoundsSprite(120, 80, 30, 20);
        timer->setVisible(visible);
        AnimationTimer::start(timer, 15, &receiver, "floatToPlayerScore");
        for (int tick = 1; tick < 15; ++tick)
            timer->tick(tick, nullptr, nullptr);
        EXPECT_TRUE(receiver.got.empty()) << "14 ticks";
        timer->tick(15, nullptr, nullptr);
        EXPECT_EQ(std::vector<std::string>{"floatToPlayerScore"}, receiver.got) << visible;
        EXPECT_EQ(120, timer->left());
        EXPECT_EQ(80, timer->top());
        timer->tick(16, nullptr, nullptr);
        EXPECT_EQ(1u, receiver.got.size()) << "once";
        timer->release();
    }
}

TEST(AnimationTimerTest, ANewWaitReplacesTheOldAndACancelledOneSendsNothing)
{
    Commands receiver;
    auto* timer = new sprite::BoundsSprite(0, 0, 10, 10);
    AnimationTimer::start(timer, 5, &receiver, "first");
    timer->tick(1, nullptr, nullptr);
    AnimationTimer::start(timer, 3, &receiver, "second");
    for (int tick = 2; tick < 10; ++tick)
        timer->tick(tick, nullptr, nullptr);
    EXPECT_EQ(std::vector<std::string>{"second"}, receiver.got);
    AnimationTimer::start(timer, 2, &receiver, "third");
    AnimationTimer::cancel(timer);
    for (int tick = 10; tick < 20; ++tick)
        timer->tick(tick, nullptr, nullptr);
    EXPECT_EQ(1u, receiver.got.size());
    AnimationTimer::start(nullptr, 2, &receiver, "nothing");
    AnimationTimer::cancel(nullptr);
    timer->release();
}

} // namespace

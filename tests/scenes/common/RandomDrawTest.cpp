// RandomDrawTest.cpp: the puzzles' shuffle draws from the whole array at
// every position, and the room generator's draws keep their bounds.
#include "scenes/common/RandomDraw.h"
#include "tests/scenes/support/ScriptedDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace scenetest {
namespace {

TEST(RandomDrawTest, EveryPositionSwapsWithADrawFromTheWholeArray)
{
    // Position 0 takes 2, 1 stays (draw 1), 2 takes 3, 3 takes 0.
    ScriptedDraw draw({2, 1, 3, 0});
    int values[4] = {10, 11, 12, 13};
    RandomDraw::shuffle(draw, values, 4);
    // 0<->2: 12 11 10 13; 1 stays; 2<->3: 12 11 13 10; 3<->0: 10 11 13 12.
    EXPECT_EQ((std::vector<int>{10, 11, 13, 12}), std::vector<int>(values, values + 4));
    EXPECT_EQ((std::vector<std::string>{"0..3", "0..3", "0..3", "0..3"}), draw.asked());
}

TEST(RandomDrawTest, TwentyFourCardsTakeTwentyFourDrawsAndEmptyArraysNone)
{
    ScriptedDraw draw;
    std::vector<int> cards(24);
    for (int i = 0; i < 24; ++i)
        cards[size_t(i)] = i % 12;
    RandomDraw::shuffle(draw, cards.data(), 24);
    EXPECT_EQ(std::vector<std::string>(24, "0..23"), draw.asked());
    ScriptedDraw none;
    RandomDraw::shuffle(none, cards.data(), 0);
    RandomDraw::shuffle(none, cards.data(), -3);
    EXPECT_TRUE(none.asked().empty());
}

TEST(RandomDrawTest, TheGeneratorsShuffleKeepsTheValues)
{
    auto* generator = new util::Random();
    generator->seed(1234);
    RandomDraw draw(*generator);
    std::vector<int> values(24);
    for (int i = 0; i < 24; ++i)
        values[size_t(i)] = i;
    RandomDraw::shuffle(draw, values.data(), 24);
    std::vector<int> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(i, sorted[size_t(i)]);
    for (int i = 0; i < 200; ++i) {
        const int v = draw.nextInt(4, 200);
        EXPECT_TRUE(v >= 4 && v <= 200) << v;
    }
    generator->release();
}

} // namespace
} // namespace scenetest

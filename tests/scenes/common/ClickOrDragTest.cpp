// ClickOrDragTest.cpp: a release is a drop only past 100 pixels or 550 ms.
#include "scenes/common/ClickOrDrag.h"

#include <gtest/gtest.h>

namespace {

TEST(ClickOrDragTest, TheDropRuleAtItsEdges)
{
    const struct {
        const char* what;
        int x, y;
        uint32_t when;
        bool drop;
    } cases[] = {
        {"where it was pressed, at once", 300, 200, 1000, false},
        {"exactly 100 pixels away", 400, 200, 1000, false},
        {"101 pixels away", 401, 200, 1000, true},
        {"60 by 80 is 100: not farther", 360, 280, 1000, false},
        {"61 by 80 is farther", 239, 120, 1000, true},
        {"held exactly 550 ms", 300, 200, 1550, false},
        {"held 551 ms", 300, 200, 1551, true},
        {"a release that seems earlier than the press", 300, 200, 999, false},
    };
    ClickOrDrag rule;
    rule.press(300, 200, 1000);
    for (const auto& c : cases)
        EXPECT_EQ(c.drop, rule.isDrop(c.x, c.y, c.when)) << c.what;
}

TEST(ClickOrDragTest, EventTimesThatWrapAndFarPointsDoNotOverflow)
{
    ClickOrDrag rule;
    EXPECT_FALSE(rule.isDrop(5000, 5000, 99999)) << "no press, no drop";
    EXPECT_FALSE(rule.isLongHold(99999));
    rule.press(0, 0, 0xFFFFFF00u);
    EXPECT_FALSE(rule.isDrop(0, 0, 0x100u)) << "512 ms across the wrap";
    EXPECT_TRUE(rule.isLongHold(0x130u)) << "560 ms across the wrap";
    rule.press(-60000, 0, 0);
    EXPECT_TRUE(rule.isDrop(60000, 0, 0)) << "a squared distance beyond the int range";
    rule.clear();
    EXPECT_FALSE(rule.hasPress());
}

} // namespace

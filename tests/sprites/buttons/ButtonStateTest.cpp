// ButtonStateTest.cpp: the seven-state machine of the button part: every
// state against every input, the pressed flag, and the press and release
// protocol the dialogs drive.
#include "sprites/buttons/ButtonMixin.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using sprite::ButtonMixin;

// A button part whose owner accepts every change (or refuses one state) and
// counts them.
class Button : public ButtonMixin {
public:
    bool applyState(int newState) override
    {
        applied.push_back(newState);
        return newState != refused;
    }
    bool hitAndEnabled(int x, int y) override { return x >= 0 && x < 10 && y >= 0 && y < 10 && isEnabled(); }
    // Puts the button in a state without a press.
    void start(int state)
    {
        m_nState = state;
        m_bPressed = false;
        applied.clear();
    }
    std::vector<int> applied;
    int refused = -1;
};

TEST(ButtonStateTest, EveryStateAnswersEveryInput)
{
    enum Input { OVER, OUT, DOWN, UP, ENABLE, DISABLE };
    const char* names[] = {"over", "out", "down", "up", "enable", "disable"};
    // expected[input][state]
    const int expected[6][7] = {
        {0, 2, 2, 4, 4, 2, 4}, // over, no button held
        {0, 1, 1, 3, 3, 1, 3}, // out
        {0, 5, 5, 6, 6, 5, 6}, // down
        {0, 1, 2, 3, 4, 1, 3}, // up
        {1, 1, 1, 3, 4, 1, 1}, // enable: a selected button stays selected
        {0, 0, 0, 0, 0, 0, 0}, // disable
    };
    for (int input = OVER; input <= DISABLE; ++input)
        for (int state = 0; state < 7; ++state) {
            Button b;
            b.start(state);
            switch (input) {
            case OVER: b.setMouseOver(true); break;
            case OUT: b.setMouseOver(false); break;
            case DOWN: b.setMouseDown(true); break;
            case UP: b.setMouseDown(false); break;
            case ENABLE: b.setEnabled(true); break;
            case DISABLE: b.setEnabled(false); break;
            }
            EXPECT_EQ(expected[input][state], b.getState()) << names[input] << " in state " << state;
            // The owner hears of changes only.
            EXPECT_EQ(expected[input][state] != state ? 1u : 0u, b.applied.size()) << names[input] << " " << state;
        }
}

TEST(ButtonStateTest, ADisabledButtonIgnoresTheMouseEntirely)
{
    Button b;
    b.setMouseDown(true);
    EXPECT_FALSE(b.isPressed());
    b.setMouseOver(true);
    EXPECT_EQ(ButtonMixin::DISABLED, b.getState());
    EXPECT_TRUE(b.applied.empty());
    EXPECT_FALSE(b.isEnabled());
}

TEST(ButtonStateTest, MovingWhileTheButtonIsHeld)
{
    Button b;
    b.start(ButtonMixin::NORMAL);
    b.setMouseDown(true);
    b.setMouseOver(false);
    EXPECT_EQ(ButtonMixin::NORMAL, b.getState());
    b.setMouseOver(true);
    EXPECT_EQ(ButtonMixin::PRESSED, b.getState());

    b.start(ButtonMixin::SELECTED);
    b.setMouseDown(true);
    EXPECT_EQ(ButtonMixin::SELECTED_PRESSED, b.getState());
    b.setMouseOver(true);
    EXPECT_EQ(ButtonMixin::SELECTED_PRESSED, b.getState());
    b.setMouseOver(false);
    EXPECT_EQ(ButtonMixin::SELECTED, b.getState());
    b.setMouseOver(true);
    EXPECT_EQ(ButtonMixin::SELECTED_PRESSED, b.getState());
    b.setMouseDown(false);
    EXPECT_EQ(ButtonMixin::SELECTED, b.getState());
    EXPECT_FALSE(b.isPressed());
}

TEST(ButtonStateTest, TheOwnerMayRefuseAState)
{
    Button b;
    b.start(ButtonMixin::SELECTED);
    b.refused = ButtonMixin::SELECTED_ROLLOVER;
    b.setMouseOver(true);
    EXPECT_EQ(ButtonMixin::SELECTED, b.getState());
    EXPECT_EQ(std::vector<int>({ButtonMixin::SELECTED_ROLLOVER}), b.applied);
    // Only the seven states exist.
    b.setState(7);
    b.setState(-1);
    EXPECT_EQ(ButtonMixin::SELECTED, b.getState());
    EXPECT_EQ(1u, b.applied.size());
}

TEST(ButtonStateTest, APressFiresAtOnceOrWhenReleasedOverTheButton)
{
    Button b;
    b.start(ButtonMixin::ROLLOVER);
    // Firing on the press: the state is the dialog's business.
    EXPECT_TRUE(b.armIfClickOnRelease());
    EXPECT_EQ(ButtonMixin::ROLLOVER, b.getState());

    b.setFireOnRelease(true);
    EXPECT_FALSE(b.armIfClickOnRelease());
    EXPECT_EQ(ButtonMixin::PRESSED, b.getState());
    EXPECT_TRUE(b.releaseAt(5, 5));
    EXPECT_EQ(ButtonMixin::NORMAL, b.getState());

    EXPECT_FALSE(b.armIfClickOnRelease());
    EXPECT_FALSE(b.releaseAt(50, 5));
    EXPECT_EQ(ButtonMixin::NORMAL, b.getState());
    EXPECT_FALSE(b.isPressed());

    b.start(ButtonMixin::SELECTED);
    EXPECT_FALSE(b.armIfClickOnRelease());
    EXPECT_EQ(ButtonMixin::SELECTED_PRESSED, b.getState());
    EXPECT_TRUE(b.releaseAt(0, 0));
    EXPECT_EQ(ButtonMixin::SELECTED, b.getState());

    // A disabled button cannot be pressed, and a release over it does not count.
    b.setEnabled(false);
    EXPECT_FALSE(b.armIfClickOnRelease());
    EXPECT_FALSE(b.isPressed());
    EXPECT_FALSE(b.releaseAt(5, 5));
}

} // namespace

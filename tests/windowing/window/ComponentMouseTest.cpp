// Mouse input through the window procedure: click counting, the focus rule,
// capture and its loss, movement and drag events.
#include "WindowTestSupport.h"

using platform::events::MouseButton;
using windowtest::SeenEvent;

namespace {

class ComponentMouseTest : public windowtest::WindowTest {
protected:
    std::vector<SeenEvent> downs() const
    {
        std::vector<SeenEvent> out;
        for (const SeenEvent& e : canvas->events)
            if (e.id == window::Event::MOUSE_DOWN)
                out.push_back(e);
        return out;
    }
};

TEST_F(ComponentMouseTest, PressesWithinTheDoubleClickTimeCountOnAcrossBothButtons)
{
    openFrameWithCanvas();
    ASSERT_EQ(window::WindowGlobals::doubleClickTime(), 500u);
    pointAtCanvas(10, 20);
    click(MouseButton::Left);
    windowtest::pump();
    clock.advance(100);
    click(MouseButton::Left);
    windowtest::pump();
    clock.advance(100);
    click(MouseButton::Right);
    windowtest::pump();
    clock.advance(500); // not below the double-click time: a new run
    click(MouseButton::Left);
    windowtest::pump();

    std::vector<SeenEvent> d = downs();
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].clickCount, 1);
    EXPECT_EQ(d[1].clickCount, 2);
    EXPECT_EQ(d[2].clickCount, 3);
    EXPECT_EQ(d[3].clickCount, 1);
    EXPECT_EQ(d[0].when, 50000u);
    EXPECT_EQ(d[3].when, 50700u);
    EXPECT_EQ(d[0].x, 10);
    EXPECT_EQ(d[0].y, 20);
    EXPECT_EQ(d[0].hook, "mouseDown");
    // Right-button events carry Ctrl and the right-button bit whatever is held.
    EXPECT_EQ(d[0].modifiers, 0);
    EXPECT_EQ(d[2].modifiers, 5);
}

TEST_F(ComponentMouseTest, ClickCountSurvivesTheTickCountWrapping)
{
    clock.setTickCount(0xFFFFFF00u);
    openFrameWithCanvas();
    pointAtCanvas(5, 5);
    click(MouseButton::Left);
    windowtest::pump();
    clock.advance(0x180); // wraps past zero, 384 ms later
    click(MouseButton::Left);
    windowtest::pump();
    std::vector<SeenEvent> d = downs();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[1].clickCount, 2);
}

TEST_F(ComponentMouseTest, EventsCarryTheComponentAsTargetAndArgumentAndAreReleasedAfterTheHook)
{
    openFrameWithCanvas();
    const int before = canvas->getRefCount();
    pointAtCanvas(3, 4);
    click(MouseButton::Left);
    windowtest::pump();
    ASSERT_FALSE(canvas->events.empty());
    EXPECT_EQ(canvas->events[0].target, static_cast<lang::Object*>(canvas));
    EXPECT_EQ(canvas->events[0].arg, static_cast<lang::Object*>(canvas));
    EXPECT_EQ(canvas->getRefCount(), before);
}

TEST_F(ComponentMouseTest, ModifiersOfALeftPressComeFromTheKeyboardState)
{
    openFrameWithCanvas();
    pointAtCanvas(1, 1);
    platform::events::key(VK_CONTROL, true);
    platform::events::key(VK_SHIFT, true);
    click(MouseButton::Left);
    windowtest::pump();
    std::vector<SeenEvent> d = downs();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].modifiers, 3);
    // The left-button release reports no modifiers.
    ASSERT_EQ(canvas->events.back().id, window::Event::MOUSE_UP);
    EXPECT_EQ(canvas->events.back().modifiers, 0);
}

TEST_F(ComponentMouseTest, WithoutTheKeyboardFocusClicksAreDroppedUntilTheFrameIsActivatedAgain)
{
    openFrameWithCanvas();
    // The program loses the system's focus and gets it back: activation
    // gives the frame the focus, and the canvas gets it back through 0x464.
    SetFocus(frame->getHWND());
    ASSERT_NE(GetFocus(), canvas->getHWND());
    pointAtCanvas(10, 10);
    click(MouseButton::Left);
    windowtest::pump();
    EXPECT_TRUE(canvas->events.empty());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(canvas->getButtons(), 0);

    platform::events::activated(nullptr);
    windowtest::pump();
    platform::events::activated(frame->getHWND());
    windowtest::pump();
    EXPECT_EQ(GetFocus(), canvas->getHWND());
    click(MouseButton::Left);
    windowtest::pump();
    EXPECT_EQ(downs().size(), 1u);
}

TEST_F(ComponentMouseTest, MovesAreMovesWithoutAButtonAndDragsWithOne)
{
    openFrameWithCanvas();
    pointAtCanvas(30, 40);
    windowtest::pump();
    platform::events::mouseButton(MouseButton::Right, true);
    pointAtCanvas(31, 41);
    windowtest::pump();
    platform::events::mouseButton(MouseButton::Right, false);
    platform::events::mouseButton(MouseButton::Left, true);
    pointAtCanvas(32, 42);
    windowtest::pump();

    std::vector<SeenEvent> moves;
    for (const SeenEvent& e : canvas->events)
        if (e.hook == "mouseMove" || e.hook == "mouseDrag")
            moves.push_back(e);
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[0].id, window::Event::MOUSE_MOVE);
    EXPECT_EQ(moves[0].modifiers, 0);
    EXPECT_EQ(moves[0].clickCount, 0);
    EXPECT_EQ(moves[0].x, 30);
    EXPECT_EQ(moves[1].id, window::Event::MOUSE_DRAG);
    EXPECT_EQ(moves[1].hook, "mouseDrag");
    EXPECT_EQ(moves[1].modifiers, 5);
    EXPECT_EQ(moves[2].id, window::Event::MOUSE_DRAG);
    EXPECT_EQ(moves[2].modifiers, 0);
}

TEST_F(ComponentMouseTest, APressCapturesTheMouseSoPointsLeftOfTheWindowAreNegative)
{
    openFrameWithCanvas();
    pointAtCanvas(5, 5);
    platform::events::mouseButton(MouseButton::Left, true);
    windowtest::pump();
    EXPECT_EQ(GetCapture(), canvas->getHWND());
    EXPECT_EQ(canvas->getButtons(), 1);
    pointAtCanvas(-7, 5);
    windowtest::pump();
    ASSERT_EQ(canvas->events.back().id, window::Event::MOUSE_DRAG);
    EXPECT_EQ(canvas->events.back().x, -7);

    platform::events::mouseButton(MouseButton::Left, false);
    windowtest::pump();
    EXPECT_EQ(canvas->events.back().id, window::Event::MOUSE_UP);
    EXPECT_EQ(canvas->getButtons(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComponentMouseTest, TheFrameNeverCapturesTheMouse)
{
    openFrameWithCanvas();
    SetFocus(frame->getHWND());
    // A press on the frame itself (the canvas hidden, so the frame is hit).
    canvas->setVisible(false);
    POINT p{50, 50};
    ClientToScreen(frame->getHWND(), &p);
    platform::events::mouseMoved(p.x, p.y);
    platform::events::mouseButton(MouseButton::Left, true);
    windowtest::pump();
    EXPECT_EQ(frame->getButtons(), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    platform::events::mouseButton(MouseButton::Left, false);
    windowtest::pump();
}

TEST_F(ComponentMouseTest, LosingTheCaptureReleasesEveryHeldButtonAtThePointer)
{
    openFrameWithCanvas();
    pointAtCanvas(10, 10);
    platform::events::mouseButton(MouseButton::Left, true);
    platform::events::mouseButton(MouseButton::Right, true);
    windowtest::pump();
    ASSERT_EQ(canvas->getButtons(), 3);
    canvas->events.clear();

    // The pointer moved while the messages were not yet taken; then another
    // window takes the capture.
    POINT p{60, 70};
    ClientToScreen(canvas->getHWND(), &p);
    SetCursorPos(p.x, p.y);
    SetCapture(frame->getHWND());

    ASSERT_GE(canvas->events.size(), 2u);
    const SeenEvent& left = canvas->events[0];
    const SeenEvent& right = canvas->events[1];
    EXPECT_EQ(left.id, window::Event::MOUSE_UP);
    EXPECT_EQ(left.modifiers, 0);
    EXPECT_EQ(left.x, 60);
    EXPECT_EQ(left.y, 70);
    EXPECT_EQ(right.id, window::Event::MOUSE_UP);
    EXPECT_EQ(right.modifiers, 5);
    EXPECT_EQ(right.x, 60);
    EXPECT_EQ(canvas->getButtons(), 0);
    ReleaseCapture();
}

} // namespace

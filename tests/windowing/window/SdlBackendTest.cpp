// The frame and canvas on the SDL backend, with SDL's offscreen video driver:
// a window is made, shown, switched to full screen and back, and an injected
// click reaches the canvas. Skipped when SDL cannot start.
#include "WindowTestSupport.h"

#include <cstdlib>

namespace {

class SdlBackendTest : public windowtest::WindowTest {
protected:
    void SetUp() override
    {
        windowtest::WindowTest::SetUp();
        // Frames are presented: the offscreen driver's own framebuffer shows
        // them without the GL renderer, whose driver leaks at exit.
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (!platform::setWindowBackend("sdl")) {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            if (!platform::setWindowBackend("sdl"))
                GTEST_SKIP() << "SDL video cannot start here";
        }
    }

    void TearDown() override
    {
        windowtest::WindowTest::TearDown();
        platform::useHeadlessBackend();
    }
};

TEST_F(SdlBackendTest, TheFrameOpensSwitchesToFullScreenAndBackAndTakesAClick)
{
    ASSERT_STREQ(platform::windowBackend().name(), "sdl");
    openFrameWithCanvas();
    EXPECT_TRUE(IsWindowVisible(frame->getHWND()));

    frame->setFullScreen(true, false);
    EXPECT_TRUE(frame->isFullScreen());
    windowtest::pump();
    frame->setFullScreen(false, false);
    EXPECT_FALSE(frame->isFullScreen());
    windowtest::pump();

    canvas->requestFocus();
    windowtest::pump();
    pointAtCanvas(20, 30);
    click(platform::events::MouseButton::Left);
    windowtest::pump();
    bool down = false;
    for (const windowtest::SeenEvent& e : canvas->events)
        down |= e.id == window::Event::MOUSE_DOWN && e.x == 20 && e.y == 30;
    EXPECT_TRUE(down);
}

} // namespace

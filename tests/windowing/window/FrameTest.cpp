// The top-level frame: creation and placement, the size fix-ups, the
// display-mode choice of full screen and its failure box, device restore on
// the main thread, and sleep and resume.
#include "WindowTestSupport.h"

#include "platform/user/MessageBox.h"

#include <thread>

namespace {

using windowtest::ProbeFrame;

class FrameTest : public windowtest::WindowTest {
protected:
    void makeFrame(int width = 800, int height = 600)
    {
        frame = new ProbeFrame(width, height);
        util::RectangleNM rect(0, 0, width, height);
        ASSERT_TRUE(frame->create(nullptr, &rect));
        ShowWindow(frame->getHWND(), SW_SHOW);
        windowtest::pump();
    }

    RECT windowRect() const
    {
        RECT r{};
        GetWindowRect(frame->getHWND(), &r);
        return r;
    }

    RECT clientOnScreen() const
    {
        RECT c{};
        GetClientRect(frame->getHWND(), &c);
        POINT o{0, 0};
        ClientToScreen(frame->getHWND(), &o);
        return RECT{o.x, o.y, o.x + c.right, o.y + c.bottom};
    }

    // Offers exactly these modes and records every full-screen switch.
    void offerModes(const std::vector<platform::DisplayMode>& modes)
    {
        platform::setDisplayModeList(modes);
        platform::setDisplayChangeHook([this](const DEVMODEA& mode, DWORD flags) -> LONG {
            if (flags & CDS_FULLSCREEN) {
                switchedBits.push_back(int(mode.dmBitsPerPel));
                switchedFields.push_back(mode.dmFields);
                return failSwitch ? DISP_CHANGE_FAILED : DISP_CHANGE_SUCCESSFUL;
            }
            return DISP_CHANGE_SUCCESSFUL;
        });
    }

    static platform::DisplayMode mode(int bits, DWORD flags = 0, int width = 800, int height = 600)
    {
        return platform::DisplayMode{width, height, bits, flags, 60};
    }

    std::vector<int> switchedBits;
    std::vector<DWORD> switchedFields;
    bool failSwitch = false;
};

TEST_F(FrameTest, CreateCentresTheClientAreaInTheWorkAreaWithoutShowingIt)
{
    frame = new ProbeFrame(800, 600);
    util::RectangleNM rect(0, 0, 800, 600);
    ASSERT_TRUE(frame->create(nullptr, &rect));
    EXPECT_FALSE(IsWindowVisible(frame->getHWND()));
    EXPECT_EQ(window::WindowGlobals::mainThreadId(), GetCurrentThreadId());
    const RECT c = clientOnScreen();
    EXPECT_EQ(c.left, 1024 / 2 - 400);
    EXPECT_EQ(c.top, 768 / 2 - 300);
    EXPECT_EQ(c.right - c.left, 800);
    EXPECT_EQ(c.bottom - c.top, 600);
    // The first showing tells the frame its client size.
    ShowWindow(frame->getHWND(), SW_SHOW);
    EXPECT_EQ(frame->getSize().width, 800);
    EXPECT_EQ(frame->getSize().height, 600);
    EXPECT_EQ(frame->getFrameHWND(), frame->getHWND());
    EXPECT_TRUE(windowtest::windowHasStyle(frame->getHWND(), WS_CAPTION | WS_SYSMENU | WS_POPUP));
    EXPECT_FALSE(windowtest::windowHasStyle(frame->getHWND(), WS_THICKFRAME));
}

TEST_F(FrameTest, TheClientSizeNeverExceedsTheDesignSize)
{
    makeFrame(800, 600);
    SendMessageA(frame->getHWND(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(900, 700));
    EXPECT_EQ(frame->getSize().width, 800);
    EXPECT_EQ(frame->getSize().height, 600);
    EXPECT_EQ(frame->getBounds()->width, 800);
    SendMessageA(frame->getHWND(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(700, 500));
    EXPECT_EQ(frame->getSize().width, 700);
    EXPECT_EQ(frame->getBounds()->height, 500);
}

TEST_F(FrameTest, AResizeBelowTheDesignSizeIsRefusedWhole)
{
    makeFrame();
    const RECT before = windowRect();
    SetWindowPos(frame->getHWND(), nullptr, 10, 10, 400, 300, SWP_NOZORDER);
    const RECT after = windowRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    // A resizable frame takes it.
    frame->setResizable(true);
    SetWindowPos(frame->getHWND(), nullptr, 10, 10, 400, 300, SWP_NOZORDER);
    EXPECT_EQ(windowRect().right - windowRect().left, 400);
}

TEST_F(FrameTest, AMoveToANegativePositionCentresTheFrameOnTheScreenAndTheSizeStaysFixed)
{
    makeFrame();
    frame->setLocation(-5, 40);
    const RECT r = windowRect();
    EXPECT_EQ(r.left, (1024 - 800) / 2);
    EXPECT_EQ(r.top, (768 - 600) / 2);
    frame->setLocation(30, 40);
    EXPECT_EQ(windowRect().left, 30);
    EXPECT_EQ(windowRect().top, 40);
    // A larger size is turned back into the design size with the borders.
    SetWindowPos(frame->getHWND(), nullptr, 30, 40, 1000, 700, SWP_NOZORDER);
    RECT c{};
    GetClientRect(frame->getHWND(), &c);
    EXPECT_EQ(c.right, 800);
    EXPECT_EQ(c.bottom, 600);
}

TEST_F(FrameTest, ThirtyTwoBitsArePreferredAndTwentyFourAreTheLastChoice)
{
    struct Case {
        std::vector<platform::DisplayMode> modes;
        int expectedBits;
    };
    const std::vector<Case> cases = {
        {{mode(16), mode(24), mode(32)}, 32},
        {{mode(24), mode(16)}, 16},
        {{mode(16), mode(24)}, 16},
        {{mode(24)}, 24},
        {{mode(8), mode(24)}, 24},
        {{mode(32, 0, 1024, 768), mode(16)}, 16},
        // A grayscale or interlaced mode never replaces one that is not.
        {{mode(16), mode(32, DM_INTERLACED)}, 16},
        {{mode(16), mode(32, DM_GRAYSCALE)}, 16},
        {{mode(32, DM_INTERLACED), mode(16)}, 32},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        makeFrame();
        switchedBits.clear();
        offerModes(cases[i].modes);
        frame->setFullScreen(true, false);
        ASSERT_EQ(switchedBits.size(), 1u);
        EXPECT_EQ(switchedBits[0], cases[i].expectedBits);
        EXPECT_EQ(switchedFields[0], DWORD(DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT));
        EXPECT_TRUE(frame->isFullScreen());
        frame->setFullScreen(false, false);
        DestroyWindow(frame->getHWND());
        frame->release();
        frame = nullptr;
    }
}

TEST_F(FrameTest, WithoutAModeOfTheDesignSizeABoxExplainsAndTheFrameStaysWindowed)
{
    makeFrame();
    offerModes({mode(8), mode(32, 0, 1024, 768)});
    platform::MessageBoxCapture boxes;
    frame->setLocation(3, 4);
    frame->setFullScreen(true, false);
    EXPECT_FALSE(frame->isFullScreen());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Unable to switch to Fullscreen mode.");
    EXPECT_EQ(boxes.boxes()[0].caption, "Harbinvel Error");
    EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
    EXPECT_EQ(boxes.boxes()[0].type, UINT(MB_OK));
    EXPECT_TRUE(switchedBits.empty());
    // Centred in the work area again.
    const RECT c = clientOnScreen();
    EXPECT_EQ(c.left, 112);
    EXPECT_EQ(c.top, 84);
}

TEST_F(FrameTest, AFailedSwitchShowsNoBoxAndStaysWindowed)
{
    makeFrame();
    offerModes({mode(32)});
    failSwitch = true;
    platform::MessageBoxCapture boxes;
    frame->setFullScreen(true, false);
    EXPECT_EQ(switchedBits.size(), 1u);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_FALSE(platform::displayFullScreen());
}

TEST_F(FrameTest, FullScreenPlacesTheClientAreaOverTheScreenTopmostAndSwitchesOnce)
{
    makeFrame();
    offerModes({mode(16), mode(32)});
    frame->setFullScreen(true, false);
    frame->setFullScreen(true, false);
    EXPECT_EQ(switchedBits.size(), 1u);
    EXPECT_TRUE(platform::displayFullScreen());
    EXPECT_TRUE(backend->fullScreen());
    const RECT c = clientOnScreen();
    EXPECT_EQ(c.left, 0);
    EXPECT_EQ(c.top, 0);
    EXPECT_EQ(c.right, 800);
    EXPECT_EQ(c.bottom, 600);
    EXPECT_NE(GetWindowLongPtrA(frame->getHWND(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    frame->setFullScreen(false, false);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_FALSE(platform::displayFullScreen());
    EXPECT_EQ(GetWindowLongPtrA(frame->getHWND(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(clientOnScreen().left, 112);
}

TEST_F(FrameTest, MaximisingANonResizableFrameGoesFullScreen)
{
    makeFrame();
    offerModes({mode(32)});
    SendMessageA(frame->getHWND(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(frame->isFullScreen());
}

TEST_F(FrameTest, AnUnsupportedDesktopDepthLeavesFullScreenOnlyWhenForced)
{
    makeFrame();
    offerModes({mode(32)});
    frame->setFullScreen(true, false);
    frame->setDepthSupported(false);
    frame->setFullScreen(false, false);
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_EQ(clientOnScreen().left, 0); // placed over the screen again
    frame->setFullScreen(false, true);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_FALSE(platform::displayFullScreen());
}

TEST_F(FrameTest, ARestoredDeviceIsReportedOnceAndClearsTheFlag)
{
    makeFrame();
    window::LostDeviceFlag* flag = window::WindowGlobals::lostDeviceFlag();
    {
        lang::Synchronized guard(flag);
        flag->setLost(true);
    }
    platform::DebugCapture debug;
    EXPECT_TRUE(frame->checkDevice());
    EXPECT_TRUE(frame->checkDevice());
    const std::string text = debug.text();
    const std::string line = "Lost Device has been successfully restored!!\n";
    const size_t first = text.find(line);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(text.find(line, first + 1), std::string::npos);
    lang::Synchronized guard(flag);
    EXPECT_FALSE(flag->isLost());
}

TEST_F(FrameTest, RestoreDeviceIfMainThreadDoesNothingOnAnotherThread)
{
    makeFrame();
    platform::DebugCapture debug;
    std::thread loader([this] { frame->RestoreDeviceIfMainThread(); });
    loader.join();
    EXPECT_FALSE(debug.contains("Forcing Restored Device"));
    frame->RestoreDeviceIfMainThread();
    EXPECT_TRUE(debug.contains("Forcing Restored Device in RestoreDeviceIfMainThread()\n"));
    EXPECT_TRUE(debug.contains("RestoreDeviceIfMainThread(): nCount = 0\n"));
}

TEST_F(FrameTest, WhileSleepingNoRestoreRunsAndTheWindowThreadRetriesUntilResumed)
{
    makeFrame();
    platform::DebugCapture debug;
    SendMessageA(frame->getHWND(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_TRUE(window::WindowGlobals::isSleeping());
    EXPECT_TRUE(debug.contains("setSleepMode = 1\n"));

    frame->RestoreDeviceIfMainThread();
    EXPECT_TRUE(debug.contains("Frame::RestoreDevice(), computer is sleeping\n"));
    EXPECT_TRUE(debug.contains("RestoreDeviceIfMainThread(): nCount = 10000\n"));
    EXPECT_TRUE(debug.contains("RestoreDeviceIfMainThread(): forced to post message\n"));

    // The posted restore message sleeps 100 ms and posts itself again.
    const uint32_t before = GetTickCount();
    debug.clear();
    windowtest::pump(1);
    EXPECT_TRUE(debug.contains("WMP_LOST_DEVICE\n"));
    EXPECT_EQ(GetTickCount() - before, 100u);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, frame->getHWND(), window::Component::WMP_LOST_DEVICE,
                             window::Component::WMP_LOST_DEVICE, PM_NOREMOVE));

    debug.clear();
    SendMessageA(frame->getHWND(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_FALSE(window::WindowGlobals::isSleeping());
    EXPECT_TRUE(debug.contains("Lost Device has been successfully restored!!\n"));
    // The pending retry now finds the device restored and stops.
    windowtest::pump(10);
    EXPECT_FALSE(PeekMessageA(&msg, frame->getHWND(), window::Component::WMP_LOST_DEVICE,
                              window::Component::WMP_LOST_DEVICE, PM_NOREMOVE));
}

TEST_F(FrameTest, ResumingInFullScreenPlacesTheFrameOverTheScreenAgain)
{
    makeFrame();
    offerModes({mode(32)});
    frame->setFullScreen(true, false);
    // Knocked aside (only a resizable frame escapes the placement fix-up).
    frame->setResizable(true);
    frame->setLocation(50, 60);
    frame->setResizable(false);
    ASSERT_NE(clientOnScreen().left, 0);
    platform::DebugCapture debug;
    SendMessageA(frame->getHWND(), WM_POWERBROADCAST, PBT_APMQUERYSUSPENDFAILED, 0);
    EXPECT_TRUE(debug.contains("WM_POWERBROADCAST: Setting FullScreen\n"));
    EXPECT_EQ(clientOnScreen().left, 0);
    EXPECT_EQ(clientOnScreen().top, 0);
}

TEST_F(FrameTest, PressingTheGripOfAResizableFrameStartsASizingLoopInsteadOfAnEvent)
{
    openFrameWithCanvas();
    frame->setResizable(true);
    pointAtCanvas(795, 595);
    click(platform::events::MouseButton::Left);
    windowtest::pump();
    ASSERT_EQ(frame->resizeDragHits.size(), 1u);
    EXPECT_EQ(frame->resizeDragHits[0], HTBOTTOMRIGHT);
    for (const windowtest::SeenEvent& e : canvas->events)
        EXPECT_NE(e.id, window::Event::MOUSE_DOWN);

    // Outside the grip, and on a frame that is not resizable, it is a click.
    pointAtCanvas(700, 595);
    click(platform::events::MouseButton::Left);
    frame->setResizable(false);
    pointAtCanvas(795, 595);
    click(platform::events::MouseButton::Left);
    windowtest::pump();
    int downs = 0;
    for (const windowtest::SeenEvent& e : canvas->events)
        downs += e.id == window::Event::MOUSE_DOWN;
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(frame->resizeDragHits.size(), 1u);
}

} // namespace

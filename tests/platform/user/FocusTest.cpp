// Activation, keyboard focus, mouse capture, minimising and closing.
#include "UserTestSupport.h"

#include "platform/user/WindowSurface.h"

#include <thread>

using namespace usertest;

namespace {

using Focus = UserTest;

TEST_F(Focus, ShowingAFrameActivatesAndFocusesIt)
{
    HWND frame = createFrame();
    HWND canvas = createChild(frame, 0, 0, 800, 600);
    EXPECT_FALSE(platform::windowIsActive(canvas));
    ShowWindow(frame, SW_SHOW);
    auto seq = log().sequence({WM_ACTIVATE, WM_SETFOCUS});
    std::vector<std::pair<HWND, UINT>> expected{{frame, WM_ACTIVATE}, {frame, WM_SETFOCUS}};
    EXPECT_EQ(seq, expected);
    auto activate = log().of(WM_ACTIVATE);
    EXPECT_EQ(LOWORD(activate[0].wParam), WA_ACTIVE);
    EXPECT_EQ(activate[0].lParam, 0) << "no window of the program was active before";
    EXPECT_EQ(GetActiveWindow(), frame);
    EXPECT_EQ(GetForegroundWindow(), frame);
    EXPECT_EQ(GetFocus(), frame) << "the default WM_ACTIVATE focuses the frame, not its child";
    EXPECT_TRUE(platform::windowIsActive(canvas));
    platform::HeadlessBackend::WindowState state;
    ASSERT_TRUE(m_backend->windowState(frame, state));
    EXPECT_TRUE(state.visible);
    EXPECT_EQ(state.raised, 1);
}

TEST_F(Focus, FocusMovesWithKillThenSet)
{
    HWND frame = createFrame();
    HWND canvas = createChild(frame, 0, 0, 800, 600);
    ShowWindow(frame, SW_SHOW);
    log().clear();
    EXPECT_EQ(SetFocus(canvas), frame);
    auto all = log().all();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].hwnd, frame);
    EXPECT_EQ(all[0].message, UINT(WM_KILLFOCUS));
    EXPECT_EQ((HWND)all[0].wParam, canvas);
    EXPECT_EQ(all[1].hwnd, canvas);
    EXPECT_EQ(all[1].message, UINT(WM_SETFOCUS));
    EXPECT_EQ((HWND)all[1].wParam, frame);
    log().clear();
    EXPECT_EQ(SetFocus(canvas), canvas);
    EXPECT_TRUE(log().all().empty()) << "focusing the focus window again sends nothing";
}

TEST_F(Focus, FocusFromAnotherThreadFailsAndIsRetriedByAPostedMessage)
{
    HWND frame = createFrame();
    HWND canvas = createChild(frame, 0, 0, 800, 600);
    ShowWindow(frame, SW_SHOW);
    // The engine's way: a failed SetFocus posts 0x464, whose handler focuses
    // the window on its own thread.
    log().setHook([](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m != 0x464)
            return false;
        SetFocus(h);
        r = 0;
        return true;
    });
    std::thread loader([&] {
        if (SetFocus(canvas) == nullptr)
            PostMessageA(canvas, 0x464, 0, 0);
        EXPECT_EQ(GetFocus(), nullptr) << "the focus window belongs to another thread";
    });
    loader.join();
    EXPECT_EQ(GetFocus(), frame);
    pump();
    EXPECT_EQ(GetFocus(), canvas);
}

TEST_F(Focus, TheSystemTakesAndGivesBackTheFocus)
{
    HWND frame = createFrame();
    HWND canvas = createChild(frame, 0, 0, 800, 600);
    ShowWindow(frame, SW_SHOW);
    SetFocus(canvas);
    SetCapture(canvas);
    log().clear();
    platform::events::activated(nullptr);
    EXPECT_EQ(GetActiveWindow(), frame) << "nothing happens until the thread takes messages";
    pump();
    auto seq = log().sequence({WM_ACTIVATE, WM_KILLFOCUS, WM_CAPTURECHANGED});
    std::vector<std::pair<HWND, UINT>> expected{
        {frame, WM_ACTIVATE}, {canvas, WM_KILLFOCUS}, {canvas, WM_CAPTURECHANGED}};
    EXPECT_EQ(seq, expected);
    EXPECT_EQ(LOWORD(log().of(WM_ACTIVATE)[0].wParam), WA_INACTIVE);
    EXPECT_EQ(log().of(WM_ACTIVATE)[0].lParam, 0) << "another program's window";
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_FALSE(platform::windowIsActive(canvas));

    log().clear();
    platform::events::activated(frame);
    pump();
    auto act = log().of(WM_ACTIVATE);
    ASSERT_EQ(act.size(), 1u);
    EXPECT_EQ(LOWORD(act[0].wParam), WA_ACTIVE);
    EXPECT_EQ(GetFocus(), frame);
    platform::HeadlessBackend::WindowState state;
    m_backend->windowState(frame, state);
    EXPECT_EQ(state.raised, 1) << "the system's own activation is not told back";
}

TEST_F(Focus, CaptureChangesTellTheWindowLosingIt)
{
    HWND frame = createFrame();
    HWND canvas = createChild(frame, 0, 0, 800, 600);
    EXPECT_EQ(SetCapture(canvas), nullptr);
    EXPECT_EQ(GetCapture(), canvas);
    log().clear();
    EXPECT_EQ(SetCapture(frame), canvas);
    auto changed = log().of(WM_CAPTURECHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].hwnd, canvas);
    EXPECT_EQ((HWND)changed[0].lParam, frame);
    log().clear();
    ReleaseCapture();
    changed = log().of(WM_CAPTURECHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].hwnd, frame) << "the window releasing the capture is told too";
    EXPECT_EQ(changed[0].lParam, 0);
    std::thread other([&] { EXPECT_EQ(GetCapture(), nullptr); });
    other.join();
}

TEST_F(Focus, MinimiseAndRestoreFromTheSystem)
{
    HWND frame = createFrame();
    ShowWindow(frame, SW_SHOW);
    pump();
    log().clear();
    platform::events::minimized(frame, true);
    pump();
    EXPECT_TRUE(IsIconic(frame));
    EXPECT_TRUE(GetWindowLongA(frame, GWL_STYLE) & WS_MINIMIZE);
    auto sizes = log().of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, WPARAM(SIZE_MINIMIZED));
    EXPECT_EQ(log().of(WM_WINDOWPOSCHANGED).size(), 1u);
    auto act = log().of(WM_ACTIVATE);
    ASSERT_EQ(act.size(), 1u);
    EXPECT_EQ(LOWORD(act[0].wParam), WA_INACTIVE);
    EXPECT_FALSE(platform::windowIsActive(frame));
    MSG msg;
    InvalidateRect(frame, nullptr, FALSE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)) << "a minimised window is not painted";

    log().clear();
    platform::events::minimized(frame, false);
    pump();
    EXPECT_FALSE(IsIconic(frame));
    sizes = log().of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(800, 600));
    EXPECT_TRUE(platform::windowIsActive(frame));
    platform::HeadlessBackend::WindowState state;
    m_backend->windowState(frame, state);
    EXPECT_FALSE(state.minimized);
}

TEST_F(Focus, ARestoreOfAWindowNotMinimisedChangesNothing)
{
    HWND frame = createFrame();
    ShowWindow(frame, SW_SHOW);
    platform::events::activated(nullptr);
    pump();
    log().clear();
    platform::events::minimized(frame, false); // as when a window leaves full screen
    pump();
    EXPECT_TRUE(log().all().empty());
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(Focus, MinimisingWithoutActivatingIsToldToTheBackend)
{
    HWND frame = createFrame();
    ShowWindow(frame, SW_SHOW);
    platform::events::activated(nullptr);
    pump();
    ShowWindow(frame, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(IsIconic(frame));
    platform::HeadlessBackend::WindowState state;
    m_backend->windowState(frame, state);
    EXPECT_TRUE(state.minimized);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    ShowWindow(frame, SW_RESTORE);
    EXPECT_FALSE(IsIconic(frame));
    EXPECT_EQ(GetForegroundWindow(), frame);
}

TEST_F(Focus, CloseFromTheSystemGoesThroughWmClose)
{
    HWND frame = createFrame();
    ShowWindow(frame, SW_SHOW);
    // A frame that handles WM_CLOSE itself stays.
    log().setHook([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        r = 0;
        return m == WM_CLOSE;
    });
    platform::events::closeRequested(frame);
    pump();
    EXPECT_EQ(log().of(WM_SYSCOMMAND).size(), 1u);
    EXPECT_EQ(log().of(WM_SYSCOMMAND)[0].wParam, WPARAM(SC_CLOSE));
    EXPECT_EQ(log().of(WM_CLOSE).size(), 1u);
    EXPECT_TRUE(IsWindow(frame));
    // By default, WM_CLOSE destroys it.
    log().setHook(nullptr);
    platform::events::closeRequested(frame);
    pump();
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

} // namespace

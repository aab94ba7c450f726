// The component's window: creation and ownership, the private messages,
// painting under the paint lock, cursors and focus handed over from other
// threads, and the close sequence.
#include "WindowTestSupport.h"

#include "platform/user/MessageBox.h"
#include "windowing/window/Cursor.h"
#include "windowing/d3d/GraphicsWWinDX.h"

#include <algorithm>
#include <thread>

namespace {

using windowtest::ProbeComponent;
using windowtest::ProbeFrame;

class ComponentWindowTest : public windowtest::WindowTest {};

// A graphics that records the calls update() makes.
class RecordingGraphics : public window::GraphicsWWinDX {
public:
    RecordingGraphics() : window::GraphicsWWinDX(nullptr) {}
    void fillRect(int x, int y, int w, int h) override
    {
        fills.push_back({x, y, w, h});
        fillColors.push_back(getColor().getValue());
    }
    std::vector<std::vector<int>> fills;
    std::vector<uint32_t> fillColors;
};

TEST_F(ComponentWindowTest, AChildIsMadeHiddenWithItsParentsBackgroundAndShownByThePrivateMessage)
{
    frame = new ProbeFrame();
    util::RectangleNM frameRect(0, 0, 800, 600);
    ASSERT_TRUE(frame->create(nullptr, &frameRect));
    ColorWin32 blue(0, 0, 255, 255);
    frame->setBackground(&blue);

    canvas = new ProbeComponent();
    util::RectangleNM rect(10, 20, 300, 200);
    const int before = canvas->getRefCount();
    ASSERT_TRUE(canvas->create(frame, &rect));
    EXPECT_EQ(canvas->getRefCount(), before + 1); // the window's reference
    EXPECT_EQ(canvas->getParent(), frame);
    EXPECT_EQ(canvas->getBackground()->getValue(), 0xFF0000FFu);
    EXPECT_EQ(canvas->getBounds()->x, 10);
    EXPECT_EQ(canvas->getBounds()->y, 20);
    EXPECT_EQ(canvas->getSize().width, 300);
    EXPECT_EQ(canvas->size()->height, 200);
    EXPECT_TRUE(windowtest::windowHasStyle(canvas->getHWND(), WS_CHILD));
    EXPECT_EQ(GetWindowLongPtrA(canvas->getHWND(), GWL_ID), -1);
    EXPECT_EQ(GetParent(canvas->getHWND()), frame->getHWND());
    EXPECT_EQ(canvas->getFrameHWND(), frame->getHWND());
    EXPECT_TRUE(canvas->contains(10, 20));
    EXPECT_FALSE(canvas->contains(310, 20));

    ShowWindow(frame->getHWND(), SW_SHOW);
    EXPECT_FALSE(canvas->isVisible());
    PostMessageA(canvas->getHWND(), window::Component::WMP_SHOW, 0, 0);
    windowtest::pump();
    EXPECT_TRUE(canvas->isVisible());
}

TEST_F(ComponentWindowTest, AComponentMadeWithoutChangesFillsWithBlackAndKeepsWhiteForWriting)
{
    ProbeComponent* c = new ProbeComponent();
    EXPECT_EQ(c->getBackground()->getValue(), 0xFF000000u);
    EXPECT_EQ(c->getForeground()->getValue(), 0xFFFFFFFFu);
    c->getBounds()->width = 64;
    c->getBounds()->height = 32;
    auto* g = new RecordingGraphics();
    c->update(g);
    ASSERT_EQ(g->fills.size(), 1u);
    EXPECT_EQ(g->fills[0], (std::vector<int>{0, 0, 64, 32}));
    EXPECT_EQ(g->fillColors[0], 0xFF000000u);
    EXPECT_EQ(c->paints, 1);
    g->release();
    c->release();
}

TEST_F(ComponentWindowTest, PaintingUpdatesAShownWindowUnderThePaintLock)
{
    openFrameWithCanvas();
    platform::DebugCapture debug;
    const int before = canvas->paints;
    canvas->repaint();
    windowtest::pump();
    EXPECT_EQ(canvas->paints, before + 1);
    EXPECT_TRUE(debug.contains("Start WM_PAINT " + std::to_string(uintptr_t(canvas->getHWND())) + "\n"));

    // A hidden frame paints nothing and says so.
    frame->setShown(false);
    InvalidateRect(frame->getHWND(), nullptr, TRUE);
    debug.clear();
    windowtest::pump();
    EXPECT_TRUE(debug.contains("WM_PAINT: don't show frame\n"));
    // The paint was validated: no further WM_PAINT arrives.
    debug.clear();
    windowtest::pump();
    EXPECT_FALSE(debug.contains("Start WM_PAINT"));
}

TEST_F(ComponentWindowTest, NothingIsPaintedWhileTheProgramIsQuitting)
{
    openFrameWithCanvas();
    window::WindowGlobals::setQuitting(true);
    const int before = canvas->paints;
    canvas->repaint();
    EXPECT_LT(windowtest::pump(), 10); // validated by default processing
    EXPECT_EQ(canvas->paints, before);
    window::WindowGlobals::setQuitting(false);
}

TEST_F(ComponentWindowTest, ACursorSetOnTheWindowThreadShowsAtOnceAndOneFromAnotherThreadWhenPosted)
{
    openFrameWithCanvas();
    canvas->setCursor(window::Cursor::crossCursor);
    EXPECT_EQ(GetCursor(), window::Cursor::crossCursor->getHandle());

    std::thread loader([this] { canvas->setCursor(window::Cursor::waitCursor); });
    loader.join();
    EXPECT_EQ(canvas->getCursor(), window::Cursor::waitCursor);
    EXPECT_EQ(GetCursor(), window::Cursor::crossCursor->getHandle());
    windowtest::pump();
    EXPECT_EQ(GetCursor(), window::Cursor::waitCursor->getHandle());
}

TEST_F(ComponentWindowTest, TheCursorHoldsAReferenceAndReleasesThePreviousOne)
{
    openFrameWithCanvas();
    window::Cursor* hand = window::Cursor::handCursor;
    window::Cursor* arrow = window::Cursor::normalCursor;
    const int handBefore = hand->getRefCount();
    canvas->setCursor(hand);
    EXPECT_EQ(hand->getRefCount(), handBefore + 1);
    canvas->setCursor(arrow);
    EXPECT_EQ(hand->getRefCount(), handBefore);
}

TEST_F(ComponentWindowTest, CursorsWithoutAResourceHideThePointerOverTheCanvas)
{
    openFrameWithCanvas();
    canvas->setCursor(window::Cursor::blankCursor);
    EXPECT_FALSE(platform::pointerVisible());
    canvas->setCursor(window::Cursor::normalCursor);
    EXPECT_TRUE(platform::pointerVisible());
    canvas->setCursor(window::Cursor::openHandCursor);
    EXPECT_FALSE(platform::pointerVisible());
    // Moving over the canvas keeps the component's cursor.
    pointAtCanvas(100, 100);
    SendMessageA(canvas->getHWND(), WM_SETCURSOR, WPARAM(canvas->getHWND()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_FALSE(platform::pointerVisible());
}

TEST_F(ComponentWindowTest, FocusAskedForFromAnotherThreadIsTakenWhenThePostedMessageArrives)
{
    openFrameWithCanvas();
    SetFocus(frame->getHWND());
    std::thread loader([this] { canvas->requestFocus(); });
    loader.join();
    EXPECT_EQ(window::WindowGlobals::focusRequester(), canvas->getHWND());
    EXPECT_EQ(GetFocus(), frame->getHWND());
    windowtest::pump();
    EXPECT_EQ(GetFocus(), canvas->getHWND());
}

TEST_F(ComponentWindowTest, TheMousePositionIsInClientCoordinates)
{
    openFrameWithCanvas();
    pointAtCanvas(123, 45);
    util::Point p = canvas->getMousePosition();
    EXPECT_EQ(p.x, 123);
    EXPECT_EQ(p.y, 45);
    EXPECT_TRUE(canvas->isMouseInside());
    pointAtCanvas(-1, 45);
    EXPECT_FALSE(canvas->isMouseInside());
    canvas->setCursorPos(799, 599);
    EXPECT_TRUE(canvas->isMouseInside());
    EXPECT_EQ(canvas->getMousePosition().x, 799);
}

TEST_F(ComponentWindowTest, RequestCloseRunsAboutToDestroyThenDestroysAndReleasesTheComponents)
{
    openFrameWithCanvas();
    HWND frameWindow = frame->getHWND();
    HWND canvasWindow = canvas->getHWND();
    const int frameRefs = frame->getRefCount();
    const int canvasRefs = canvas->getRefCount();

    frame->requestClose();
    EXPECT_TRUE(IsWindow(frameWindow)); // only posted so far
    windowtest::pump();
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_FALSE(IsWindow(canvasWindow));
    const auto about = std::find(frame->calls.begin(), frame->calls.end(), "aboutToDestroy");
    ASSERT_NE(about, frame->calls.end());
    EXPECT_NE(std::find(about, frame->calls.end(), "destroyed"), frame->calls.end());
    EXPECT_EQ(frame->calls.back(), "destroyed");
    EXPECT_EQ(frame->getHWND(), nullptr);
    EXPECT_EQ(canvas->getHWND(), nullptr);
    EXPECT_EQ(frame->getRefCount(), frameRefs - 1);
    EXPECT_EQ(canvas->getRefCount(), canvasRefs - 1);
    // The canvas had asked for the focus; its destruction forgets that.
    EXPECT_EQ(window::WindowGlobals::focusRequester(), nullptr);
}

TEST_F(ComponentWindowTest, CloseRequestOnlyCallsWindowClosing)
{
    openFrameWithCanvas();
    platform::events::closeRequested(frame->getHWND());
    windowtest::pump();
    ASSERT_FALSE(frame->calls.empty());
    EXPECT_EQ(frame->calls.back(), "windowClosing");
    EXPECT_TRUE(IsWindow(frame->getHWND()));

    // The frame's own windowClosing destroys the window.
    frame->closeDestroys = true;
    SendMessageA(frame->getHWND(), WM_CLOSE, 0, 0);
    EXPECT_EQ(frame->getHWND(), nullptr);
}

TEST_F(ComponentWindowTest, AComponentOutlivesItsWindowOnlyByTheReferencesOthersHold)
{
    frame = new ProbeFrame();
    util::RectangleNM rect(0, 0, 800, 600);
    ASSERT_TRUE(frame->create(nullptr, &rect));
    auto* child = new ProbeComponent();
    ASSERT_TRUE(child->create(frame, &rect));
    window::Event* e = new window::Event(child, window::Event::ACTION, child);
    EXPECT_EQ(child->getRefCount(), 4); // ours, the window's, the event's two
    child->release();
    DestroyWindow(child->getHWND());
    EXPECT_EQ(e->target->getRefCount(), 2); // only the event keeps it now
    e->release();
}

TEST_F(ComponentWindowTest, TimersSetFromAnotherThreadAreDeliveredOnTheWindowThread)
{
    openFrameWithCanvas();
    static DWORD procThread = 0;
    static int procCalls = 0;
    procThread = 0;
    procCalls = 0;
    struct Proc {
        static void CALLBACK run(HWND, UINT, UINT_PTR, DWORD)
        {
            procThread = GetCurrentThreadId();
            ++procCalls;
        }
    };
    HWND hwnd = frame->getHWND();
    std::thread loader([hwnd] {
        SetTimer(hwnd, 1, 60, nullptr);
        SetTimer(hwnd, 2, 16, Proc::run);
    });
    loader.join();
    frame->messages.clear();
    clock.advance(60);
    windowtest::pump();
    int timers = 0;
    for (UINT m : frame->messages)
        if (m == WM_TIMER)
            ++timers;
    EXPECT_EQ(timers, 1); // the procedure timer never reaches the window procedure
    EXPECT_EQ(procCalls, 1);
    EXPECT_EQ(procThread, GetCurrentThreadId());

    std::thread stopper([hwnd] { KillTimer(hwnd, 1); });
    stopper.join();
    frame->messages.clear();
    clock.advance(60);
    windowtest::pump();
    for (UINT m : frame->messages)
        EXPECT_NE(m, UINT(WM_TIMER));
    KillTimer(hwnd, 2);
}

} // namespace

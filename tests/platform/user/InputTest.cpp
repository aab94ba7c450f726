// Mouse and key input: where messages go, their flags and positions, the key
// state, character translation, and the cursor they set.
#include "UserTestSupport.h"

#include <thread>

using namespace usertest;
using platform::events::MouseButton;

namespace {

class Input : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        // A frame whose client area starts at (100, 100) on the screen, with a
        // child window at (10, 20) in it.
        frame = createFrame(100, 100, 800, 600);
        canvas = createChild(frame, 10, 20, 200, 100);
        ShowWindow(canvas, SW_SHOW);
        ShowWindow(frame, SW_SHOW);
        SetFocus(canvas);
        pump();
        log().clear();
    }

    void moveTo(HWND hwnd, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(hwnd, &p);
        platform::events::mouseMoved(p.x, p.y);
    }

    // The characters translated key presses give, as WM_CHAR messages.
    std::vector<WPARAM> chars()
    {
        std::vector<WPARAM> out;
        for (const Logged& m : log().of(WM_CHAR))
            out.push_back(m.wParam);
        return out;
    }

    void tap(UINT vk)
    {
        platform::events::key(vk, true);
        platform::events::key(vk, false);
    }

    HWND frame = nullptr;
    HWND canvas = nullptr;
};

TEST_F(Input, MouseGoesToTheWindowUnderThePointerInClientCoordinates)
{
    POINT origin{0, 0};
    ClientToScreen(canvas, &origin);
    EXPECT_EQ(origin.x, 110);
    EXPECT_EQ(origin.y, 120);
    moveTo(canvas, 5, 6);
    pump();
    auto moves = log().of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, canvas);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(5, 6));
    EXPECT_EQ(moves[0].wParam, 0u);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 115);
    ScreenToClient(canvas, &p);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 6);

    // The cursor is asked for first: the child, and from its default the parent.
    auto seq = log().sequence({WM_SETCURSOR, WM_MOUSEMOVE});
    std::vector<std::pair<HWND, UINT>> expected{
        {canvas, WM_SETCURSOR}, {frame, WM_SETCURSOR}, {canvas, WM_MOUSEMOVE}};
    EXPECT_EQ(seq, expected);
    EXPECT_EQ(log().of(WM_SETCURSOR)[0].lParam, 0x2000001);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW)) << "the class cursor";

    moveTo(frame, 500, 400);
    pump();
    EXPECT_EQ(log().of(WM_MOUSEMOVE).back().hwnd, frame);
    log().clear();
    platform::events::mouseMoved(50, 50); // above the frame, off every window
    pump();
    EXPECT_TRUE(log().of(WM_MOUSEMOVE).empty());
}

TEST_F(Input, ButtonMessagesCarryTheButtonsAndKeysHeld)
{
    moveTo(canvas, 7, 8);
    platform::events::key(VK_SHIFT, true);
    platform::events::mouseButton(MouseButton::Left, true);
    platform::events::mouseButton(MouseButton::Right, true);
    platform::events::mouseButton(MouseButton::Right, false);
    platform::events::mouseButton(MouseButton::Left, false);
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "the thread has not taken the key yet";
    MSG msg;
    std::vector<std::pair<UINT, WPARAM>> got;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_LBUTTONDOWN) {
            EXPECT_LT(GetKeyState(VK_LBUTTON), 0) << "the state follows the messages taken";
        }
        if (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_RBUTTONUP) {
            got.emplace_back(msg.message, msg.wParam);
            EXPECT_EQ(msg.lParam, MAKELPARAM(7, 8));
            EXPECT_EQ(msg.hwnd, canvas);
        }
        DispatchMessageA(&msg);
    }
    std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT},
        {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT},
        {WM_RBUTTONUP, MK_LBUTTON | MK_SHIFT},
        {WM_LBUTTONUP, MK_SHIFT},
    };
    EXPECT_EQ(got, expected);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    EXPECT_TRUE(log().of(WM_LBUTTONDBLCLK).empty()) << "no double-click messages";
}

TEST_F(Input, CapturedMouseFollowsOutsideWithNegativeCoordinates)
{
    SetCapture(canvas);
    moveTo(canvas, -30, 150);
    platform::events::mouseMoved(0, 0); // off every window, still captured
    pump();
    auto moves = log().of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].hwnd, canvas);
    EXPECT_EQ(SHORT(LOWORD(moves[0].lParam)), -30);
    EXPECT_EQ(SHORT(HIWORD(moves[0].lParam)), 150);
    EXPECT_EQ(SHORT(LOWORD(moves[1].lParam)), -110);
    EXPECT_TRUE(log().of(WM_SETCURSOR).empty()) << "a captured pointer is not asked for its cursor";
    ReleaseCapture();
}

TEST_F(Input, APressOnAnInactiveFrameActivatesItFirst)
{
    platform::events::activated(nullptr);
    pump();
    log().clear();
    moveTo(frame, 300, 300);
    platform::events::mouseButton(MouseButton::Left, true);
    platform::events::mouseButton(MouseButton::Left, false);
    pump();
    auto seq = log().sequence({WM_ACTIVATE, WM_LBUTTONDOWN});
    ASSERT_EQ(seq.size(), 2u);
    EXPECT_EQ(seq[0].second, UINT(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(log().of(WM_ACTIVATE)[0].wParam), WA_CLICKACTIVE);
    EXPECT_EQ(GetForegroundWindow(), frame);
}

TEST_F(Input, KeyMessagesCarryRepeatAndTransitionBits)
{
    platform::events::key('A', true);
    platform::events::key('A', true); // held: the system repeats it
    platform::events::key('A', false);
    pump();
    auto downs = log().of(WM_KEYDOWN);
    auto ups = log().of(WM_KEYUP);
    ASSERT_EQ(downs.size(), 2u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, canvas) << "keys go to the focus window";
    EXPECT_EQ(downs[0].wParam, WPARAM('A'));
    const DWORD first = DWORD(downs[0].lParam);
    EXPECT_EQ(first & 0xFFFF, 1u) << "repeat count";
    EXPECT_EQ((first >> 16) & 0xFF, 0x1Eu) << "scan code";
    EXPECT_EQ(first >> 30, 0u) << "fresh press";
    EXPECT_EQ(DWORD(downs[1].lParam) >> 30, 1u) << "previous state: down";
    EXPECT_EQ(DWORD(ups[0].lParam) >> 30, 3u) << "previous state down, transition up";
    auto c = chars();
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], WPARAM('a'));
    EXPECT_EQ(log().of(WM_CHAR)[1].lParam, downs[1].lParam) << "a character keeps its key's data";
}

TEST_F(Input, TranslationGivesWindows1252CharactersAndControlCodes)
{
    platform::events::key(VK_SHIFT, true);
    tap('A');
    tap('1');
    platform::events::key(VK_SHIFT, false);
    platform::events::key(VK_CONTROL, true);
    tap('C');
    tap(VK_OEM_4);
    platform::events::key(VK_CONTROL, false);
    tap(VK_ESCAPE);
    tap(VK_RETURN);
    tap(VK_TAB);
    tap(VK_BACK);
    tap(VK_DELETE);
    tap(VK_LEFT);
    tap(VK_F7);
    tap(VK_SHIFT);
    tap(VK_OEM_2);
    pump();
    std::vector<WPARAM> expected{'A', '!', 3, 27, 27, 13, 9, 8, '/'};
    EXPECT_EQ(chars(), expected);
    auto downs = log().of(WM_KEYDOWN);
    bool sawControl = false;
    for (const Logged& m : downs)
        sawControl = sawControl || m.wParam == VK_CONTROL;
    EXPECT_TRUE(sawControl) << "modifier keys arrive as their generic codes";
}

TEST_F(Input, TextFromTheBackendIsNotTranslatedTwice)
{
    platform::events::key('E', true, true);
    platform::events::text("\xE9");
    platform::events::key('E', false);
    platform::events::key(VK_ESCAPE, true, true);
    platform::events::key(VK_ESCAPE, false);
    pump();
    std::vector<WPARAM> expected{0xE9, 27};
    EXPECT_EQ(chars(), expected) << "the typed text, and the control key the backend does not type";
}

TEST_F(Input, KeyStateToggleAndLeftRightKeys)
{
    tap(VK_CAPITAL);
    platform::events::key(VK_RSHIFT, true);
    pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_RSHIFT), 0);
    EXPECT_GE(GetKeyState(VK_LSHIFT), 0);
    BYTE state[256];
    ASSERT_TRUE(GetKeyboardState(state));
    WORD ch = 0;
    ASSERT_EQ(ToAscii('Q', 0x10, state, &ch, 0), 1);
    EXPECT_EQ(ch, WORD('q')) << "Shift and Caps Lock cancel";
    platform::events::key(VK_RSHIFT, false);
    tap(VK_CAPITAL);
    pump();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(Input, ToAsciiOnTheUsKeyboard)
{
    BYTE state[256] = {};
    WORD ch = 0;
    EXPECT_EQ(ToAscii(VK_SPACE, 0x39, state, &ch, 0), 1);
    EXPECT_EQ(ch, WORD(' '));
    EXPECT_EQ(ToAscii('A', 0x1E | 0x8000, state, &ch, 0), 0) << "a released key";
    EXPECT_EQ(ToAscii(VK_NUMPAD0 + 5, 0x4C, state, &ch, 0), 1);
    EXPECT_EQ(ch, WORD('5'));
    EXPECT_EQ(ToAscii(VK_HOME, 0x47, state, &ch, 0), 0);
    state[VK_SHIFT] = 0x80;
    EXPECT_EQ(ToAscii(VK_OEM_7, 0x28, state, &ch, 0), 1);
    EXPECT_EQ(ch, WORD('"'));
    state[VK_SHIFT] = 0;
    state[VK_CONTROL] = 0x80;
    EXPECT_EQ(ToAscii(VK_BACK, 0x0E, state, &ch, 0), 1);
    EXPECT_EQ(ch, 127);
    EXPECT_EQ(ToAscii('5', 0x06, state, &ch, 0), 0);
    state[VK_MENU] = 0x80;
    EXPECT_EQ(ToAscii('C', 0x2E, state, &ch, 0), 0) << "Ctrl+Alt gives nothing on this keyboard";
}

TEST_F(Input, AltF4ClosesTheFrame)
{
    platform::events::key(VK_MENU, true);
    platform::events::key(VK_F4, true);
    pump();
    auto sys = log().of(WM_SYSKEYDOWN);
    ASSERT_EQ(sys.size(), 2u);
    EXPECT_TRUE(DWORD(sys[1].lParam) & (1u << 29)) << "Alt held";
    EXPECT_EQ(log().of(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(IsWindow(frame));
    platform::events::key(VK_F4, false);
    platform::events::key(VK_MENU, false);
    pump();
}

TEST_F(Input, CursorsAndThePointer)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(wait, nullptr);
    EXPECT_NE(arrow, wait);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_EQ(platform::cursorShape(wait)->systemId, 32514);
    EXPECT_EQ(LoadCursorA((HINSTANCE)1, MAKEINTRESOURCEA(107)), nullptr) << "no such resource";
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(12345)), nullptr);

    SetCursor(wait);
    EXPECT_TRUE(platform::pointerVisible());
    EXPECT_EQ(m_backend->pointer(), platform::cursorShape(wait));
    EXPECT_EQ(SetCursor(nullptr), wait);
    EXPECT_FALSE(platform::pointerVisible()) << "no cursor hides the pointer";
    EXPECT_EQ(m_backend->pointer(), nullptr);
    SetCursor(arrow);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(platform::pointerVisible());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(platform::pointerVisible());

    // A window that sets no cursor over its client area hides the pointer there.
    log().setHook([this](HWND h, UINT m, WPARAM, LPARAM l, LRESULT& r) {
        if (h != canvas || m != WM_SETCURSOR || LOWORD(l) != HTCLIENT)
            return false;
        SetCursor(nullptr);
        r = TRUE;
        return true;
    });
    moveTo(canvas, 1, 1);
    pump();
    EXPECT_EQ(GetCursor(), nullptr);
    moveTo(frame, 600, 500);
    pump();
    EXPECT_EQ(GetCursor(), arrow);

    // From another thread the cursor is applied by a posted WM_SETCURSOR.
    log().setHook([&](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT& r) {
        if (m != WM_SETCURSOR || (HWND)w != h || l != 0x2000001)
            return false;
        SetCursor(wait);
        r = TRUE;
        return true;
    });
    std::thread loader([&] { PostMessageA(canvas, WM_SETCURSOR, (WPARAM)canvas, 0x2000001); });
    loader.join();
    EXPECT_EQ(GetCursor(), arrow);
    pump();
    EXPECT_EQ(GetCursor(), wait);
}

TEST_F(Input, MonochromeCursorsAndResources)
{
    // 16 x 2: row 0 transparent then black; row 1 white.
    const BYTE andPlane[] = {0xFF, 0x00, 0x00, 0x00};
    const BYTE xorPlane[] = {0x00, 0x00, 0xFF, 0xFF};
    platform::registerCursorResource(104, 4, 1, 16, 2, andPlane, xorPlane);
    HCURSOR hand = LoadCursorA((HINSTANCE)1, MAKEINTRESOURCEA(104));
    ASSERT_NE(hand, nullptr);
    const platform::CursorShape* s = platform::cursorShape(hand);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->hotX, 4);
    EXPECT_EQ(s->hotY, 1);
    EXPECT_EQ(s->pixels[0], 0x00000000u);
    EXPECT_EQ(s->pixels[8], 0xFF000000u);
    EXPECT_EQ(s->pixels[16], 0xFFFFFFFFu);
    HCURSOR made = CreateCursor(nullptr, 0, 0, 16, 2, andPlane, xorPlane);
    ASSERT_NE(made, nullptr);
    SetCursor(made);
    EXPECT_FALSE(DestroyCursor(made)) << "the cursor shown stays";
    SetCursor(hand);
    EXPECT_TRUE(DestroyCursor(made));
    EXPECT_EQ(platform::cursorShape(made), nullptr);
    EXPECT_FALSE(DestroyCursor(hand));
}

TEST_F(Input, SetCursorPosMakesAMouseMove)
{
    POINT p{40, 50};
    ClientToScreen(canvas, &p);
    SetCursorPos(p.x, p.y);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.x, p.x);
    pump();
    auto moves = log().of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(40, 50));
}

TEST_F(Input, DoubleClickTime)
{
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    SetDoubleClickTime(250);
    EXPECT_EQ(GetDoubleClickTime(), 250u);
}

} // namespace

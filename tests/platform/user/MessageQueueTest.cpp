// Window creation and destruction, posting, sending, taking and dispatching
// messages, across threads too, and WM_PAINT.
#include "UserTestSupport.h"

#include <atomic>
#include <future>
#include <thread>

using namespace usertest;

namespace {

using MessageQueue = UserTest;

TEST_F(MessageQueue, CreateSendsNcCreateWithParamsThenCreate)
{
    int owner = 0;
    void* seenParam = nullptr;
    CREATESTRUCTA created{};
    log().setHook([&](HWND h, UINT m, WPARAM, LPARAM l, LRESULT&) {
        if (m == WM_NCCREATE) {
            seenParam = reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams;
            // The engine keeps its object's pointer in the user-data slot.
            SetWindowLongA(h, GWL_USERDATA, (LONG_PTR)seenParam);
        }
        if (m == WM_CREATE)
            created = *reinterpret_cast<CREATESTRUCTA*>(l);
        return false;
    });
    HWND frame = CreateWindowExA(0, "HVWND", "", kFrameStyle, 10, 20, 300, 200, nullptr, nullptr, nullptr, &owner);
    ASSERT_NE(frame, nullptr);
    auto all = log().all();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].message, UINT(WM_NCCREATE));
    EXPECT_EQ(all[1].message, UINT(WM_CREATE));
    EXPECT_EQ(seenParam, &owner);
    EXPECT_EQ((void*)GetWindowLongA(frame, GWL_USERDATA), (void*)&owner) << "the full pointer survives";
    EXPECT_EQ(created.x, 10);
    EXPECT_EQ(created.y, 20);
    EXPECT_EQ(created.cx, 300);
    EXPECT_EQ(created.cy, 200);
    EXPECT_FALSE(IsWindowVisible(frame)) << "made without WS_VISIBLE";
}

TEST_F(MessageQueue, RefusedNcCreateFailsTheCreation)
{
    log().setHook([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (m != WM_NCCREATE)
            return false;
        r = FALSE;
        return true;
    });
    EXPECT_EQ(CreateWindowExA(0, "HVWND", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(log().of(WM_NCDESTROY).size(), 1u);
    EXPECT_EQ(CreateWindowExA(0, "NOCLASS", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExA(0, "HVWND", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr)
        << "a child window needs a parent";
}

TEST_F(MessageQueue, DestroyReachesChildrenInOrder)
{
    HWND frame = createFrame();
    HWND child = createChild(frame, 0, 0, 100, 100);
    ASSERT_TRUE(IsChild(frame, child));
    EXPECT_EQ(GetParent(child), frame);
    log().clear();
    PostMessageA(child, WM_USER, 0, 0);
    ASSERT_TRUE(DestroyWindow(frame));
    auto seq = log().sequence({WM_DESTROY, WM_NCDESTROY});
    std::vector<std::pair<HWND, UINT>> expected{
        {frame, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {frame, WM_NCDESTROY}};
    EXPECT_EQ(seq, expected);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(frame)) << "a stale handle";
    EXPECT_FALSE(PostMessageA(frame, WM_USER, 0, 0));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "messages for a destroyed window are gone";
    EXPECT_TRUE(UnregisterClassA("hvwnd", nullptr)) << "class names ignore case; no window is left";
}

TEST_F(MessageQueue, PrivateMessagesArriveInOrderUntouched)
{
    HWND frame = createFrame();
    pump();
    const UINT privates[] = {0x464, 0x465, 0x510, 0x511};
    for (UINT m : privates)
        ASSERT_TRUE(PostMessageA(frame, m, m + 1, LPARAM(m) * 2));
    PostMessageA(frame, WM_SETCURSOR, (WPARAM)frame, 0x2000001);
    MSG msg;
    for (UINT m : privates) {
        ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
        EXPECT_EQ(msg.hwnd, frame);
        EXPECT_EQ(msg.message, m);
        EXPECT_EQ(msg.wParam, WPARAM(m + 1));
        EXPECT_EQ(msg.lParam, LPARAM(m) * 2);
    }
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_SETCURSOR));
    EXPECT_EQ(msg.lParam, 0x2000001);
    EXPECT_EQ(LOWORD(msg.lParam), HTCLIENT);
    EXPECT_EQ(HIWORD(msg.lParam), WM_MOUSEMOVE);
}

TEST_F(MessageQueue, PeekFiltersAndLeavesMessagesWhenAsked)
{
    HWND frame = createFrame();
    pump();
    PostMessageA(frame, WM_USER + 1, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 2, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&msg, (HWND)(LONG_PTR)-1, 0, 0, PM_REMOVE)) << "thread messages only";
    EXPECT_EQ(msg.message, UINT(WM_USER + 2));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 5, WM_USER + 9, PM_REMOVE)) << "outside the range";
    ASSERT_TRUE(PeekMessageA(&msg, frame, WM_USER + 1, WM_USER + 1, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, SendRunsTheProcedureAtOnce)
{
    HWND frame = createFrame();
    log().setHook([](HWND, UINT m, WPARAM w, LPARAM, LRESULT& r) {
        if (m != WM_USER + 1)
            return false;
        r = LRESULT(w) * 6;
        return true;
    });
    EXPECT_EQ(SendMessageA(frame, WM_USER + 1, 7, 0), 42);
    EXPECT_EQ(SendMessageA((HWND)(uintptr_t)0xDEAD0, WM_USER + 1, 7, 0), 0) << "no such window";
}

TEST_F(MessageQueue, QuitComesAfterPostedMessages)
{
    HWND frame = createFrame();
    pump();
    PostMessageA(frame, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_USER));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueue, CrossThreadSendRunsOnTheWindowsThread)
{
    HWND frame = createFrame();
    pump();
    const DWORD mainThread = GetCurrentThreadId();
    DWORD ranOn = 0;
    log().setHook([&](HWND, UINT m, WPARAM w, LPARAM, LRESULT& r) {
        if (m != WM_USER + 2)
            return false;
        ranOn = GetCurrentThreadId();
        r = LRESULT(w * w);
        return true;
    });
    std::atomic<LRESULT> result{0};
    std::thread worker([&] {
        result = SendMessageA(frame, WM_USER + 2, 7, 0);
        PostMessageA(frame, WM_USER + 3, 0, 0);
        EXPECT_EQ(SetFocus(frame), nullptr) << "focus cannot be set from another thread";
        PostThreadMessageA(mainThread, WM_USER + 4, 0, 0);
    });
    MSG msg;
    bool sawDone = false;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
        if (msg.message == WM_USER + 3)
            sawDone = true;
        if (msg.message == WM_USER + 4)
            break;
    }
    worker.join();
    EXPECT_TRUE(sawDone);
    EXPECT_EQ(result.load(), 49);
    EXPECT_EQ(ranOn, mainThread);
}

TEST_F(MessageQueue, ThreadsSendingToEachOtherDoNotWaitForEver)
{
    HWND mine = createFrame();
    pump();
    std::promise<HWND> ready;
    std::thread worker([&] {
        HWND theirs = CreateWindowExA(0, "HVWND", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ready.set_value(theirs);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0))
            DispatchMessageA(&msg);
        DestroyWindow(theirs);
    });
    HWND theirs = ready.get_future().get();
    log().setHook([&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (h == theirs && m == WM_USER + 5) {
            r = SendMessageA(mine, WM_USER + 6, 0, 0) + 1; // back to the waiting thread
            return true;
        }
        if (h == mine && m == WM_USER + 6) {
            r = 10;
            return true;
        }
        if (h == theirs && m == WM_USER + 7) {
            PostQuitMessage(0);
            return true;
        }
        return false;
    });
    EXPECT_EQ(SendMessageA(theirs, WM_USER + 5, 0, 0), 11);
    PostMessageA(theirs, WM_USER + 7, 0, 0);
    worker.join();
    EXPECT_FALSE(PostThreadMessageA(0xFFFFFF, WM_USER, 0, 0)) << "no such thread";
}

TEST_F(MessageQueue, PaintOnlyWhileInvalidAndValidatedByDefault)
{
    HWND frame = createFrame();
    HWND hidden = createChild(frame, 0, 0, 50, 50);
    ShowWindow(frame, SW_SHOW);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) << "a window shown needs painting";
    EXPECT_EQ(msg.hwnd, frame);
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) << "DefWindowProc validated it";

    InvalidateRect(hidden, nullptr, TRUE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) << "hidden windows are not painted";

    // A procedure that neither paints nor validates gets WM_PAINT again.
    log().setHook([](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
        r = 0;
        return m == WM_PAINT;
    });
    RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
    InvalidateRect(frame, &a, FALSE);
    InvalidateRect(frame, &b, TRUE);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
        DispatchMessageA(&msg);
    }
    log().setHook(nullptr);
    log().clear();
    PAINTSTRUCT ps;
    BeginPaint(frame, &ps);
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.top, 5);
    EXPECT_EQ(ps.rcPaint.right, 40);
    EXPECT_EQ(ps.rcPaint.bottom, 20);
    EXPECT_EQ(log().of(WM_ERASEBKGND).size(), 1u) << "an erase was asked for";
    EXPECT_TRUE(ps.fErase) << "the class has no brush, so nothing was erased";
    EndPaint(frame, &ps);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));

    InvalidateRect(frame, nullptr, FALSE);
    ValidateRect(frame, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    InvalidateRect(frame, nullptr, FALSE);
    log().clear();
    UpdateWindow(frame);
    EXPECT_EQ(log().of(WM_PAINT).size(), 1u) << "UpdateWindow paints at once";
}

} // namespace

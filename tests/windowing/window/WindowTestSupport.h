// WindowTestSupport.h: a fixture that starts each window test on a fresh
// headless window layer with a fake clock, components and frames that record
// what reaches their hooks, and helpers to run the message loop.
#pragma once

#include "core/lang/Synchronized.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/DebugOutput.h"
#include "platform/user/User.h"
#include "platform/user/headless/HeadlessBackend.h"
#include "windowing/window/Component.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"
#include "windowing/d3d/LostDeviceFlag.h"
#include "windowing/window/WindowGlobals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace windowtest {

// A copy of an event as a hook saw it.
struct SeenEvent {
    std::string hook;
    int id = 0;
    int x = 0;
    int y = 0;
    int modifiers = 0;
    int key = 0;
    int clickCount = 0;
    uint32_t when = 0;
    lang::Object* target = nullptr;
    lang::Object* arg = nullptr;
};

inline SeenEvent copyOf(const char* hook, window::Event* e)
{
    SeenEvent s;
    s.hook = hook;
    s.id = e->id;
    s.x = e->x;
    s.y = e->y;
    s.modifiers = e->modifiers;
    s.key = e->key;
    s.clickCount = e->clickCount;
    s.when = e->when;
    s.target = e->target;
    s.arg = e->arg;
    return s;
}

// A component that records every input hook call.
class ProbeComponent : public window::Component {
public:
    bool mouseDown(window::Event* e, int, int) override { return record("mouseDown", e); }
    bool mouseUp(window::Event* e, int, int) override { return record("mouseUp", e); }
    bool mouseMove(window::Event* e, int, int) override { return record("mouseMove", e); }
    bool mouseDrag(window::Event* e, int, int) override { return record("mouseDrag", e); }
    bool keyDown(window::Event* e, int) override
    {
        record("keyDown", e);
        return handlesKeys;
    }
    bool keyUp(window::Event* e, int) override { return record("keyUp", e); }
    void paint(window::Graphics*) override { ++paints; }

    std::vector<SeenEvent> events;
    bool handlesKeys = true;
    int paints = 0;

private:
    bool record(const char* hook, window::Event* e)
    {
        events.push_back(copyOf(hook, e));
        return true;
    }
};

// A frame of a chosen design size that records its hooks and the messages
// its window procedure receives.
class ProbeFrame : public window::Frame {
public:
    explicit ProbeFrame(int width = 800, int height = 600)
    {
        m_designWidth = width;
        m_designHeight = height;
    }

    void setResizable(bool on) { m_bResizable = on; }
    void setDepthSupported(bool on) { m_bDepthSupported = on; }

    bool keyDown(window::Event* e, int) override
    {
        keyEvents.push_back(copyOf("frameKeyDown", e));
        return true;
    }
    void windowClosing() override
    {
        calls.push_back("windowClosing");
        if (closeDestroys)
            Frame::windowClosing();
    }
    void destroyed() override { calls.push_back("destroyed"); }
    void aboutToDestroy() override { calls.push_back("aboutToDestroy"); }
    void activated(bool active) override
    {
        calls.push_back(active ? "activated(1)" : "activated(0)");
        Frame::activated(active);
    }
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        if (message == WM_NCLBUTTONDOWN)
            resizeDragHits.push_back(int(wParam));
        return Frame::handleMessage(message, wParam, lParam);
    }

    std::vector<std::string> calls;
    std::vector<SeenEvent> keyEvents;
    std::vector<UINT> messages;
    std::vector<int> resizeDragHits;
    bool closeDestroys = false;
};

// Takes and dispatches the calling thread's messages until none is left (or
// `limit` were handled); returns how many were handled.
inline int pump(int limit = 1000)
{
    MSG msg;
    int n = 0;
    while (n < limit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++n;
    }
    return n;
}

inline bool windowHasStyle(HWND hwnd, DWORD style)
{
    return (DWORD(GetWindowLongPtrA(hwnd, GWL_STYLE)) & style) == style;
}

// A fresh headless window layer (its backend returned through `made` when
// asked) with the window class registered, the calling thread as the main
// thread and the process-wide flags cleared; false when the class could not
// be registered.
inline bool freshWindowLayer(platform::HeadlessBackend** made = nullptr)
{
    platform::HeadlessBackend& backend = platform::useHeadlessBackend();
    if (made)
        *made = &backend;
    platform::resetWindowLayer();
    const bool registered = window::WindowGlobals::registerWindowClass();
    window::WindowGlobals::setFocusRequester(nullptr);
    window::WindowGlobals::setQuitting(false);
    window::WindowGlobals::setSleeping(false);
    window::WindowGlobals::setMainThreadId(GetCurrentThreadId());
    window::LostDeviceFlag* flag = window::WindowGlobals::lostDeviceFlag();
    lang::Synchronized guard(flag);
    flag->setLost(false);
    return registered;
}

// Every window test starts on a fresh headless layer with the window class
// registered, a fake clock and the process-wide flags cleared.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setClock(&clock);
        ASSERT_TRUE(freshWindowLayer(&backend));
    }

    void TearDown() override
    {
        if (canvas) {
            canvas->release();
            canvas = nullptr;
        }
        if (frame) {
            if (frame->getHWND()) {
                frame->closeDestroys = true;
                DestroyWindow(frame->getHWND());
            }
            frame->release();
            frame = nullptr;
        }
        pump();
        platform::resetWindowLayer();
        platform::setClock(nullptr);
    }

    // The game's layout: an 800 x 600 frame, shown, with a full-size canvas
    // child that has the keyboard focus.
    void openFrameWithCanvas()
    {
        frame = new ProbeFrame(800, 600);
        util::RectangleNM bounds(0, 0, 800, 600);
        ASSERT_TRUE(frame->create(nullptr, &bounds));
        ShowWindow(frame->getHWND(), SW_SHOW);
        canvas = new ProbeComponent();
        ASSERT_TRUE(canvas->create(frame, &bounds));
        canvas->setVisible(true);
        canvas->requestFocus();
        pump();
        ASSERT_EQ(GetFocus(), canvas->getHWND());
    }

    // Moves the pointer to a point of the canvas's client area.
    void pointAtCanvas(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(canvas->getHWND(), &p);
        platform::events::mouseMoved(p.x, p.y);
    }

    void click(platform::events::MouseButton button)
    {
        platform::events::mouseButton(button, true);
        platform::events::mouseButton(button, false);
    }

    platform::FakeClock clock{50000};
    platform::HeadlessBackend* backend = nullptr;
    ProbeFrame* frame = nullptr;
    ProbeComponent* canvas = nullptr;
};

} // namespace windowtest

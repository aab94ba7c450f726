// hvframe: opens the game's 800 x 600 frame with a canvas child and logs the
// events the canvas receives. F11 switches between a window and full screen,
// Esc leaves full screen, closing the window ends the program.
//   --toggle      switch full screen on and off every two seconds by itself
//   --seconds N   close the window after N seconds
#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/User.h"
#include "windowing/window/Component.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kToggleTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;

const char* eventName(int id)
{
    switch (id) {
    case window::Event::MOUSE_DOWN: return "MOUSE_DOWN";
    case window::Event::MOUSE_MOVE: return "MOUSE_MOVE";
    case window::Event::MOUSE_UP: return "MOUSE_UP";
    case window::Event::MOUSE_DRAG: return "MOUSE_DRAG";
    case window::Event::KEY_DOWN: return "KEY_DOWN";
    case window::Event::KEY_UP: return "KEY_UP";
    default: return "ACTION";
    }
}

void logEvent(window::Event* e)
{
    std::printf("%10u %-10s x=%d y=%d modifiers=%d key=%d clickCount=%d\n", unsigned(e->when), eventName(e->id), e->x,
                e->y, e->modifiers, e->key, e->clickCount);
    std::fflush(stdout);
}

class DemoFrame;

// The canvas: every event is logged; F11 and Esc go on to the frame.
class DemoCanvas : public window::Component {
public:
    bool mouseDown(window::Event* e, int, int) override { return log(e); }
    bool mouseUp(window::Event* e, int, int) override { return log(e); }
    bool mouseMove(window::Event* e, int, int) override { return log(e); }
    bool mouseDrag(window::Event* e, int, int) override { return log(e); }
    bool keyDown(window::Event* e, int key) override
    {
        logEvent(e);
        return key != window::Event::F1 + 10 && key != 27;
    }
    bool keyUp(window::Event* e, int) override { return log(e); }

private:
    bool log(window::Event* e)
    {
        logEvent(e);
        return true;
    }
};

class DemoFrame : public window::Frame {
public:
    DemoFrame()
    {
        m_designWidth = 800;
        m_designHeight = 600;
    }

    void toggleFullScreen()
    {
        setFullScreen(!isFullScreen(), false);
        std::printf("full screen: %s\n", isFullScreen() ? "on" : "off");
        std::fflush(stdout);
    }

    bool keyDown(window::Event*, int key) override
    {
        if (key == window::Event::F1 + 10) {
            toggleFullScreen();
            return true;
        }
        if (key == 27 && isFullScreen()) {
            toggleFullScreen();
            return true;
        }
        return false;
    }

    void windowClosing() override
    {
        std::printf("closing\n");
        std::fflush(stdout);
        requestClose();
    }

    void aboutToDestroy() override
    {
        if (isFullScreen())
            setFullScreen(false, true);
    }

    void destroyed() override { PostQuitMessage(0); }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            if (wParam == kToggleTimer)
                toggleFullScreen();
            else if (wParam == kCloseTimer)
                windowClosing();
            return 0;
        }
        return Frame::handleMessage(message, wParam, lParam);
    }
};

} // namespace

int main(int argc, char** argv)
{
    bool toggle = false;
    int seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--toggle") == 0) {
            toggle = true;
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--toggle] [--seconds N]\n", argv[0]);
            return 2;
        }
    }

    std::printf("window backend: %s\n", platform::windowBackend().name());
    auto* frame = new DemoFrame();
    util::RectangleNM bounds(0, 0, 800, 600);
    if (!frame->create(nullptr, &bounds)) {
        std::fprintf(stderr, "hvframe: the window could not be made\n");
        frame->release();
        return 1;
    }
    SetWindowTextA(frame->getHWND(), "hvframe");
    auto* canvas = new DemoCanvas();
    canvas->create(frame, &bounds);
    ShowWindow(frame->getHWND(), SW_SHOW);
    PostMessageA(canvas->getHWND(), window::Component::WMP_SHOW, 0, 0);
    canvas->setCursor(window::Cursor::handCursor);
    canvas->requestFocus();
    if (toggle)
        SetTimer(frame->getHWND(), kToggleTimer, 2000, nullptr);
    if (seconds > 0)
        SetTimer(frame->getHWND(), kCloseTimer, UINT(seconds) * 1000, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    canvas->release();
    frame->release();
    std::printf("done\n");
    return 0;
}

// SdlBackend.cpp: the window backend of the real program, over SDL2. One SDL
// window per top-level window shows its client area (children drawn in by the
// window layer); SDL's input, focus, minimise and close events become the
// window layer's events. SDL is only touched on the thread that started it:
// work asked for on other threads waits there for the next pump. A window
// another client destroys, and the display lost, are taken as the window's
// close: from then on SDL is not asked to touch them. On X windows are shown
// and hidden without waiting for the server's answer. Every call into SDL on
// its thread is a DisplayThread::Call, and once that thread is taken over
// (it never came back from one) nothing here waits for it.
#include "platform/user/sdl/SdlBackend.h"

#include "platform/kernel/Clock.h"
#include "platform/user/DisplayThread.h"
#include "platform/user/Input.h"
#include "platform/user/MessageBox.h"
#include "platform/user/core/Keyboard.h"
#include "platform/user/sdl/NativeWindowSize.h"
#include "platform/user/sdl/SdlMessageBox.h"
#include "platform/user/sdl/XDisplayWatch.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {
namespace {

// Windows-1252's characters at 0x80-0x9F; the bytes it leaves unassigned are
// the control characters of the same value.
const uint16_t kAnsiHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string ansiToUtf8(const std::string& ansi)
{
    std::string out;
    for (unsigned char c : ansi) {
        uint32_t u = (c >= 0x80 && c < 0xA0) ? kAnsiHigh[c - 0x80] : c;
        if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// Text SDL types, in Windows-1252; characters it cannot hold become '?'.
std::string utf8ToAnsi(const char* text)
{
    std::string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t u;
        int extra;
        if (*p < 0x80) {
            u = *p;
            extra = 0;
        } else if ((*p & 0xE0) == 0xC0) {
            u = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            u = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            u = *p & 0x07;
            extra = 3;
        } else {
            ++p;
            out += '?';
            continue;
        }
        ++p;
        bool broken = false;
        for (int i = 0; i < extra; ++i) {
            if ((*p & 0xC0) != 0x80) {
                broken = true;
                break;
            }
            u = (u << 6) | (*p & 0x3F);
            ++p;
        }
        if (broken) {
            out += '?';
            continue;
        }
        char c = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            c = char(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kAnsiHigh[i] == u)
                    c = char(0x80 + i);
        }
        out += c;
    }
    return out;
}

UINT virtualKeyOf(const SDL_Keysym& key)
{
    SDL_Keycode k = key.sym;
    if (k >= SDLK_a && k <= SDLK_z)
        return UINT('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9)
        return UINT('0' + (k - SDLK_0));
    if (key.scancode >= SDL_SCANCODE_F1 && key.scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (key.scancode - SDL_SCANCODE_F1);
    if (key.scancode >= SDL_SCANCODE_F13 && key.scancode <= SDL_SCANCODE_F24)
        return VK_F13 + (key.scancode - SDL_SCANCODE_F13);
    if (key.scancode >= SDL_SCANCODE_KP_1 && key.scancode <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (key.scancode - SDL_SCANCODE_KP_1);
    switch (key.scancode) {
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
    case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
    case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
    case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
    case SDL_SCANCODE_LALT: return VK_LMENU;
    case SDL_SCANCODE_RALT: return VK_RMENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    default: return 0;
    }
}

SDL_SystemCursor systemCursorOf(int id)
{
    switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

// How often a waiting message loop takes SDL's events (ms).
constexpr int kPumpInterval = 5;

class SdlBackend final : public WindowBackend {
public:
    SdlBackend() : m_thread(GetCurrentThreadId()) {}
    ~SdlBackend() override;

    // Starts SDL's video on a display; false, with why, when none opens.
    bool start(std::string& failure);

    const char* name() const override { return "sdl"; }
    DisplayMode desktopMode() override;
    RECT workArea() override;
    void windowCreated(HWND hwnd, const RECT& client) override;
    void windowDestroyed(HWND hwnd) override;
    void windowShown(HWND hwnd, bool visible) override;
    void windowPlaced(HWND hwnd, const RECT& client) override;
    void windowTitled(HWND hwnd, const std::string& title) override;
    void windowMinimized(HWND hwnd, bool minimized) override;
    void windowRaised(HWND hwnd) override;
    void displayChanged(bool fullScreen, const DisplayMode& mode) override;
    void present(HWND hwnd, std::shared_ptr<const std::vector<uint32_t>> pixels, int width, int height) override;
    void pointerChanged(const CursorShape* shape) override;
    void warpPointer(int screenX, int screenY) override;
    bool showMessageBox(const std::string& text, const std::string& caption, UINT type) override;
    void pump() override;
    int pumpInterval() const override { return onSdlThread() ? kPumpInterval : -1; }

private:
    struct Window {
        SDL_Window* window = nullptr;
        RECT client{};
        std::shared_ptr<const std::vector<uint32_t>> frame;
        int frameWidth = 0;
        int frameHeight = 0;
        bool dirty = false;
        // Destroyed by another client: its SDL window is left alone.
        bool gone = false;
        // The SDL window to work on: none once another client destroyed it
        // (SDL would wait for ever for the answers of some of its calls).
        SDL_Window* live() const { return gone ? nullptr : window; }
    };

    bool onSdlThread() const { return GetCurrentThreadId() == m_thread; }
    // SDL's destroy hides a window shown first, and waits for its unmap: it
    // is hidden here first, without waiting.
    static void destroyWindow(SDL_Window* window);
    // Runs SDL work now on SDL's thread, or there at the next pump.
    void onSdl(std::function<void()> work);
    void draw(Window& w);
    // Where a picture of width x height lies in the window: as it is in a
    // window; in full screen scaled to fit the window's real size and
    // letterboxed, whatever the window manager made of the request.
    RECT pictureBox(SDL_Window* window, int width, int height) const;
    HWND windowOf(Uint32 sdlId);
    bool toScreen(HWND hwnd, int x, int y, POINT& screen);
    void handle(const SDL_Event& e);
    // A window another client destroyed (the event says which) is closed as
    // by the player; SDL is not asked to touch it again.
    void windowsDestroyed(const SDL_Event& e);
    // Once the display is lost every window is closed as by the player, and
    // the work waiting for SDL is dropped.
    void closeForLostDisplay();

    const DWORD m_thread;
    std::mutex m_mutex;
    std::map<HWND, Window> m_windows;
    std::deque<std::function<void()>> m_pending;
    bool m_fullScreen = false;
    std::map<const CursorShape*, SDL_Cursor*> m_cursors;
    bool m_realDisplay = false;
    bool m_started = false;
    // Whether the display's loss has been taken as the windows' close.
    bool m_lossTold = false;
};

bool SdlBackend::start(std::string& failure)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The program minimises itself when it loses the focus in full screen.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Without a Wayland display only X is tried: a Wayland attempt with
    // nothing to reach prints its own complaint before ours.
    const char* waylandSet = std::getenv("WAYLAND_DISPLAY");
    const char* driverSet = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!(waylandSet && *waylandSet) && !(driverSet && *driverSet))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // The display SDL opens, as the line that says it cannot be names it.
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* display = x && *x ? x : wayland && *wayland ? wayland : nullptr;
    const std::string cannotOpen = display ? std::string("the display \"") + display + "\" cannot be opened"
                                           : std::string("no display is set (DISPLAY is empty)");
    // Lost while SDL opens it (its server gone after the first answers), the
    // display ends the program with that line, not with Xlib's own text; so
    // does one whose server does not answer, when the program is asked to
    // end meanwhile (see openWindowBackend).
    watchXErrors(noWindowLine(cannotOpen + " (its connection was lost)"),
                 noWindowLine(cannotOpen + " (it does not answer)"), NO_WINDOW_EXIT_CODE);
    const bool ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    m_started = ok;
    const char* driver = ok ? SDL_GetCurrentVideoDriver() : nullptr;
    // The display may be lost from now on, before the first window is made.
    xDisplayOpened(driver && std::strcmp(driver, "x11") == 0);
    m_realDisplay = driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
    // Where no display opens SDL falls back on a driver without a screen:
    // unless that one was asked for by name, there is no display.
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!ok || (!m_realDisplay && !(asked && *asked))) {
        failure = cannotOpen;
        if (!ok)
            failure += std::string(" (") + SDL_GetError() + ")";
        return false;
    }
    // On X a window's picture goes straight to the window, its top-left
    // corner at the window's. Drawn through OpenGL instead it would be placed
    // from the bottom of the size SDL records, which is not the window's when
    // a full-screen request went unanswered.
    if (std::strcmp(driver, "x11") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_StartTextInput();
    return true;
}

SdlBackend::~SdlBackend()
{
    // A lost display is not touched again: SDL would wait for its answers.
    // No Call here: the program is ending, and nobody is left to take over
    // from a call that stays.
    if (xDisplayLost() || DisplayThread::takenOver())
        return;
    for (auto& kv : m_windows)
        if (kv.second.live())
            destroyWindow(kv.second.window);
    for (auto& kv : m_cursors)
        SDL_FreeCursor(kv.second);
    if (m_started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlBackend::destroyWindow(SDL_Window* window)
{
    xShowWindow(window, false);
    SDL_DestroyWindow(window);
}

void SdlBackend::onSdl(std::function<void()> work)
{
    if (DisplayThread::takenOver())
        return;
    if (onSdlThread()) {
        DisplayThread::Call call;
        if (!xDisplayLost())
            work();
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.push_back(std::move(work));
}

DisplayMode SdlBackend::desktopMode()
{
    DisplayMode mode{1024, 768, 32, 0, 60};
    SDL_DisplayMode dm;
    if (SDL_GetDesktopDisplayMode(0, &dm) == 0) {
        mode.width = dm.w;
        mode.height = dm.h;
        // A 24-bit desktop stores its pixels in 32 bits, as the engine's system counts them.
        mode.bitsPerPixel = SDL_BITSPERPIXEL(dm.format) >= 24 ? 32 : int(SDL_BITSPERPIXEL(dm.format));
        if (dm.refresh_rate > 0)
            mode.frequency = dm.refresh_rate;
    }
    return mode;
}

RECT SdlBackend::workArea()
{
    // SDL asks the server.
    std::optional<DisplayThread::Call> call;
    if (onSdlThread())
        call.emplace();
    SDL_Rect r;
    if (!xDisplayLost() && SDL_GetDisplayUsableBounds(0, &r) == 0)
        return RECT{r.x, r.y, r.x + r.w, r.y + r.h};
    DisplayMode m = desktopMode();
    return RECT{0, 0, m.width, m.height};
}

void SdlBackend::windowCreated(HWND hwnd, const RECT& client)
{
    if (DisplayThread::takenOver())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_windows[hwnd].client = client;
    }
    onSdl([this, hwnd, client] {
        SDL_Window* window = SDL_CreateWindow("", client.left, client.top, std::max<LONG>(1, client.right - client.left),
                                              std::max<LONG>(1, client.bottom - client.top), SDL_WINDOW_HIDDEN);
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end()) {
            if (window)
                destroyWindow(window);
            return;
        }
        it->second.window = window;
        watchXDisplay(window);
        if (window && m_fullScreen)
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    });
}

void SdlBackend::windowDestroyed(HWND hwnd)
{
    onSdl([this, hwnd] {
        SDL_Window* window = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_windows.find(hwnd);
            if (it == m_windows.end())
                return;
            window = it->second.live();
            m_windows.erase(it);
        }
        if (window)
            destroyWindow(window);
    });
}

void SdlBackend::windowShown(HWND hwnd, bool visible)
{
    onSdl([this, hwnd, visible] {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || !it->second.live())
            return;
        if (visible) {
            if (!xShowWindow(it->second.window, true))
                SDL_ShowWindow(it->second.window);
            draw(it->second);
        } else if (!xShowWindow(it->second.window, false)) {
            SDL_HideWindow(it->second.window);
        }
    });
}

void SdlBackend::windowPlaced(HWND hwnd, const RECT& client)
{
    if (DisplayThread::takenOver())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end())
            return;
        it->second.client = client;
    }
    onSdl([this, hwnd, client] {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || !it->second.live() || m_fullScreen)
            return;
        SDL_SetWindowSize(it->second.window, std::max<LONG>(1, client.right - client.left),
                          std::max<LONG>(1, client.bottom - client.top));
        SDL_SetWindowPosition(it->second.window, client.left, client.top);
    });
}

void SdlBackend::windowTitled(HWND hwnd, const std::string& title)
{
    std::string utf8 = ansiToUtf8(title);
    onSdl([this, hwnd, utf8] {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it != m_windows.end() && it->second.live())
            SDL_SetWindowTitle(it->second.window, utf8.c_str());
    });
}

void SdlBackend::windowMinimized(HWND hwnd, bool minimized)
{
    onSdl([this, hwnd, minimized] {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || !it->second.live())
            return;
        if (minimized)
            SDL_MinimizeWindow(it->second.window);
        else if (!xShowWindow(it->second.window, true))
            SDL_RestoreWindow(it->second.window);
    });
}

void SdlBackend::windowRaised(HWND hwnd)
{
    onSdl([this, hwnd] {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_windows.find(hwnd);
        if (it != m_windows.end() && it->second.live())
            SDL_RaiseWindow(it->second.window);
    });
}

void SdlBackend::displayChanged(bool fullScreen, const DisplayMode&)
{
    onSdl([this, fullScreen] {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fullScreen = fullScreen;
        for (auto& kv : m_windows) {
            Window& w = kv.second;
            if (!w.live())
                continue;
            SDL_SetWindowFullscreen(w.window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
            if (!fullScreen) {
                SDL_SetWindowSize(w.window, std::max<LONG>(1, w.client.right - w.client.left),
                                  std::max<LONG>(1, w.client.bottom - w.client.top));
                SDL_SetWindowPosition(w.window, w.client.left, w.client.top);
            }
            w.dirty = true;
        }
    });
}

void SdlBackend::present(HWND hwnd, std::shared_ptr<const std::vector<uint32_t>> pixels, int width, int height)
{
    if (DisplayThread::takenOver())
        return;
    // Ended after the lock is let go: a thread taken over stays in it.
    std::optional<DisplayThread::Call> call;
    if (onSdlThread())
        call.emplace();
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end())
        return;
    Window& w = it->second;
    w.frame = std::move(pixels);
    w.frameWidth = width;
    w.frameHeight = height;
    if (onSdlThread())
        draw(w);
    else
        w.dirty = true;
}

// Draws the window's last frame: as it is in a window, scaled to fit and
// letterboxed in full screen. Called on SDL's thread with the lock held.
void SdlBackend::draw(Window& w)
{
    w.dirty = false;
    if (!w.live() || xDisplayLost() || !w.frame || w.frame->empty())
        return;
    SDL_Surface* target = SDL_GetWindowSurface(w.window);
    if (!target)
        return;
    // The surface is only read from (the blit's source).
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(w.frame->data()), w.frameWidth,
                                                             w.frameHeight, 32, w.frameWidth * 4,
                                                             SDL_PIXELFORMAT_ARGB8888);
    if (!source)
        return;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    RECT box = pictureBox(w.window, w.frameWidth, w.frameHeight);
    SDL_Rect dest{box.left, box.top, box.right - box.left, box.bottom - box.top};
    if (dest.w == w.frameWidth && dest.h == w.frameHeight)
        SDL_BlitSurface(source, nullptr, target, &dest);
    else
        SDL_BlitScaled(source, nullptr, target, &dest);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(w.window);
}

RECT SdlBackend::pictureBox(SDL_Window* window, int width, int height) const
{
    if (!m_fullScreen)
        return RECT{0, 0, width, height};
    int shownWidth, shownHeight;
    nativeWindowSize(window, shownWidth, shownHeight);
    return letterboxRect(width, height, shownWidth, shownHeight);
}

void SdlBackend::pointerChanged(const CursorShape* shape)
{
    onSdl([this, shape] {
        if (!shape) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_Cursor* cursor = nullptr;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_cursors.find(shape);
            if (it != m_cursors.end()) {
                cursor = it->second;
            } else {
                if (shape->systemId) {
                    cursor = SDL_CreateSystemCursor(systemCursorOf(shape->systemId));
                } else if (!shape->pixels.empty()) {
                    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
                        const_cast<uint32_t*>(shape->pixels.data()), shape->width, shape->height, 32, shape->width * 4,
                        SDL_PIXELFORMAT_ARGB8888);
                    if (s) {
                        cursor = SDL_CreateColorCursor(s, shape->hotX, shape->hotY);
                        SDL_FreeSurface(s);
                    }
                }
                if (cursor)
                    m_cursors[shape] = cursor;
            }
        }
        if (cursor)
            SDL_SetCursor(cursor);
        SDL_ShowCursor(SDL_ENABLE);
    });
}

void SdlBackend::warpPointer(int screenX, int screenY)
{
    onSdl([this, screenX, screenY] {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& kv : m_windows) {
            Window& w = kv.second;
            const RECT& c = w.client;
            if (!w.live() || screenX < c.left || screenX >= c.right || screenY < c.top || screenY >= c.bottom)
                continue;
            const int cw = std::max<LONG>(1, c.right - c.left), ch = std::max<LONG>(1, c.bottom - c.top);
            const RECT box = pictureBox(w.window, cw, ch);
            SDL_WarpMouseInWindow(w.window, box.left + int(int64_t(screenX - c.left) * (box.right - box.left) / cw),
                                  box.top + int(int64_t(screenY - c.top) * (box.bottom - box.top) / ch));
            return;
        }
    });
}

bool SdlBackend::showMessageBox(const std::string& text, const std::string& caption, UINT type)
{
    if (!m_realDisplay || xDisplayLost())
        return false;
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    UINT icon = type & 0xF0;
    if (icon == MB_ICONERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if (icon == MB_ICONWARNING)
        flags = SDL_MESSAGEBOX_WARNING;
    return showSdlMessageBox(flags, ansiToUtf8(caption), ansiToUtf8(text));
}

HWND SdlBackend::windowOf(Uint32 sdlId)
{
    SDL_Window* window = SDL_GetWindowFromID(sdlId);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& kv : m_windows)
        if (kv.second.window && kv.second.window == window)
            return kv.first;
    return nullptr;
}

// A point of an SDL window in the window layer's screen coordinates; in full
// screen the letterboxing is undone.
bool SdlBackend::toScreen(HWND hwnd, int x, int y, POINT& screen)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end() || !it->second.live())
        return false;
    const RECT& c = it->second.client;
    const int cw = c.right - c.left, ch = c.bottom - c.top;
    const RECT box = pictureBox(it->second.window, cw, ch);
    const int bw = std::max<LONG>(1, box.right - box.left), bh = std::max<LONG>(1, box.bottom - box.top);
    screen = POINT{c.left + int(int64_t(x - box.left) * cw / bw), c.top + int(int64_t(y - box.top) * ch / bh)};
    return true;
}

void SdlBackend::handle(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_MOUSEMOTION: {
        POINT p;
        if (toScreen(windowOf(e.motion.windowID), e.motion.x, e.motion.y, p))
            events::mouseMoved(p.x, p.y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        POINT p;
        if (toScreen(windowOf(e.button.windowID), e.button.x, e.button.y, p)) {
            POINT now;
            GetCursorPos(&now);
            if (now.x != p.x || now.y != p.y)
                events::mouseMoved(p.x, p.y);
        }
        events::MouseButton b = e.button.button == SDL_BUTTON_RIGHT    ? events::MouseButton::Right
                                : e.button.button == SDL_BUTTON_MIDDLE ? events::MouseButton::Middle
                                                                       : events::MouseButton::Left;
        if (e.button.button == SDL_BUTTON_LEFT || e.button.button == SDL_BUTTON_RIGHT ||
            e.button.button == SDL_BUTTON_MIDDLE)
            events::mouseButton(b, e.type == SDL_MOUSEBUTTONDOWN);
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        UINT vk = virtualKeyOf(e.key.keysym);
        if (!vk)
            break;
        // SDL types printable characters itself (SDL_TEXTINPUT) unless Ctrl or Alt is held.
        bool textFollows = SDL_IsTextInputActive() && !(e.key.keysym.mod & (KMOD_CTRL | KMOD_ALT));
        events::key(vk, e.type == SDL_KEYDOWN, textFollows);
        break;
    }
    case SDL_TEXTINPUT:
        events::text(utf8ToAnsi(e.text.text));
        break;
    case SDL_WINDOWEVENT: {
        HWND hwnd = windowOf(e.window.windowID);
        if (!hwnd)
            break;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            events::activated(hwnd);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            events::activated(nullptr);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            events::minimized(hwnd, true);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            events::minimized(hwnd, false);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            events::closeRequested(hwnd);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_windows.find(hwnd);
            if (it != m_windows.end())
                draw(it->second);
            break;
        }
        default:
            break;
        }
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED)
            events::exposed(hwnd);
        break;
    }
    case SDL_SYSWMEVENT:
        windowsDestroyed(e);
        break;
    default:
        break;
    }
}

void SdlBackend::windowsDestroyed(const SDL_Event& e)
{
    std::vector<HWND> destroyed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& kv : m_windows) {
            if (kv.second.live() && xWindowDestroyed(e, kv.second.window)) {
                kv.second.gone = true;
                destroyed.push_back(kv.first);
            }
        }
    }
    for (HWND hwnd : destroyed)
        events::closeRequested(hwnd);
}

void SdlBackend::closeForLostDisplay()
{
    if (m_lossTold)
        return;
    m_lossTold = true;
    std::vector<HWND> windows;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.clear();
        for (auto& kv : m_windows)
            windows.push_back(kv.first);
    }
    for (HWND hwnd : windows)
        events::closeRequested(hwnd);
}

void SdlBackend::pump()
{
    if (!onSdlThread() || DisplayThread::takenOver())
        return;
    DisplayThread::Call call;
    xCheckDisplay();
    if (xDisplayLost()) {
        closeForLostDisplay();
        return;
    }
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_pending.empty() || xDisplayLost())
                break;
            work = std::move(m_pending.front());
            m_pending.pop_front();
        }
        work();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& kv : m_windows)
            if (kv.second.dirty)
                draw(kv.second);
    }
    // SDL reads the display at each poll: the server's end is looked for
    // before each.
    SDL_Event e;
    while ((xCheckDisplay(), !xDisplayLost()) && SDL_PollEvent(&e)) {
        handle(e);
        if (sdlEventHandled)
            sdlEventHandled();
    }
    if (xDisplayLost())
        closeForLostDisplay();
}

} // namespace

void (*sdlEventHandled)() = nullptr;

std::unique_ptr<WindowBackend> createSdlBackend(std::string& failure)
{
    auto backend = std::make_unique<SdlBackend>();
    if (!backend->start(failure))
        return nullptr;
    return backend;
}

} // namespace platform

// WindowManager.h: the state of the window layer (windows, classes, thread
// queues, timers, focus, capture, input and cursor state, display mode) under
// one lock, and the operations the calls are built from. Window procedures are
// always called with the lock released.
#pragma once

#include "platform/user/Display.h"
#include "platform/user/Messages.h"
#include "platform/user/core/ThreadQueue.h"
#include "platform/user/core/WindowRecord.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform {
namespace user {

struct TimerRecord {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    DWORD due = 0;
    TIMERPROC proc = nullptr;
    std::shared_ptr<ThreadQueue> queue;
};

class WindowManager {
public:
    using Lock = std::unique_lock<std::mutex>;

    static WindowManager& instance();

    std::mutex mutex;

    // Windows and classes.
    std::unordered_map<HWND, std::shared_ptr<WindowRecord>> windows;
    std::vector<HWND> topLevels; // front first
    uintptr_t nextHandle = 0;
    std::vector<std::shared_ptr<WindowClassRecord>> classes;
    ATOM nextAtom = 0xC000;

    // Thread queues by thread id.
    std::unordered_map<DWORD, std::weak_ptr<ThreadQueue>> queues;

    std::vector<TimerRecord> timers;
    UINT_PTR nextTimerId = 1;
    // Timer procedures ever registered: a WM_TIMER only calls one of these.
    std::vector<TIMERPROC> timerProcs;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;

    BYTE asyncKeys[256] = {};
    POINT pointer{0, 0};
    UINT doubleClickTime = 500;

    HCURSOR cursor = nullptr;
    int cursorCount = 0;

    bool fullScreen = false;
    DisplayMode switchedMode;
    std::vector<DisplayMode> modeList;
    DisplayChangeHook changeHook;
    uint32_t modeGeneration = 0;

    // --- With the lock held.
    WindowRecord* find(HWND hwnd) const;
    std::shared_ptr<WindowRecord> findShared(HWND hwnd) const;
    // The calling thread's queue, made on first use.
    std::shared_ptr<ThreadQueue> currentQueue();
    std::shared_ptr<ThreadQueue> queueOfThread(DWORD threadId) const;
    HWND topLevelOf(HWND hwnd) const;
    // The window and all its ancestors have WS_VISIBLE.
    bool isVisible(const WindowRecord& w) const;
    static RECT nonClientInsets(DWORD style, DWORD exStyle);
    static void clientSize(const WindowRecord& w, int& width, int& height);
    // The client area's origin in the parent's client area (screen for a top-level window).
    static POINT clientOriginInParent(const WindowRecord& w);
    POINT clientOriginOnScreen(const WindowRecord& w) const;
    void invalidate(WindowRecord& w, const RECT* rect, bool erase);
    void post(const std::shared_ptr<ThreadQueue>& queue, QueueEntry entry);
    // The deepest visible window whose client area holds the screen point.
    HWND hitTest(POINT screen) const;
    // A top-level window's client area with its visible children drawn in;
    // false when no window of it has presented a picture.
    bool compose(HWND topLevel, std::vector<uint32_t>& pixels, int& width, int& height) const;
    // Whether the window (client origin at ox, oy of the top-level client
    // area) and its visible children paint every pixel of `area`.
    bool covers(const WindowRecord& w, int ox, int oy, const RECT& area) const;
    void resizeSurface(WindowRecord& w);
    // Gives the window a surface buffer nobody else holds (the backend may
    // be showing the present one), with the picture kept when asked.
    void ownSurface(WindowRecord& w, bool keepPicture);
    void forgetWindow(HWND hwnd);

    // --- Without the lock held.
    LRESULT callProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool takeMessage(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, UINT removeFlags, bool wait);
    // Makes `topLevel` the active window (null: the program loses the
    // system's focus), with WM_ACTIVATE to both windows. `fromSystem`: the
    // backend reported it, so it is not told back.
    void activate(HWND topLevel, WORD how, bool fromSystem);
    HWND setFocus(HWND hwnd);
    HWND setCapture(HWND hwnd);
    void releaseCapture();
    // SetWindowPos's exchange; `stateChanged` forces WM_SIZE (minimise, restore).
    bool setWindowPos(const WINDOWPOS& request, bool stateChanged);
    bool showWindow(HWND hwnd, int command);
    void setMinimized(HWND hwnd, bool minimized, bool fromSystem);
    bool destroy(HWND hwnd);
    // Runs `work` on the window's thread when it next takes messages.
    void runOnWindowThread(HWND hwnd, std::function<void()> work);
    // Composes the window's top-level window and hands it to the backend.
    void presentTopLevel(HWND hwnd);
    void threadEnded(const std::shared_ptr<ThreadQueue>& queue);
    void reset();

private:
    WindowManager() = default;
    void runSent(Lock& lock, const std::shared_ptr<SentMessage>& sent);
    void takeInput(Lock& lock, const std::shared_ptr<ThreadQueue>& queue, const QueueEntry& entry);
    void destroyTree(HWND hwnd);
    // The window whose picture alone is the top-level window's whole client
    // area (its own, or a child's covering it in front of all others); null
    // when the client area must be composed.
    const WindowRecord* shownAlone(const WindowRecord& top) const;
    // A frame-sized buffer nobody else holds: one of the recent frames'
    // that the backend has let go, or a new one.
    std::shared_ptr<std::vector<uint32_t>> freeFrameBuffer();
    // Remembers a buffer just shown, to be reused once it is let go.
    void keepFrameBuffer(const std::shared_ptr<std::vector<uint32_t>>& buffer);
    // The backend's reference to a buffer: the buffer stays among the lent
    // ones until the backend lets the last copy of it go, on any thread.
    std::shared_ptr<const std::vector<uint32_t>> lend(const std::shared_ptr<std::vector<uint32_t>>& buffer);
    // Forgets the lent buffers the backend has let go (what it did with
    // them happened before).
    void reclaimLent();

    // The most recently shown buffers first: a window's picture and the
    // frame the backend shows, and the one before them, are the most in use
    // at once.
    static constexpr size_t kFrameBuffers = 3;
    std::vector<std::shared_ptr<std::vector<uint32_t>>> frameBuffers;
    // The buffers the backend holds, each with the flag its reference sets
    // (with release order) when let go. Only this layer, under its lock,
    // holds the buffers themselves, so their use counts are its own.
    struct LentBuffer {
        std::shared_ptr<std::vector<uint32_t>> buffer;
        std::shared_ptr<std::atomic<bool>> returned;
    };
    std::vector<LentBuffer> lent;
    // Draws a window's picture at (ox, oy) of the top-level client area,
    // clipped to `clip`, then its visible children back to front, leaving out
    // what a child hides; true when any of them has presented a picture.
    bool composeWindow(const WindowRecord& w, int ox, int oy, RECT clip, uint32_t* pixels, int width) const;
};

// The process's window manager: the shorthand of the window layer's files.
inline WindowManager& wm()
{
    return WindowManager::instance();
}

// Applies a key change to a keyboard state: the key (and for a left/right
// key, its generic key) goes down or up; a press toggles the low bit.
void applyKeyChange(BYTE* state, BYTE key, BYTE specific, bool down);

} // namespace user
} // namespace platform

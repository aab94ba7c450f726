// HeadlessBackend.h: the window backend without a display, for tests. It
// keeps what it is told (windows, titles, the pointer, full screen, the frames
// shown) for tests to read, and a display whose size tests choose.
#pragma once

#include "platform/user/Backend.h"

#include <map>
#include <mutex>

namespace platform {

class HeadlessBackend : public WindowBackend {
public:
    struct WindowState {
        RECT client{};
        bool visible = false;
        bool minimized = false;
        std::string title;
        int raised = 0; // how often the program brought it to the front
    };

    HeadlessBackend();

    // The desktop (1024 x 768 at 32 bits unless set) and its work area.
    void setDesktop(const DisplayMode& mode, const RECT& workArea);

    // What tests read.
    bool windowState(HWND hwnd, WindowState& state) const;
    bool fullScreen() const;
    // The cursor shape shown (null: hidden) and how many times it changed.
    const CursorShape* pointer() const;
    int pointerChanges() const;
    // The picture the display shows for a top-level window: its client area
    // as presented; in full screen the whole desktop, the client area scaled
    // to fit it (nearest pixel) and letterboxed in black.
    bool readDisplayFrame(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height) const;

    const char* name() const override { return "headless"; }
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
    // Moves the pointer as the system would: a mouse move follows.
    void warpPointer(int screenX, int screenY) override;
    bool showMessageBox(const std::string& text, const std::string& caption, UINT type) override;

private:
    struct Frame {
        std::shared_ptr<const std::vector<uint32_t>> pixels = std::make_shared<std::vector<uint32_t>>();
        int width = 0;
        int height = 0;
    };

    mutable std::mutex m_mutex;
    DisplayMode m_desktop;
    RECT m_workArea;
    bool m_fullScreen = false;
    std::map<HWND, WindowState> m_windows;
    std::map<HWND, Frame> m_frames;
    const CursorShape* m_pointer = nullptr;
    int m_pointerChanges = 0;
};

// Installs a new headless backend and returns it.
HeadlessBackend& useHeadlessBackend();

} // namespace platform

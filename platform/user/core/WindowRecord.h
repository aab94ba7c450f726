// WindowRecord.h: what the window layer keeps for a window.
#pragma once

#include "platform/user/Window.h"
#include "platform/user/core/WindowClassRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
namespace user {

class ThreadQueue;

struct WindowRecord {
    HWND hwnd = nullptr;
    std::shared_ptr<const WindowClassRecord> windowClass;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    // The parent of a child window; the owner of a top-level one.
    HWND parent = nullptr;
    // Child windows, front first.
    std::vector<HWND> children;
    // The window rectangle: in the parent's client coordinates for a child
    // window, in screen coordinates for a top-level one.
    RECT rect{};
    std::string title;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    DWORD threadId = 0;
    std::shared_ptr<ThreadQueue> queue;
    bool destroying = false;
    bool shownOnce = false;

    // The invalid area (its bounding box, client coordinates).
    bool updatePending = false;
    bool erasePending = false;
    RECT updateRect{};

    // The client area's pixels as last presented. The backend may show the
    // same buffer, so a new picture goes into a buffer nobody else holds
    // (WindowManager::ownSurface).
    std::shared_ptr<std::vector<uint32_t>> surface = std::make_shared<std::vector<uint32_t>>();
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    bool presented = false;
    // The picture is a full-screen device's frame: it covers the whole
    // display, so the children's pictures are not shown over it until a
    // windowed present into this window or one of its children.
    bool fullScreenPicture = false;

    bool isChild() const { return (style & WS_CHILD) != 0; }
    bool isIconic() const { return (style & WS_MINIMIZE) != 0; }
};

} // namespace user
} // namespace platform

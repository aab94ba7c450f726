// WindowSurface.cpp: what the graphics device needs of the window layer:
// client sizes, frames presented into windows and read back, and whether a
// window is active.
#include "platform/user/WindowSurface.h"

#include "platform/user/core/FrameRecorder.h"
#include "platform/user/core/WindowManager.h"

#include <algorithm>

using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace platform {

bool windowClientSize(HWND hwnd, int* width, int* height)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return false;
    int cw, ch;
    WindowManager::clientSize(*w, cw, ch);
    if (width)
        *width = cw;
    if (height)
        *height = ch;
    return true;
}

bool presentToWindow(HWND hwnd, const uint32_t* pixels, int width, int height, int pitchBytes, const RECT* source,
                     const RECT* dest, bool fullScreen)
{
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        WindowRecord* w = wm().find(hwnd);
        if (!w)
            return false;
        if (WindowRecord* top = wm().find(wm().topLevelOf(hwnd)))
            top->fullScreenPicture = fullScreen && top == w;
        wm().resizeSurface(*w);
        const int cw = w->surfaceWidth, ch = w->surfaceHeight;
        RECT s = source ? *source : RECT{0, 0, width, height};
        RECT d = dest ? *dest : RECT{0, 0, cw, ch};
        // A frame of the client area's size, whole and unscaled, replaces
        // every pixel; anything else draws over the picture there was.
        const bool whole = pixels && width == cw && height == ch && s.left == 0 && s.top == 0 &&
                           s.right == width && s.bottom == height && d.left == 0 && d.top == 0 && d.right == cw &&
                           d.bottom == ch;
        wm().ownSurface(*w, !whole);
        const int64_t sw = s.right - s.left, sh = s.bottom - s.top;
        const int64_t dw = d.right - d.left, dh = d.bottom - d.top;
        if (pixels && width > 0 && height > 0 && sw > 0 && sh > 0 && dw > 0 && dh > 0) {
            const int pitch = pitchBytes > 0 ? pitchBytes / 4 : width;
            // Each client pixel of the destination takes the nearest source
            // pixel; parts outside the frame or the client area are skipped.
            for (LONG y = std::max<LONG>(d.top, 0); y < std::min<LONG>(d.bottom, ch); ++y) {
                int64_t sy = s.top + (y - d.top) * sh / dh;
                if (sy < 0 || sy >= height)
                    continue;
                const uint32_t* row = pixels + size_t(sy) * size_t(pitch);
                uint32_t* out = w->surface->data() + size_t(y) * cw;
                const LONG left = std::max<LONG>(d.left, 0), right = std::min<LONG>(d.right, cw);
                if (sw == dw) {
                    // Unscaled (every frame of a window of the game's own
                    // size): the row's pixels inside the frame, copied whole.
                    const int64_t shift = s.left - d.left;
                    const int64_t from = std::max<int64_t>(left, -shift);
                    const int64_t to = std::min<int64_t>(right, width - shift);
                    if (from < to)
                        std::copy(row + from + shift, row + to + shift, out + from);
                    continue;
                }
                for (LONG x = left; x < right; ++x) {
                    int64_t sx = s.left + (x - d.left) * sw / dw;
                    if (sx < 0 || sx >= width)
                        continue;
                    out[x] = row[sx];
                }
            }
        }
        w->presented = true;
        platform::user::FrameRecorder::frameShown(w->surface->data(), cw, ch);
    }
    wm().presentTopLevel(hwnd);
    return true;
}

bool readWindowFrame(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    WindowRecord* w = wm().find(hwnd);
    if (!w)
        return false;
    if (!w->isChild())
        return wm().compose(hwnd, pixels, width, height);
    if (!w->presented)
        return false;
    pixels = *w->surface;
    width = w->surfaceWidth;
    height = w->surfaceHeight;
    return true;
}

bool windowIsActive(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    HWND top = wm().topLevelOf(hwnd);
    WindowRecord* w = wm().find(top);
    return w && wm().active == top && !w->isIconic();
}

uint32_t displayModeGeneration()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().modeGeneration;
}

} // namespace platform

// HeadlessBackend.cpp: the window backend without a display.
#include "platform/user/headless/HeadlessBackend.h"

namespace platform {

HeadlessBackend::HeadlessBackend() : m_desktop{1024, 768, 32, 0, 60}, m_workArea{0, 0, 1024, 768} {}

void HeadlessBackend::setDesktop(const DisplayMode& mode, const RECT& workArea)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_desktop = mode;
    m_workArea = workArea;
}

bool HeadlessBackend::windowState(HWND hwnd, WindowState& state) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end())
        return false;
    state = it->second;
    return true;
}

bool HeadlessBackend::fullScreen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fullScreen;
}

const CursorShape* HeadlessBackend::pointer() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pointer;
}

int HeadlessBackend::pointerChanges() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pointerChanges;
}

bool HeadlessBackend::readDisplayFrame(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_frames.find(hwnd);
    if (it == m_frames.end())
        return false;
    const Frame& f = it->second;
    if (!m_fullScreen) {
        pixels = *f.pixels;
        width = f.width;
        height = f.height;
        return true;
    }
    width = m_desktop.width;
    height = m_desktop.height;
    pixels.assign(size_t(width) * size_t(height), 0xFF000000u);
    RECT box = letterboxRect(f.width, f.height, width, height);
    const int64_t bw = box.right - box.left, bh = box.bottom - box.top;
    for (LONG y = box.top; y < box.bottom; ++y) {
        int sy = int((y - box.top) * int64_t(f.height) / bh);
        for (LONG x = box.left; x < box.right; ++x) {
            int sx = int((x - box.left) * int64_t(f.width) / bw);
            pixels[size_t(y) * width + x] = (*f.pixels)[size_t(sy) * f.width + sx];
        }
    }
    return true;
}

DisplayMode HeadlessBackend::desktopMode()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_desktop;
}

RECT HeadlessBackend::workArea()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_workArea;
}

void HeadlessBackend::windowCreated(HWND hwnd, const RECT& client)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_windows[hwnd] = WindowState{};
    m_windows[hwnd].client = client;
}

void HeadlessBackend::windowDestroyed(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_windows.erase(hwnd);
    m_frames.erase(hwnd);
}

void HeadlessBackend::windowShown(HWND hwnd, bool visible)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it != m_windows.end())
        it->second.visible = visible;
}

void HeadlessBackend::windowPlaced(HWND hwnd, const RECT& client)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it != m_windows.end())
        it->second.client = client;
}

void HeadlessBackend::windowTitled(HWND hwnd, const std::string& title)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it != m_windows.end())
        it->second.title = title;
}

void HeadlessBackend::windowMinimized(HWND hwnd, bool minimized)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it != m_windows.end())
        it->second.minimized = minimized;
}

void HeadlessBackend::windowRaised(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_windows.find(hwnd);
    if (it != m_windows.end())
        ++it->second.raised;
}

void HeadlessBackend::displayChanged(bool fullScreen, const DisplayMode&)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fullScreen = fullScreen;
}

void HeadlessBackend::present(HWND hwnd, std::shared_ptr<const std::vector<uint32_t>> pixels, int width, int height)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Frame& f = m_frames[hwnd];
    f.pixels = std::move(pixels);
    f.width = width;
    f.height = height;
}

void HeadlessBackend::pointerChanged(const CursorShape* shape)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pointer = shape;
    ++m_pointerChanges;
}

void HeadlessBackend::warpPointer(int screenX, int screenY)
{
    events::mouseMoved(screenX, screenY);
}

bool HeadlessBackend::showMessageBox(const std::string&, const std::string&, UINT)
{
    return false;
}

HeadlessBackend& useHeadlessBackend()
{
    auto backend = std::make_unique<HeadlessBackend>();
    HeadlessBackend& ref = *backend;
    setWindowBackend(std::move(backend));
    return ref;
}

} // namespace platform

// Frame.cpp: the top-level frame: creating its window, its size fix-ups,
// full-screen switching with the display-mode choice, device restore on the
// main thread, and sleep mode.
#include "windowing/window/Frame.h"

#include "core/lang/Synchronized.h"
#include "platform/d3d9/D3D9Types.h"
#include "platform/files/Modules.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/kernel/Clock.h"
#include "platform/user/User.h"
#include "windowing/window/DebugLine.h"
#include "windowing/d3d/GraphicsWWinDX.h"
#include "windowing/d3d/LostDeviceFlag.h"
#include "windowing/window/WindowGlobals.h"

#include <cstdlib>
#include <cstring>

namespace window {
namespace {

constexpr DWORD kCreateStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kPopupFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;

RECT workArea()
{
    RECT work{0, 0, 0, 0};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// Whether a later candidate mode replaces the one taken: never a grayscale
// or interlaced mode over one that is not; then anything over 24 bits, and
// 32 bits over anything else.
bool replacesTakenMode(const DEVMODEA& candidate, const DEVMODEA& taken)
{
    if ((candidate.dmDisplayFlags & DM_GRAYSCALE) && !(taken.dmDisplayFlags & DM_GRAYSCALE))
        return false;
    if ((candidate.dmDisplayFlags & DM_INTERLACED) && !(taken.dmDisplayFlags & DM_INTERLACED))
        return false;
    if (taken.dmBitsPerPel == 24 && candidate.dmBitsPerPel != 24)
        return true;
    return candidate.dmBitsPerPel == 32 && taken.dmBitsPerPel != 32;
}

} // namespace

void setSleepMode(bool sleeping)
{
    debugLine("setSleepMode = ", sleeping, "\n");
    WindowGlobals::setSleeping(sleeping);
}

Frame::Frame()
    : m_graphics(nullptr), m_designWidth(640), m_designHeight(480), m_bFullScreen(false), m_bDepthSupported(true),
      m_bResizable(false), m_bPopupFullScreen(false), m_bDisplayChanged(false)
{
}

Frame::~Frame()
{
    releaseGraphics();
}

void Frame::resized()
{
    repaint();
}

void Frame::paintBackground(Graphics* g)
{
    g->setColor(m_background);
    util::RectangleNM* area = getPaintBounds();
    g->fillRect(0, 0, area->width, area->height);
}

GraphicsWWinDX* Frame::windowGraphics()
{
    if (!m_graphics) {
        m_graphics = new GraphicsWWinDX(m_hWnd);
        m_graphics->setLostFlag(WindowGlobals::lostDeviceFlag());
        m_graphics->createDXDevice(!m_bFullScreen, false);
    }
    m_graphics->setTargetWindow(m_hWnd);
    m_graphics->addRef();
    return m_graphics;
}

Graphics* Frame::getGraphics()
{
    return windowGraphics();
}

void Frame::releaseGraphics()
{
    if (m_graphics) {
        m_graphics->release();
        m_graphics = nullptr;
    }
}

HWND Frame::getFrameHWND()
{
    return m_hWnd;
}

void Frame::releaseDeviceResources()
{
    Graphics* g = getGraphics();
    g->releaseDeviceResources(false);
    g->release();
}

bool Frame::isDisplayChanged()
{
    return m_bDisplayChanged;
}

void Frame::setDisplayChanged(bool changed)
{
    m_bDisplayChanged = changed;
}

bool Frame::checkDevice()
{
    if (IsIconic(m_hWnd))
        return true;
    lang::Synchronized paintGuard(WindowGlobals::paintLock());
    LostDeviceFlag* flag = WindowGlobals::lostDeviceFlag();
    lang::Synchronized flagGuard(flag);
    if (!flag->isLost())
        return true;
    if (!RestoreDevice())
        return false;
    flag->setLost(false);
    debugLine("Lost Device has been successfully restored!!\n");
    return true;
}

bool Frame::RestoreDevice()
{
    debugLine("Entering Frame::RestoreDevice\n");
    if (WindowGlobals::isSleeping()) {
        debugLine("Frame::RestoreDevice(), computer is sleeping\n");
        return false;
    }
    if (WindowGlobals::isQuitting()) {
        debugLine("Frame::RestoreDevice(), computer is exiting\n");
        return false;
    }
    lang::Synchronized paintGuard(WindowGlobals::paintLock());
    GraphicsWWinDX* g = windowGraphics();
    // Another program owns the display while the device is lost and the
    // frame is not in front: wait for it.
    if (g->testCooperativeLevel(true) == D3DERR_DEVICELOST && GetForegroundWindow() != m_hWnd &&
        !isDisplayChanged()) {
        g->release();
        return false;
    }
    debugLine("Frame::RestoreDevice(), fullScreen = ", m_bFullScreen.load(), "\n");
    const int result = g->RestoreDevice(!m_bFullScreen);
    bool success = result >= 0;
    debugLine("Frame::RestoreDevice(), success = ", success, "\n");
    if (result == D3DERR_DEVICELOST && g->getCoopTries() == 10) {
        releaseDeviceResources();
        LostDeviceFlag* flag = WindowGlobals::lostDeviceFlag();
        lang::Synchronized flagGuard(flag);
        flag->setLost(false);
        g->recreateDevice(true);
        success = true;
        setDisplayChanged(false);
    } else if (success) {
        setDisplayChanged(false);
    }
    g->release();
    return success;
}

void Frame::RestoreDeviceIfMainThread()
{
    if (GetCurrentThreadId() != WindowGlobals::mainThreadId() || WindowGlobals::isQuitting())
        return;
    lang::Synchronized paintGuard(WindowGlobals::paintLock());
    LostDeviceFlag* flag = WindowGlobals::lostDeviceFlag();
    lang::Synchronized flagGuard(flag);
    flag->setLost(true);
    debugLine("Forcing Restored Device in RestoreDeviceIfMainThread()\n");
    int count = 0;
    while (!checkDevice() && count < 10000)
        ++count;
    debugLine("RestoreDeviceIfMainThread(): nCount = ", count, "\n");
    if (count == 10000) {
        debugLine("RestoreDeviceIfMainThread(): forced to post message\n");
        PostMessageA(m_hWnd, WMP_LOST_DEVICE, 0, 0);
    }
}

bool Frame::create(Component* parent, util::RectangleNM* rect)
{
    if (!rect)
        return false;
    int width = std::abs(rect->width);
    int height = std::abs(rect->height);
    const bool fitToWorkArea = rect->width < 0;
    WindowGlobals::setMainThreadId(GetCurrentThreadId());
    DWORD style = kCreateStyle;
    const RECT work = workArea();
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    RECT r;
    if (m_bPopupFullScreen) {
        style = kPopupFullScreenStyle;
        r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else {
        if (fitToWorkArea) {
            int availableWidth = workWidth;
            if (availableWidth > m_designWidth)
                availableWidth -= 4;
            int availableHeight = workHeight;
            if (availableHeight > m_designHeight)
                availableHeight -= 4;
            availableHeight -=
                2 * (GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYBORDER)) + GetSystemMetrics(SM_CYMENU);
            if (availableWidth < width)
                width = availableWidth;
            if (availableHeight < height)
                height = availableHeight;
        }
        if (m_bResizable)
            style |= WS_THICKFRAME;
        int x = m_bFullScreen ? 0 : work.left + workWidth / 2 - width / 2;
        int y = m_bFullScreen ? 0 : work.top + workHeight / 2 - height / 2;
        if (fitToWorkArea)
            y += GetSystemMetrics(SM_CYMENU) - GetSystemMetrics(SM_CYFRAME);
        r = RECT{x, y, x + width, y + height};
    }
    AdjustWindowRectEx(&r, style, FALSE, 0);

    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    if (depth != 16 && depth != 24 && depth != 32)
        m_bDepthSupported = false;

    const DWORD exStyle = (m_bFullScreen || m_bPopupFullScreen) ? WS_EX_TOPMOST : 0;
    CreateWindowExA(exStyle, WindowGlobals::WINDOW_CLASS_NAME, "", style, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, hwndOf(parent), nullptr, GetModuleHandleA(nullptr),
                    static_cast<Component*>(this));
    if (!m_hWnd)
        return false;
    // The graphics device exists from here on.
    getGraphics()->release();
    return true;
}

void Frame::sizeChanged(WPARAM wParam, LPARAM lParam)
{
    debugLine("WM_SIZE, original values.  HWND = ", m_hWnd, "\n");
    debugLine("WM_SIZE, m_width = ", m_size.width, "\n");
    debugLine("WM_SIZE, m_height = ", m_size.height, "\n");
    debugLine("WM_SIZE, wParam = ", wParam, "\n");
    int width = LOWORD(lParam);
    int height = HIWORD(lParam);
    if (width > m_designWidth)
        width = m_designWidth;
    if (height > m_designHeight)
        height = m_designHeight;
    m_size.width = width;
    m_size.height = height;
    m_bounds.width = width;
    m_bounds.height = height;
    debugLine("WM_SIZE, new values:\n");
    debugLine("WM_SIZE, m_width = ", width, "\n");
    debugLine("WM_SIZE, m_height = ", height, "\n");
}

RECT Frame::adjustedDesignRect() const
{
    RECT r{0, 0, m_designWidth, m_designHeight};
    AdjustWindowRectEx(&r, FRAME_STYLE, FALSE, 0);
    return r;
}

void Frame::getWindowSizeInfo(int* x, int* y, int* cx, int* cy)
{
    const RECT r = adjustedDesignRect();
    debugLine("getWindowSizeInfo after AdjustWindowRectEx: (", r.left, ", ", r.top, "), (", r.right, ", ", r.bottom,
              ")\n");
    if (m_bFullScreen) {
        // The client area covers the screen from 0, 0; the caption and the
        // borders lie outside it.
        *x = r.left;
        *y = r.top;
    } else if (*x < 0 || *y < 0) {
        *x = (GetSystemMetrics(SM_CXSCREEN) - m_designWidth) / 2;
        *y = (GetSystemMetrics(SM_CYSCREEN) - m_designHeight) / 2;
    }
    *cx = r.right - r.left;
    *cy = r.bottom - r.top;
}

void Frame::placeFullScreen()
{
    const RECT r = adjustedDesignRect();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    debugLine("SetWindowPos: (", r.left, ", ", r.top, "), (", width, ", ", height, ")\n");
    SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, width, height, 0);
    debugLine("SetWindowPos() done\n");
}

void Frame::startResizeDrag(int, int)
{
    SendMessageA(m_hWnd, WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, 0);
    resized();
}

void Frame::setFullScreen(bool on, bool force)
{
    if (on == m_bFullScreen || m_bPopupFullScreen)
        return;
    debugLine("Entering setFullScreen(), hwnd = ", m_hWnd, "\n");
    debugLine("setFullScreen, Width = ", m_size.width, "\n");
    debugLine("setFullScreen, Height = ", m_size.height, "\n");
    const int width = m_size.width;
    const int height = m_size.height;

    if (on) {
        DEVMODEA taken;
        bool found = false;
        DEVMODEA mode;
        std::memset(&mode, 0, sizeof mode);
        mode.dmSize = sizeof mode;
        for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
            if (int(mode.dmPelsWidth) != m_designWidth || int(mode.dmPelsHeight) != m_designHeight ||
                mode.dmBitsPerPel < 15)
                continue;
            if (ChangeDisplaySettingsA(&mode, CDS_TEST) != DISP_CHANGE_SUCCESSFUL)
                continue;
            if (!found || replacesTakenMode(mode, taken)) {
                taken = mode;
                found = true;
            }
        }
        if (!found) {
            MessageBoxA(nullptr, "Unable to switch to Fullscreen mode.", "Harbinvel Error", MB_OK);
        } else {
            taken.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
            debugLine("About to set fullscreen to true...\n");
            lang::Synchronized paintGuard(WindowGlobals::paintLock());
            if (ChangeDisplaySettingsA(&taken, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) {
                m_bFullScreen = true;
                debugLine("setFullScreen() to ", 1, "\n");
                RestoreDeviceIfMainThread();
            }
        }
    } else if (m_bDepthSupported || force) {
        // The paint lock first, as a paint takes it before the frame's.
        lang::Synchronized paintGuard(WindowGlobals::paintLock());
        lang::Synchronized frameGuard(this);
        debugLine("About to leave Full Screen mode, hwnd = ", m_hWnd, "\n");
        m_bFullScreen = false;
        ChangeDisplaySettingsA(nullptr, 0);
        RestoreDeviceIfMainThread();
    }

    if (m_hWnd) {
        if (m_bFullScreen) {
            placeFullScreen();
        } else {
            const RECT work = workArea();
            const int workWidth = work.right - work.left;
            const int workHeight = work.bottom - work.top;
            debugLine("SystemParametersInfo: (", work.left, ", ", work.top, "), (", work.right, ", ", work.bottom,
                      ")\n");
            debugLine("Width = ", workWidth, "\n");
            debugLine("Height = ", workHeight, "\n");
            debugLine("m_size.width = ", m_size.width, "\n");
            debugLine("m_size.height = ", m_size.height, "\n");
            const int x = work.left + workWidth / 2 - width / 2;
            const int y = work.top + workHeight / 2 - height / 2;
            RECT r{x, y, x + width, y + height};
            debugLine("AdjustWindowRectEx: (", r.left, ", ", r.top, "), (", r.right, ", ", r.bottom, ")\n");
            AdjustWindowRectEx(&r, FRAME_STYLE, FALSE, 0);
            if (r.left < 0) {
                r.right -= r.left;
                r.left = 0;
            }
            if (r.top < 0) {
                r.bottom -= r.top;
                r.top = 0;
            }
            const int w = r.right - r.left;
            const int h = r.bottom - r.top;
            debugLine("SetWindowPos: (", r.left, ", ", r.top, "), (", w, ", ", h, ")\n");
            SetWindowPos(m_hWnd, HWND_NOTOPMOST, r.left, r.top, w, h, 0);
            debugLine("SetWindowPos() done\n");
        }
    }
    debugLine("Leaving setFullScreen()\n");
}

void Frame::requestClose()
{
    PostMessageA(m_hWnd, WMP_CLOSE, 0, 0);
}

void Frame::destroyed() {}

void Frame::windowClosing()
{
    DestroyWindow(m_hWnd);
}

void Frame::activated(bool active)
{
    HWND requester = WindowGlobals::focusRequester();
    if (active && requester && IsChild(m_hWnd, requester))
        PostMessageA(requester, WMP_SET_FOCUS, 0, 0);
}

void Frame::setLocation(int x, int y)
{
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Frame::onGetMinMaxInfo(MINMAXINFO* info)
{
    debugLine("Entering GetMinMaxInfo\n");
    const RECT r = adjustedDesignRect();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (m_bFullScreen) {
        debugLine("GetMinMaxInfo FullScreen: (", r.left, ", ", r.top, ")\n");
        info->ptMaxPosition = POINT{r.left, r.top};
    }
    if (!m_bResizable) {
        info->ptMaxSize = POINT{width, height};
        info->ptMinTrackSize = POINT{0, 0};
        info->ptMaxTrackSize = POINT{0, 0};
    } else {
        const RECT work = workArea();
        info->ptMinTrackSize = POINT{width, height};
        info->ptMaxPosition = POINT{work.left, work.top};
        info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
        info->ptMaxTrackSize = info->ptMaxSize;
    }
}

bool Frame::onWindowPosChanging(WINDOWPOS* pos)
{
    debugLine("WM_WINDOWPOSCHANGING flags: ", pos->flags, "\ncoordinates = (", pos->x, ", ", pos->y, "), (", pos->cx,
              ", ", pos->cy, ")\n");
    const bool iconic = IsIconic(m_hWnd) != FALSE;
    if (!m_bResizable && !(pos->flags & SWP_NOSIZE) && !iconic &&
        (pos->cx < m_designWidth || pos->cy < m_designHeight)) {
        // Never smaller than the design size: the change is refused whole.
        pos->flags |= SWP_NOSIZE | SWP_NOMOVE;
        return true;
    }
    debugLine("POSCHANGING: Fullscreen = ", m_bFullScreen.load(), "\n");
    if (!m_bResizable && !iconic) {
        debugLine("WM_WINDOWPOSCHANGING window info before: (", pos->x, ", ", pos->y, "), (", pos->cx, ", ", pos->cy,
                  ")\n");
        getWindowSizeInfo(&pos->x, &pos->y, &pos->cx, &pos->cy);
        debugLine("WM_WINDOWPOSCHANGING window info after: (", pos->x, ", ", pos->y, "), (", pos->cx, ", ", pos->cy,
                  ")\n");
    }
    if (pos->hwndInsertAfter == HWND_TOPMOST && !m_bFullScreen)
        pos->hwndInsertAfter = HWND_NOTOPMOST;
    return false;
}

} // namespace window

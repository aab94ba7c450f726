// Display.cpp: display modes and mode switches, system metrics, system
// parameters, and the letterbox placement of a picture on the display.
#include "platform/user/Display.h"

#include "platform/user/Backend.h"
#include "platform/user/Messages.h"
#include "platform/user/core/WindowManager.h"

#include <cstring>

using platform::DisplayMode;
using platform::user::WindowManager;
using platform::user::wm;
using platform::user::WindowRecord;

namespace {

// Notional sizes of window borders and captions; AdjustWindowRectEx uses them.
constexpr int kBorder = 1;
constexpr int kFixedFrame = 3;
constexpr int kSizingFrame = 4;
constexpr int kCaption = 19;
constexpr int kMenu = 19;
constexpr int kCursorSize = 32;
constexpr int kDoubleClickArea = 4;

std::vector<DisplayMode> offeredModes()
{
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        if (!wm().modeList.empty())
            return wm().modeList;
    }
    return platform::windowBackend().displayModes();
}

void fill(DEVMODEA* dm, const DisplayMode& mode)
{
    std::memset(dm, 0, sizeof(*dm));
    std::strcpy(reinterpret_cast<char*>(dm->dmDeviceName), "DISPLAY");
    dm->dmSize = sizeof(DEVMODEA);
    dm->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS | DM_DISPLAYFREQUENCY;
    dm->dmBitsPerPel = DWORD(mode.bitsPerPixel);
    dm->dmPelsWidth = DWORD(mode.width);
    dm->dmPelsHeight = DWORD(mode.height);
    dm->dmDisplayFlags = mode.displayFlags;
    dm->dmDisplayFrequency = DWORD(mode.frequency);
}

// Tells the top-level windows about a mode change: sent to those of the
// calling thread, posted to the others.
void announce(const DisplayMode& mode)
{
    std::vector<HWND> mine, others;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        auto me = wm().currentQueue();
        for (HWND h : wm().topLevels) {
            WindowRecord* w = wm().find(h);
            if (w)
                (w->queue == me ? mine : others).push_back(h);
        }
    }
    WPARAM bits = WPARAM(mode.bitsPerPixel);
    LPARAM size = MAKELPARAM(mode.width, mode.height);
    for (HWND h : others)
        PostMessageA(h, WM_DISPLAYCHANGE, bits, size);
    for (HWND h : mine)
        SendMessageA(h, WM_DISPLAYCHANGE, bits, size);
}

} // namespace

namespace platform {

std::vector<DisplayMode> WindowBackend::displayModes()
{
    DisplayMode desktop = desktopMode();
    std::vector<DisplayMode> modes;
    modes.push_back(DisplayMode{800, 600, 16, 0, desktop.frequency});
    modes.push_back(DisplayMode{800, 600, 32, 0, desktop.frequency});
    if (!(desktop.width == 800 && desktop.height == 600 && (desktop.bitsPerPixel == 16 || desktop.bitsPerPixel == 32)))
        modes.push_back(desktop);
    return modes;
}

DisplayMode currentDisplayMode()
{
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        if (wm().fullScreen)
            return wm().switchedMode;
    }
    return windowBackend().desktopMode();
}

bool displayFullScreen()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().fullScreen;
}

RECT letterboxRect(int srcWidth, int srcHeight, int dstWidth, int dstHeight)
{
    if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
        return RECT{0, 0, 0, 0};
    int64_t w, h;
    if (int64_t(dstWidth) * srcHeight <= int64_t(dstHeight) * srcWidth) {
        // The width limits: bars above and below.
        w = dstWidth;
        h = (int64_t(srcHeight) * dstWidth + srcWidth / 2) / srcWidth;
    } else {
        h = dstHeight;
        w = (int64_t(srcWidth) * dstHeight + srcHeight / 2) / srcHeight;
    }
    LONG left = LONG((dstWidth - w) / 2);
    LONG top = LONG((dstHeight - h) / 2);
    return RECT{left, top, LONG(left + w), LONG(top + h)};
}

void setDisplayModeList(const std::vector<DisplayMode>& modes)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    wm().modeList = modes;
}

void setDisplayChangeHook(DisplayChangeHook hook)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    wm().changeHook = std::move(hook);
}

} // namespace platform

BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeIndex, LPDEVMODEA mode)
{
    if (!mode || (deviceName && *deviceName))
        return FALSE;
    if (modeIndex == ENUM_CURRENT_SETTINGS) {
        fill(mode, platform::currentDisplayMode());
        return TRUE;
    }
    if (modeIndex == ENUM_REGISTRY_SETTINGS) {
        fill(mode, platform::windowBackend().desktopMode());
        return TRUE;
    }
    std::vector<DisplayMode> modes = offeredModes();
    if (modeIndex >= modes.size())
        return FALSE;
    fill(mode, modes[modeIndex]);
    return TRUE;
}

LONG ChangeDisplaySettingsA(LPDEVMODEA mode, DWORD flags)
{
    if (!mode) {
        // Back to the desktop's own mode.
        {
            std::lock_guard<std::mutex> lock(wm().mutex);
            if (!wm().fullScreen)
                return DISP_CHANGE_SUCCESSFUL;
            wm().fullScreen = false;
            ++wm().modeGeneration;
        }
        DisplayMode desktop = platform::windowBackend().desktopMode();
        platform::windowBackend().displayChanged(false, desktop);
        announce(desktop);
        return DISP_CHANGE_SUCCESSFUL;
    }
    // The fields not given keep the current mode's values.
    DisplayMode current = platform::currentDisplayMode();
    DisplayMode wanted = current;
    if (mode->dmFields & DM_PELSWIDTH)
        wanted.width = int(mode->dmPelsWidth);
    if (mode->dmFields & DM_PELSHEIGHT)
        wanted.height = int(mode->dmPelsHeight);
    if (mode->dmFields & DM_BITSPERPEL)
        wanted.bitsPerPixel = int(mode->dmBitsPerPel);
    const DisplayMode* offered = nullptr;
    std::vector<DisplayMode> modes = offeredModes();
    for (const DisplayMode& m : modes) {
        if (m.width == wanted.width && m.height == wanted.height && m.bitsPerPixel == wanted.bitsPerPixel) {
            offered = &m;
            break;
        }
    }
    platform::DisplayChangeHook hook;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        hook = wm().changeHook;
    }
    LONG result = hook ? hook(*mode, flags) : (offered ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE);
    if (result != DISP_CHANGE_SUCCESSFUL || (flags & CDS_TEST))
        return result;
    DisplayMode chosen = offered ? *offered : wanted;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        wm().fullScreen = true;
        wm().switchedMode = chosen;
        ++wm().modeGeneration;
    }
    platform::windowBackend().displayChanged(true, chosen);
    announce(chosen);
    return DISP_CHANGE_SUCCESSFUL;
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return platform::currentDisplayMode().width;
    case SM_CYSCREEN:
        return platform::currentDisplayMode().height;
    case SM_CYCAPTION:
        return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return kBorder;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return kFixedFrame;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return kSizingFrame;
    case SM_CYMENU:
        return kMenu;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return kCursorSize;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return kDoubleClickArea;
    default:
        return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID value, UINT)
{
    switch (action) {
    case SPI_GETWORKAREA: {
        if (!value)
            return FALSE;
        RECT area;
        if (platform::displayFullScreen()) {
            DisplayMode m = platform::currentDisplayMode();
            area = RECT{0, 0, m.width, m.height};
        } else {
            area = platform::windowBackend().workArea();
        }
        *static_cast<RECT*>(value) = area;
        return TRUE;
    }
    case SPI_GETFONTSMOOTHING:
        if (!value)
            return FALSE;
        *static_cast<BOOL*>(value) = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

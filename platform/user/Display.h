// Display.h: display modes and their changes, system metrics and system
// parameters. Full screen never changes the real mode: a changed mode makes the
// top-level windows fill the display, the mode's picture scaled to it and
// letterboxed.
#pragma once

#include "platform/Win32Types.h"

#include <functional>
#include <vector>

// DEVMODEA fields.
#define DM_BITSPERPEL 0x00040000u
#define DM_PELSWIDTH 0x00080000u
#define DM_PELSHEIGHT 0x00100000u
#define DM_DISPLAYFLAGS 0x00200000u
#define DM_DISPLAYFREQUENCY 0x00400000u
// dmDisplayFlags.
#define DM_GRAYSCALE 0x00000001u
#define DM_INTERLACED 0x00000002u

// EnumDisplaySettingsA mode numbers besides 0, 1, 2 ...
#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define ENUM_REGISTRY_SETTINGS ((DWORD)-2)

// ChangeDisplaySettingsA flags and results.
#define CDS_UPDATEREGISTRY 0x00000001u
#define CDS_TEST 0x00000002u
#define CDS_FULLSCREEN 0x00000004u
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_RESTART 1
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    POINT dmPosition;
    DWORD dmDisplayOrientation;
    DWORD dmDisplayFixedOutput;
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
};
typedef DEVMODEA* LPDEVMODEA;

// GetSystemMetrics indices.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXFIXEDFRAME SM_CXDLGFRAME
#define SM_CYFIXEDFRAME SM_CYDLGFRAME
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFRAME 32
#define SM_CYFRAME 33
#define SM_CXSIZEFRAME SM_CXFRAME
#define SM_CYSIZEFRAME SM_CYFRAME
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37

// SystemParametersInfoA actions.
#define SPI_GETWORKAREA 0x0030
#define SPI_GETFONTSMOOTHING 0x004A

// Mode `index` of the display (0, 1, ... until it fails), or the current or
// the desktop's mode. The device name must be null (the one display).
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeIndex, LPDEVMODEA mode);
// CDS_TEST: whether the mode is offered. CDS_FULLSCREEN: switch to the mode (a
// mode offered); null mode: back to the desktop. A change sends
// WM_DISPLAYCHANGE to the top-level windows.
LONG ChangeDisplaySettingsA(LPDEVMODEA mode, DWORD flags);
int GetSystemMetrics(int index);
// SPI_GETWORKAREA (a RECT: the display less the task bar) and
// SPI_GETFONTSMOOTHING (a BOOL, always TRUE).
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID value, UINT winIni);

namespace platform {

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    DWORD displayFlags = 0; // DM_GRAYSCALE, DM_INTERLACED
    int frequency = 60;
};

// The mode the windows see now: the desktop's, or the one switched to.
DisplayMode currentDisplayMode();
// Whether a mode switch is in force (the windows fill the display).
bool displayFullScreen();

// Where a picture of srcWidth x srcHeight goes on a display of dstWidth x
// dstHeight: as large as fits with its proportions kept, centred; the bars
// left over stay black.
RECT letterboxRect(int srcWidth, int srcHeight, int dstWidth, int dstHeight);

// Test hooks. The mode list replaces the one the backend reports (the design
// size 800 x 600 at 32 and 16 bits and the desktop's own mode); an empty list
// restores it. The change hook, when set, decides every ChangeDisplaySettingsA
// result for a non-null mode (its flags tell a test from a switch); a success
// then switches as usual.
void setDisplayModeList(const std::vector<DisplayMode>& modes);
using DisplayChangeHook = std::function<LONG(const DEVMODEA& mode, DWORD flags)>;
void setDisplayChangeHook(DisplayChangeHook hook);

} // namespace platform

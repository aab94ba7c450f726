// Input.h: virtual-key codes, the keyboard state and character translation,
// the keyboard focus, window activation and mouse capture.
#pragma once

#include "platform/Win32Types.h"

// Virtual-key codes (letters and digits are their upper-case ASCII codes).
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_F13 0x7C
#define VK_F14 0x7D
#define VK_F15 0x7E
#define VK_F24 0x87
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_OEM_102 0xE2

// Key state of the calling thread as its input messages were taken: the high
// bit (a negative SHORT) while the key is down, the low bit toggled by each press.
SHORT GetKeyState(int virtualKey);
// The key's state now, whichever messages were taken: 0x8000 while down.
SHORT GetAsyncKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* keyState);

// The character a key gives on the US keyboard in Windows-1252, for the given
// keyboard state: Shift and Caps Lock for capitals and symbols, Ctrl for the
// control characters (Ctrl+C gives 3), Esc, Enter, Tab and Backspace as 27, 13,
// 9 and 8. Returns 1 with the character in *out, or 0 for keys that give none
// (Shift, arrows, Delete, F-keys ...) and for a scan code with the key-up bit 0x8000.
int ToAscii(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* out, UINT flags);

// Keyboard focus. SetFocus works only for a window of the calling thread
// (otherwise it fails and returns null); it activates the window's top-level
// window, sends WM_KILLFOCUS and WM_SETFOCUS, and returns the previous focus.
// GetFocus answers only for windows of the calling thread.
HWND SetFocus(HWND hwnd);
HWND GetFocus();

// Activation: the active top-level window is the foreground window while the
// program has the system's focus. WM_ACTIVATE goes to the window losing and
// then to the window gaining it.
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);

// Mouse capture: mouse input goes to the capture window wherever the pointer
// is. The window losing the capture gets WM_CAPTURECHANGED.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// The longest time between two presses of a double click, in milliseconds
// (500 unless set).
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT milliseconds);

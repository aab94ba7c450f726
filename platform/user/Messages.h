// Messages.h: window messages, the message structure, window and timer
// procedures, and the calls of the per-thread message queues and timers.
#pragma once

#include "platform/Win32Types.h"

// Window messages. The numbers are the published ones: the engine posts and
// compares them, and private messages (WM_USER and above) pass through as is.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_SETTEXT 0x000C
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_SETCURSOR 0x0020
#define WM_GETMINMAXINFO 0x0024
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_DISPLAYCHANGE 0x007E
#define WM_SETICON 0x0080
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_KEYLAST 0x0109
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_RBUTTONDBLCLK 0x0206
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MBUTTONDBLCLK 0x0209
#define WM_MOUSELAST 0x0209
#define WM_CAPTURECHANGED 0x0215
#define WM_POWERBROADCAST 0x0218
#define WM_USER 0x0400
#define WM_APP 0x8000

// WM_ACTIVATE: the low word of wParam.
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_SIZE: wParam.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

// WM_SYSCOMMAND: wParam & 0xFFF0.
#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120

// Hit-test codes (WM_SETCURSOR's low word of lParam, WM_NCLBUTTONDOWN's wParam).
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTBOTTOMRIGHT 17

// WM_POWERBROADCAST: wParam.
#define PBT_APMQUERYSUSPENDFAILED 2
#define PBT_APMSUSPEND 4
#define PBT_APMRESUMESUSPEND 7

// WM_SETICON: wParam.
#define ICON_SMALL 0
#define ICON_BIG 1

// Mouse messages: wParam flags of the buttons and keys held.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

// PeekMessageA: what to do with the message found.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

typedef LRESULT (*WNDPROC)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
typedef void (*TIMERPROC)(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
    // The window layer's own flags (a key whose text arrives separately).
    DWORD lPrivate;
};
typedef MSG* LPMSG;

// Posting: PostMessageA may be called from any thread; the message goes to
// the queue of the thread that created the window. A null hwnd posts to the
// calling thread's queue.
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Sending runs the window procedure and returns its result. A send to a window
// of another thread waits until that thread takes messages and runs it there.
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Taking messages: sent messages first (run in place), then posted and input
// messages in order, WM_QUIT, WM_PAINT for windows with an invalid area, and
// WM_TIMER for timers that are due. GetMessageA waits and returns 0 for WM_QUIT.
// A filter window of (HWND)-1 takes only messages posted to the thread.
BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Posts WM_CHAR (WM_SYSCHAR) for a key-down that gives a character; nonzero
// for every key message.
BOOL TranslateMessage(const MSG* msg);
// Runs the window procedure of msg->hwnd, or the timer procedure of a WM_TIMER
// whose lParam names one.
LRESULT DispatchMessageA(const MSG* msg);

// Timers, callable from any thread; they are delivered on the window's thread
// (the calling thread's for a null window) as WM_TIMER, or to the procedure
// from DispatchMessageA. A timer due several times over is delivered once.
// Time comes from the installed clock.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

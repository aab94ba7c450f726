// MessageBox.h: message boxes. Every box is written to stderr and recorded;
// the real program shows it on the display as well and waits for OK, while
// without a display (and in tests) it returns at once. The result is IDOK.
// A program that quits closes the boxes open (as if OK was pressed) and
// shows no more. A box that waits in a process of its own ends with the
// program, however the program ends.
#pragma once

#include "platform/Win32Types.h"

#include <string>
#include <vector>

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONERROR 0x00000010u
#define MB_ICONHAND MB_ICONERROR
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONEXCLAMATION MB_ICONWARNING
#define MB_ICONINFORMATION 0x00000040u
#define MB_SYSTEMMODAL 0x00001000u
#define MB_TASKMODAL 0x00002000u
#define MB_SETFOREGROUND 0x00010000u
#define MB_TOPMOST 0x00040000u

#define IDOK 1
#define IDCANCEL 2

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

namespace platform {

// Quitting, from any thread: every box open now closes, and boxes from now
// on are only written and recorded, until allowMessageBoxes. A box that is
// opening at this very moment may still show: callers that quit call this
// again while they wait for the program to end.
void closeMessageBoxes();
void allowMessageBoxes();
// Called first in a process started only to show one box, on the thread
// that shows it (see sdl/SdlMessageBox.h): a process it forks for the box
// ends with it, as it ends with the program, and a quit signal ends both.
void becomeBoxProcess();

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
};

// Collects every message box shown while it lives.
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    std::vector<MessageBoxRecord> boxes() const;
    void clear();

    struct State;

private:
    State* m_state;
};

} // namespace platform

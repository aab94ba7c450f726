// Shell.h: opening a web address in the user's browser. Only http and https
// addresses are opened, each by running `xdg-open` with the address as its
// one argument (never through a shell); anything else is refused.
#pragma once

#include "platform/Win32Types.h"

#include <string>
#include <vector>

// Results of 32 and below are failures.
#define SE_ERR_FNF 2
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_NOASSOC 31

// Opens `file` when it is an http:// or https:// address (the scheme in any
// case) without control characters or spaces; the operation must be null or
// "open", and the parameters, folder and show mode are not used. Programs
// and documents are not started: SE_ERR_FNF. Any other address ("file:",
// "javascript:" ...) or a damaged one is refused with SE_ERR_ACCESSDENIED, a browser launcher that cannot be run SE_ERR_NOASSOC,
// success a value above 32. The launcher runs on its own; it is not waited for.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);

namespace platform {

struct ShellRecord {
    std::string file;
    std::string parameters;
    // What would be run: the launcher and its argument; empty when refused.
    std::vector<std::string> command;
    intptr_t result = 0;
};

// While it lives, ShellExecuteA records every call and runs nothing (an
// accepted address still answers success), so tests never start a browser.
class ShellCapture {
public:
    ShellCapture();
    ~ShellCapture();
    ShellCapture(const ShellCapture&) = delete;
    ShellCapture& operator=(const ShellCapture&) = delete;

    std::vector<ShellRecord> calls() const;

    struct State;

private:
    State* m_state;
};

// Whether the address is one ShellExecuteA opens.
bool isOpenableWebAddress(const char* address);

} // namespace platform

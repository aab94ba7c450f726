// DebugOutput.h: the debugger output. Lines go to an installable sink (tests
// capture them) and to stderr when the environment variable HV_DEBUG_OUTPUT is
// set to anything but "0".
#pragma once

#include "platform/Win32Types.h"

#include <functional>
#include <string>

void OutputDebugStringA(LPCSTR text);

namespace platform {

using DebugSink = std::function<void(const char* text)>;

// Installs a sink for every text written; an empty function removes it.
void setDebugSink(DebugSink sink);

// A problem the player must be told of (damaged data): written to the
// debugger output's sink and always to stderr, the program's log, whether or
// not the debugger output is echoed there.
void reportProblem(const char* text);

// Collects everything written to the debugger output while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::string text() const;
    bool contains(const std::string& part) const { return text().find(part) != std::string::npos; }
    void clear();

private:
    struct State;
    State* m_state;
};

} // namespace platform

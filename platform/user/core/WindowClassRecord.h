// WindowClassRecord.h: what the window layer keeps for a registered window class.
#pragma once

#include "platform/user/Window.h"

#include <string>

namespace platform {
namespace user {

struct WindowClassRecord {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

} // namespace user
} // namespace platform

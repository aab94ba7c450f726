// User.h: every call of the window layer (windows, messages, input, cursors,
// display modes, message boxes) in one include.
#pragma once

#include "platform/Win32Types.h"
#include "platform/user/Cursors.h"
#include "platform/user/Display.h"
#include "platform/user/Input.h"
#include "platform/user/MessageBox.h"
#include "platform/user/Messages.h"
#include "platform/user/Window.h"
#include "platform/user/WindowSurface.h"

// Keyboard.h: the US keyboard as the window layer sees it: the scan code of a
// virtual key and the character a key gives.
#pragma once

#include "platform/Win32Types.h"

namespace platform {
namespace user {

// The set-1 scan code of a virtual key, with 0x100 for an extended key; 0 when unknown.
unsigned scanCodeOf(UINT virtualKey);
// The Windows-1252 character the key gives in the keyboard state; -1 for none.
int keyCharacter(UINT virtualKey, const BYTE* keyState);

} // namespace user
} // namespace platform

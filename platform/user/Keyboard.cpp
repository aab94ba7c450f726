// Keyboard.cpp: key states, the US keyboard's characters in Windows-1252, the
// scan codes put into key messages, and the double-click time.
#include "platform/user/Input.h"
#include "platform/user/core/Keyboard.h"
#include "platform/user/core/WindowManager.h"

using platform::user::WindowManager;
using platform::user::wm;

namespace {

// Punctuation keys of the US layout: the key, its character without and with
// Shift, and the control character it gives with Ctrl (0: none).
struct PunctuationKey {
    BYTE vk;
    char plain;
    char shifted;
    char control;
};

const PunctuationKey kPunctuation[] = {
    {VK_OEM_1, ';', ':', 0},      {VK_OEM_PLUS, '=', '+', 0},    {VK_OEM_COMMA, ',', '<', 0},
    {VK_OEM_MINUS, '-', '_', 31}, {VK_OEM_PERIOD, '.', '>', 0},  {VK_OEM_2, '/', '?', 0},
    {VK_OEM_3, '`', '~', 0},      {VK_OEM_4, '[', '{', 27},      {VK_OEM_5, '\\', '|', 28},
    {VK_OEM_6, ']', '}', 29},     {VK_OEM_7, '\'', '"', 0},      {VK_OEM_102, '\\', '|', 28},
};

// Set-1 scan codes; extended keys are marked by kExtended.
constexpr unsigned kExtended = 0x100;

} // namespace

namespace platform {
namespace user {

unsigned scanCodeOf(UINT vk)
{
    static const char letters[] = "\x1E\x30\x2E\x20\x12\x21\x22\x23\x17\x24\x25\x26\x32\x31\x18\x19\x10\x13\x1F\x14"
                                  "\x16\x2F\x11\x2D\x15\x2C";
    if (vk >= 'A' && vk <= 'Z')
        return (unsigned char)letters[vk - 'A'];
    if (vk >= '1' && vk <= '9')
        return 0x02 + (vk - '1');
    if (vk >= VK_F1 && vk <= VK_F10)
        return 0x3B + (vk - VK_F1);
    switch (vk) {
    case '0': return 0x0B;
    case VK_ESCAPE: return 0x01;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL: case VK_LCONTROL: return 0x1D;
    case VK_RCONTROL: return 0x1D | kExtended;
    case VK_SHIFT: case VK_LSHIFT: return 0x2A;
    case VK_RSHIFT: return 0x36;
    case VK_MENU: case VK_LMENU: return 0x38;
    case VK_RMENU: return 0x38 | kExtended;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_F11: return 0x57;
    case VK_F12: return 0x58;
    case VK_F13: return 0x64;
    case VK_F14: return 0x65;
    case VK_F15: return 0x66;
    case VK_NUMLOCK: return 0x45;
    case VK_SCROLL: return 0x46;
    case VK_HOME: return 0x47 | kExtended;
    case VK_UP: return 0x48 | kExtended;
    case VK_PRIOR: return 0x49 | kExtended;
    case VK_LEFT: return 0x4B | kExtended;
    case VK_RIGHT: return 0x4D | kExtended;
    case VK_END: return 0x4F | kExtended;
    case VK_DOWN: return 0x50 | kExtended;
    case VK_NEXT: return 0x51 | kExtended;
    case VK_INSERT: return 0x52 | kExtended;
    case VK_DELETE: return 0x53 | kExtended;
    case VK_NUMPAD0: return 0x52;
    case VK_NUMPAD0 + 1: return 0x4F;
    case VK_NUMPAD0 + 2: return 0x50;
    case VK_NUMPAD0 + 3: return 0x51;
    case VK_NUMPAD0 + 4: return 0x4B;
    case VK_NUMPAD0 + 5: return 0x4C;
    case VK_NUMPAD0 + 6: return 0x4D;
    case VK_NUMPAD0 + 7: return 0x47;
    case VK_NUMPAD0 + 8: return 0x48;
    case VK_NUMPAD0 + 9: return 0x49;
    case VK_MULTIPLY: return 0x37;
    case VK_ADD: return 0x4E;
    case VK_SUBTRACT: return 0x4A;
    case VK_DECIMAL: return 0x53;
    case VK_DIVIDE: return 0x35 | kExtended;
    case VK_OEM_1: return 0x27;
    case VK_OEM_PLUS: return 0x0D;
    case VK_OEM_COMMA: return 0x33;
    case VK_OEM_MINUS: return 0x0C;
    case VK_OEM_PERIOD: return 0x34;
    case VK_OEM_2: return 0x35;
    case VK_OEM_3: return 0x29;
    case VK_OEM_4: return 0x1A;
    case VK_OEM_5: return 0x2B;
    case VK_OEM_6: return 0x1B;
    case VK_OEM_7: return 0x28;
    case VK_OEM_102: return 0x56;
    default: return 0;
    }
}

int keyCharacter(UINT vk, const BYTE* state)
{
    const bool shift = (state[VK_SHIFT] & 0x80) != 0;
    const bool ctrl = (state[VK_CONTROL] & 0x80) != 0;
    const bool alt = (state[VK_MENU] & 0x80) != 0;
    const bool caps = (state[VK_CAPITAL] & 0x01) != 0;
    if (ctrl && alt)
        return -1; // the US layout has no characters on AltGr
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            return int(vk - 'A' + 1);
        return (shift != caps) ? int(vk) : int(vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        if (ctrl)
            return -1;
        static const char shifted[] = ")!@#$%^&*(";
        return shift ? shifted[vk - '0'] : int(vk);
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return ctrl ? -1 : int('0' + (vk - VK_NUMPAD0));
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return ctrl ? 10 : 13;
    case VK_ESCAPE: return 27;
    case VK_BACK: return ctrl ? 127 : 8;
    case VK_TAB: return ctrl ? -1 : 9;
    case VK_MULTIPLY: return ctrl ? -1 : '*';
    case VK_ADD: return ctrl ? -1 : '+';
    case VK_SUBTRACT: return ctrl ? -1 : '-';
    case VK_DECIMAL: return ctrl ? -1 : '.';
    case VK_DIVIDE: return ctrl ? -1 : '/';
    default: break;
    }
    for (const PunctuationKey& k : kPunctuation) {
        if (k.vk != vk)
            continue;
        if (ctrl)
            return k.control ? k.control : -1;
        return shift ? k.shifted : k.plain;
    }
    return -1;
}

} // namespace user
} // namespace platform

SHORT GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    std::lock_guard<std::mutex> lock(wm().mutex);
    BYTE s = wm().currentQueue()->keyState[virtualKey];
    return SHORT(((s & 0x80) ? 0xFF80 : 0) | (s & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    std::lock_guard<std::mutex> lock(wm().mutex);
    return SHORT((wm().asyncKeys[virtualKey] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* keyState)
{
    if (!keyState)
        return FALSE;
    std::lock_guard<std::mutex> lock(wm().mutex);
    const BYTE* s = wm().currentQueue()->keyState;
    for (int i = 0; i < 256; ++i)
        keyState[i] = s[i];
    return TRUE;
}

int ToAscii(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* out, UINT)
{
    if (!keyState || (scanCode & 0x8000) || virtualKey > 255)
        return 0;
    int c = platform::user::keyCharacter(virtualKey, keyState);
    if (c < 0)
        return 0;
    if (out)
        *out = WORD(c);
    return 1;
}

UINT GetDoubleClickTime()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().doubleClickTime;
}

BOOL SetDoubleClickTime(UINT milliseconds)
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    // Zero means the system's default.
    wm().doubleClickTime = milliseconds ? milliseconds : 500;
    return TRUE;
}
